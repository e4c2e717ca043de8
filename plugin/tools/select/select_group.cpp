#include "plugin/tools/select/select_group.h"

#include "platform/wait_cursor.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_set.h"
#include "plugin/model/uv_island.h"

namespace pavlex {

bool SelectGroup(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  FaceSet islands;
  // Sized for the whole object up front: islands often cover most of it,
  // and growing a million-face set rehashes it over and over.
  const int32_t faceCount = object.GetFaceCount();
  if (faceCount > 0) islands.Reserve(static_cast<size_t>(faceCount));
  CollectSelectedIslands(object, islands);
  for (const int32_t f : islands) {
    const int32_t corners = object.GetFacePointCount(f);
    for (int32_t c = 0; c < corners; ++c) object.AddSelectUVVertex(UVVertexKey::Pack(f, c));
  }
  return true;
}

}  // namespace pavlex

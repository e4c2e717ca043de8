#include "plugin/tools/select/select_floating.h"

#include "platform/wait_cursor.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

bool SelectFloating(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    const int32_t corners = object.GetFacePointCount(f);
    int32_t j = 0;
    while (j < corners && object.IsSelectUVVertex(UVVertexKey::Pack(f, j))) ++j;
    if (j == corners) continue;
    // The object's slot is asked again per call, like every selection call.
    for (int32_t c = 0; c < corners; ++c)
      Host().MQDoc_DeleteSelectUVVertex(document, object.GetIndex(), f, c);
  }
  return true;
}

}  // namespace pavlex

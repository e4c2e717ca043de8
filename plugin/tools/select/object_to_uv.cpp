#include "plugin/tools/select/object_to_uv.h"

#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

bool ObjectToUVVertex(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  std::vector<int32_t> points;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    const int32_t f = face->index();
    object.GetFacePointArray(f, points);
    const auto n = static_cast<int32_t>(points.size());
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectVertex(points[static_cast<size_t>(j)])) continue;
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j));
      added = true;
    }
  }
  return added;
}

bool ObjectToUVLine(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    const int32_t f = face->index();
    const int32_t n = face->GetPointCount();
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectLine(f, j)) continue;
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j));
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j + 1 < n ? j + 1 : 0));
      added = true;
    }
  }
  return added;
}

bool ObjectToUVFace(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    const int32_t f = face->index();
    if (!object.IsSelectFace(f)) continue;
    const int32_t n = face->GetPointCount();
    for (int32_t j = 0; j < n; ++j) {
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j));
      added = true;
    }
  }
  return added;
}

}  // namespace pavlex

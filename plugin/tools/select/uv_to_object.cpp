#include "plugin/tools/select/uv_to_object.h"

#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

bool UVToObjectVertex(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  std::vector<int32_t> points;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    const int32_t f = face->index();
    const int32_t n = face->GetPointCount();
    bool pointsRead = false;  // read once, at the first selected corner
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, j))) continue;
      if (!pointsRead) {
        object.GetFacePointArray(f, points);
        pointsRead = true;
      }
      if (static_cast<size_t>(j) >= points.size()) break;
      object.AddSelectVertex(points[static_cast<size_t>(j)]);
      added = true;
    }
  }
  return added;
}

bool UVToObjectLine(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    const int32_t f = face->index();
    const int32_t n = face->GetPointCount();
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, j))) continue;
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, j + 1 < n ? j + 1 : 0))) continue;
      object.AddSelectLine(f, j);
      added = true;
    }
  }
  return added;
}

bool UVToObjectFace(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  bool added = false;
  for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) {
    const int32_t f = face->index();
    const int32_t n = face->GetPointCount();
    int32_t j = 0;
    while (j < n && object.IsSelectUVVertex(UVVertexKey::Pack(f, j))) ++j;
    if (j < n) continue;
    object.AddSelectFace(f);
    added = true;
  }
  return added;
}

}  // namespace pavlex

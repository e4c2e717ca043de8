#include "plugin/tools/select/object_to_uv.h"

#include <vector>

#include "plugin/tools/select/face_walk_transfer.h"

namespace pavlex {

bool ObjectToUVVertex(MQDocument document) {
  std::vector<int32_t> points;
  return TransferFaceByFace(document, [&](const cmq::CMQObject& object, const cmq::CMQFace& face) {
    const int32_t f = face.index();
    object.GetFacePointArray(f, points);
    const auto n = static_cast<int32_t>(points.size());
    bool added = false;
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectVertex(points[static_cast<size_t>(j)])) continue;
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j));
      added = true;
    }
    return added;
  });
}

bool ObjectToUVLine(MQDocument document) {
  return TransferFaceByFace(document, [](const cmq::CMQObject& object, const cmq::CMQFace& face) {
    const int32_t f = face.index();
    const int32_t n = face.GetPointCount();
    bool added = false;
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectLine(f, j)) continue;
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j));
      object.AddSelectUVVertex(UVVertexKey::Pack(f, j + 1 < n ? j + 1 : 0));
      added = true;
    }
    return added;
  });
}

bool ObjectToUVFace(MQDocument document) {
  return TransferFaceByFace(document, [](const cmq::CMQObject& object, const cmq::CMQFace& face) {
    const int32_t f = face.index();
    if (!object.IsSelectFace(f)) return false;
    const int32_t n = face.GetPointCount();
    for (int32_t j = 0; j < n; ++j) object.AddSelectUVVertex(UVVertexKey::Pack(f, j));
    return n > 0;
  });
}

}  // namespace pavlex

#include "plugin/tools/select/uv_to_object.h"

#include <vector>

#include "plugin/tools/select/face_walk_transfer.h"

namespace pavlex {

bool UVToObjectVertex(MQDocument document) {
  std::vector<int32_t> points;
  return TransferFaceByFace(document, [&](const cmq::CMQObject& object, const cmq::CMQFace& face) {
    const int32_t f = face.index();
    const int32_t n = face.GetPointCount();
    bool added = false;
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
    return added;
  });
}

bool UVToObjectLine(MQDocument document) {
  return TransferFaceByFace(document, [](const cmq::CMQObject& object, const cmq::CMQFace& face) {
    const int32_t f = face.index();
    const int32_t n = face.GetPointCount();
    bool added = false;
    for (int32_t j = 0; j < n; ++j) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, j))) continue;
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, j + 1 < n ? j + 1 : 0))) continue;
      object.AddSelectLine(f, j);
      added = true;
    }
    return added;
  });
}

bool UVToObjectFace(MQDocument document) {
  return TransferFaceByFace(document, [](const cmq::CMQObject& object, const cmq::CMQFace& face) {
    const int32_t f = face.index();
    const int32_t n = face.GetPointCount();
    int32_t j = 0;
    while (j < n && object.IsSelectUVVertex(UVVertexKey::Pack(f, j))) ++j;
    if (j < n) return false;
    object.AddSelectFace(f);
    return true;
  });
}

}  // namespace pavlex

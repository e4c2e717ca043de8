#include "plugin/tools/select/select_same_vertex.h"

#include <algorithm>
#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

bool SelectSameVertex(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  std::vector<int32_t> points, related, relatedPoints;
  std::vector<UVVertexKey> partners;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    object.GetFacePointArray(f, points);
    for (size_t j = 0; j < points.size(); ++j) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, static_cast<int32_t>(j)))) continue;
      const int32_t vertex = points[j];
      // Collected in full before any is selected, then selected in order.
      partners.clear();
      object.GetVertexRelatedFaces(vertex, related);
      for (const int32_t g : related) {
        object.GetFacePointArray(g, relatedPoints);
        const auto k = std::find(relatedPoints.begin(), relatedPoints.end(), vertex);
        if (k == relatedPoints.end()) continue;
        partners.push_back(UVVertexKey::Pack(g, static_cast<int32_t>(k - relatedPoints.begin())));
      }
      for (const UVVertexKey key : partners) object.AddSelectUVVertex(key);
    }
  }
  return true;
}

}  // namespace pavlex

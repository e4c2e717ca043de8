#include "plugin/tools/transform/face_with_vertices.h"

#include <algorithm>
#include <iterator>

namespace pavlex {
namespace {

// The related faces as an ordered set, whatever order the host gives.
std::vector<int32_t> RelatedFaceSet(const cmq::CMQObject& object, int32_t vertex) {
  std::vector<int32_t> faces = object.GetVertexRelatedFaces(vertex);
  std::sort(faces.begin(), faces.end());
  faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
  return faces;
}

}  // namespace

int32_t FindFaceWithVertices(const cmq::CMQObject& object, const std::vector<int32_t>& vertices) {
  if (vertices.empty()) return -1;
  std::vector<int32_t> faces = RelatedFaceSet(object, vertices.front());
  std::vector<int32_t> common;
  for (size_t k = 1; k < vertices.size() && !faces.empty(); ++k) {
    const std::vector<int32_t> related = RelatedFaceSet(object, vertices[k]);
    common.clear();
    std::set_intersection(faces.begin(), faces.end(), related.begin(), related.end(),
                          std::back_inserter(common));
    faces.swap(common);
  }
  return faces.empty() ? -1 : faces.front();
}

}  // namespace pavlex

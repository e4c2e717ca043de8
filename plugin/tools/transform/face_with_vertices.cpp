#include "plugin/tools/transform/face_with_vertices.h"

#include <algorithm>
#include <iterator>

namespace pavlex {
namespace {

// The related faces as an ordered set, whatever order the host gives, into
// `faces`. The host gives them ascending already, so most need no sort.
void ReadRelatedFaceSet(const cmq::CMQObject& object, int32_t vertex, std::vector<int32_t>& faces) {
  object.GetVertexRelatedFaces(vertex, faces);
  if (!std::is_sorted(faces.begin(), faces.end())) std::sort(faces.begin(), faces.end());
  faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
}

}  // namespace

int32_t FindFaceWithVertices(const cmq::CMQObject& object, const std::vector<int32_t>& vertices) {
  if (vertices.empty()) return -1;
  // Asked per face of a mirror search: the lists keep their storage from
  // call to call. Tools run on the host's one thread, and nothing here calls
  // back into the plug-in.
  static std::vector<int32_t> faces, related, common;
  ReadRelatedFaceSet(object, vertices.front(), faces);
  for (size_t k = 1; k < vertices.size() && !faces.empty(); ++k) {
    ReadRelatedFaceSet(object, vertices[k], related);
    common.clear();
    std::set_intersection(faces.begin(), faces.end(), related.begin(), related.end(),
                          std::back_inserter(common));
    faces.swap(common);
  }
  return faces.empty() ? -1 : faces.front();
}

}  // namespace pavlex

#include "plugin/tools/transform/edge_neighbours.h"

#include <algorithm>

namespace pavlex {

std::vector<EdgeMatch> FindEdgeNeighbours(const cmq::CMQObject& object, int32_t start, int32_t end) {
  // Asked once per selected edge, millions of times a press: the lists
  // keep their storage from call to call. Tools run on the host's one
  // thread, and nothing here calls back into the plug-in.
  static std::vector<int32_t> startFaces, endFaces, common, vertices;
  object.GetVertexRelatedFaces(start, startFaces);
  object.GetVertexRelatedFaces(end, endFaces);
  // The host lists a vertex's faces in ascending order already.
  if (!std::is_sorted(startFaces.begin(), startFaces.end())) std::sort(startFaces.begin(), startFaces.end());
  if (!std::is_sorted(endFaces.begin(), endFaces.end())) std::sort(endFaces.begin(), endFaces.end());
  // The faces in both lists, each once: a merge of the two sorted lists.
  common.clear();
  for (auto s = startFaces.begin(), e = endFaces.begin(); s != startFaces.end() && e != endFaces.end();) {
    if (*s < *e) {
      ++s;
    } else if (*e < *s) {
      ++e;
    } else {
      if (common.empty() || common.back() != *s) common.push_back(*s);
      ++s;
      ++e;
    }
  }

  std::vector<EdgeMatch> matches;
  for (const int32_t g : common) {
    object.GetFacePointArray(g, vertices);
    const auto m = static_cast<int32_t>(vertices.size());
    bool selected = false;
    for (int32_t j = 0; j < m && !selected; ++j) selected = object.IsSelectUVVertex(UVVertexKey::Pack(g, j));
    if (selected) continue;
    for (int32_t j = 0; j < m; ++j) {
      const int32_t k = (j + 1) % m;
      const int32_t vj = vertices[static_cast<size_t>(j)], vk = vertices[static_cast<size_t>(k)];
      if (vj == end && vk == start) {
        matches.push_back({{g, k}, {g, j}});
        break;
      }
      if (vj == start && vk == end) {
        matches.push_back({{g, j}, {g, k}});
        break;
      }
    }
  }
  return matches;
}

}  // namespace pavlex

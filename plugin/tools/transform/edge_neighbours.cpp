#include "plugin/tools/transform/edge_neighbours.h"

#include <algorithm>

namespace pavlex {

namespace {

// Asked once per selected edge, millions of times a press: the lists keep
// their storage from call to call. Tools run on the host's one thread, and
// nothing here calls back into the plug-in.
struct Scratch {
  std::vector<int32_t> startFaces, endFaces, vertices;
};
Scratch g_scratch;

// The host lists a vertex's faces in ascending order already; sorting is
// for a host that does not.
void Ascending(std::vector<int32_t>& faces) {
  for (size_t i = 1; i < faces.size(); ++i) {
    if (faces[i] < faces[i - 1]) {
      std::sort(faces.begin(), faces.end());
      return;
    }
  }
}

// Appends g's match when g holds the edge and no selected UV vertex.
void MatchFace(const cmq::CMQObject& object, int32_t g, int32_t start, int32_t end, std::vector<EdgeMatch>& matches) {
  std::vector<int32_t>& vertices = g_scratch.vertices;
  object.GetFacePointArray(g, vertices);
  const auto m = static_cast<int32_t>(vertices.size());
  for (int32_t j = 0; j < m; ++j) {
    if (object.IsSelectUVVertex(UVVertexKey::Pack(g, j))) return;
  }
  for (int32_t j = 0; j < m; ++j) {
    const int32_t k = j + 1 < m ? j + 1 : 0;
    const int32_t vj = vertices[static_cast<size_t>(j)], vk = vertices[static_cast<size_t>(k)];
    if (vj == end && vk == start) {
      matches.push_back({{g, k}, {g, j}});
      return;
    }
    if (vj == start && vk == end) {
      matches.push_back({{g, j}, {g, k}});
      return;
    }
  }
}

}  // namespace

void FindEdgeNeighbours(const cmq::CMQObject& object, int32_t start, int32_t end, std::vector<EdgeMatch>& matches) {
  matches.clear();
  std::vector<int32_t>& startFaces = g_scratch.startFaces;
  std::vector<int32_t>& endFaces = g_scratch.endFaces;
  object.GetVertexRelatedFaces(start, startFaces);
  object.GetVertexRelatedFaces(end, endFaces);
  Ascending(startFaces);
  Ascending(endFaces);
  // The two ascending lists merged, each common face visited once in
  // ascending order: the faces a sorted intersection without repeats holds.
  size_t i = 0, k = 0;
  bool visited = false;
  int32_t last = 0;
  while (i < startFaces.size() && k < endFaces.size()) {
    const int32_t a = startFaces[i], b = endFaces[k];
    if (a < b) {
      ++i;
    } else if (b < a) {
      ++k;
    } else {
      ++i;
      ++k;
      if (visited && a == last) continue;
      visited = true;
      last = a;
      MatchFace(object, a, start, end, matches);
    }
  }
}

}  // namespace pavlex

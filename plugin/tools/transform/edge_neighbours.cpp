#include "plugin/tools/transform/edge_neighbours.h"

#include <algorithm>

#include "plugin/hostlink/host_functions.h"

namespace pavlex {

namespace {

// Asked once per selected edge, millions of times a press, about faces and
// vertices of a few corners each: lists that short are read into the
// caller's frame, and only longer ones into vectors kept from call to call.
// Tools run on the host's one thread, and nothing here calls back into the
// plug-in.
constexpr int32_t kShort = 16;

struct Spill {
  std::vector<int32_t> startFaces, endFaces, vertices;
};
Spill g_spill;

int32_t* Room(int32_t count, int32_t* local, std::vector<int32_t>& spill) {
  if (count <= kShort) return local;
  spill.resize(static_cast<size_t>(count));
  return spill.data();
}

// The host calls of CMQObject::GetVertexRelatedFaces: the count, then the
// list when there is one.
int32_t RelatedFaces(const cmq::CMQObject& object, int32_t vertex, int32_t*& faces,
                     std::vector<int32_t>& spill) {
  if (object.object() == nullptr) return 0;
  const int32_t count = Host().MQObj_GetVertexRelatedFaces(object.object(), vertex, nullptr);
  if (count <= 0) return 0;
  faces = Room(count, faces, spill);
  Host().MQObj_GetVertexRelatedFaces(object.object(), vertex, faces);
  // The host lists a vertex's faces in ascending order already; sorting is
  // for a host that does not.
  for (int32_t i = 1; i < count; ++i) {
    if (faces[i] < faces[i - 1]) {
      std::sort(faces, faces + count);
      break;
    }
  }
  return count;
}

// Appends g's match when g holds the edge and no selected UV vertex.
void MatchFace(const cmq::CMQObject& object, int32_t g, int32_t start, int32_t end,
               std::vector<EdgeMatch>& matches) {
  // The host calls of CMQObject::GetFacePointArray.
  const int32_t m = object.GetFacePointCount(g);
  int32_t local[kShort];
  int32_t* vertices = local;
  if (m > 0) {
    vertices = Room(m, local, g_spill.vertices);
    Host().MQObj_GetFacePointArray(object.object(), g, vertices);
  }
  for (int32_t j = 0; j < m; ++j) {
    if (object.IsSelectUVVertex(UVVertexKey::Pack(g, j))) return;
  }
  for (int32_t j = 0; j < m; ++j) {
    const int32_t k = j + 1 < m ? j + 1 : 0;
    if (vertices[j] == end && vertices[k] == start) {
      matches.push_back({{g, k}, {g, j}});
      return;
    }
    if (vertices[j] == start && vertices[k] == end) {
      matches.push_back({{g, j}, {g, k}});
      return;
    }
  }
}

}  // namespace

void FindEdgeNeighbours(const cmq::CMQObject& object, int32_t start, int32_t end,
                        std::vector<EdgeMatch>& matches) {
  matches.clear();
  int32_t startLocal[kShort], endLocal[kShort];
  int32_t* startFaces = startLocal;
  int32_t* endFaces = endLocal;
  const int32_t startCount = RelatedFaces(object, start, startFaces, g_spill.startFaces);
  const int32_t endCount = RelatedFaces(object, end, endFaces, g_spill.endFaces);
  // The two ascending lists merged, each common face visited once in
  // ascending order: the faces a sorted intersection without repeats holds.
  int32_t i = 0, k = 0;
  bool visited = false;
  int32_t last = 0;
  while (i < startCount && k < endCount) {
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

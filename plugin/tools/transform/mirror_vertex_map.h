// The mirror vertex of every vertex of an object that has one, and the
// matching that builds it.
#pragma once

#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

// Vertex index to the index of its mirror vertex; a vertex on the symmetry
// plane maps to itself. Indexed directly by vertex, since vertex indices
// are dense in [0, vertex count).
class MirrorVertexMap {
 public:
  explicit MirrorVertexMap(int32_t vertexCount = 0);

  // Adds vertex -> mirror unless the vertex has an entry already, which is
  // then kept. Answers whether it added. Vertices outside [0, vertexCount)
  // are refused.
  bool Insert(int32_t vertex, int32_t mirror);
  // The mirror of `vertex`, or -1 when it has no entry (or is out of range).
  int32_t Find(int32_t vertex) const;
  bool Contains(int32_t vertex) const { return Find(vertex) >= 0; }
  size_t size() const { return size_; }

  friend bool operator==(const MirrorVertexMap& a, const MirrorVertexMap& b) {
    return a.mirror_ == b.mirror_;
  }

 private:
  std::vector<int32_t> mirror_;  // -1: no entry
  size_t size_ = 0;
};

// How a vertex's partner is looked for: both give the same partner; the
// scan is the quadratic definition, kept as a reference.
enum class MirrorSearch { kGrid, kScan };

struct MirrorVertexMatch {
  MirrorVertexMap map;
  std::vector<int32_t> deselected;  // vertices to drop from the selection, in the order of the host calls
};

// Pairs the vertices of an object across x = 0, over its positions and live
// flags (one per vertex slot, equally long). In ascending order, each live
// vertex i without an entry yet either lies on the plane (maps to itself,
// deselect i) or takes the lowest-index live vertex j != i within the
// partner tolerance of its mirror image: insert j -> i (kept if j has an
// entry already) and i -> j, deselect i then j. A vertex with no partner
// gets no entry and stays selected.
MirrorVertexMatch MatchMirrorVertices(const std::vector<MQPoint>& positions, const std::vector<uint8_t>& live,
                                      MirrorSearch search = MirrorSearch::kGrid);

// Reads the object's vertices, matches them and removes every matched
// vertex from the host's vertex selection, in the matching's order. A null
// handle gives an empty map and changes nothing.
MirrorVertexMap BuildMirrorVertexMap(const cmq::CMQObject& object);

// The mirror of each vertex in order, stopping at the first vertex without
// an entry: a result shorter than the input means some vertex has no
// mirror.
std::vector<int32_t> MirrorVertexList(const std::vector<int32_t>& vertices, const MirrorVertexMap& map);

}  // namespace pavlex

// Laying a polygon of four or more corners flat from its 3D shape: its
// triangles are unfolded one after another across their shared edges,
// depth first from the triangle that holds the anchoring edge, so each
// triangle keeps its 3D shape and all share one scale.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"
#include "plugin/tools/transform/edge_target.h"

namespace pavlex {

// One triangle of the polygon. Edge k runs from corners[k] to
// corners[(k + 1) mod 3].
struct UnfoldNode {
  int32_t index = 0;  // position in the triangle list
  bool visited = false;
  std::array<int32_t, 3> neighbours = {-1, -1, -1};  // node across edge k; -1 for none
  std::array<int32_t, 3> corners = {0, 0, 0};        // corner indices of the polygon
};

// One node per triangle, each edge linked to the first other node
// (ascending) whose edge runs the opposite way; that node's edge is linked
// back. Triangles must hold corner indices in [0, cornerCount).
std::vector<UnfoldNode> LinkUnfoldNodes(const std::vector<std::array<int32_t, 3>>& triangles);

// The unfold's result, one entry per polygon corner.
struct UnfoldResult {
  std::vector<UVPair> uvs;
  std::vector<uint8_t> placed;  // 1 where uvs holds a position; other corners keep their UV
  std::vector<int32_t> order;   // nodes in the order they were placed
};

// Unfolds from the first node (ascending, edges 0..2) with an edge from
// corner b to corner a, putting a on the target's start and b on its end.
// Answers false, placing nothing, when there is no such edge, when a
// triangle names a corner outside [0, cornerCount), or when the target has
// no length. `positions` holds cornerCount points in corner order.
//
// Degenerate steps are not placed through, so no NaN or infinity is ever
// produced: a node whose anchoring 3D edge has zero length (or whose scale
// overflows) is left unplaced and unvisited, and an edge between two placed
// corners whose UV length is zero or not finite is not continued from. A
// node so skipped may still be reached later across another edge. Corners
// no placed node covers stay unplaced.
bool UnfoldPolygon(const std::vector<std::array<int32_t, 3>>& triangles, const MQPoint* positions,
                   size_t cornerCount, int32_t a, int32_t b, const EdgeTarget& target, UnfoldResult& result);

// The 3D half of placing one node along one of its edges: a function of
// the node's three corner positions alone.
struct UnfoldFrame {
  MQPoint origin;
  MQPoint xAxis;
  MQPoint yAxis;
  float length;  // of the anchoring 3D edge; the axes mean something only when above 0
};

// The frame of a node laid along its edge that runs to `origin` from `end`
// (the origin lands on the target's start), `third` its other corner:
// unit x along the edge, unit y in the node's plane towards `third` (zero
// when the three are in line). Axes are zero when the edge has no length.
UnfoldFrame MakeUnfoldFrame(MQPoint origin, MQPoint end, MQPoint third);

// Every frame of the nodes, 3 * node + edge, edge l anchored with origin
// corners[(l + 1) mod 3], end corners[l] and third corners[(l + 2) mod 3];
// each as MakeUnfoldFrame makes it, bit for bit, except that the axes of an
// edge without length are left undefined. `frames` holds 3 * nodes.size().
void MakeUnfoldFrames(const std::vector<UnfoldNode>& nodes, const MQPoint* positions, UnfoldFrame* frames);

// What one unfold hands the next. Regularize lays a face out once per
// selected edge of it, and the host triangulates the unchanged face the
// same way each time: the links, a pure function of the triangle list, are
// then kept instead of made again, and the 3D frames, a pure function of
// the list and the positions, are kept while both stay the same bit for
// bit. The frames are made all at once, which costs about what the few an
// unfold needs would cost one by one (see MakeUnfoldFrames), and serves
// every later unfold of the face. No list is allocated anew.
struct UnfoldScratch {
  std::vector<std::array<int32_t, 3>> triangles;  // the list `nodes` were linked from
  size_t cornerCount = 0;                         // every corner of it is below this count
  bool linked = false;
  std::vector<UnfoldNode> nodes;
  std::vector<std::array<int32_t, 4>> edges;  // (from, to, node, edge), ascending
  std::vector<MQPoint> positions;             // what `frames` were made from
  std::vector<UnfoldFrame> frames;            // per node and edge, 3 * node + edge
  std::vector<std::array<int32_t, 2>> stack;  // the walk's (node, next edge) pairs
};

// As above, with the same result, reusing `scratch` from earlier calls.
bool UnfoldPolygon(const std::vector<std::array<int32_t, 3>>& triangles, const MQPoint* positions,
                   size_t cornerCount, int32_t a, int32_t b, const EdgeTarget& target, UnfoldResult& result,
                   UnfoldScratch& scratch);

}  // namespace pavlex

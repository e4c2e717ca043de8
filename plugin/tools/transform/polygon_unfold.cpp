#include "plugin/tools/transform/polygon_unfold.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "plugin/tools/transform/shape_placement.h"
#include "plugin/tools/transform/shape_vector.h"

namespace pavlex {

namespace {

// Directed triangle edges as (from, to, node, edge), sorted: the first
// entry of a run of (from, to) is the first node in ascending order.
void SortedEdges(const std::vector<std::array<int32_t, 3>>& triangles,
                 std::vector<std::array<int32_t, 4>>& edges) {
  edges.clear();
  edges.reserve(3 * triangles.size());
  for (size_t t = 0; t < triangles.size(); ++t) {
    for (int32_t k = 0; k < 3; ++k) {
      edges.push_back({triangles[t][static_cast<size_t>(k)], triangles[t][static_cast<size_t>((k + 1) % 3)],
                       static_cast<int32_t>(t), k});
    }
  }
  std::sort(edges.begin(), edges.end());
}

// The first (node, edge) that runs from `from` to `to`, or the end.
std::vector<std::array<int32_t, 4>>::const_iterator FirstEdge(
    const std::vector<std::array<int32_t, 4>>& edges, int32_t from, int32_t to) {
  const auto it =
      std::lower_bound(edges.begin(), edges.end(), std::array<int32_t, 4>{from, to, INT32_MIN, INT32_MIN});
  return it != edges.end() && (*it)[0] == from && (*it)[1] == to ? it : edges.end();
}

// Up to this many triangles (a quad has two, a hexagon four) a scan of all
// edges is quicker than sorting them, and finds the same first edge: the
// lowest node, then its lowest edge.
constexpr size_t kScannedTriangles = 6;

// The first (node, edge) that runs from `from` to `to`, skipping node
// `other`, by a scan; {-1, -1} when there is none.
std::array<int32_t, 2> ScanFirstEdge(const std::vector<std::array<int32_t, 3>>& triangles, int32_t from,
                                     int32_t to, int32_t other) {
  for (size_t t = 0; t < triangles.size(); ++t) {
    if (static_cast<int32_t>(t) == other) continue;
    const std::array<int32_t, 3>& c = triangles[t];
    if (c[0] == from && c[1] == to) return {static_cast<int32_t>(t), 0};
    if (c[1] == from && c[2] == to) return {static_cast<int32_t>(t), 1};
    if (c[2] == from && c[0] == to) return {static_cast<int32_t>(t), 2};
  }
  return {-1, -1};
}

void Link(const std::vector<std::array<int32_t, 3>>& triangles,
          const std::vector<std::array<int32_t, 4>>& edges, std::vector<UnfoldNode>& nodes) {
  nodes.assign(triangles.size(), UnfoldNode{});
  for (size_t t = 0; t < triangles.size(); ++t) {
    nodes[t].index = static_cast<int32_t>(t);
    nodes[t].corners = triangles[t];
  }
  if (triangles.size() <= kScannedTriangles) {
    for (UnfoldNode& node : nodes) {
      for (int32_t k = 0; k < 3; ++k) {
        if (node.neighbours[static_cast<size_t>(k)] >= 0) continue;
        const auto [j, l] = ScanFirstEdge(triangles, node.corners[static_cast<size_t>((k + 1) % 3)],
                                          node.corners[static_cast<size_t>(k)], node.index);
        if (j < 0) continue;
        node.neighbours[static_cast<size_t>(k)] = j;
        nodes[static_cast<size_t>(j)].neighbours[static_cast<size_t>(l)] = node.index;
      }
    }
    return;
  }
  // A sorted edge list finds each opposite edge in O(log T) where a scan of
  // all nodes would be quadratic in the polygon's corner count.
  for (UnfoldNode& node : nodes) {
    for (int32_t k = 0; k < 3; ++k) {
      if (node.neighbours[static_cast<size_t>(k)] >= 0) continue;
      const int32_t from = node.corners[static_cast<size_t>((k + 1) % 3)];
      const int32_t to = node.corners[static_cast<size_t>(k)];
      for (auto it = FirstEdge(edges, from, to); it != edges.end() && (*it)[0] == from && (*it)[1] == to;
           ++it) {
        if ((*it)[2] == node.index) continue;
        node.neighbours[static_cast<size_t>(k)] = (*it)[2];
        nodes[static_cast<size_t>((*it)[2])].neighbours[static_cast<size_t>((*it)[3])] = node.index;
        break;
      }
    }
  }
}

class Unfolder {
 public:
  Unfolder(const MQPoint* positions, float side, UnfoldResult& result, UnfoldScratch& scratch)
      : nodes_(scratch.nodes),
        positions_(positions),
        side_(side),
        result_(result),
        stack_(scratch.stack),
        frames_(scratch.frames) {}

  // Places node t along its edge l: corners[(l + 1) mod 3] on `start` and
  // corners[l] at `length` along `direction`. False, changing nothing, for
  // a zero-length (or overflowing) anchoring edge.
  bool Place(int32_t t, int32_t l, UVPair start, UVPair direction, float length) {
    UnfoldNode& node = nodes_[static_cast<size_t>(t)];
    const UnfoldFrame& shape = frames_[3 * static_cast<size_t>(node.index) + static_cast<size_t>(l)];
    const float lambda = shape.length;
    const float k = length / lambda;
    if (!(lambda > 0.0f) || !std::isfinite(k)) return false;
    ShapeFrame frame;
    frame.origin = shape.origin;
    frame.xAxis = shape.xAxis;
    frame.yAxis = shape.yAxis;
    frame.start = start;
    frame.direction = direction;
    frame.side = side_;
    frame.scale = k;
    for (int32_t c = 0; c < 3; ++c) {
      const auto corner = static_cast<size_t>(node.corners[static_cast<size_t>(c)]);
      if (result_.placed[corner]) continue;
      const UVPair uv = PlaceShapePoint(frame, positions_[corner]);
      if (!IsFiniteUV(uv)) continue;
      result_.uvs[corner] = uv;
      result_.placed[corner] = 1;
    }
    node.visited = true;
    result_.order.push_back(t);
    return true;
  }

  // Depth first from the placed root, like a recursive walk, but on an
  // explicit stack: a polygon of many thousands of corners would overflow
  // the call stack.
  void Walk(int32_t root) {
    if (nodes_.size() == 2) {
      // A quad: the other node links back only to the root, which is
      // visited, so nothing goes on from it once placed.
      for (int32_t i = 0; i < 3; ++i) Continue(root, i);
      return;
    }
    stack_.clear();
    stack_.push_back({root, 0});
    while (!stack_.empty()) {
      // (node, next edge to try)
      std::array<int32_t, 2>& top = stack_.back();
      if (top[1] == 3) {
        stack_.pop_back();
        continue;
      }
      const int32_t t = top[0];
      const int32_t i = top[1]++;
      // `top` may dangle once the stack grows; it is not used below.
      const int32_t placed = Continue(t, i);
      if (placed >= 0) stack_.push_back({placed, 0});
    }
  }

 private:
  // Places the unvisited neighbour across edge i of placed node t along
  // that edge, and answers it; -1 when there is none, when the edge's two
  // corners are not both placed or its UV length is zero or not finite, or
  // when the neighbour could not be placed.
  int32_t Continue(int32_t t, int32_t i) {
    const UnfoldNode& node = nodes_[static_cast<size_t>(t)];
    const int32_t n = node.neighbours[static_cast<size_t>(i)];
    if (n < 0 || nodes_[static_cast<size_t>(n)].visited) return -1;
    const auto from = static_cast<size_t>(node.corners[static_cast<size_t>(i)]);
    const auto to = static_cast<size_t>(node.corners[static_cast<size_t>((i + 1) % 3)]);
    if (!result_.placed[from] || !result_.placed[to]) return -1;
    const UVPair s = result_.uvs[from];
    const UVPair d{result_.uvs[to].u - s.u, result_.uvs[to].v - s.v};
    const float length = UVLength(d);
    if (!(length > 0.0f) || !std::isfinite(length)) return -1;
    const UnfoldNode& next = nodes_[static_cast<size_t>(n)];
    int32_t back = 0;
    while (back < 3 && next.neighbours[static_cast<size_t>(back)] != t) ++back;
    if (back == 3) return -1;
    return Place(n, back, s, {d.u / length, d.v / length}, length) ? n : -1;
  }

  std::vector<UnfoldNode>& nodes_;
  const MQPoint* positions_;
  float side_;
  UnfoldResult& result_;
  std::vector<std::array<int32_t, 2>>& stack_;
  const std::vector<UnfoldFrame>& frames_;
};

}  // namespace

std::vector<UnfoldNode> LinkUnfoldNodes(const std::vector<std::array<int32_t, 3>>& triangles) {
  std::vector<std::array<int32_t, 4>> edges;
  SortedEdges(triangles, edges);
  std::vector<UnfoldNode> nodes;
  Link(triangles, edges, nodes);
  return nodes;
}

bool UnfoldPolygon(const std::vector<std::array<int32_t, 3>>& triangles, const MQPoint* positions,
                   size_t cornerCount, int32_t a, int32_t b, const EdgeTarget& target, UnfoldResult& result) {
  UnfoldScratch scratch;
  return UnfoldPolygon(triangles, positions, cornerCount, a, b, target, result, scratch);
}

bool UnfoldPolygon(const std::vector<std::array<int32_t, 3>>& triangles, const MQPoint* positions,
                   size_t cornerCount, int32_t a, int32_t b, const EdgeTarget& target, UnfoldResult& result,
                   UnfoldScratch& scratch) {
  // Sized once for faces of one corner count, and refilled in place.
  result.uvs.resize(cornerCount);
  std::fill(result.uvs.begin(), result.uvs.end(), UVPair{0.0f, 0.0f});
  result.placed.resize(cornerCount);
  std::fill(result.placed.begin(), result.placed.end(), uint8_t{0});
  result.order.clear();
  const bool sameTriangles = scratch.linked && scratch.triangles == triangles;
  if (!sameTriangles || scratch.cornerCount != cornerCount) {
    for (const auto& triangle : triangles) {
      for (const int32_t c : triangle) {
        if (c >= 0 && static_cast<size_t>(c) < cornerCount) continue;
        scratch.linked = false;  // checked against another count next time
        return false;
      }
    }
    scratch.cornerCount = cornerCount;
  }
  const float length = UVLength(target.dir);
  if (!(length > 0.0f) || !std::isfinite(length)) return false;

  const size_t frameCount = 3 * triangles.size();
  if (sameTriangles) {
    for (UnfoldNode& node : scratch.nodes) node.visited = false;
  } else {
    scratch.triangles = triangles;
    if (triangles.size() > kScannedTriangles) SortedEdges(triangles, scratch.edges);
    Link(triangles, scratch.edges, scratch.nodes);
    scratch.linked = true;
  }
  // Frames made from other triangles or other positions are made again.
  if (!sameTriangles || scratch.positions.size() != cornerCount ||
      (cornerCount > 0 &&
       std::memcmp(scratch.positions.data(), positions, cornerCount * sizeof *positions) != 0)) {
    scratch.positions.assign(positions, positions + cornerCount);
    scratch.frames.resize(frameCount);
    MakeUnfoldFrames(scratch.nodes, positions, scratch.frames.data());
  }

  std::array<int32_t, 2> first{-1, -1};  // (node, edge)
  if (triangles.size() <= kScannedTriangles) {
    first = ScanFirstEdge(triangles, b, a, -1);
  } else if (const auto it = FirstEdge(scratch.edges, b, a); it != scratch.edges.end()) {
    first = {(*it)[2], (*it)[3]};
  }
  if (first[0] < 0) return false;
  Unfolder unfolder(positions, target.side, result, scratch);
  if (unfolder.Place(first[0], first[1], target.start, {target.dir.u / length, target.dir.v / length}, length))
    unfolder.Walk(first[0]);
  return true;
}

}  // namespace pavlex

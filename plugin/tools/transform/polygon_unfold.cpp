#include "plugin/tools/transform/polygon_unfold.h"

#include <algorithm>
#include <cmath>

#include "plugin/tools/transform/shape_placement.h"
#include "plugin/tools/transform/shape_vector.h"

namespace pavlex {

namespace {

// A directed triangle edge, ordered by (from, to, node, edge) so that the
// first entry of a run is the first node in ascending order.
struct DirectedEdge {
  int64_t from;
  int64_t to;
  int32_t node;
  int32_t edge;
  bool operator<(const DirectedEdge& o) const {
    if (from != o.from) return from < o.from;
    if (to != o.to) return to < o.to;
    if (node != o.node) return node < o.node;
    return edge < o.edge;
  }
};

class Unfolder {
 public:
  Unfolder(std::vector<UnfoldNode>& nodes, const MQPoint* positions, float side, UnfoldResult& result,
           std::vector<std::array<int32_t, 2>>& stack)
      : nodes_(nodes), positions_(positions), side_(side), result_(result), stack_(stack) {}

  // Places node t along its edge l: corners[(l + 1) mod 3] on `start` and
  // corners[l] at `length` along `direction`. False, changing nothing, for
  // a zero-length (or overflowing) anchoring edge.
  bool Place(int32_t t, int32_t l, UVPair start, UVPair direction, float length) {
    UnfoldNode& node = nodes_[static_cast<size_t>(t)];
    const MQPoint o = Corner(node, (l + 1) % 3);
    const MQPoint x = Sub(Corner(node, l), o);
    const float lambda = Length(x);
    const float k = length / lambda;
    if (!(lambda > 0.0f) || !std::isfinite(k)) return false;
    ShapeFrame frame;
    frame.origin = o;
    frame.xAxis = Divide(x, lambda);
    const MQPoint n = NormalizedOrZero(Cross(frame.xAxis, Sub(Corner(node, (l + 2) % 3), o)));
    frame.yAxis = NormalizedOrZero(Cross(n, frame.xAxis));
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

  // Tries to continue from placed node t across its edge i. Depth first,
  // like a recursive walk, but on an explicit stack: a polygon of many
  // thousands of corners would overflow the call stack.
  void Walk(int32_t root) {
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
      const UnfoldNode& node = nodes_[static_cast<size_t>(t)];
      const int32_t n = node.neighbours[static_cast<size_t>(i)];
      if (n < 0 || nodes_[static_cast<size_t>(n)].visited) continue;
      const auto from = static_cast<size_t>(node.corners[static_cast<size_t>(i)]);
      const auto to = static_cast<size_t>(node.corners[static_cast<size_t>((i + 1) % 3)]);
      if (!result_.placed[from] || !result_.placed[to]) continue;
      const UVPair s = result_.uvs[from];
      const UVPair d{result_.uvs[to].u - s.u, result_.uvs[to].v - s.v};
      const float length = UVLength(d);
      if (!(length > 0.0f) || !std::isfinite(length)) continue;
      const UnfoldNode& next = nodes_[static_cast<size_t>(n)];
      int32_t back = 0;
      while (back < 3 && next.neighbours[static_cast<size_t>(back)] != t) ++back;
      if (back == 3) continue;
      // `top` may dangle once the stack grows; it is not used below.
      if (Place(n, back, s, {d.u / length, d.v / length}, length)) stack_.push_back({n, 0});
    }
  }

 private:
  MQPoint Corner(const UnfoldNode& node, int32_t k) const {
    return positions_[static_cast<size_t>(node.corners[static_cast<size_t>(k)])];
  }

  std::vector<UnfoldNode>& nodes_;
  const MQPoint* positions_;
  float side_;
  UnfoldResult& result_;
  std::vector<std::array<int32_t, 2>>& stack_;
};

}  // namespace

std::vector<UnfoldNode> LinkUnfoldNodes(const std::vector<std::array<int32_t, 3>>& triangles) {
  std::vector<UnfoldNode> nodes(triangles.size());
  std::vector<DirectedEdge> edges;
  edges.reserve(3 * triangles.size());
  for (size_t t = 0; t < triangles.size(); ++t) {
    nodes[t].index = static_cast<int32_t>(t);
    nodes[t].corners = triangles[t];
    for (int32_t k = 0; k < 3; ++k) {
      edges.push_back({triangles[t][static_cast<size_t>(k)], triangles[t][static_cast<size_t>((k + 1) % 3)],
                       static_cast<int32_t>(t), k});
    }
  }
  // A sorted edge list finds each opposite edge in O(log T) where a scan of
  // all nodes would be quadratic in the polygon's corner count.
  std::sort(edges.begin(), edges.end());
  for (UnfoldNode& node : nodes) {
    for (int32_t k = 0; k < 3; ++k) {
      if (node.neighbours[static_cast<size_t>(k)] >= 0) continue;
      const int64_t from = node.corners[static_cast<size_t>((k + 1) % 3)];
      const int64_t to = node.corners[static_cast<size_t>(k)];
      auto it = std::lower_bound(edges.begin(), edges.end(), DirectedEdge{from, to, INT32_MIN, INT32_MIN});
      for (; it != edges.end() && it->from == from && it->to == to; ++it) {
        if (it->node == node.index) continue;
        node.neighbours[static_cast<size_t>(k)] = it->node;
        nodes[static_cast<size_t>(it->node)].neighbours[static_cast<size_t>(it->edge)] = node.index;
        break;
      }
    }
  }
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
  result.uvs.assign(cornerCount, UVPair{0.0f, 0.0f});
  result.placed.assign(cornerCount, 0);
  result.order.clear();
  for (const auto& triangle : triangles) {
    for (const int32_t c : triangle) {
      if (c < 0 || static_cast<size_t>(c) >= cornerCount) return false;
    }
  }
  const float length = UVLength(target.dir);
  if (!(length > 0.0f) || !std::isfinite(length)) return false;

  std::vector<UnfoldNode>& nodes = scratch.nodes;
  if (scratch.linked && scratch.triangles == triangles) {
    for (UnfoldNode& node : nodes) node.visited = false;
  } else {
    nodes = LinkUnfoldNodes(triangles);
    scratch.triangles = triangles;
    scratch.linked = true;
  }
  for (const UnfoldNode& node : nodes) {
    for (int32_t l = 0; l < 3; ++l) {
      if (node.corners[static_cast<size_t>(l)] != b || node.corners[static_cast<size_t>((l + 1) % 3)] != a)
        continue;
      Unfolder unfolder(nodes, positions, target.side, result, scratch.stack);
      if (unfolder.Place(node.index, l, target.start, {target.dir.u / length, target.dir.v / length}, length))
        unfolder.Walk(node.index);
      return true;
    }
  }
  return false;
}

}  // namespace pavlex

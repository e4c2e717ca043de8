// Polygon triangulation by ear clipping on the polygon's best-fit plane.
//
// Sources of the method:
// - The plane: Newell's method for the normal of a (possibly non-planar)
//   polygon, as described in F. Tampieri, "Newell's Method for Computing the
//   Plane Equation of a Polygon", Graphics Gems III (1992), pp. 231-232.
// - Ear clipping: every simple polygon with more than three vertices has two
//   non-overlapping ears (G. H. Meisters, "Polygons Have Ears", American
//   Mathematical Monthly 82 (1975), pp. 648-651); cutting one off leaves a
//   simple polygon with one vertex fewer. The ear test follows D. Eberly,
//   "Triangulation by Ear Clipping" (Geometric Tools, 2002): a convex vertex
//   is an ear when no reflex vertex lies in its triangle; convex vertices
//   need not be tested.
//
// Degenerate input (collinear or repeated points, self-intersection, strong
// non-planarity) may leave no proper ear. The least-bad corner is cut off
// then, in this order of preference: a flat corner (a zero-area cut leaves
// the rest of the polygon unchanged), a convex corner with the fewest other
// vertices in its triangle, a reflex corner with the smallest turn. Every
// cut removes one vertex, so the count is always n - 2.
//
// Only non-convex vertices can block an ear, so they are kept in a tree of
// boxes over the polygon's plane, updated as cuts change the corners beside
// them: an ear test looks at the few boxes its triangle (and the tolerance
// around it) can reach instead of at every vertex, and a polygon of many
// thousands of corners (a cap of a finely divided cylinder) is cut in about
// n log n time instead of quadratic. The tree changes where the test looks,
// never its answer.
#include "host/document/triangulate.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <type_traits>
#include <vector>

namespace pavlex::host {
namespace {

struct Vec3 {
  double x, y, z;
};
Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
double length(Vec3 a) {
  return std::sqrt(dot(a, a));
}
Vec3 scaled(Vec3 a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}

struct Node {
  double x, y;  // position in the plane
  int32_t prev, next;
  bool ear;
};

// Twice the signed area of (a, b, c): above 0 for a left turn at b.
double Turn(const Node& a, const Node& b, const Node& c) {
  return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
}

// Point p inside or on the triangle (a, b, c) of counter-clockwise order,
// with the tolerance `eps`.
bool InTriangle(const Node& a, const Node& b, const Node& c, const Node& p, double eps) {
  const double ab = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
  const double bc = (c.x - b.x) * (p.y - b.y) - (c.y - b.y) * (p.x - b.x);
  const double ca = (a.x - c.x) * (p.y - c.y) - (a.y - c.y) * (p.x - c.x);
  return ab >= -eps && bc >= -eps && ca >= -eps;
}

enum class Corner { kConvex, kFlat, kReflex };

// A set of vertex indices with constant-time insert, erase and listing.
class IndexSet {
 public:
  explicit IndexSet(int32_t n) : slot_(static_cast<size_t>(n), -1) {}
  bool contains(int32_t i) const { return slot_[static_cast<size_t>(i)] >= 0; }
  void insert(int32_t i) {
    if (contains(i)) return;
    slot_[static_cast<size_t>(i)] = static_cast<int32_t>(items_.size());
    items_.push_back(i);
  }
  void erase(int32_t i) {
    const int32_t at = slot_[static_cast<size_t>(i)];
    if (at < 0) return;
    const int32_t last = items_.back();
    items_[static_cast<size_t>(at)] = last;
    slot_[static_cast<size_t>(last)] = at;
    items_.pop_back();
    slot_[static_cast<size_t>(i)] = -1;
  }
  const std::vector<int32_t>& items() const { return items_; }

 private:
  std::vector<int32_t> items_;
  std::vector<int32_t> slot_;  // position in items_, -1 when absent
};

// The non-convex vertices still in the ring, in a tree of boxes over the
// polygon's corners built once: each box counts the vertices in it that are
// in the set, so a search skips empty boxes and boxes that no point of the
// ear test's region can reach. A uniform grid would hold a hundred corners
// a cell along the rim of a fine circle; boxes follow the corners instead.
class ReflexTree {
 public:
  ReflexTree(const Node* nodes, int32_t n)
      : nodes_(nodes), active_(static_cast<size_t>(n), 0), leafOf_(static_cast<size_t>(n), -1), all_(n) {
    bool finite = true;
    for (int32_t i = 0; i < n; ++i) finite = finite && std::isfinite(nodes[i].x) && std::isfinite(nodes[i].y);
    // Points that are not finite numbers cannot be sorted into boxes: the
    // search then looks at every vertex in the set. Still right, just slow.
    if (!finite) return;
    order_.resize(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) order_[static_cast<size_t>(i)] = i;
    boxes_.reserve(static_cast<size_t>(4 * (n / kLeaf + 1)));
    boxes_.resize(1);
    build(0, -1, 0, n);
  }

  void insert(int32_t i) {
    if (active_[static_cast<size_t>(i)] != 0) return;
    active_[static_cast<size_t>(i)] = 1;
    all_.insert(i);
    count(i, 1);
  }
  void erase(int32_t i) {
    if (active_[static_cast<size_t>(i)] == 0) return;
    active_[static_cast<size_t>(i)] = 0;
    all_.erase(i);
    count(i, -1);
  }

  // Calls visit(i) for every vertex in the set that the ear test of the
  // counter-clockwise triangle (a, b, c) with tolerance `eps` may accept,
  // and maybe a few more; stops when visit answers true, and answers
  // whether it did. The test accepts points up to eps / |edge| outside each
  // edge, which near a sharp corner of a thin triangle reaches far beyond
  // its own box. So boxes are tested against the three edge inequalities
  // themselves, with 2 eps: the second eps covers the rounding of both the
  // ear test and the tests here, which stays below 1e-14 of it for points
  // within the polygon's bounds.
  template <class Visit>
  bool anyInTriangle(const Node& a, const Node& b, const Node& c, double eps, Visit&& visit) const {
    const Edge edges[3] = {
        {a.x, a.y, b.x - a.x, b.y - a.y}, {b.x, b.y, c.x - b.x, c.y - b.y}, {c.x, c.y, a.x - c.x, a.y - c.y}};
    bool finite = !boxes_.empty();
    for (const Edge& e : edges) {
      finite =
          finite && std::isfinite(e.x) && std::isfinite(e.y) && std::isfinite(e.dx) && std::isfinite(e.dy);
    }
    if (!finite) {
      for (const int32_t i : all_.items()) {
        if (visit(i)) return true;
      }
      return false;
    }
    const double slack = 2 * eps;
    // The region's bounds: the x that some y of the polygon's bounds lets
    // pass all three edges, then the y that some such x does.
    const Box& root = boxes_[0];
    Range x{root.x0, root.x1}, y{root.y0, root.y1};
    for (const Edge& e : edges) x = x.meet(XRange(e, y, slack));
    for (const Edge& e : edges) y = y.meet(YRange(e, x, slack));
    if (x.empty() || y.empty()) return false;
    stack_.clear();
    stack_.push_back(0);
    while (!stack_.empty()) {
      const Box& box = boxes_[static_cast<size_t>(stack_.back())];
      stack_.pop_back();
      if (box.count == 0 || box.x1 < x.lo || box.x0 > x.hi || box.y1 < y.lo || box.y0 > y.hi) continue;
      bool reached = true;
      for (const Edge& e : edges) {
        // The box's corner that does best on this edge's inequality.
        const double bestX = e.dy > 0 ? box.x0 : box.x1, bestY = e.dx > 0 ? box.y1 : box.y0;
        reached = reached && e.dx * (bestY - e.y) - e.dy * (bestX - e.x) + slack >= 0;
      }
      if (!reached) continue;
      if (box.left < 0) {
        for (int32_t at = box.first; at < box.end; ++at) {
          const int32_t i = order_[static_cast<size_t>(at)];
          if (active_[static_cast<size_t>(i)] != 0 && visit(i)) return true;
        }
        continue;
      }
      stack_.push_back(box.left);
      stack_.push_back(box.left + 1);
    }
    return false;
  }

 private:
  static constexpr int32_t kLeaf = 8;

  // The ear test's inequality for one edge: the point p passes when
  // dx * (p.y - y) - dy * (p.x - x) >= -eps.
  struct Edge {
    double x, y, dx, dy;
  };
  struct Range {
    double lo, hi;
    bool empty() const { return !(lo <= hi); }
    Range meet(Range o) const { return {std::max(lo, o.lo), std::min(hi, o.hi)}; }
  };
  // The x where some y of `ys` passes the edge with tolerance `slack`.
  static Range XRange(const Edge& e, Range ys, double slack) {
    const double best = std::max(e.dx * (ys.lo - e.y), e.dx * (ys.hi - e.y)) + slack;
    if (e.dy > 0) return {-HUGE_VAL, e.x + best / e.dy};
    if (e.dy < 0) return {e.x + best / e.dy, HUGE_VAL};
    return best >= 0 ? Range{-HUGE_VAL, HUGE_VAL} : Range{1, 0};
  }
  // The y where some x of `xs` passes the edge with tolerance `slack`.
  static Range YRange(const Edge& e, Range xs, double slack) {
    const double best = std::max(-e.dy * (xs.lo - e.x), -e.dy * (xs.hi - e.x)) + slack;
    if (e.dx > 0) return {e.y - best / e.dx, HUGE_VAL};
    if (e.dx < 0) return {-HUGE_VAL, e.y - best / e.dx};
    return best >= 0 ? Range{-HUGE_VAL, HUGE_VAL} : Range{1, 0};
  }

  struct Box {
    double x0, y0, x1, y1;  // bounds of the corners order_[first..end)
    int32_t first, end;
    int32_t parent;
    int32_t left;   // first of two adjacent children; -1 for a leaf
    int32_t count;  // corners in it that are in the set
  };

  // Fills box `slot` with order_[first, end) and splits it at its middle
  // along the longer side of its bounds; the two children sit side by side.
  void build(int32_t slot, int32_t parent, int32_t first, int32_t end) {
    Box box{HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL, first, end, parent, -1, 0};
    for (int32_t at = first; at < end; ++at) {
      const Node& p = nodes_[order_[static_cast<size_t>(at)]];
      box.x0 = std::min(box.x0, p.x);
      box.y0 = std::min(box.y0, p.y);
      box.x1 = std::max(box.x1, p.x);
      box.y1 = std::max(box.y1, p.y);
    }
    if (end - first <= kLeaf) {
      for (int32_t at = first; at < end; ++at)
        leafOf_[static_cast<size_t>(order_[static_cast<size_t>(at)])] = slot;
      boxes_[static_cast<size_t>(slot)] = box;
      return;
    }
    const int32_t middle = first + (end - first) / 2;
    const bool alongX = box.x1 - box.x0 >= box.y1 - box.y0;
    std::nth_element(
        order_.begin() + first, order_.begin() + middle, order_.begin() + end,
        [&](int32_t i, int32_t j) { return alongX ? nodes_[i].x < nodes_[j].x : nodes_[i].y < nodes_[j].y; });
    box.left = static_cast<int32_t>(boxes_.size());
    boxes_[static_cast<size_t>(slot)] = box;
    boxes_.resize(boxes_.size() + 2);
    build(box.left, slot, first, middle);
    build(box.left + 1, slot, middle, end);
  }

  void count(int32_t i, int32_t delta) {
    for (int32_t b = leafOf_[static_cast<size_t>(i)]; b >= 0; b = boxes_[static_cast<size_t>(b)].parent)
      boxes_[static_cast<size_t>(b)].count += delta;
  }

  const Node* nodes_;
  std::vector<uint8_t> active_;         // 1 while in the set
  std::vector<int32_t> order_;          // corners, grouped box by box
  std::vector<int32_t> leafOf_;         // the leaf box that holds each corner; -1 without boxes
  std::vector<Box> boxes_;              // boxes_[0] is the root; empty when a point is not finite
  mutable std::vector<int32_t> stack_;  // boxes still to look at, reused from search to search
  IndexSet all_;                        // every vertex in the set
};

class EarClipper {
 public:
  // Small polygons (up to 64 corners, the common case) need no heap memory
  // and no tree: a scan of the ring is as quick.
  EarClipper(Node* nodes, int32_t n, double eps) : nodes_(nodes), remaining_(n), eps_(eps) {
    if (n > 64) {
      reflex_.emplace(nodes, n);
      convex_.emplace(n);
    }
  }

  void run(int32_t* out) {
    for (int32_t i = 0; i < remaining_; ++i) reclassify(i);
    for (int32_t i = 0; i < remaining_; ++i) setEar(i, isEar(i));
    int32_t cursor = 0;
    while (remaining_ > 3) {
      int32_t ear = findEar(cursor);
      bool proper = ear >= 0;
      if (!proper) {
        refreshAll(cursor);  // a removed reflex vertex may have freed ears elsewhere
        ear = findEar(cursor);
        proper = ear >= 0;
        if (!proper) ear = leastBad(cursor);
      }
      const int32_t a = nodes_[ear].prev, c = nodes_[ear].next;
      out = emit(out, a, ear, c);
      nodes_[a].next = c;
      nodes_[c].prev = a;
      --remaining_;
      setEar(ear, false);
      if (reflex_) {
        reflex_->erase(ear);
        convex_->erase(ear);
      }
      reclassify(a);
      reclassify(c);
      if (proper) {
        setEar(a, isEar(a));
        setEar(c, isEar(c));
      } else {
        refreshAll(c);
      }
      cursor = c;
    }
    emit(out, nodes_[cursor].prev, cursor, nodes_[cursor].next);
  }

 private:
  static int32_t* emit(int32_t* out, int32_t a, int32_t b, int32_t c) {
    out[0] = a;
    out[1] = b;
    out[2] = c;
    return out + 3;
  }

  double turn(int32_t i) const { return Turn(nodes_[nodes_[i].prev], nodes_[i], nodes_[nodes_[i].next]); }
  Corner classify(int32_t i) const {
    const double t = turn(i);
    if (t > eps_) return Corner::kConvex;
    return t < -eps_ ? Corner::kReflex : Corner::kFlat;
  }

  bool inTriangle(const Node& a, const Node& b, const Node& c, const Node& p) const {
    return InTriangle(a, b, c, p, eps_);
  }

  // The ear flags are counted, so a ring without ears is known at once
  // rather than by a walk around it.
  void setEar(int32_t i, bool ear) {
    earCount_ += static_cast<int32_t>(ear) - static_cast<int32_t>(nodes_[i].ear);
    nodes_[i].ear = ear;
  }

  // Keeps the tree of non-convex vertices and the set of convex ones in
  // step with vertex i's corner. Only a convex corner can be an ear, so a
  // corner that stops being convex drops its flag here.
  void reclassify(int32_t i) {
    if (!reflex_) return;
    if (classify(i) == Corner::kConvex) {
      reflex_->erase(i);
      convex_->insert(i);
    } else {
      reflex_->insert(i);
      convex_->erase(i);
      setEar(i, false);
    }
  }

  // Vertices of the remaining polygon, other than the corner's own three,
  // that lie in the corner's triangle; only non-convex ones when
  // `nonConvexOnly`. Stops counting at `limit`.
  int32_t blockers(int32_t i, bool nonConvexOnly, int32_t limit) const {
    const int32_t a = nodes_[i].prev, c = nodes_[i].next;
    if (reflex_ && nonConvexOnly && limit == 1) {
      const Node &na = nodes_[a], &ni = nodes_[i], &nc = nodes_[c];
      return reflex_->anyInTriangle(
                 na, ni, nc, eps_,
                 [&](int32_t p) { return p != a && p != i && p != c && inTriangle(na, ni, nc, nodes_[p]); })
                 ? 1
                 : 0;
    }
    int32_t count = 0;
    for (int32_t p = nodes_[c].next; p != a && count < limit; p = nodes_[p].next) {
      if (nonConvexOnly && classify(p) == Corner::kConvex) continue;
      if (inTriangle(nodes_[a], nodes_[i], nodes_[c], nodes_[p])) ++count;
    }
    return count;
  }

  bool isEar(int32_t i) const { return classify(i) == Corner::kConvex && blockers(i, true, 1) == 0; }

  int32_t findEar(int32_t start) const {
    if (earCount_ == 0) return -1;
    int32_t i = start;
    do {
      if (nodes_[i].ear) return i;
      i = nodes_[i].next;
    } while (i != start);
    return -1;
  }

  // `start` is any node still in the ring. With the sets kept, only convex
  // corners need a look: the others hold no ear flag.
  void refreshAll(int32_t start) {
    if (convex_) {
      for (const int32_t i : convex_->items()) setEar(i, isEar(i));
      return;
    }
    int32_t i = start;
    do {
      setEar(i, isEar(i));
      i = nodes_[i].next;
    } while (i != start);
  }

  int32_t leastBad(int32_t start) const {
    int32_t best = -1;
    int rankBest = 0;
    double scoreBest = 0;
    int32_t i = start;
    do {
      int rank;
      double score;
      switch (classify(i)) {
        case Corner::kFlat:
          return i;
        case Corner::kConvex:
          rank = 0;
          score = blockers(i, false, remaining_);
          break;
        default:
          rank = 1;
          score = -turn(i);
          break;
      }
      if (best < 0 || rank < rankBest || (rank == rankBest && score < scoreBest)) {
        best = i;
        rankBest = rank;
        scoreBest = score;
      }
      i = nodes_[i].next;
    } while (i != start);
    return best;
  }

  Node* nodes_;
  int32_t remaining_;
  double eps_;
  int32_t earCount_ = 0;              // nodes whose ear flag is set
  std::optional<ReflexTree> reflex_;  // non-convex corners, for polygons over 64 corners
  std::optional<IndexSet> convex_;    // convex corners, likewise
};

// The last large polygon cut on this thread and its triangles. A plug-in
// that lays one face out again and again (once per selected edge) asks for
// the same points each time; the answer is a function of their bits alone.
struct LastCut {
  std::vector<MQPoint> points;
  std::vector<int32_t> indices;
};
thread_local LastCut lastCut;

// The same for the last quad: the plug-in lays a quad out once per selected
// edge of it, each time asking to cut it again. Plain arrays, so the check
// needs no heap and no guard.
struct LastQuad {
  bool kept;
  MQPoint points[4];
  int32_t indices[6];
};
thread_local LastQuad lastQuad;

bool TriangulateAnew(const MQPoint* points, int32_t count, int32_t* indices);

}  // namespace

bool TriangulatePolygon(const MQPoint* points, int32_t count, int32_t* indices) {
  if (points == nullptr || indices == nullptr || count < 3) return false;
  if (count == 4) {
    LastQuad& last = lastQuad;
    if (last.kept && std::memcmp(last.points, points, sizeof last.points) == 0) {
      std::copy(last.indices, last.indices + 6, indices);
      return true;
    }
    TriangulateAnew(points, count, indices);
    std::copy(points, points + 4, last.points);
    std::copy(indices, indices + 6, last.indices);
    last.kept = true;
    return true;
  }
  if (count <= 64) return TriangulateAnew(points, count, indices);
  const auto n = static_cast<size_t>(count);
  if (lastCut.points.size() == n && std::memcmp(lastCut.points.data(), points, n * sizeof *points) == 0) {
    std::copy(lastCut.indices.begin(), lastCut.indices.end(), indices);
    return true;
  }
  lastCut.points.clear();  // a cut that throws leaves nothing half kept
  TriangulateAnew(points, count, indices);
  lastCut.indices.assign(indices, indices + 3 * (n - 2));
  lastCut.points.assign(points, points + n);
  return true;
}

namespace {

// Lays points[0..n-1] into their best-fit plane as a counter-clockwise ring
// in nodes[0..n-1] (n >= 3) and answers the tolerance for "flat" and "on
// the edge". `Count` is size_t, or a constant for which every loop unrolls.
template <class Count>
double ProjectToPlane(const MQPoint* points, Count count, Node* nodes) {
  const size_t n = count;
  // Centre the points for precision and find the Newell normal.
  Vec3 centre{0, 0, 0};
  for (size_t i = 0; i < n; ++i)
    centre = {centre.x + points[i].x, centre.y + points[i].y, centre.z + points[i].z};
  centre = scaled(centre, 1.0 / static_cast<double>(n));
  auto at = [&](size_t i) { return Vec3{points[i].x, points[i].y, points[i].z} - centre; };
  // The successor without a division: a remainder costs more than the
  // rest of a quad's corner.
  auto after = [&](size_t i) { return i + 1 < n ? i + 1 : 0; };
  Vec3 normal{0, 0, 0};
  // The largest squared distance from the centre: its root is the largest
  // distance bit for bit (the root is correctly rounded and never
  // decreasing), with one root instead of one per point.
  double extentSquared = 0;
  for (size_t i = 0; i < n; ++i) {
    const Vec3 p = at(i), q = at(after(i));
    normal.x += (p.y - q.y) * (p.z + q.z);
    normal.y += (p.z - q.z) * (p.x + q.x);
    normal.z += (p.x - q.x) * (p.y + q.y);
    extentSquared = std::max(extentSquared, dot(p, p));
  }
  const double extent = std::sqrt(extentSquared);
  const double tiny = 1e-12 * extent * extent;
  double normalLength = length(normal);
  if (normalLength <= tiny) {
    // Zero net area (a figure eight, or all points on a line): take the
    // plane of the widest triangle through the point farthest from point 0.
    size_t far = 0;
    for (size_t i = 1; i < n; ++i) {
      if (length(at(i) - at(0)) > length(at(far) - at(0))) far = i;
    }
    const Vec3 axis = at(far) - at(0);
    normal = {0, 0, 0};
    for (size_t i = 1; i < n; ++i) {
      const Vec3 c = cross(axis, at(i) - at(0));
      if (length(c) > length(normal)) normal = c;
    }
    if (length(normal) <= tiny) {
      // Collinear: any plane through the line does.
      const Vec3 helper = std::fabs(axis.x) < std::fabs(axis.y) ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
      normal = cross(axis, helper);
      if (length(normal) <= tiny) normal = {0, 0, 1};
    }
    normalLength = length(normal);
  }
  normal = scaled(normal, 1.0 / normalLength);
  // An orthonormal basis (u, v) of the plane with u x v = normal, so that a
  // counter-clockwise turn about the normal is counter-clockwise in (u, v).
  const Vec3 helper = std::fabs(normal.x) < 0.5 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  Vec3 u = cross(helper, normal);
  u = scaled(u, 1.0 / length(u));
  const Vec3 v = cross(normal, u);

  double area2 = 0;
  for (size_t i = 0; i < n; ++i) {
    const Vec3 p = at(i);
    nodes[i] = {dot(p, u), dot(p, v), static_cast<int32_t>(i > 0 ? i - 1 : n - 1), static_cast<int32_t>(after(i)),
                false};
  }
  for (size_t i = 0; i < n; ++i) {
    const Node& a = nodes[i];
    const Node& b = nodes[after(i)];
    area2 += a.x * b.y - b.x * a.y;
  }
  if (area2 < 0) {
    // Only possible on the fallback plane: mirror so the polygon turns
    // counter-clockwise; the output order still follows the input corners.
    for (size_t i = 0; i < n; ++i) nodes[i].y = -nodes[i].y;
  }
  // Far above double rounding, far below any turn that single-precision
  // input can express on purpose.
  return 1e-10 * extent * extent;
}

// The ear clipper's answer for a ring of four, without its bookkeeping.
// It makes the same tests on the same nodes in the same order: corner i is
// an ear when it is convex and the opposite corner is convex or outside
// its triangle; the first ear from corner 0 is cut. Without an ear the
// first flat corner is cut, else the convex corner with the fewest others
// in its triangle, else the reflex corner with the smallest turn, the
// earliest on a tie. Cutting corner e leaves the triangle (e - 1, e + 1,
// e + 2).
void CutQuad(const Node* nodes, double eps, int32_t* out) {
  Corner corner[4];
  double turn[4];
  for (int32_t i = 0; i < 4; ++i) {
    turn[i] = Turn(nodes[(i + 3) & 3], nodes[i], nodes[(i + 1) & 3]);
    corner[i] = turn[i] > eps ? Corner::kConvex : turn[i] < -eps ? Corner::kReflex : Corner::kFlat;
  }
  // The opposite corner inside or on corner i's triangle.
  auto blocked = [&](int32_t i) {
    return InTriangle(nodes[(i + 3) & 3], nodes[i], nodes[(i + 1) & 3], nodes[(i + 2) & 3], eps);
  };
  int32_t cut = -1;
  for (int32_t i = 0; i < 4 && cut < 0; ++i) {
    if (corner[i] == Corner::kConvex && (corner[(i + 2) & 3] == Corner::kConvex || !blocked(i))) cut = i;
  }
  if (cut < 0) {
    int rankBest = 0;
    double scoreBest = 0;
    for (int32_t i = 0; i < 4; ++i) {
      if (corner[i] == Corner::kFlat) {
        cut = i;
        break;
      }
      const int rank = corner[i] == Corner::kConvex ? 0 : 1;
      const double score = rank == 0 ? (blocked(i) ? 1.0 : 0.0) : -turn[i];
      if (cut < 0 || rank < rankBest || (rank == rankBest && score < scoreBest)) {
        cut = i;
        rankBest = rank;
        scoreBest = score;
      }
    }
  }
  const int32_t before = (cut + 3) & 3, after = (cut + 1) & 3;
  out[0] = before;
  out[1] = cut;
  out[2] = after;
  out[3] = before;
  out[4] = after;
  out[5] = (cut + 2) & 3;
}

bool TriangulateAnew(const MQPoint* points, int32_t count, int32_t* indices) {
  const auto n = static_cast<size_t>(count);
  if (count == 3) {
    indices[0] = 0;
    indices[1] = 1;
    indices[2] = 2;
    return true;
  }
  Node small[64];
  std::vector<Node> large;
  Node* nodes = small;
  if (n > 64) {
    large.resize(n);
    nodes = large.data();
  }
  // Quads are most faces of most meshes, and a plug-in may cut each one
  // many times a command.
  if (count == 4) {
    CutQuad(nodes, ProjectToPlane(points, std::integral_constant<size_t, 4>(), nodes), indices);
  } else {
    EarClipper(nodes, count, ProjectToPlane(points, n, nodes)).run(indices);
  }
  return true;
}

}  // namespace
}  // namespace pavlex::host

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
// Only non-convex vertices can block an ear, so they are kept in a uniform
// grid over the polygon's plane, updated as cuts change the corners beside
// them: an ear test looks at the few cells under its triangle instead of at
// every vertex, and a polygon of many thousands of corners (a cap of a
// finely divided cylinder) is cut in near-linear time instead of quadratic.
// The grid changes where the test looks, never its answer.
#include "host/document/triangulate.h"

#include <algorithm>
#include <cmath>
#include <optional>
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

// The non-convex vertices still in the ring, bucketed by position.
class ReflexGrid {
 public:
  ReflexGrid(const Node* nodes, int32_t n)
      : slot_(static_cast<size_t>(n), -1), cellOf_(static_cast<size_t>(n), 0), all_(n) {
    minX_ = maxX_ = nodes[0].x;
    minY_ = maxY_ = nodes[0].y;
    for (int32_t i = 1; i < n; ++i) {
      minX_ = std::min(minX_, nodes[i].x);
      maxX_ = std::max(maxX_, nodes[i].x);
      minY_ = std::min(minY_, nodes[i].y);
      maxY_ = std::max(maxY_, nodes[i].y);
    }
    // About one cell per two vertices, square-ish. Points that are not
    // finite numbers get one cell for everything: still right, just slow.
    const double width = std::max(maxX_ - minX_, 1e-300), height = std::max(maxY_ - minY_, 1e-300);
    if (std::isfinite(minX_) && std::isfinite(minY_) && std::isfinite(width) && std::isfinite(height)) {
      const double cells = std::max(1.0, n / 2.0);
      columns_ = static_cast<int32_t>(std::clamp(std::sqrt(cells * width / height), 1.0, 4096.0));
      rows_ = static_cast<int32_t>(std::clamp(cells / columns_, 1.0, 4096.0));
      cellWidth_ = width / columns_;
      cellHeight_ = height / rows_;
    }
    buckets_.resize(static_cast<size_t>(columns_) * static_cast<size_t>(rows_));
  }

  void insert(int32_t i, const Node& node) {
    if (slot_[static_cast<size_t>(i)] >= 0) return;
    const size_t cell = cellIndex(column(node.x), row(node.y));
    cellOf_[static_cast<size_t>(i)] = cell;
    slot_[static_cast<size_t>(i)] = static_cast<int32_t>(buckets_[cell].size());
    buckets_[cell].push_back(i);
    all_.insert(i);
  }
  void erase(int32_t i) {
    const int32_t at = slot_[static_cast<size_t>(i)];
    if (at < 0) return;
    std::vector<int32_t>& bucket = buckets_[cellOf_[static_cast<size_t>(i)]];
    const int32_t last = bucket.back();
    bucket[static_cast<size_t>(at)] = last;
    slot_[static_cast<size_t>(last)] = at;
    bucket.pop_back();
    slot_[static_cast<size_t>(i)] = -1;
    all_.erase(i);
  }

  // Calls visit(i) for every vertex in a cell that the box touches; stops
  // when visit answers true, and answers whether it did.
  template <class Visit>
  bool anyIn(double x0, double y0, double x1, double y1, Visit&& visit) const {
    const int32_t c0 = column(x0), c1 = column(x1), r0 = row(y0), r1 = row(y1);
    // A big triangle (late in a fan of cuts) covers many empty cells; then
    // the few vertices left are quicker to look at one by one.
    if (static_cast<size_t>(c1 - c0 + 1) * static_cast<size_t>(r1 - r0 + 1) > all_.items().size()) {
      for (const int32_t i : all_.items()) {
        if (visit(i)) return true;
      }
      return false;
    }
    for (int32_t r = r0; r <= r1; ++r) {
      for (int32_t c = c0; c <= c1; ++c) {
        for (const int32_t i : buckets_[cellIndex(c, r)]) {
          if (visit(i)) return true;
        }
      }
    }
    return false;
  }

 private:
  // Clamped in floating point: a box may reach to infinity.
  static int32_t Cell(double offset, double size, int32_t count) {
    const double at = std::floor(offset / size);
    if (!(at > 0)) return 0;
    return at >= count - 1 ? count - 1 : static_cast<int32_t>(at);
  }
  int32_t column(double x) const { return Cell(x - minX_, cellWidth_, columns_); }
  int32_t row(double y) const { return Cell(y - minY_, cellHeight_, rows_); }
  size_t cellIndex(int32_t c, int32_t r) const {
    return static_cast<size_t>(r) * static_cast<size_t>(columns_) + static_cast<size_t>(c);
  }

  double minX_, maxX_, minY_, maxY_, cellWidth_ = 1, cellHeight_ = 1;
  int32_t columns_ = 1, rows_ = 1;
  std::vector<std::vector<int32_t>> buckets_;
  std::vector<int32_t> slot_;   // position in its bucket, -1 when not in the grid
  std::vector<size_t> cellOf_;  // its bucket while in the grid
  IndexSet all_;                // every vertex in the grid
};

class EarClipper {
 public:
  // Small polygons (up to 64 corners, the common case) need no heap memory
  // and no grid: a scan of the ring is as quick.
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

  double turn(int32_t i) const {
    const Node& a = nodes_[nodes_[i].prev];
    const Node& b = nodes_[i];
    const Node& c = nodes_[nodes_[i].next];
    return (b.x - a.x) * (c.y - b.y) - (b.y - a.y) * (c.x - b.x);
  }
  Corner classify(int32_t i) const {
    const double t = turn(i);
    if (t > eps_) return Corner::kConvex;
    return t < -eps_ ? Corner::kReflex : Corner::kFlat;
  }

  // Point p inside or on the triangle (a, b, c) of counter-clockwise order.
  bool inTriangle(const Node& a, const Node& b, const Node& c, const Node& p) const {
    const double ab = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    const double bc = (c.x - b.x) * (p.y - b.y) - (c.y - b.y) * (p.x - b.x);
    const double ca = (a.x - c.x) * (p.y - c.y) - (a.y - c.y) * (p.x - c.x);
    return ab >= -eps_ && bc >= -eps_ && ca >= -eps_;
  }

  // The ear flags are counted, so a ring without ears is known at once
  // rather than by a walk around it.
  void setEar(int32_t i, bool ear) {
    earCount_ += static_cast<int32_t>(ear) - static_cast<int32_t>(nodes_[i].ear);
    nodes_[i].ear = ear;
  }

  // Keeps the grid of non-convex vertices and the set of convex ones in
  // step with vertex i's corner. Only a convex corner can be an ear, so a
  // corner that stops being convex drops its flag here.
  void reclassify(int32_t i) {
    if (!reflex_) return;
    if (classify(i) == Corner::kConvex) {
      reflex_->erase(i);
      convex_->insert(i);
    } else {
      reflex_->insert(i, nodes_[i]);
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
      // inTriangle accepts points up to eps / |edge| outside an edge; the
      // box grows by that much, or the whole plane is searched when an edge
      // is too short to bound it.
      const Node &na = nodes_[a], &ni = nodes_[i], &nc = nodes_[c];
      const double shortest = std::min({std::hypot(ni.x - na.x, ni.y - na.y), std::hypot(nc.x - ni.x, nc.y - ni.y),
                                        std::hypot(na.x - nc.x, na.y - nc.y)});
      const double margin = shortest > 0 ? 2 * eps_ / shortest : HUGE_VAL;
      const double x0 = std::min({na.x, ni.x, nc.x}) - margin, x1 = std::max({na.x, ni.x, nc.x}) + margin;
      const double y0 = std::min({na.y, ni.y, nc.y}) - margin, y1 = std::max({na.y, ni.y, nc.y}) + margin;
      return reflex_->anyIn(x0, y0, x1, y1, [&](int32_t p) {
        return p != a && p != i && p != c && inTriangle(na, ni, nc, nodes_[p]);
      }) ? 1 : 0;
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
  int32_t earCount_ = 0;               // nodes whose ear flag is set
  std::optional<ReflexGrid> reflex_;   // non-convex corners, for polygons over 64 corners
  std::optional<IndexSet> convex_;     // convex corners, likewise
};

}  // namespace

bool TriangulatePolygon(const MQPoint* points, int32_t count, int32_t* indices) {
  if (points == nullptr || indices == nullptr || count < 3) return false;
  const auto n = static_cast<size_t>(count);
  if (count == 3) {
    indices[0] = 0;
    indices[1] = 1;
    indices[2] = 2;
    return true;
  }

  // Centre the points for precision and find the Newell normal.
  Vec3 centre{0, 0, 0};
  for (size_t i = 0; i < n; ++i)
    centre = {centre.x + points[i].x, centre.y + points[i].y, centre.z + points[i].z};
  centre = scaled(centre, 1.0 / static_cast<double>(n));
  auto at = [&](size_t i) { return Vec3{points[i].x, points[i].y, points[i].z} - centre; };
  Vec3 normal{0, 0, 0};
  double extent = 0;
  for (size_t i = 0; i < n; ++i) {
    const Vec3 p = at(i), q = at((i + 1) % n);
    normal.x += (p.y - q.y) * (p.z + q.z);
    normal.y += (p.z - q.z) * (p.x + q.x);
    normal.z += (p.x - q.x) * (p.y + q.y);
    extent = std::max(extent, length(p));
  }
  const double tiny = 1e-12 * extent * extent;
  if (length(normal) <= tiny) {
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
  }
  normal = scaled(normal, 1.0 / length(normal));
  // An orthonormal basis (u, v) of the plane with u x v = normal, so that a
  // counter-clockwise turn about the normal is counter-clockwise in (u, v).
  const Vec3 helper = std::fabs(normal.x) < 0.5 ? Vec3{1, 0, 0} : Vec3{0, 1, 0};
  Vec3 u = cross(helper, normal);
  u = scaled(u, 1.0 / length(u));
  const Vec3 v = cross(normal, u);

  Node small[64];
  std::vector<Node> large;
  Node* nodes = small;
  if (n > 64) {
    large.resize(n);
    nodes = large.data();
  }
  double area2 = 0;
  for (size_t i = 0; i < n; ++i) {
    const Vec3 p = at(i);
    nodes[i] = {dot(p, u), dot(p, v), static_cast<int32_t>((i + n - 1) % n),
                static_cast<int32_t>((i + 1) % n), false};
  }
  for (size_t i = 0; i < n; ++i) {
    const Node& a = nodes[i];
    const Node& b = nodes[(i + 1) % n];
    area2 += a.x * b.y - b.x * a.y;
  }
  if (area2 < 0) {
    // Only possible on the fallback plane: mirror so the polygon turns
    // counter-clockwise; the output order still follows the input corners.
    for (size_t i = 0; i < n; ++i) nodes[i].y = -nodes[i].y;
  }
  // Tolerance for "flat" and "on the edge": far above double rounding, far
  // below any turn that single-precision input can express on purpose.
  EarClipper(nodes, count, 1e-10 * extent * extent).run(indices);
  return true;
}

}  // namespace pavlex::host

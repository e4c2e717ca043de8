// The host's ear clipping as first written: every ear test walks the whole
// ring. Quadratic and slow, but plainly right, so the tests hold the fast
// triangulation to its output triangle for triangle.
#include "tests/host/triangulate_reference.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace pavlex::host::reference {
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

class EarClipper {
 public:
  EarClipper(Node* nodes, int32_t n, double eps) : nodes_(nodes), remaining_(n), eps_(eps) {}

  void run(int32_t* out) {
    for (int32_t i = 0; i < remaining_; ++i) nodes_[i].ear = isEar(i);
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
      if (proper) {
        nodes_[a].ear = isEar(a);
        nodes_[c].ear = isEar(c);
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

  // Vertices of the remaining polygon, other than the corner's own three,
  // that lie in the corner's triangle; only non-convex ones when
  // `nonConvexOnly`. Stops counting at `limit`.
  int32_t blockers(int32_t i, bool nonConvexOnly, int32_t limit) const {
    const int32_t a = nodes_[i].prev, c = nodes_[i].next;
    int32_t count = 0;
    for (int32_t p = nodes_[c].next; p != a && count < limit; p = nodes_[p].next) {
      if (nonConvexOnly && classify(p) == Corner::kConvex) continue;
      if (inTriangle(nodes_[a], nodes_[i], nodes_[c], nodes_[p])) ++count;
    }
    return count;
  }

  bool isEar(int32_t i) const { return classify(i) == Corner::kConvex && blockers(i, true, 1) == 0; }

  int32_t findEar(int32_t start) const {
    int32_t i = start;
    do {
      if (nodes_[i].ear) return i;
      i = nodes_[i].next;
    } while (i != start);
    return -1;
  }

  // `start` is any node still in the ring.
  void refreshAll(int32_t start) {
    int32_t i = start;
    do {
      nodes_[i].ear = isEar(i);
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
};

}  // namespace

bool TriangulateByRingScan(const MQPoint* points, int32_t count, int32_t* indices) {
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

}  // namespace pavlex::host::reference

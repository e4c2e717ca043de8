// TriangulatePolygon: n - 2 triangles for every polygon, and an exact tiling
// (areas sum to the polygon's area, windings agree) for simple ones.
#include "host/document/triangulate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "tests/host/triangulate_reference.h"

namespace pavlex::host {
namespace {

// kPi is POSIX, not C++17.
constexpr double kPi = 3.14159265358979323846;

struct V3 {
  double x, y, z;
};
V3 Sub(const MQPoint& a, const MQPoint& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
V3 Cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double Dot(V3 a, V3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Twice the vector area of a polygon (Newell).
V3 VectorArea2(const std::vector<MQPoint>& p) {
  V3 s{0, 0, 0};
  for (size_t i = 0; i < p.size(); ++i) {
    const MQPoint& a = p[i];
    const MQPoint& b = p[(i + 1) % p.size()];
    s.x += (static_cast<double>(a.y) - b.y) * (static_cast<double>(a.z) + b.z);
    s.y += (static_cast<double>(a.z) - b.z) * (static_cast<double>(a.x) + b.x);
    s.z += (static_cast<double>(a.x) - b.x) * (static_cast<double>(a.y) + b.y);
  }
  return s;
}

// Places 2D points into the plane through `origin` spanned by two
// orthonormal vectors made from `tilt`.
std::vector<MQPoint> InPlane(const std::vector<std::pair<double, double>>& xy, double tilt) {
  const V3 u{std::cos(tilt), 0, std::sin(tilt)};
  const V3 v{-std::sin(tilt) * std::sin(0.7), std::cos(0.7), std::cos(tilt) * std::sin(0.7)};
  std::vector<MQPoint> out;
  for (auto [x, y] : xy) {
    out.push_back({static_cast<float>(3 + x * u.x + y * v.x), static_cast<float>(-2 + x * u.y + y * v.y),
                   static_cast<float>(5 + x * u.z + y * v.z)});
  }
  return out;
}

std::vector<int32_t> Triangulate(const std::vector<MQPoint>& p) {
  std::vector<int32_t> idx(3 * (p.size() - 2), -7);
  EXPECT_TRUE(TriangulatePolygon(p.data(), static_cast<int32_t>(p.size()), idx.data()));
  for (size_t t = 0; t < idx.size(); t += 3) {
    const std::set<int32_t> corners{idx[t], idx[t + 1], idx[t + 2]};
    EXPECT_EQ(corners.size(), 3u) << "triangle " << t / 3;
    for (int32_t c : corners) {
      EXPECT_GE(c, 0);
      EXPECT_LT(c, static_cast<int32_t>(p.size()));
    }
  }
  return idx;
}

// For a simple polygon: triangle areas sum to its area and every triangle
// turns the polygon's way. For a non-planar one (`planar` false), the areas
// projected on its mean plane do.
void ExpectTiling(const std::vector<MQPoint>& p, bool planar = true) {
  const std::vector<int32_t> idx = Triangulate(p);
  const V3 n = VectorArea2(p);
  const double area = std::sqrt(Dot(n, n)) / 2;
  double sum = 0;
  for (size_t t = 0; t < idx.size(); t += 3) {
    const MQPoint& a = p[static_cast<size_t>(idx[t])];
    const V3 c =
        Cross(Sub(p[static_cast<size_t>(idx[t + 1])], a), Sub(p[static_cast<size_t>(idx[t + 2])], a));
    EXPECT_GE(Dot(c, n), -1e-6 * area * area) << "triangle " << t / 3 << " turns backwards";
    sum += planar ? std::sqrt(Dot(c, c)) / 2 : Dot(c, n) / (2 * 2 * area);
  }
  EXPECT_NEAR(sum, area, 1e-4 * area);
}

TEST(TriangulateTest, RejectsBadInput) {
  MQPoint p[3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  int32_t idx[3] = {-1, -1, -1};
  EXPECT_FALSE(TriangulatePolygon(p, 2, idx));
  EXPECT_FALSE(TriangulatePolygon(nullptr, 3, idx));
  EXPECT_FALSE(TriangulatePolygon(p, 3, nullptr));
  EXPECT_EQ(idx[0], -1);
  EXPECT_TRUE(TriangulatePolygon(p, 3, idx));
  EXPECT_EQ(idx[0] + idx[1] + idx[2], 3);
}

TEST(TriangulateTest, SimplePolygonsAreTiledExactly) {
  // Convex square and hexagon, the L-shape, in tilted planes.
  ExpectTiling(InPlane({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 0.3));
  std::vector<std::pair<double, double>> hexagon;
  for (int i = 0; i < 6; ++i) hexagon.emplace_back(std::cos(i * kPi / 3), std::sin(i * kPi / 3));
  ExpectTiling(InPlane(hexagon, 1.1));
  ExpectTiling(InPlane({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, 0.0));
  ExpectTiling(InPlane({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}, 2.5));
  // Clockwise input works the same.
  ExpectTiling(InPlane({{0, 2}, {1, 2}, {1, 1}, {2, 1}, {2, 0}, {0, 0}}, 0.8));
  // A five-pointed star (10 corners, 5 reflex).
  std::vector<std::pair<double, double>> star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 ? 0.38 : 1.0;
    star.emplace_back(r * std::cos(i * kPi / 5), r * std::sin(i * kPi / 5));
  }
  ExpectTiling(InPlane(star, 0.4));
  // A comb: deep narrow notches.
  std::vector<std::pair<double, double>> comb{{0, 0}, {7, 0}, {7, 3}};
  for (int t = 6; t >= 1; t -= 2) {
    comb.insert(comb.end(), {{static_cast<double>(t), 3},
                             {static_cast<double>(t), 0.2},
                             {static_cast<double>(t - 1), 0.2},
                             {static_cast<double>(t - 1), 3}});
  }
  comb.emplace_back(0, 3);
  ExpectTiling(InPlane(comb, 1.9));
}

TEST(TriangulateTest, CollinearCornersAreKept) {
  // A square with a corner in the middle of every side, and a triangle with
  // three extra points on one side.
  ExpectTiling(InPlane({{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}}, 0.6));
  ExpectTiling(InPlane({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {2, 3}}, 0.2));
}

TEST(TriangulateTest, RandomStarShapedPolygons) {
  std::mt19937 rng(12345);
  std::uniform_real_distribution<double> radius(0.2, 1.0);
  for (int n : {4, 5, 7, 12, 40, 65, 200}) {
    for (int trial = 0; trial < 5; ++trial) {
      std::vector<std::pair<double, double>> xy;
      for (int i = 0; i < n; ++i) {
        const double a = 2 * kPi * i / n, r = radius(rng);
        xy.emplace_back(r * std::cos(a), r * std::sin(a));
      }
      SCOPED_TRACE(testing::Message() << "n=" << n << " trial=" << trial);
      ExpectTiling(InPlane(xy, 0.37 * trial));
    }
  }
}

TEST(TriangulateTest, DegenerateInputStillGivesNMinus2Triangles) {
  // Non-planar: a saddle (a quad and a hexagon with alternating heights).
  Triangulate({{0, 0, 0}, {1, 0, 1}, {1, 1, 0}, {0, 1, 1}});
  std::vector<MQPoint> crown;
  for (int i = 0; i < 6; ++i) {
    crown.push_back({std::cos(i * static_cast<float>(kPi) / 3), std::sin(i * static_cast<float>(kPi) / 3),
                     i % 2 ? 0.8f : -0.8f});
  }
  Triangulate(crown);
  // A saddle that is only mildly bent still tiles its projection.
  ExpectTiling({{0, 0, 0}, {2, 0, 0.1f}, {2, 2, 0}, {1, 1.2f, 0.1f}, {0, 2, 0}}, false);
  // All on one line, all one point, a bow tie, a figure eight, repeats.
  Triangulate({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {1.5f, 1.5f, 1.5f}});
  Triangulate(std::vector<MQPoint>(7, MQPoint{1, 2, 3}));
  Triangulate({{0, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}});
  Triangulate({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}, {3, 0, 0}, {2, 1, 0}, {1, 0, 0}, {0, 1, 0}});
  Triangulate({{0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 0}});
  Triangulate({{0, 0, 0}, {NAN, 0, 0}, {1, 1, 0}, {0, 1, 0}});
  // A self-intersecting random polygon of many corners.
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> coord(-1, 1);
  std::vector<MQPoint> tangle;
  for (int i = 0; i < 150; ++i) tangle.push_back({coord(rng), coord(rng), coord(rng) * 0.1f});
  Triangulate(tangle);
}

// The fast triangulation against the plain ring scan: the very same
// triangles, index for index.
void ExpectSameAsRingScan(const std::vector<MQPoint>& p) {
  const auto n = static_cast<int32_t>(p.size());
  std::vector<int32_t> fast(3 * (p.size() - 2), -1), plain(fast.size(), -2);
  ASSERT_TRUE(TriangulatePolygon(p.data(), n, fast.data()));
  ASSERT_TRUE(reference::TriangulateByRingScan(p.data(), n, plain.data()));
  // Asked again, the host answers from the cut it kept: the same triangles.
  std::vector<int32_t> again(fast.size(), -3);
  ASSERT_TRUE(TriangulatePolygon(p.data(), n, again.data()));
  EXPECT_EQ(again, fast);
  size_t first = 0;
  while (first < fast.size() && fast[first] == plain[first]) ++first;
  EXPECT_EQ(first, fast.size()) << "first difference in triangle " << first / 3 << " of " << n - 2;
}

// A fine arc of `corners` points spanning `angle` radians of a unit circle,
// closed by one point below it. Coordinates stay near zero, where floats
// are fine, so every turn along the arc is close to its exact value: about
// the triangulation's tolerance when `angle` / corners^3 is near 2.5e-11.
// `jitter` moves each arc point along the radius by up to that fraction of
// the arc's spacing squared, giving flat, convex and reflex corners mixed.
std::vector<MQPoint> FineArc(int corners, double angle, double jitter, std::mt19937& rng) {
  std::uniform_real_distribution<double> unit(-1, 1);
  const double spacing = angle / (corners - 1);
  std::vector<MQPoint> p;
  for (int i = 0; i < corners; ++i) {
    const double a = -angle / 2 + spacing * i, r = 1 + jitter * spacing * spacing * unit(rng);
    p.push_back({static_cast<float>(r * std::sin(a)), static_cast<float>(r * std::cos(a) - 1), 0});
  }
  p.push_back({0, static_cast<float>(std::cos(angle / 2) - 1 - angle / 3), 0});
  return p;
}

// A unit circle of many corners, wavy in z, its coordinates rounded to six
// decimals as an OBJ file written by another program holds them: below the
// tolerance, the rounding is all that bends most corners.
std::vector<MQPoint> RoundedCircle(int corners) {
  std::vector<MQPoint> p;
  for (int i = 0; i < corners; ++i) {
    const double a = 2 * kPi * i / corners;
    char text[96];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f", std::cos(a), std::sin(a), 0.1 * std::sin(7 * a));
    MQPoint q{};
    EXPECT_EQ(std::sscanf(text, "%f %f %f", &q.x, &q.y, &q.z), 3);
    p.push_back(q);
  }
  return p;
}

TEST(TriangulateTest, SameTrianglesAsRingScan) {
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> radius(0.2, 1.0);
  // Star-shaped polygons around the size where the grid takes over.
  for (int n : {60, 65, 66, 130, 700}) {
    std::vector<std::pair<double, double>> xy;
    for (int i = 0; i < n; ++i) {
      const double a = 2 * kPi * i / n, r = radius(rng);
      xy.emplace_back(r * std::cos(a), r * std::sin(a));
    }
    SCOPED_TRACE(testing::Message() << "star n=" << n);
    ExpectSameAsRingScan(InPlane(xy, 0.3));
  }
  // Fine arcs whose turns sit below, at and above the tolerance, smooth
  // and jittered: long runs of flat corners that turn convex as the cuts
  // lengthen the edges beside them.
  for (int corners : {200, 1200}) {
    const double atTolerance = 2.5e-11 * std::pow(corners, 3);
    for (double ratio : {0.2, 1.0, 4.0, 30.0}) {
      for (double jitter : {0.0, 0.3}) {
        SCOPED_TRACE(testing::Message()
                     << "arc corners=" << corners << " ratio=" << ratio << " jitter=" << jitter);
        ExpectSameAsRingScan(FineArc(corners, std::min(ratio * atTolerance, 3.0), jitter, rng));
      }
    }
  }
  // A bottom edge of flat corners, one pushed out just enough to be convex.
  // Its ear test accepts points up to eps / |edge| outside each edge, which
  // reaches the flat corner (1, 0) ten units past its triangle along the
  // edge's line: that corner blocks the ear, though it lies far outside
  // the triangle's box.
  {
    std::vector<MQPoint> box = {{11, 0, 0}, {21, 0, 0}, {31, 0, 0}, {40, 0, 0}};
    for (int y = 1; y <= 30; ++y) box.push_back({40, static_cast<float>(y), 0});
    for (int x = 39; x >= 0; --x) box.push_back({static_cast<float>(x), 30, 0});
    box.push_back({0, 0, 0});
    box.push_back({1, 0, 0});
    double cx = 0, cy = 0, extent = 0;
    for (const MQPoint& q : box) {
      cx += q.x / static_cast<double>(box.size());
      cy += q.y / static_cast<double>(box.size());
    }
    for (const MQPoint& q : box) extent = std::max(extent, std::hypot(q.x - cx, q.y - cy));
    // A turn of 1.5 times the tolerance 1e-10 * extent^2.
    box[1].y = static_cast<float>(-0.075e-10 * extent * extent);
    SCOPED_TRACE("bump");
    ExpectSameAsRingScan(box);
  }
  for (int corners : {1000, 3000}) {
    SCOPED_TRACE(testing::Message() << "rounded circle corners=" << corners);
    std::vector<MQPoint> circle = RoundedCircle(corners);
    ExpectSameAsRingScan(circle);
    // One corner pulled in right after: not the polygon the host kept.
    circle[10] = {0, 0, 0};
    ExpectSameAsRingScan(circle);
  }
}

// Quads take a shortcut past the ring bookkeeping: the same cut as the
// plain ring scan for every kind of quad, index for index. Random ones of
// all shapes (convex, darts, bow ties, twisted), then ones built to sit on
// the tolerances: flat and nearly flat corners, a corner on or just off the
// opposite triangle's edge, repeated and collinear points, one point, tiny
// and huge scales, and values that are not finite numbers.
TEST(TriangulateTest, QuadsCutAsByTheRingScan) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<float> coord(-1, 1);
  std::uniform_int_distribution<int> pick(0, 5);
  const float scales[] = {1.0f, 1e-6f, 3e4f, 1e18f};
  const float oddValues[] = {0.0f, -0.0f, 1.0f, 1e-30f, NAN, INFINITY, -INFINITY, 1e38f};
  int checked = 0;
  for (int trial = 0; trial < 20000; ++trial) {
    const float scale = scales[trial % 4];
    std::vector<MQPoint> q(4);
    for (MQPoint& p : q) p = {coord(rng) * scale, coord(rng) * scale, coord(rng) * scale * 0.05f};
    switch (trial % 10) {
      case 0:  // flat, in the plane z = 0
        for (MQPoint& p : q) p.z = 0;
        break;
      case 1:  // a repeated corner
        q[static_cast<size_t>(pick(rng) % 4)] = q[static_cast<size_t>(pick(rng) % 4)];
        break;
      case 2: {  // a corner on the line of its neighbours, or a hair off it
        const size_t i = static_cast<size_t>(pick(rng) % 4);
        const MQPoint& a = q[(i + 3) % 4];
        const MQPoint& b = q[(i + 1) % 4];
        const float t = coord(rng) * 1.5f, off = pick(rng) < 3 ? 0.0f : 1e-7f * scale * coord(rng);
        q[i] = {a.x + t * (b.x - a.x) + off, a.y + t * (b.y - a.y) - off, a.z + t * (b.z - a.z)};
        break;
      }
      case 3: {  // a corner on its opposite diagonal, or a hair off it
        const size_t i = static_cast<size_t>(pick(rng) % 4);
        const MQPoint& a = q[(i + 1) % 4];
        const MQPoint& b = q[(i + 3) % 4];
        const float t = 0.5f + 0.5f * coord(rng), off = pick(rng) < 2 ? 0.0f : 1e-6f * scale * coord(rng);
        q[i] = {a.x + t * (b.x - a.x) + off, a.y + t * (b.y - a.y), a.z + t * (b.z - a.z) - off};
        break;
      }
      case 4:  // all on one line
        for (size_t i = 1; i < 4; ++i) {
          const float t = coord(rng) * 2;
          q[i] = {q[0].x + t, q[0].y + 2 * t, q[0].z - t};
        }
        break;
      case 5:  // one point
        q[1] = q[2] = q[3] = q[0];
        break;
      case 6:  // a unit grid cell, as most meshes hold
        q = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
        for (MQPoint& p : q) p = {p.x * scale + coord(rng), p.y * scale, p.z};
        std::rotate(q.begin(), q.begin() + pick(rng) % 4, q.end());
        if (pick(rng) < 3) std::reverse(q.begin(), q.end());
        break;
      case 7:  // zeros, infinities and NaN in a random coordinate
        (&q[static_cast<size_t>(pick(rng) % 4)].x)[pick(rng) % 3] = oddValues[static_cast<size_t>(trial / 10 % 8)];
        break;
      default:  // as drawn: convex, darts, bow ties, twisted
        break;
    }
    SCOPED_TRACE(testing::Message() << "trial " << trial << ": (" << q[0].x << " " << q[0].y << " " << q[0].z
                                    << ") (" << q[1].x << " " << q[1].y << " " << q[1].z << ") (" << q[2].x
                                    << " " << q[2].y << " " << q[2].z << ") (" << q[3].x << " " << q[3].y
                                    << " " << q[3].z << ")");
    int32_t fast[6] = {-1, -1, -1, -1, -1, -1}, plain[6] = {-2, -2, -2, -2, -2, -2};
    ASSERT_TRUE(TriangulatePolygon(q.data(), 4, fast));
    ASSERT_TRUE(reference::TriangulateByRingScan(q.data(), 4, plain));
    ASSERT_TRUE(std::equal(fast, fast + 6, plain));
    // Asked again, the host answers from the quad it kept; a quad that
    // differs in one bit of one coordinate is cut anew.
    int32_t again[6] = {-3, -3, -3, -3, -3, -3};
    ASSERT_TRUE(TriangulatePolygon(q.data(), 4, again));
    ASSERT_TRUE(std::equal(again, again + 6, fast));
    if (trial % 2 == 0) {
      std::vector<MQPoint> nudged = q;
      uint32_t bits;
      std::memcpy(&bits, &nudged[static_cast<size_t>(trial / 2 % 4)].y, sizeof bits);
      bits ^= 1u;
      std::memcpy(&nudged[static_cast<size_t>(trial / 2 % 4)].y, &bits, sizeof bits);
      int32_t cut[6], expected[6];
      ASSERT_TRUE(TriangulatePolygon(nudged.data(), 4, cut));
      ASSERT_TRUE(reference::TriangulateByRingScan(nudged.data(), 4, expected));
      ASSERT_TRUE(std::equal(cut, cut + 6, expected));
    }
    ++checked;
  }
  EXPECT_EQ(checked, 20000);
}

}  // namespace
}  // namespace pavlex::host

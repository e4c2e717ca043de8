// The polygon unfold on its own: the order of its depth-first walk against
// a recursive walk of the same triangle links, the shape it lays out, and
// the degenerate steps it refuses to place through.
#include "plugin/tools/transform/polygon_unfold.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace pavlex {
namespace {

using Triangles = std::vector<std::array<int32_t, 3>>;

// Corners on a circle of radius 1 in the plane z = 0, counter-clockwise.
std::vector<MQPoint> Circle(int32_t n) {
  std::vector<MQPoint> points;
  for (int32_t i = 0; i < n; ++i) {
    const double angle = 6.283185307179586 * i / n;
    points.push_back({static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), 0.0f});
  }
  return points;
}

Triangles Fan(int32_t n) {
  Triangles triangles;
  for (int32_t i = 1; i + 1 < n; ++i) triangles.push_back({0, i, i + 1});
  return triangles;
}

// Zigzag between the two ends of the corner list.
Triangles Strip(int32_t n) {
  Triangles triangles;
  int32_t l = 0, r = n - 1;
  for (bool left = true; r - l >= 2; left = !left) {
    if (left) {
      triangles.push_back({l, l + 1, r});
      ++l;
    } else {
      triangles.push_back({l, r - 1, r});
      --r;
    }
  }
  return triangles;
}

//   A hexagon with a centre triangle (0, 2, 4) and an ear on each of its
//   edges: the walk branches.
Triangles Branching() {
  return {{0, 1, 2}, {2, 3, 4}, {0, 2, 4}, {4, 5, 0}};
}

// The walk as plain recursion: mark, then each unvisited linked neighbour
// in edge order.
std::vector<int32_t> RecursiveOrder(const Triangles& triangles, int32_t b, int32_t a) {
  std::vector<UnfoldNode> nodes = LinkUnfoldNodes(triangles);
  std::vector<int32_t> order;
  std::function<void(int32_t)> visit = [&](int32_t t) {
    nodes[static_cast<size_t>(t)].visited = true;
    order.push_back(t);
    for (const int32_t n : nodes[static_cast<size_t>(t)].neighbours) {
      if (n >= 0 && !nodes[static_cast<size_t>(n)].visited) visit(n);
    }
  };
  for (const UnfoldNode& node : nodes) {
    for (int32_t l = 0; l < 3; ++l) {
      if (node.corners[static_cast<size_t>(l)] == b && node.corners[static_cast<size_t>((l + 1) % 3)] == a) {
        visit(node.index);
        return order;
      }
    }
  }
  return order;
}

const EdgeTarget kTarget{{0.25f, 0.5f}, {0.0f, 2.0f}, 1.0f};

TEST(PolygonUnfoldTest, VisitsTrianglesInTheOrderOfTheRecursiveWalk) {
  struct Case {
    const char* name;
    Triangles triangles;
    int32_t n, b, a;
  };
  const std::vector<Case> cases = {
      {"fan from its first triangle", Fan(10), 10, 0, 1},
      {"fan from its middle", Fan(10), 10, 4, 5},
      {"strip from one end", Strip(11), 11, 0, 1},
      {"strip from its middle", Strip(11), 11, 5, 6},
      {"branching", Branching(), 6, 2, 3},
  };
  for (const Case& c : cases) {
    const std::vector<MQPoint> points = Circle(c.n);
    UnfoldResult result;
    ASSERT_TRUE(UnfoldPolygon(c.triangles, points.data(), points.size(), c.a, c.b, kTarget, result))
        << c.name;
    const std::vector<int32_t> expected = RecursiveOrder(c.triangles, c.b, c.a);
    EXPECT_EQ(result.order, expected) << c.name;
    EXPECT_EQ(result.order.size(), c.triangles.size()) << c.name;
  }
}

// Deep enough that one call frame per triangle would be a real risk.
TEST(PolygonUnfoldTest, LaysOutAPolygonOfTenThousandCornersAsItsShape) {
  const int32_t n = 10000;
  const std::vector<MQPoint> points = Circle(n);
  UnfoldResult result;
  ASSERT_TRUE(UnfoldPolygon(Fan(n), points.data(), points.size(), 1, 0, kTarget, result));
  ASSERT_EQ(result.order.size(), static_cast<size_t>(n - 2));
  for (int32_t c = 0; c < n; ++c) ASSERT_TRUE(result.placed[static_cast<size_t>(c)]) << c;
  EXPECT_EQ(result.uvs[1].u, kTarget.start.u);
  EXPECT_EQ(result.uvs[1].v, kTarget.start.v);
  // Every corner stays on a circle through them all: radius 1 times the
  // scale |D| / |P0 - P1|.
  const float chord = std::hypot(points[0].x - points[1].x, points[0].y - points[1].y);
  const float scale = 2.0f / chord;
  // Corners 0 and n / 2 are opposite each other on that circle.
  const UVPair first = result.uvs[0], opposite = result.uvs[static_cast<size_t>(n / 2)];
  const UVPair middle{(first.u + opposite.u) / 2, (first.v + opposite.v) / 2};
  for (int32_t c = 0; c < n; c += 97) {
    const UVPair uv = result.uvs[static_cast<size_t>(c)];
    EXPECT_NEAR(std::hypot(uv.u - middle.u, uv.v - middle.v), scale, scale * 2e-3f) << c;
  }
}

TEST(PolygonUnfoldTest, PutsTheAnchorOnTheTargetAndThePolygonOnTheFarSide) {
  // Unit square; its edge from corner 0 to corner 1 anchors it, corner 1 on
  // the start.
  const std::vector<MQPoint> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  for (const float side : {1.0f, -1.0f}) {
    UnfoldResult result;
    ASSERT_TRUE(UnfoldPolygon(Fan(4), square.data(), 4, 1, 0, {{1, 1}, {2, 0}, side}, result));
    EXPECT_EQ(result.uvs[1].u, 1.0f);
    EXPECT_EQ(result.uvs[0].u, 3.0f);
    EXPECT_EQ(result.uvs[3].u, 3.0f);
    // Scale 2; the square stands on the side -side of the target edge.
    EXPECT_EQ(result.uvs[2].v, 1.0f - 2.0f * side);
    EXPECT_EQ(result.uvs[3].v, 1.0f - 2.0f * side);
  }
}

TEST(PolygonUnfoldTest, DegenerateStepsPlaceNothingNonFinite) {
  const std::vector<MQPoint> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  UnfoldResult result;
  // No edge from corner 1 to corner 3 in the triangles.
  EXPECT_FALSE(UnfoldPolygon(Fan(4), square.data(), 4, 3, 1, kTarget, result));
  // A corner index beyond the polygon.
  EXPECT_FALSE(UnfoldPolygon({{0, 1, 7}}, square.data(), 4, 1, 0, kTarget, result));
  // A target without length.
  EXPECT_FALSE(UnfoldPolygon(Fan(4), square.data(), 4, 1, 0, {{0, 0}, {0, 0}, 1.0f}, result));

  // The anchoring 3D edge has no length: nothing is placed.
  std::vector<MQPoint> collapsed = square;
  collapsed[1] = collapsed[0];
  ASSERT_TRUE(UnfoldPolygon(Fan(4), collapsed.data(), 4, 1, 0, kTarget, result));
  EXPECT_EQ(result.placed, std::vector<uint8_t>(4, 0));

  // Corners 0 and 2 meet in 3D, so the diagonal the walk would continue
  // across is placed with no UV length: corner 3 is never reached.
  std::vector<MQPoint> pinched = square;
  pinched[2] = pinched[0];
  ASSERT_TRUE(UnfoldPolygon(Fan(4), pinched.data(), 4, 1, 0, kTarget, result));
  EXPECT_EQ(result.placed, (std::vector<uint8_t>{1, 1, 1, 0}));
  for (int32_t c = 0; c < 3; ++c) {
    EXPECT_TRUE(std::isfinite(result.uvs[static_cast<size_t>(c)].u) &&
                std::isfinite(result.uvs[static_cast<size_t>(c)].v))
        << c;
  }

  // A NaN corner stays unplaced; the rest is laid out.
  std::vector<MQPoint> broken = square;
  broken[3].x = std::nanf("");
  ASSERT_TRUE(UnfoldPolygon(Fan(4), broken.data(), 4, 1, 0, kTarget, result));
  EXPECT_EQ(result.placed, (std::vector<uint8_t>{1, 1, 1, 0}));
}

// One scratch through a run of calls that change one thing at a time (the
// anchor, the positions, the triangles, a corner count that some triangle
// breaks): every result as from a fresh call, bit for bit.
TEST(PolygonUnfoldTest, KeptScratchGivesTheResultOfAFreshCall) {
  const int32_t n = 40;
  std::vector<MQPoint> points = Circle(n), moved = Circle(n);
  for (size_t i = 0; i < moved.size(); i += 3) moved[i].z = 0.3f;
  struct Call {
    Triangles triangles;
    const std::vector<MQPoint>* positions;
    size_t count;
    int32_t a, b;
  };
  const std::vector<Call> calls = {
      {Fan(n), &points, points.size(), 1, 0},     {Fan(n), &points, points.size(), 5, 4},
      {Fan(n), &moved, moved.size(), 5, 4},       {Strip(n), &moved, moved.size(), 5, 4},
      {Strip(n), &moved, moved.size() - 1, 5, 4}, {Strip(n), &moved, moved.size(), 9, 8},
      {Fan(n), &points, points.size(), 0, n - 1}, {Fan(n), &points, points.size(), 3, 1},
  };
  UnfoldScratch scratch;
  UnfoldResult kept, fresh;
  for (size_t i = 0; i < calls.size(); ++i) {
    const Call& c = calls[i];
    const EdgeTarget target{{0.1f * static_cast<float>(i), 0.5f}, {0.3f, 1.0f + static_cast<float>(i)}, 1.0f};
    const bool keptAnswer =
        UnfoldPolygon(c.triangles, c.positions->data(), c.count, c.a, c.b, target, kept, scratch);
    const bool freshAnswer =
        UnfoldPolygon(c.triangles, c.positions->data(), c.count, c.a, c.b, target, fresh);
    EXPECT_EQ(keptAnswer, freshAnswer) << "call " << i;
    EXPECT_EQ(kept.placed, fresh.placed) << "call " << i;
    EXPECT_EQ(kept.order, fresh.order) << "call " << i;
    ASSERT_EQ(kept.uvs.size(), fresh.uvs.size()) << "call " << i;
    EXPECT_EQ(std::memcmp(kept.uvs.data(), fresh.uvs.data(), kept.uvs.size() * sizeof kept.uvs[0]), 0)
        << "call " << i;
  }
}

// Step 2 of the unfold as plain words: for each node and each edge not yet
// linked, the first other node (ascending) with an edge that runs the
// opposite way, and within it the first such edge; both are linked.
std::vector<std::array<int32_t, 3>> NaiveLinks(const Triangles& triangles) {
  std::vector<std::array<int32_t, 3>> links(triangles.size(), {-1, -1, -1});
  for (size_t i = 0; i < triangles.size(); ++i) {
    for (size_t k = 0; k < 3; ++k) {
      if (links[i][k] >= 0) continue;
      const int32_t from = triangles[i][(k + 1) % 3], to = triangles[i][k];
      for (size_t j = 0; j < triangles.size() && links[i][k] < 0; ++j) {
        if (j == i) continue;
        for (size_t l = 0; l < 3; ++l) {
          if (triangles[j][l] != from || triangles[j][(l + 1) % 3] != to) continue;
          links[i][k] = static_cast<int32_t>(j);
          links[j][l] = static_cast<int32_t>(i);
          break;
        }
      }
    }
  }
  return links;
}

// Small lists are linked by a scan, larger ones through sorted edges: both
// as the plain words say, for ordinary and for degenerate lists (repeated
// corners, repeated triangles, edges shared by three triangles), and the
// unfold starts from the same first node.
TEST(PolygonUnfoldTest, LinksAsThePlainScanForSmallAndLargeLists) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int32_t> corner(0, 5);
  const std::vector<MQPoint> points = Circle(6);
  for (int trial = 0; trial < 3000; ++trial) {
    Triangles triangles(static_cast<size_t>(1 + trial % 9));
    for (auto& t : triangles) t = {corner(rng), corner(rng), corner(rng)};
    if (trial % 3 == 0) triangles = trial % 2 ? Fan(6) : Strip(6);
    const std::vector<UnfoldNode> nodes = LinkUnfoldNodes(triangles);
    const std::vector<std::array<int32_t, 3>> expected = NaiveLinks(triangles);
    ASSERT_EQ(nodes.size(), triangles.size());
    for (size_t i = 0; i < nodes.size(); ++i) ASSERT_EQ(nodes[i].neighbours, expected[i]) << "trial " << trial;
    const int32_t a = corner(rng), b = corner(rng);
    UnfoldResult result;
    UnfoldScratch scratch;
    const bool unfolded = UnfoldPolygon(triangles, points.data(), points.size(), a, b, kTarget, result, scratch);
    int32_t firstNode = -1;
    for (size_t t = 0; t < triangles.size() && firstNode < 0; ++t) {
      for (size_t l = 0; l < 3; ++l) {
        if (triangles[t][l] == b && triangles[t][(l + 1) % 3] == a) firstNode = static_cast<int32_t>(t);
      }
    }
    EXPECT_EQ(unfolded, firstNode >= 0) << "trial " << trial;
    if (unfolded && !result.order.empty()) {
      EXPECT_EQ(result.order.front(), firstNode) << "trial " << trial;
    }
    // Two triangles of three distinct corners of a circle (a quad, walked
    // without the stack) never stop the walk.
    bool proper = triangles.size() == 2;
    for (const auto& t : triangles) proper = proper && t[0] != t[1] && t[1] != t[2] && t[2] != t[0];
    if (unfolded && proper) {
      EXPECT_EQ(result.order, RecursiveOrder(triangles, b, a)) << "trial " << trial;
    }
  }
}

uint32_t Bits(float f) {
  uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

bool SameBits(MQPoint a, MQPoint b) { return Bits(a.x) == Bits(b.x) && Bits(a.y) == Bits(b.y) && Bits(a.z) == Bits(b.z); }

// The frames made all at once carry the bits of frames made one by one,
// for every frame count (whole and partial groups) and for points that
// overflow, underflow, coincide, lie in line or are not numbers.
TEST(PolygonUnfoldTest, FramesMadeTogetherMatchFramesMadeOneByOne) {
  std::mt19937 rng(17);
  std::uniform_real_distribution<float> any(-3.0f, 3.0f);
  const float awkward[] = {0.0f, -0.0f, 1e-30f, 1e-44f, 3e38f, -3e38f, INFINITY, NAN, 1.0f};
  std::uniform_int_distribution<size_t> pick(0, std::size(awkward) - 1);
  std::uniform_int_distribution<int> coin(0, 3);
  for (int32_t n = 3; n <= 12; ++n) {
    for (int round = 0; round < 20; ++round) {
      std::vector<MQPoint> points;
      for (int32_t i = 0; i < n; ++i) {
        MQPoint p{any(rng), any(rng), any(rng)};
        if (coin(rng) == 0) p.x = awkward[pick(rng)];
        if (coin(rng) == 0) p.z = awkward[pick(rng)];
        // Coinciding and in-line corners.
        if (i > 0 && coin(rng) == 0) p = points[static_cast<size_t>(i - 1)];
        if (i > 1 && coin(rng) == 0) {
          const MQPoint a = points[static_cast<size_t>(i - 1)], b = points[static_cast<size_t>(i - 2)];
          p = {2.0f * a.x - b.x, 2.0f * a.y - b.y, 2.0f * a.z - b.z};
        }
        points.push_back(p);
      }
      const std::vector<UnfoldNode> nodes = LinkUnfoldNodes(round % 2 == 0 ? Fan(n) : Strip(n));
      std::vector<UnfoldFrame> together(3 * nodes.size());
      MakeUnfoldFrames(nodes, points.data(), together.data());
      for (size_t at = 0; at < together.size(); ++at) {
        const std::array<int32_t, 3>& c = nodes[at / 3].corners;
        const size_t l = at % 3;
        const UnfoldFrame one = MakeUnfoldFrame(points[static_cast<size_t>(c[(l + 1) % 3])],
                                                points[static_cast<size_t>(c[l])],
                                                points[static_cast<size_t>(c[(l + 2) % 3])]);
        const UnfoldFrame& t = together[at];
        ASSERT_TRUE(SameBits(t.origin, one.origin)) << "n " << n << " frame " << at;
        ASSERT_EQ(Bits(t.length), Bits(one.length)) << "n " << n << " frame " << at;
        if (!(one.length > 0.0f)) continue;
        ASSERT_TRUE(SameBits(t.xAxis, one.xAxis)) << "n " << n << " frame " << at;
        ASSERT_TRUE(SameBits(t.yAxis, one.yAxis)) << "n " << n << " frame " << at;
      }
    }
  }
}

}  // namespace
}  // namespace pavlex

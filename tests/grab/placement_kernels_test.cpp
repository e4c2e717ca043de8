// The edge similarity and the triangle placement on their own, checked by
// the properties the tools rely on over many random edges.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "plugin/tools/transform/edge_similarity.h"
#include "plugin/tools/transform/triangle_placement.h"

namespace pavlex {
namespace {

float Cross2(UVPair a, UVPair b) {
  return a.u * b.v - a.v * b.u;
}
UVPair Minus(UVPair a, UVPair b) {
  return {a.u - b.u, a.v - b.v};
}
float Distance(UVPair a, UVPair b) {
  return std::hypot(a.u - b.u, a.v - b.v);
}

TEST(EdgeTargetTest, SideSaysWhereTheFaceLiesAndOwnFaceReversesTheEdge) {
  // Corner before p above the edge p -> q along +u: the face is on the left.
  EdgeTarget t = MakeEdgeTarget({0, 0}, {1, 0}, {0, 1}, false);
  EXPECT_EQ(t.side, 1.0f);
  EXPECT_EQ(t.dir.u, 1.0f);
  t = MakeEdgeTarget({0, 0}, {1, 0}, {0, -1}, true);
  EXPECT_EQ(t.side, -1.0f);
  EXPECT_EQ(t.start.u, 1.0f);
  EXPECT_EQ(t.dir.u, -1.0f);
}

TEST(EdgeSimilarityTest, LaysTheEdgeOntoTheTargetScaledWithoutMirroring) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> coordinate(-5.0f, 5.0f);
  for (int trial = 0; trial < 200; ++trial) {
    const EdgeTarget target{
        {coordinate(random), coordinate(random)}, {coordinate(random), coordinate(random)}, 1};
    const UVPair a{coordinate(random), coordinate(random)}, b{coordinate(random), coordinate(random)};
    const UVPair c{coordinate(random), coordinate(random)};
    const EdgeSimilarity s = MakeEdgeSimilarity(target, a, b);
    const UVPair a2 = ApplyEdgeSimilarity(s, a), b2 = ApplyEdgeSimilarity(s, b),
                 c2 = ApplyEdgeSimilarity(s, c);
    const float scale = std::hypot(target.dir.u, target.dir.v) / Distance(a, b);
    const float tolerance = 1e-4f * (1.0f + scale * 10.0f);
    EXPECT_NEAR(a2.u, target.start.u, tolerance);
    EXPECT_NEAR(a2.v, target.start.v, tolerance);
    EXPECT_NEAR(b2.u, target.start.u + target.dir.u, tolerance);
    EXPECT_NEAR(b2.v, target.start.v + target.dir.v, tolerance);
    EXPECT_NEAR(Distance(a2, c2), Distance(a, c) * scale, tolerance);
    // Orientation: the third point stays on the same side of the edge.
    const float before = Cross2(Minus(b, a), Minus(c, a)), after = Cross2(Minus(b2, a2), Minus(c2, a2));
    if (std::fabs(before) > 1e-2f) {
      EXPECT_EQ(before > 0, after > 0) << trial;
    }
  }
}

TEST(EdgeSimilarityTest, AFaceEdgeWithoutLengthMovesTheFaceWithoutNaN) {
  const EdgeSimilarity s = MakeEdgeSimilarity({{1, 1}, {0, 2}, 1}, {3, 3}, {3, 3});
  const UVPair moved = ApplyEdgeSimilarity(s, {4, 3});
  EXPECT_EQ(ApplyEdgeSimilarity(s, {3, 3}).u, 1.0f);
  EXPECT_TRUE(std::isfinite(moved.u) && std::isfinite(moved.v));
}

// A triangle a, b, c in a tilted plane; its edge a -> b laid on random
// targets: the third corner lands at its 3D height times k, opposite to
// the target's side.
TEST(TrianglePlacementTest, ThirdCornerLandsAtItsHeightTimesTheScaleOnTheFarSide) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> coordinate(-3.0f, 3.0f);
  const MQPoint a{0.2f, 0.1f, 0.3f}, b{1.2f, 0.5f, -0.2f}, c{0.9f, 1.4f, 0.6f};
  const MQPoint ab{b.x - a.x, b.y - a.y, b.z - a.z}, ac{c.x - a.x, c.y - a.y, c.z - a.z};
  const float lambda = std::sqrt(ab.x * ab.x + ab.y * ab.y + ab.z * ab.z);
  const MQPoint n{ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z, ab.x * ac.y - ab.y * ac.x};
  const float height = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z) / lambda;
  // Face b, a, c: the edge from corner a runs to c, the edge into a from b.
  const MQPoint fromA = ac, intoA = ab;
  for (int trial = 0; trial < 100; ++trial) {
    const EdgeTarget target{{coordinate(random), coordinate(random)},
                            {coordinate(random), coordinate(random)},
                            trial % 2 == 0 ? 1.0f : -1.0f};
    const float l = std::hypot(target.dir.u, target.dir.v);
    if (l < 0.1f) continue;
    const ShapeFrame frame =
        TrianglePlacementFrame(a, b, {fromA.x, fromA.y, fromA.z}, {-intoA.x, -intoA.y, -intoA.z}, target);
    const UVPair a2 = PlaceShapePoint(frame, a), b2 = PlaceShapePoint(frame, b),
                 c2 = PlaceShapePoint(frame, c);
    const float k = l / lambda;
    EXPECT_NEAR(a2.u, target.start.u, 1e-4f);
    EXPECT_NEAR(b2.v, target.start.v + target.dir.v, 1e-4f);
    const float signedHeight = Cross2(target.dir, Minus(c2, target.start)) / l;
    EXPECT_NEAR(signedHeight, -target.side * height * k, 1e-3f * k) << trial;
  }
}

TEST(TrianglePlacementTest, AZeroLength3DEdgeCollapsesOntoTheStartWithoutNaN) {
  const MQPoint p{1, 1, 1};
  const ShapeFrame frame = TrianglePlacementFrame(p, p, {0, 1, 0}, {0, 0, 0}, {{2, 3}, {1, 0}, 1});
  const UVPair uv = PlaceShapePoint(frame, {5, 6, 7});
  EXPECT_EQ(uv.u, 2.0f);
  EXPECT_EQ(uv.v, 3.0f);
}

}  // namespace
}  // namespace pavlex

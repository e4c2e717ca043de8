// The UV-vertex identity rule on plain values.
#include "plugin/model/uv_identity.h"

#include <gtest/gtest.h>

#include <limits>

namespace pavlex {
namespace {

TEST(UVIdentityTest, SquaredDistanceStrictlyBelowTheToleranceInSinglePrecision) {
  EXPECT_TRUE(UVsCoincide({0.5f, 0.5f}, {0.5f + 9e-5f, 0.5f}));
  EXPECT_FALSE(UVsCoincide({0.5f, 0.5f}, {0.5f + 1e-4f, 0.5f + 1e-4f}));
  // 0x1.a36e2ep-14 squared in float is exactly the tolerance; the float
  // below it squares to just under.
  ASSERT_EQ(0x1.a36e2ep-14f * 0x1.a36e2ep-14f, kUVCoincidenceSquared);
  EXPECT_FALSE(UVsCoincide({0.0f, 0.0f}, {0x1.a36e2ep-14f, 0.0f}));
  EXPECT_TRUE(UVsCoincide({0.0f, 0.0f}, {0.0f, -0x1.a36e2cp-14f}));
}

TEST(UVIdentityTest, OnlyCornersOfOneModelVertexAreOneUVVertex) {
  EXPECT_TRUE(IsSameUVVertex(7, {0.1f, 0.2f}, 7, {0.1f, 0.2f}));
  EXPECT_FALSE(IsSameUVVertex(7, {0.1f, 0.2f}, 8, {0.1f, 0.2f}));
}

TEST(UVIdentityTest, NonFiniteUVsCoincideWithNothing) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(UVsCoincide({nan, 0.0f}, {nan, 0.0f}));
  EXPECT_FALSE(UVsCoincide({inf, 0.0f}, {inf, 0.0f}));
  EXPECT_FALSE(UVsCoincide({3e38f, 0.0f}, {-3e38f, 0.0f}));  // the square overflows
}

}  // namespace
}  // namespace pavlex

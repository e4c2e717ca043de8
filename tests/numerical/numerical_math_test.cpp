// The single-precision point arithmetic of Rotate, Move and Scale, and the
// pivot and offset steps of the Numerical Manipulate dialog.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/transform/move_uv.h"
#include "tools/transform/numerical_pivot.h"
#include "tools/transform/rotate_uv.h"
#include "tools/transform/scale_uv.h"

namespace pavlex {
namespace {

TEST(NumericalMath, RotationTurnsCounterClockwiseInDegreesAboutThePivot) {
  const UVPair pivot = {0.5f, 0.5f};
  const UVPair quarter = RotateUVPoint({1.0f, 0.5f}, pivot, UVRotationFromDegrees(90.0f));
  EXPECT_NEAR(quarter.u, 0.5f, 1e-6f);
  EXPECT_FLOAT_EQ(quarter.v, 1.0f);
  // The cosine of the single-precision quarter turn is not 0: the angle is
  // rounded before cos is taken, in double precision.
  const UVRotation r = UVRotationFromDegrees(90.0f);
  EXPECT_EQ(r.c, static_cast<float>(std::cos(static_cast<double>(90.0f * 3.1415927f / 180.0f))));
  EXPECT_NE(r.c, 0.0f);
  const UVPair none = RotateUVPoint({0.3f, 0.7f}, pivot, UVRotationFromDegrees(0.0f));
  EXPECT_EQ(none.u, 0.3f);
  EXPECT_EQ(none.v, 0.7f);
  const UVPair half = RotateUVPoint({0.75f, 0.5f}, pivot, UVRotationFromDegrees(-180.0f));
  EXPECT_NEAR(half.u, 0.25f, 1e-6f);
  EXPECT_NEAR(half.v, 0.5f, 1e-6f);
}

TEST(NumericalMath, ScaleAboutThePivotMirrorsCollapsesAndKeeps) {
  const UVPair pivot = {0.4f, 0.2f};
  const UVPair mirrored = ScaleUVPoint({0.6f, 0.3f}, pivot, -1.0f);
  EXPECT_FLOAT_EQ(mirrored.u, 0.2f);
  EXPECT_FLOAT_EQ(mirrored.v, 0.1f);
  const UVPair collapsed = ScaleUVPoint({0.6f, 0.3f}, pivot, 0.0f);
  EXPECT_EQ(collapsed.u, pivot.u);
  EXPECT_EQ(collapsed.v, pivot.v);
  const UVPair kept = ScaleUVPoint({0.6f, 0.3f}, pivot, 1.0f);
  EXPECT_EQ(kept.u, 0.6f);
  EXPECT_EQ(kept.v, 0.3f);
  const UVPair moved = MoveUVPoint({0.6f, 0.3f}, {0.1f, -0.3f});
  EXPECT_EQ(moved.u, 0.6f + 0.1f);
  EXPECT_EQ(moved.v, 0.3f - 0.3f);
}

TEST(NumericalMath, OffsetIsExactlyZeroAtTheOpeningCentre) {
  // Awkward floats whose centre is not representable in either precision.
  const float lo = 0.1f, hi = 0.7000001f;
  EXPECT_EQ(MoveOffsetTo(PivotBetween(lo, hi), lo, hi), 0.0f);
  EXPECT_EQ(MoveOffsetTo(OpenCentre(lo, hi), lo, hi), 0.0f);
  // Typed pivot 0.5 over a 0.2..0.6 rectangle: 0.1 in single precision.
  EXPECT_EQ(MoveOffsetTo(0.5, 0.2f, 0.6f), 0.5f - (0.6f + 0.2f) * 0.5f);
  EXPECT_DOUBLE_EQ(PivotBetween(0.2, 1.0), 0.6);
}

}  // namespace
}  // namespace pavlex

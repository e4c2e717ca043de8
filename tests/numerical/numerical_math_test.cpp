// The single-precision steps of Rotate and of the dialog's pivot and Move
// offset, where exactness matters beyond what the dialog tests can see.
#include <gtest/gtest.h>

#include <cmath>

#include "plugin/tools/transform/numerical_pivot.h"
#include "plugin/tools/transform/rotate_uv.h"

namespace pavlex {
namespace {

// The angle is rounded to single precision before cos is taken in double:
// a quarter turn's cosine is not 0, so the dialog's results carry that.
TEST(NumericalMath, RotationRoundsTheAngleBeforeTakingCosAndSin) {
  const UVRotation r = UVRotationFromDegrees(90.0f);
  EXPECT_EQ(r.c, static_cast<float>(std::cos(static_cast<double>(90.0f * 3.1415927f / 180.0f))));
  EXPECT_NE(r.c, 0.0f);
  const UVPair none = RotateUVPoint({0.3f, 0.7f}, {0.5f, 0.5f}, UVRotationFromDegrees(0.0f));
  EXPECT_EQ(none.u, 0.3f);
  EXPECT_EQ(none.v, 0.7f);
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

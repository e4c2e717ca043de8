// Selection bounds, Invert, Turn and Snap through the real host.
#include <cmath>
#include <limits>

#include "plugin/tools/transform/invert_uv.h"
#include "plugin/tools/transform/scale_uv.h"
#include "plugin/tools/transform/snap_uv.h"
#include "plugin/tools/transform/turn_uv.h"
#include "plugin/tools/transform/uv_bounds.h"
#include "tests/transform/transform_test_fixture.h"

namespace pavlex {
namespace {

using testing::SameBits;

class InvertTurnSnapTest : public testing::TransformTest {
 protected:
  UVBounds Bounds() {
    UVBounds bounds{};
    RunShowing(1, [&] {
      bounds = SelectionUVBounds(cmq::CMQObject::Current(document()));
      return true;
    });
    return bounds;
  }
  void Invert(InvertDirection direction, bool aboutUnitCentre) {
    const UVBounds bounds = Bounds();
    EXPECT_TRUE(RunShowing(1, [&] { return InvertUV(document(), bounds, direction, aboutUnitCentre); }));
  }
  void Turn(TurnDirection direction, const UVBounds& bounds) {
    EXPECT_TRUE(RunShowing(1, [&] { return TurnUV(document(), bounds, direction); }));
  }
  void Snap(SnapSide side) {
    const UVBounds bounds = Bounds();
    EXPECT_TRUE(RunShowing(1, [&] { return SnapUV(document(), bounds, side); }));
  }
  // Face 0: three selected corners; face 1: unselected, far away.
  host::HostObject& AddSelected(std::vector<MQCoordinate> uvs) {
    host::HostObject& object = AddUVFaces({uvs, {{5.0f, 5.0f}, {6.0f, 5.0f}, {6.0f, 7.0f}}});
    SelectUV(object, 0, {0, 1, 2});
    return object;
  }
};

TEST_F(InvertTurnSnapTest, BoundsCoverSelectedFiniteCornersElseUnitSquare) {
  UVBounds b = Bounds();  // no current object
  EXPECT_EQ(b.umax, 1.0f);
  host::HostObject& object = AddUVFaces({{{0.2f, 0.5f}, {9.0f, -9.0f}, {0.4f, 0.1f}},  //
                                         {{0.3f, 0.9f}, {std::nanf(""), std::nanf("")}, {-7.0f, 7.0f}}});
  b = Bounds();  // nothing selected
  EXPECT_EQ(b.umin, 0.0f);
  EXPECT_EQ(b.umax, 1.0f);
  EXPECT_EQ(b.vmin, 0.0f);
  EXPECT_EQ(b.vmax, 1.0f);
  SelectUV(object, 0, {0, 2});
  SelectUV(object, 1, {0, 1});  // a NaN corner has nowhere to widen the bounds to
  b = Bounds();
  EXPECT_EQ(b.umin, 0.2f);
  EXPECT_EQ(b.umax, 0.4f);
  EXPECT_EQ(b.vmin, 0.1f);
  EXPECT_EQ(b.vmax, 0.9f);
}

// The pivot is (umin + umax) * 0.5 and each u becomes (cu + cu) - u, all
// in single precision, so the results are exact floats: 0.2 comes back one
// step below 0.2f, and the unit-centre pass then starts from that.
TEST_F(InvertTurnSnapTest, InvertMirrorsAboutSelectionOrUnitCentre) {
  host::HostObject& object = AddSelected({{0.2f, 0.1f}, {0.3f, 0.4f}, {0.6f, 0.8f}});
  const std::vector<MQCoordinate> other = UVs(object, 1);
  Invert(InvertDirection::kHorizontal, false);
  std::vector<MQCoordinate> uv = UVs(object, 0);
  EXPECT_EQ(uv[0].u, 0.6f);
  EXPECT_EQ(uv[1].u, 0.5f);
  EXPECT_EQ(uv[2].u, std::nextafter(0.2f, 0.0f));
  EXPECT_EQ(uv[1].v, 0.4f);
  Invert(InvertDirection::kHorizontal, false);  // back to 0.2 - 1 step, 0.3, 0.6
  uv = UVs(object, 0);
  EXPECT_EQ(uv[0].u, std::nextafter(0.2f, 0.0f));
  EXPECT_EQ(uv[1].u, 0.3f);
  EXPECT_EQ(uv[2].u, 0.6f);
  Invert(InvertDirection::kHorizontal, true);
  uv = UVs(object, 0);
  EXPECT_EQ(uv[0].u, 0.8f);
  EXPECT_EQ(uv[1].u, 0.7f);
  EXPECT_EQ(uv[2].u, std::nextafter(0.4f, 0.0f));
  Invert(InvertDirection::kVertical, false);  // v 0.1, 0.4, 0.8 about 0.45
  uv = UVs(object, 0);
  EXPECT_EQ(uv[0].v, 0.8f);
  EXPECT_EQ(uv[1].v, 0.5f);
  EXPECT_EQ(uv[2].v, 0x1.9999ap-4f);  // 0.1f and three steps up
  EXPECT_TRUE(SameBits(UVs(object, 1), other));
}

TEST_F(InvertTurnSnapTest, InvertTwiceRestores) {
  host::HostObject& object = AddSelected({{0.137f, 0.71f}, {0.9f, 0.33f}, {0.52f, 0.05f}});
  const std::vector<MQCoordinate> before = UVs(object, 0);
  for (InvertDirection d : {InvertDirection::kHorizontal, InvertDirection::kVertical}) {
    Invert(d, false);
    Invert(d, false);
  }
  for (size_t c = 0; c < before.size(); ++c) {
    EXPECT_NEAR(UVs(object, 0)[c].u, before[c].u, 1e-6f);
    EXPECT_NEAR(UVs(object, 0)[c].v, before[c].v, 1e-6f);
  }
}

TEST_F(InvertTurnSnapTest, TurnAcrossUnitSquareOrSelectionSides) {
  host::HostObject& object = AddSelected({{0.25f, 0.25f}, {0.5f, 0.375f}, {0.0f, 0.5f}});
  Turn(TurnDirection::kUp, kUnitUVSquare);  // v -> -v
  EXPECT_EQ(UVs(object, 0)[1].v, -0.375f);
  Turn(TurnDirection::kDown, kUnitUVSquare);  // v -> 2 - v
  EXPECT_EQ(UVs(object, 0)[1].v, 2.375f);
  Turn(TurnDirection::kLeft, kUnitUVSquare);  // u -> -u
  EXPECT_EQ(UVs(object, 0)[1].u, -0.5f);
  Turn(TurnDirection::kRight, kUnitUVSquare);  // u -> 2 - u
  EXPECT_EQ(UVs(object, 0)[1].u, 2.5f);

  for (int32_t c = 0; c < 3; ++c) object.faceUVs(0)[c].v = 0.25f + 0.125f * static_cast<float>(c);
  Turn(TurnDirection::kUp, Bounds());  // [0.25, 0.5] across 0.25 -> [0.0, 0.25]
  EXPECT_EQ(UVs(object, 0)[0].v, 0.25f);
  EXPECT_EQ(UVs(object, 0)[2].v, 0.0f);
  for (int32_t c = 0; c < 3; ++c) object.faceUVs(0)[c].v = 0.25f + 0.125f * static_cast<float>(c);
  Turn(TurnDirection::kDown, Bounds());  // across 0.5 -> [0.5, 0.75]
  EXPECT_EQ(UVs(object, 0)[0].v, 0.75f);
  EXPECT_EQ(UVs(object, 0)[2].v, 0.5f);
}

TEST_F(InvertTurnSnapTest, SnapFlattensOntoOneSide) {
  host::HostObject& object = AddSelected({{0.1f, 0.3f}, {0.6f, 0.7f}, {0.4f, 0.5f}});
  Snap(SnapSide::kTop);
  EXPECT_EQ(UVs(object, 0)[1].v, 0.3f);
  object.faceUVs(0)[1].v = 0.7f;
  Snap(SnapSide::kBottom);
  EXPECT_EQ(UVs(object, 0)[0].v, 0.7f);
  Snap(SnapSide::kRight);
  EXPECT_EQ(UVs(object, 0)[0].u, 0.6f);
  EXPECT_EQ(UVs(object, 1)[0].u, 5.0f);
}

// Two faces share vertex 1 and its UV; only face 0's corner is selected, so
// only it moves and the shared UV opens into a seam.
TEST_F(InvertTurnSnapTest, OnlyTheSelectedCornerOfASharedPositionMoves) {
  host::HostObject& object = AddObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}},
                                       {{{0, 1, 2}, {{0.0f, 0.0f}, {0.5f, 0.5f}, {0.0f, 1.0f}}},
                                        {{1, 3, 2}, {{0.5f, 0.5f}, {1.0f, 1.0f}, {0.0f, 1.0f}}}});
  SelectUV(object, 0, {0, 1});
  Snap(SnapSide::kLeft);
  EXPECT_EQ(UVs(object, 0)[1].u, 0.0f);
  EXPECT_EQ(UVs(object, 1)[0].u, 0.5f);
}

TEST_F(InvertTurnSnapTest, UnknownCodesMoveNothingAndNoObjectIsFine) {
  EXPECT_TRUE(RunShowing(1, [&] { return SnapUV(document(), kUnitUVSquare, SnapSide::kTop); }));
  host::HostObject& object = AddSelected({{0.2f, 0.1f}, {0.3f, 0.4f}, {std::nanf(""), 0.8f}});
  const std::vector<MQCoordinate> before = UVs(object, 0);
  const UVBounds b = {-3.0f, 4.0f, -5.0f, 6.0f};
  for (int32_t code : {0, 3, 5, -1}) {
    EXPECT_TRUE(
        RunShowing(1, [&] { return InvertUV(document(), b, static_cast<InvertDirection>(code), false); }));
  }
  for (int32_t code : {0, 5, -1}) {
    EXPECT_TRUE(RunShowing(1, [&] { return TurnUV(document(), b, static_cast<TurnDirection>(code)); }));
    EXPECT_TRUE(RunShowing(1, [&] { return SnapUV(document(), b, static_cast<SnapSide>(code)); }));
  }
  EXPECT_TRUE(SameBits(UVs(object, 0), before));
}

// Near the top of the float range a mirror or a turn overflows: bounds
// [2e38, 3.4e38] put the mirror line's double at 5.4e38. A corner whose
// result would not be a number keeps its UV; the others move as usual.
TEST_F(InvertTurnSnapTest, AFiniteUVNeverBecomesInfiniteOrNaN) {
  const std::vector<MQCoordinate> huge = {{2e38f, 0.25f}, {3.4e38f, 0.5f}, {3e38f, -3.4e38f}};
  host::HostObject& object = AddSelected(huge);
  const auto allFinite = [&] {
    for (int32_t f = 0; f < 2; ++f) {
      for (const MQCoordinate& uv : UVs(object, f)) {
        if (!std::isfinite(uv.u) || !std::isfinite(uv.v)) return false;
      }
    }
    return true;
  };
  Invert(InvertDirection::kHorizontal, false);
  EXPECT_TRUE(allFinite());
  EXPECT_EQ(UVs(object, 0)[0].u, 2e38f);  // kept: 5.4e38 - 2e38 is computed through infinity
  EXPECT_EQ(UVs(object, 0)[0].v, 0.25f);
  Turn(TurnDirection::kLeft, Bounds());
  Turn(TurnDirection::kRight, Bounds());
  Turn(TurnDirection::kDown, Bounds());
  EXPECT_TRUE(allFinite());
  EXPECT_TRUE(RunShowing(1, [&] { return ScaleUV(document(), 1e30f, {0.0f, 0.0f}); }));
  EXPECT_TRUE(allFinite());
  EXPECT_EQ(UVs(object, 1)[0].u, 5.0f);  // never selected
  // A small UV still moves where a huge one stays.
  object.faceUVs(0)[2] = {0.5f, 0.5f};
  EXPECT_TRUE(RunShowing(1, [&] { return ScaleUV(document(), 2.0f, {0.0f, 0.0f}); }));
  EXPECT_EQ(UVs(object, 0)[2].u, 1.0f);
  EXPECT_EQ(UVs(object, 0)[1].u, 3.4e38f);
}

}  // namespace
}  // namespace pavlex

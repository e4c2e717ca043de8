// "Sew" and the "V" of "Grab" through the real host.
#include "tools/transform/sew_uv.h"

#include <limits>

#include "tests/islands/islands_fixture.h"

namespace pavlex {
namespace {

using testing::IslandsTest;

class SewUVTest : public IslandsTest {
 protected:
  bool Sew() {
    return RunTool([](MQDocument d) { return SewUV(d, false, false); });
  }
  bool Grab(bool selectedFacesOnly) {
    return RunTool([selectedFacesOnly](MQDocument d) { return SewUV(d, true, selectedFacesOnly); });
  }
};

TEST_F(SewUVTest, SewMovesBothSidesOfASelectedSeamToTheirMidpoint) {
  host::HostObject& quads = AddTwoQuads({0.5f, 0.25f});
  SelectFaceUVs(quads, 0);
  SelectFaceUVs(quads, 1);
  const auto selection = UVSelection(quads);
  EXPECT_TRUE(Sew());
  EXPECT_UV_EQ(UV(quads, 0, 1), 1.25f, 0.125f);  // vertex 1
  EXPECT_UV_EQ(UV(quads, 1, 0), 1.25f, 0.125f);
  EXPECT_UV_EQ(UV(quads, 0, 2), 1.25f, 1.125f);  // vertex 4
  EXPECT_UV_EQ(UV(quads, 1, 3), 1.25f, 1.125f);
  EXPECT_UV_EQ(UV(quads, 0, 0), 0.0f, 0.0f);  // vertices of one face only stay
  EXPECT_UV_EQ(UV(quads, 1, 1), 2.5f, 0.25f);
  EXPECT_EQ(UVSelection(quads), selection);

  const auto once = UVBits(quads);
  EXPECT_TRUE(Sew());
  EXPECT_EQ(UVBits(quads), once);
}

TEST_F(SewUVTest, OneSideSelectedSewKeepsItAndGrabPullsTheOtherSideOver) {
  host::HostObject& quads = AddTwoQuads({0.5f, 0.25f});
  SelectFaceUVs(quads, 0);
  const auto before = UVBits(quads);
  EXPECT_TRUE(Sew());
  EXPECT_EQ(UVBits(quads), before);

  EXPECT_TRUE(Grab(false));
  EXPECT_UV_EQ(UV(quads, 1, 0), 1.0f, 0.0f);
  EXPECT_UV_EQ(UV(quads, 1, 3), 1.0f, 1.0f);
  EXPECT_UV_EQ(UV(quads, 1, 1), 2.5f, 0.25f);  // vertex 2 has no selected UV vertex
  EXPECT_UV_EQ(UV(quads, 0, 1), 1.0f, 0.0f);
}

TEST_F(SewUVTest, GrabLeavesAVertexWithDisagreeingSelectedUVsAlone) {
  host::HostObject& quads = AddTwoQuads({0.01f, 0.0f});
  SelectUV(quads, 0, {1});  // vertex 1: both sides selected, 0.01 apart
  SelectUV(quads, 1, {0});
  SelectUV(quads, 0, {2});  // vertex 4: one side selected
  const MQCoordinate farSide = UV(quads, 1, 0);
  EXPECT_TRUE(Grab(false));
  EXPECT_UV_EQ(UV(quads, 0, 1), 1.0f, 0.0f);
  EXPECT_UV_EQ(UV(quads, 1, 0), farSide.u, farSide.v);
  EXPECT_UV_EQ(UV(quads, 1, 3), 1.0f, 1.0f);
}

TEST_F(SewUVTest, GrabWithSelectedFacesOnlyMovesCornersOfSelectedFaces) {
  host::HostObject& grid = AddSeamedGrid();  // vertex 4 is corner 2, 3, 1, 0 of faces 0..3
  SelectUV(grid, 0, {2});
  grid.setFaceSelected(1, true);
  grid.setFaceSelected(3, true);
  const MQCoordinate target = UV(grid, 0, 2);
  const MQCoordinate face2 = UV(grid, 2, 1);
  EXPECT_TRUE(Grab(true));
  EXPECT_UV_EQ(UV(grid, 1, 3), target.u, target.v);
  EXPECT_UV_EQ(UV(grid, 3, 0), target.u, target.v);
  EXPECT_UV_EQ(UV(grid, 2, 1), face2.u, face2.v);

  EXPECT_TRUE(Grab(false));
  EXPECT_UV_EQ(UV(grid, 2, 1), target.u, target.v);
}

TEST_F(SewUVTest, NonFiniteMeansAreNotWritten) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  host::HostObject& quads = AddTwoQuads({0.5f, 0.0f});
  SetUV(quads, 0, 1, {nan, 0.0f});    // vertex 1: a NaN side
  SetUV(quads, 0, 2, {3e38f, 1.0f});  // vertex 4: the sum overflows
  SetUV(quads, 1, 3, {3e38f, 1.0f});
  SelectFaceUVs(quads, 0);
  SelectFaceUVs(quads, 1);
  const auto before = UVBits(quads);
  EXPECT_TRUE(Sew());
  EXPECT_EQ(UVBits(quads), before);
  EXPECT_TRUE(Grab(false));
  EXPECT_EQ(UVBits(quads), before);
}

TEST_F(SewUVTest, NoObjectOrNothingSelectedChangesNothing) {
  EXPECT_TRUE(Sew());
  EXPECT_TRUE(Grab(true));
  host::HostObject& quads = AddTwoQuads({0.5f, 0.0f});
  const auto before = UVBits(quads);
  EXPECT_TRUE(Sew());
  EXPECT_TRUE(Grab(false));
  EXPECT_EQ(UVBits(quads), before);
}

}  // namespace
}  // namespace pavlex

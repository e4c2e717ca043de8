// "Sew" and the "V" of "Grab" through the real host.
#include "plugin/tools/transform/sew_uv.h"

#include <limits>

#include "tests/islands/islands_fixture.h"

namespace pavlex {
namespace {

using UV2 = std::pair<float, float>;

class SewUVTest : public testing::IslandsTest {
 protected:
  bool Sew() {
    return RunTool([](MQDocument d) { return SewUV(d, SewMode::kToMean, false); });
  }
  bool Grab(bool selectedFacesOnly) {
    return RunTool([=](MQDocument d) { return SewUV(d, SewMode::kToSelected, selectedFacesOnly); });
  }
};

TEST_F(SewUVTest, SewMovesBothSelectedSidesOfASeamToTheirMidpoint) {
  host::HostObject& quads = AddTwoQuads({0.5f, 0.25f});
  SelectFaceUVs(quads, 0);
  SelectFaceUVs(quads, 1);
  const auto selection = UVSelection(quads);
  EXPECT_TRUE(Sew());
  EXPECT_EQ(UV(quads, 0, 1), UV2(1.25f, 0.125f));  // vertex 1
  EXPECT_EQ(UV(quads, 1, 0), UV2(1.25f, 0.125f));
  EXPECT_EQ(UV(quads, 1, 3), UV2(1.25f, 1.125f));  // vertex 4
  EXPECT_EQ(UV(quads, 1, 1), UV2(2.5f, 0.25f));    // used by one face only
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
  EXPECT_EQ(UV(quads, 1, 0), UV2(1.0f, 0.0f));
  EXPECT_EQ(UV(quads, 1, 3), UV2(1.0f, 1.0f));
  EXPECT_EQ(UV(quads, 1, 1), UV2(2.5f, 0.25f));
}

TEST_F(SewUVTest, GrabLeavesAVertexWithDisagreeingSelectedUVsAlone) {
  host::HostObject& quads = AddTwoQuads({0.01f, 0.0f});
  SelectUV(quads, 0, {1, 2});  // vertex 1 selected on both sides, 0.01 apart;
  SelectUV(quads, 1, {0});     // vertex 4 on one side
  const UV2 farSide = UV(quads, 1, 0);
  EXPECT_TRUE(Grab(false));
  EXPECT_EQ(UV(quads, 0, 1), UV2(1.0f, 0.0f));
  EXPECT_EQ(UV(quads, 1, 0), farSide);
  EXPECT_EQ(UV(quads, 1, 3), UV2(1.0f, 1.0f));
}

TEST_F(SewUVTest, GrabWithSelectedFacesOnlyMovesCornersOfSelectedFaces) {
  host::HostObject& grid = AddSeamedGrid();  // vertex 4 is corner 2, 3, 1, 0 of faces 0..3
  SelectUV(grid, 0, {2});
  grid.setFaceSelected(1, true);
  grid.setFaceSelected(3, true);
  const UV2 target = UV(grid, 0, 2), face2 = UV(grid, 2, 1);
  EXPECT_TRUE(Grab(true));
  EXPECT_EQ(UV(grid, 1, 3), target);
  EXPECT_EQ(UV(grid, 3, 0), target);
  EXPECT_EQ(UV(grid, 2, 1), face2);
}

TEST_F(SewUVTest, MeansThatAreNotFiniteAreNotWritten) {
  EXPECT_TRUE(Sew());  // no object at all
  host::HostObject& quads = AddTwoQuads({0.5f, 0.0f});
  SetUV(quads, 0, 1, {std::numeric_limits<float>::quiet_NaN(), 0.0f});  // vertex 1: a NaN side
  SetUV(quads, 0, 2, {3e38f, 1.0f});                                    // vertex 4: the sum overflows
  SetUV(quads, 1, 3, {3e38f, 1.0f});
  SelectFaceUVs(quads, 0);
  SelectFaceUVs(quads, 1);
  const auto before = UVBits(quads);
  EXPECT_TRUE(Sew());
  EXPECT_TRUE(Grab(false));
  EXPECT_EQ(UVBits(quads), before);
}

}  // namespace
}  // namespace pavlex

// "floating", "group" and "same vertex" through the real host.
#include "tests/islands/islands_fixture.h"
#include "tools/select/select_floating.h"
#include "tools/select/select_group.h"
#include "tools/select/select_same_vertex.h"

namespace pavlex {
namespace {

using testing::IslandsTest;
using Selection = std::vector<std::vector<bool>>;

class SelectToolsTest : public IslandsTest {
 protected:
  // Runs the tool, then again, and checks the second run changed nothing.
  Selection RunTwice(bool (*tool)(MQDocument), const host::HostObject& object) {
    EXPECT_TRUE(Run(tool));
    const Selection once = UVSelection(object);
    EXPECT_TRUE(Run(tool));
    EXPECT_EQ(UVSelection(object), once);
    return once;
  }
};

TEST_F(SelectToolsTest, FloatingKeepsOnlyWholeFaces) {
  //  face 0: corners 0, 1, 3 selected; face 1: all; face 2: none; face 3: corner 2 only
  host::HostObject& grid = AddSeamedGrid();
  SelectUV(grid, 0, {0, 1, 3});
  SelectFaceUVs(grid, 1);
  SelectUV(grid, 3, {2});
  const Selection selection = RunTwice(SelectFloating, grid);
  EXPECT_EQ(selection, (Selection{{false, false, false, false},
                                  {true, true, true, true},
                                  {false, false, false, false},
                                  {false, false, false, false}}));
}

TEST_F(SelectToolsTest, FloatingJudgesEachFaceOnItsOwnCorners) {
  // Only the shared corner of face 0 (vertex 1) and all of face 1 selected.
  host::HostObject& quads = AddTwoQuads({0.0f, 0.0f});
  SelectUV(quads, 0, {1});
  SelectFaceUVs(quads, 1);
  EXPECT_TRUE(Run(SelectFloating));
  EXPECT_EQ(UVSelection(quads), (Selection{{false, false, false, false}, {true, true, true, true}}));
}

TEST_F(SelectToolsTest, GroupSelectsWholeIslandsUpToSeams) {
  //  4 6---7---8     faces 0-2 share UVs across their inner edges (one
  //    | 2 | 3 |     island); face 3 is cut off by a UV seam; a lone
  //    3---4---5     selected corner on face 0 grows to faces 0-2.
  //    | 0 | 1 |
  //    0---1---2
  host::HostObject& grid = AddSeamedGrid();
  for (int32_t f = 0; f < 3; ++f) {
    const int32_t* vertices = grid.faceVertices(f);
    for (int32_t c = 0; c < 4; ++c) {
      const MQPoint& p = grid.position(vertices[c]);
      SetUV(grid, f, c, {p.x, p.y});
    }
  }
  SelectUV(grid, 0, {0});
  const Selection selection = RunTwice(SelectGroup, grid);
  for (int32_t f = 0; f < 4; ++f) {
    for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(selection[f][c], f != 3) << f << "," << c;
  }
}

TEST_F(SelectToolsTest, GroupJoinsFacesTouchingAtOneVertex) {
  host::HostObject& bowtie = AddBowtie();
  SelectUV(bowtie, 1, {3});
  EXPECT_TRUE(Run(SelectGroup));
  EXPECT_EQ(UVSelection(bowtie), (Selection{{true, true, true, true}, {true, true, true, true}}));
}

TEST_F(SelectToolsTest, SameVertexSelectsEveryCornerOfTheVertexWhateverTheUVs) {
  host::HostObject& grid = AddSeamedGrid();  // vertex 4 is corner 2, 3, 1, 0 of faces 0..3
  SelectUV(grid, 3, {0});
  const Selection selection = RunTwice(SelectSameVertex, grid);
  EXPECT_EQ(selection, (Selection{{false, false, true, false},
                                  {false, false, false, true},
                                  {false, true, false, false},
                                  {true, false, false, false}}));
}

TEST_F(SelectToolsTest, NoObjectOrNoFacesChangesNothing) {
  for (bool (*tool)(MQDocument) : {SelectFloating, SelectGroup, SelectSameVertex}) EXPECT_TRUE(Run(tool));
  host::HostObject& quad = AddQuad();
  SelectUV(quad, 0, {0});
  quad.deleteFace(0, false);
  for (bool (*tool)(MQDocument) : {SelectFloating, SelectGroup, SelectSameVertex}) EXPECT_TRUE(Run(tool));
  EXPECT_EQ(quad.faceCount(), 1);
}

}  // namespace
}  // namespace pavlex

// "floating", "group" and "same vertex" through the real host.
#include "plugin/tools/select/select_floating.h"
#include "plugin/tools/select/select_group.h"
#include "plugin/tools/select/select_same_vertex.h"
#include "tests/islands/islands_fixture.h"

namespace pavlex {
namespace {

using Selection = std::vector<std::vector<bool>>;

class SelectToolsTest : public testing::IslandsTest {
 protected:
  // Runs the tool twice and checks the second run changed nothing.
  Selection RunTwice(bool (*tool)(MQDocument), const host::HostObject& object) {
    EXPECT_TRUE(Run(tool));
    const Selection once = UVSelection(object);
    EXPECT_TRUE(Run(tool));
    EXPECT_EQ(UVSelection(object), once);
    return once;
  }
};

TEST_F(SelectToolsTest, FloatingKeepsOnlyWholeFaces) {
  host::HostObject& grid = AddSeamedGrid();
  SelectUV(grid, 0, {0, 1, 3});
  SelectFaceUVs(grid, 1);
  SelectUV(grid, 3, {2});
  const std::vector<bool> all(4, true), none(4, false);
  EXPECT_EQ(RunTwice(SelectFloating, grid), (Selection{none, all, none, none}));
}

TEST_F(SelectToolsTest, GroupGrowsOverCornersWithin9e5ButNotAcrossSeams) {
  const std::pair<MQCoordinate, bool> seams[] = {{{9e-5f, 0.0f}, true}, {{1e-4f, 1e-4f}, false}};
  for (const auto& [gap, joined] : seams) {
    host::HostObject& quads = AddTwoQuads(gap);
    doc_.setCurrentObject(quads.slot());
    SelectUV(quads, 0, {2});  // on the seam
    EXPECT_EQ(RunTwice(SelectGroup, quads),
              (Selection{std::vector<bool>(4, true), std::vector<bool>(4, joined)}));
  }
}

TEST_F(SelectToolsTest, GroupJoinsFacesThatTouchAtOneUVVertex) {
  host::HostObject& grid = AddSeamedGrid();
  SetUV(grid, 3, 0, grid.faceUVs(0)[2]);  // faces 0 and 3 meet only at vertex 4
  SelectUV(grid, 3, {2});
  const std::vector<bool> all(4, true), none(4, false);
  EXPECT_EQ(RunTwice(SelectGroup, grid), (Selection{all, none, none, all}));
}

TEST_F(SelectToolsTest, SameVertexSelectsEveryCornerOfTheVertexWhateverTheUVs) {
  host::HostObject& grid = AddSeamedGrid();  // vertex 4 is corner 2, 3, 1, 0 of faces 0..3
  SelectUV(grid, 3, {0});
  EXPECT_EQ(RunTwice(SelectSameVertex, grid), (Selection{{false, false, true, false},
                                                         {false, false, false, true},
                                                         {false, true, false, false},
                                                         {true, false, false, false}}));
}

TEST_F(SelectToolsTest, NoObjectOrOnlyDeletedFacesIsNotAnError) {
  for (bool (*tool)(MQDocument) : {SelectFloating, SelectGroup, SelectSameVertex}) EXPECT_TRUE(Run(tool));
  AddQuad().deleteFace(0, false);
  for (bool (*tool)(MQDocument) : {SelectFloating, SelectGroup, SelectSameVertex}) EXPECT_TRUE(Run(tool));
}

}  // namespace
}  // namespace pavlex

// "Object -> UV" through the real host.
#include "plugin/tools/select/object_to_uv.h"

#include "tests/support/host_document_fixture.h"

namespace pavlex {
namespace {

using testing::HostDocumentTest;

using Corners = std::vector<std::pair<int32_t, int32_t>>;

class ObjectToUVTest : public HostDocumentTest {
 protected:
  static Corners SelectedUVs(const host::HostObject& object) {
    Corners selected;
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      for (int32_t c = 0; c < object.cornerCount(f); ++c) {
        if (object.isUVSelected(f, c)) selected.emplace_back(f, c);
      }
    }
    return selected;
  }
};

// Vertex 4 sits in all four faces, each with its own UVs.
TEST_F(ObjectToUVTest, VertexSelectsItsCornerInEveryFaceAcrossSeams) {
  host::HostObject& grid = AddSeamedGrid();
  grid.setVertexSelected(4, true);
  EXPECT_TRUE(Run(ObjectToUVVertex));
  EXPECT_EQ(SelectedUVs(grid), (Corners{{0, 2}, {1, 3}, {2, 1}, {3, 0}}));
  EXPECT_TRUE(grid.isVertexSelected(4));
  EXPECT_FALSE(grid.isVertexSelected(0));
}

TEST_F(ObjectToUVTest, LineSelectsBothEndCorners) {
  host::HostObject& grid = AddSeamedGrid();
  grid.setLineSelected(1, 0, true);
  grid.setLineSelected(2, 3, true);  // from the last corner back to corner 0
  EXPECT_TRUE(Run(ObjectToUVLine));
  EXPECT_EQ(SelectedUVs(grid), (Corners{{1, 0}, {1, 1}, {2, 0}, {2, 3}}));
}

TEST_F(ObjectToUVTest, FaceSelectsAllItsCorners) {
  host::HostObject& grid = AddSeamedGrid();
  grid.setFaceSelected(2, true);
  EXPECT_TRUE(Run(ObjectToUVFace));
  EXPECT_EQ(SelectedUVs(grid), (Corners{{2, 0}, {2, 1}, {2, 2}, {2, 3}}));
  EXPECT_TRUE(grid.isFaceSelected(2));
}

TEST_F(ObjectToUVTest, KeepsExistingUVSelectionAndRunsAgain) {
  host::HostObject& grid = AddSeamedGrid();
  grid.setUVSelected(0, 0, true);
  grid.setFaceSelected(3, true);
  EXPECT_TRUE(Run(ObjectToUVFace));
  EXPECT_TRUE(Run(ObjectToUVFace));
  EXPECT_EQ(SelectedUVs(grid), (Corners{{0, 0}, {3, 0}, {3, 1}, {3, 2}, {3, 3}}));
}

TEST_F(ObjectToUVTest, SkipsDeletedFaces) {
  host::HostObject& strip = AddStrip();
  strip.setVertexSelected(2, true);  // in faces 0 and 1
  strip.deleteFace(0, false);
  EXPECT_TRUE(Run(ObjectToUVVertex));
  EXPECT_EQ(SelectedUVs(strip), (Corners{{1, 0}}));
}

TEST_F(ObjectToUVTest, NothingSelectedAddsNothing) {
  host::HostObject& grid = AddSeamedGrid();
  EXPECT_FALSE(Run(ObjectToUVVertex));
  EXPECT_FALSE(Run(ObjectToUVLine));
  EXPECT_FALSE(Run(ObjectToUVFace));
  EXPECT_TRUE(SelectedUVs(grid).empty());
}

TEST_F(ObjectToUVTest, NoCurrentObjectGivesFalse) {
  EXPECT_FALSE(Run(ObjectToUVVertex));
  EXPECT_FALSE(Run(ObjectToUVLine));
  EXPECT_FALSE(Run(ObjectToUVFace));
}

}  // namespace
}  // namespace pavlex

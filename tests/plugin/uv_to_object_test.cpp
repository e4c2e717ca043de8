// "UV -> Object" through the real host.
#include "plugin/tools/select/uv_to_object.h"

#include <cmath>
#include <vector>

#include "tests/support/host_document_fixture.h"

namespace pavlex {
namespace {

using testing::HostDocumentTest;

class UVToObjectTest : public HostDocumentTest {
 protected:
  void SelectUV(host::HostObject& object, int32_t face, std::initializer_list<int32_t> corners) {
    for (int32_t c : corners) object.setUVSelected(face, c, true);
  }
};

TEST_F(UVToObjectTest, VertexSelectsTheVertexOfEachSelectedCorner) {
  host::HostObject& grid = AddSeamedGrid();
  SelectUV(grid, 0, {2});  // vertex 4
  SelectUV(grid, 3, {1});  // vertex 5
  EXPECT_TRUE(Run(UVToObjectVertex));
  for (int32_t v = 0; v < 9; ++v) EXPECT_EQ(grid.isVertexSelected(v), v == 4 || v == 5) << v;
  EXPECT_TRUE(grid.isUVSelected(0, 2));   // the source stays
  EXPECT_FALSE(grid.isUVSelected(1, 3));  // nothing else joins it
}

TEST_F(UVToObjectTest, VertexKeepsExistingSelectionAndRunsAgain) {
  host::HostObject& quad = AddQuad();
  quad.setVertexSelected(3, true);
  SelectUV(quad, 0, {0});
  EXPECT_TRUE(Run(UVToObjectVertex));
  EXPECT_TRUE(quad.isVertexSelected(0));
  EXPECT_TRUE(quad.isVertexSelected(3));
  EXPECT_FALSE(quad.isVertexSelected(1));
  // Nothing new to add, but additions were still issued.
  EXPECT_TRUE(Run(UVToObjectVertex));
}

TEST_F(UVToObjectTest, LineNeedsBothEndsSelected) {
  host::HostObject& quad = AddQuad();
  SelectUV(quad, 0, {0, 1, 2});
  EXPECT_TRUE(Run(UVToObjectLine));
  EXPECT_TRUE(quad.isLineSelected(0, 0));
  EXPECT_TRUE(quad.isLineSelected(0, 1));
  EXPECT_FALSE(quad.isLineSelected(0, 2));
  EXPECT_FALSE(quad.isLineSelected(0, 3));
}

TEST_F(UVToObjectTest, LineWrapsFromLastCornerToFirst) {
  host::HostObject& quad = AddQuad();
  SelectUV(quad, 0, {0, 1, 2, 3});
  EXPECT_TRUE(Run(UVToObjectLine));
  for (int32_t j = 0; j < 4; ++j) EXPECT_TRUE(quad.isLineSelected(0, j)) << j;
}

TEST_F(UVToObjectTest, FaceNeedsEveryCornerSelected) {
  host::HostObject& triangle = AddTriangle();
  SelectUV(triangle, 0, {0, 2});
  EXPECT_FALSE(Run(UVToObjectFace));
  EXPECT_FALSE(triangle.isFaceSelected(0));
  SelectUV(triangle, 0, {1});
  EXPECT_TRUE(Run(UVToObjectFace));
  EXPECT_TRUE(triangle.isFaceSelected(0));
}

TEST_F(UVToObjectTest, FaceSelectsOnlyFullySelectedFaces) {
  host::HostObject& grid = AddSeamedGrid();
  SelectUV(grid, 1, {0, 1, 2, 3});
  SelectUV(grid, 2, {0, 1, 2});
  EXPECT_TRUE(Run(UVToObjectFace));
  for (int32_t f = 0; f < 4; ++f) EXPECT_EQ(grid.isFaceSelected(f), f == 1) << f;
}

TEST_F(UVToObjectTest, NothingSelectedAddsNothing) {
  host::HostObject& quad = AddQuad();
  EXPECT_FALSE(Run(UVToObjectVertex));
  EXPECT_FALSE(Run(UVToObjectLine));
  EXPECT_FALSE(Run(UVToObjectFace));
  for (int32_t j = 0; j < 4; ++j) {
    EXPECT_FALSE(quad.isVertexSelected(j));
    EXPECT_FALSE(quad.isLineSelected(0, j));
  }
  EXPECT_FALSE(quad.isFaceSelected(0));
}

TEST_F(UVToObjectTest, WorksOnTheCurrentObjectOnly) {
  host::HostObject& first = AddQuad();
  host::HostObject& second = AddQuad();
  SelectUV(first, 0, {0, 1, 2, 3});
  doc_.setCurrentObject(1);
  EXPECT_FALSE(Run(UVToObjectFace));
  EXPECT_FALSE(first.isFaceSelected(0));
  EXPECT_FALSE(second.isFaceSelected(0));
}

TEST_F(UVToObjectTest, NoCurrentObjectGivesFalse) {
  EXPECT_FALSE(Run(UVToObjectVertex));
  EXPECT_FALSE(Run(UVToObjectLine));
  EXPECT_FALSE(Run(UVToObjectFace));
}


TEST_F(UVToObjectTest, CornersBeyond65535AreAddressedExactly) {
  // A fan polygon with 65,537 corners: corner 65,536 shares its low 16 bits
  // with corner 0, so a key that kept only those bits would select vertex 0.
  constexpr int32_t kCorners = 65537;
  std::vector<MQPoint> points;
  std::vector<int32_t> vertices;
  for (int32_t i = 0; i < kCorners; ++i) {
    const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(kCorners);
    points.push_back({std::cos(angle), std::sin(angle), 0});
    vertices.push_back(i);
  }
  host::HostObject& polygon = AddObject(points, {{vertices, {}}});
  SelectUV(polygon, 0, {kCorners - 1});
  EXPECT_TRUE(Run(UVToObjectVertex));
  EXPECT_TRUE(polygon.isVertexSelected(kCorners - 1));
  EXPECT_FALSE(polygon.isVertexSelected(0));
}

}  // namespace
}  // namespace pavlex

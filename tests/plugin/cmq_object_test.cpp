// cmq::CMQObject and cmq::CMQFace against the real host.
#include "plugin/model/cmq_object.h"

#include <algorithm>
#include <cstring>

#include "plugin/model/cmq_face.h"
#include "tests/support/host_document_fixture.h"

namespace pavlex {
namespace {

using testing::HostDocumentTest;
using CMQObjectTest = HostDocumentTest;

TEST_F(CMQObjectTest, CurrentIsTheDocumentsCurrentObject) {
  EXPECT_EQ(cmq::CMQObject::Current(document()).object(), nullptr);
  AddQuad();
  host::HostObject& second = AddTriangle();
  doc_.setCurrentObject(1);
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  EXPECT_EQ(object.object(), host::api::ToHandle(&second));
  EXPECT_EQ(object.document(), document());
  EXPECT_EQ(object.GetIndex(), 1);
  // The index is asked afresh; an object that left the document has none.
  doc_.deleteObject(1);
  EXPECT_EQ(object.GetIndex(), -1);
}

TEST_F(CMQObjectTest, ReadsCornersInCornerOrder) {
  AddSeamedGrid();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  EXPECT_EQ(object.GetFacePointArray(3), (std::vector<int32_t>{4, 5, 8, 7}));
  const std::vector<FaceCorner> corners = object.GetFaceCorners(3);
  ASSERT_EQ(corners.size(), 4u);
  EXPECT_EQ(corners[2].vertex, 8);
  EXPECT_EQ(corners[2].u, 7.0f);
  EXPECT_EQ(corners[2].v, 1.0f);
}

TEST_F(CMQObjectTest, DeletedFaceGivesEmptyLists) {
  host::HostObject& quad = AddStrip();
  quad.deleteFace(1, false);
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  EXPECT_EQ(object.GetFacePointCount(1), 0);
  EXPECT_TRUE(object.GetFacePointArray(1).empty());
  EXPECT_TRUE(object.GetFaceCorners(1).empty());
  EXPECT_TRUE(object.TriangulateFace(1).empty());
  const MQPoint edge = object.GetEdgeVector(1, 0);
  EXPECT_EQ(edge.x, 0.0f);
  EXPECT_EQ(edge.y, 0.0f);
  EXPECT_EQ(edge.z, 0.0f);
}

TEST_F(CMQObjectTest, UnchangedCornersWriteBackIdenticalUVs) {
  host::HostObject& quad =
      AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                {{{0, 1, 2, 3}, {{0.1f, 1e-30f}, {-0.0f, 0.3f}, {1e7f, -2.5f}, {0.7f, 0.9f}}}});
  MQCoordinate before[4];
  std::memcpy(before, quad.faceUVs(0), sizeof before);
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  EXPECT_TRUE(object.SetFaceCorners(0, object.GetFaceCorners(0)));
  EXPECT_EQ(std::memcmp(before, quad.faceUVs(0), sizeof before), 0);
}

TEST_F(CMQObjectTest, SetFaceCornersWritesUVsInListOrderAndIgnoresVertices) {
  host::HostObject& quad = AddQuad();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  std::vector<FaceCorner> corners = object.GetFaceCorners(0);
  for (FaceCorner& c : corners) {
    c.u += 0.5f;
    c.vertex = 99;
  }
  EXPECT_TRUE(object.SetFaceCorners(0, corners));
  EXPECT_EQ(quad.faceUVs(0)[3].u, 0.5f);
  EXPECT_EQ(quad.faceUVs(0)[1].u, 1.5f);
  EXPECT_EQ(quad.faceVertices(0)[3], 3);
}

// The host reads one UV per corner of the face, so a list of another length
// must not reach it.
TEST_F(CMQObjectTest, SetFaceCornersRefusesListOfOtherLength) {
  host::HostObject& quad = AddQuad();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  std::vector<FaceCorner> corners = object.GetFaceCorners(0);
  for (FaceCorner& c : corners) c.u = 5.0f;
  corners.pop_back();
  EXPECT_FALSE(object.SetFaceCorners(0, corners));
  corners.resize(5, {0, 5.0f, 5.0f});
  EXPECT_FALSE(object.SetFaceCorners(0, corners));
  EXPECT_FALSE(object.SetFaceCorners(0, {}));
  EXPECT_EQ(quad.faceUVs(0)[0].u, 0.0f);
  EXPECT_EQ(quad.faceUVs(0)[1].u, 1.0f);
}

TEST_F(CMQObjectTest, EdgeVectorRunsToTheNextCornerAndWraps) {
  AddObject({{0, 0, 0}, {2, 0, 0}, {2, 3, 0}, {0, 3, 5}}, {{{0, 1, 2, 3}, {}}});
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  const MQPoint first = object.GetEdgeVector(0, 0);
  EXPECT_EQ(first.x, 2.0f);
  EXPECT_EQ(first.y, 0.0f);
  // Corner -1 is the edge from the last corner back to corner 0.
  const MQPoint closing = object.GetEdgeVector(0, -1);
  EXPECT_EQ(closing.x, 0.0f);
  EXPECT_EQ(closing.y, -3.0f);
  EXPECT_EQ(closing.z, -5.0f);
  const MQPoint last = object.GetEdgeVector(0, 3);
  EXPECT_EQ(last.y, closing.y);
  EXPECT_EQ(last.z, closing.z);
}

TEST_F(CMQObjectTest, TriangulatesIntoCornerPositions) {
  // An L-shaped (concave) hexagon.
  AddObject({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}},
            {{{0, 1, 2, 3, 4, 5}, {}}, {{0, 1, 2}, {}}});
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  const auto triangles = object.TriangulateFace(0);
  ASSERT_EQ(triangles.size(), 4u);
  std::vector<int> uses(6, 0);
  for (const auto& t : triangles) {
    for (int32_t corner : t) {
      ASSERT_GE(corner, 0);
      ASSERT_LT(corner, 6);
      ++uses[static_cast<size_t>(corner)];
    }
  }
  EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0);
  EXPECT_EQ(object.TriangulateFace(1).size(), 1u);
}

TEST_F(CMQObjectTest, RelatedFacesOfSharedVertex) {
  host::HostObject& grid = AddSeamedGrid();
  const int32_t loose = grid.addVertex({9, 9, 9});
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  std::vector<int32_t> faces = object.GetVertexRelatedFaces(4);
  std::sort(faces.begin(), faces.end());
  EXPECT_EQ(faces, (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(object.GetVertexRelatedFaces(0), (std::vector<int32_t>{0}));
  EXPECT_TRUE(object.GetVertexRelatedFaces(loose).empty());
}

TEST_F(CMQObjectTest, UVSelectionByKey) {
  host::HostObject& grid = AddSeamedGrid();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  EXPECT_TRUE(object.AddSelectUVVertex(UVVertexKey::Pack(3, 2)));
  EXPECT_TRUE(grid.isUVSelected(3, 2));
  EXPECT_TRUE(object.IsSelectUVVertex(UVVertexKey::Pack(3, 2)));
  EXPECT_FALSE(object.IsSelectUVVertex(UVVertexKey::Pack(2, 3)));
  EXPECT_FALSE(object.AddSelectUVVertex(UVVertexKey::Pack(3, 4)));
  EXPECT_FALSE(object.AddSelectUVVertex(UVVertexKey::Pack(4, 0)));
}

// Selection calls address the handle's own object, wherever the current
// object is.
TEST_F(CMQObjectTest, SelectionsGoToTheHandlesObject) {
  host::HostObject& first = AddQuad();
  host::HostObject& second = AddQuad();
  doc_.setCurrentObject(0);
  const cmq::CMQObject object(document(), host::api::ToHandle(&second));
  EXPECT_TRUE(object.AddSelectVertex(2));
  EXPECT_TRUE(object.AddSelectLine(0, 3));
  EXPECT_TRUE(object.AddSelectFace(0));
  EXPECT_TRUE(second.isVertexSelected(2));
  EXPECT_TRUE(second.isLineSelected(0, 3));
  EXPECT_TRUE(second.isFaceSelected(0));
  EXPECT_FALSE(first.isVertexSelected(2));
  EXPECT_FALSE(first.isLineSelected(0, 3));
  EXPECT_FALSE(first.isFaceSelected(0));
  EXPECT_TRUE(object.IsSelectVertex(2));
  EXPECT_TRUE(object.IsSelectLine(0, 3));
  EXPECT_TRUE(object.IsSelectFace(0));
}

TEST_F(CMQObjectTest, FaceHandleReadsAndSelectsItsFace) {
  host::HostObject& grid = AddSeamedGrid();
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  const auto face = std::make_shared<cmq::CMQFace>(1, &object);
  EXPECT_EQ(face->GetPointCount(), 4);
  EXPECT_EQ(face->GetPointArray(), (std::vector<int32_t>{1, 2, 5, 4}));
  EXPECT_TRUE(face->AddSelect());
  EXPECT_TRUE(grid.isFaceSelected(1));
  EXPECT_FALSE(grid.isFaceSelected(0));
}

}  // namespace
}  // namespace pavlex

// The vertex-to-UV-vertex index and the island flood, through the real host.
#include "plugin/model/uv_island.h"

#include <limits>
#include <set>
#include <vector>

#include "plugin/model/vertex_uv_index.h"
#include "tests/islands/islands_fixture.h"

namespace pavlex {
namespace {

using Refs = std::vector<std::pair<int32_t, int32_t>>;  // (face, corner)

Refs Unpacked(VertexUVIndex::Entries entries) {
  Refs refs;
  for (const UVVertexKey key : entries) refs.emplace_back(key.Unpack().face, key.Unpack().corner);
  return refs;
}

class UVIslandTest : public testing::IslandsTest {
 protected:
  std::set<int32_t> SelectedIslands() {
    FaceSet islands;
    CollectSelectedIslands(cmq::CMQObject::Current(document()), islands);
    return std::set<int32_t>(islands.begin(), islands.end());
  }
};

TEST_F(UVIslandTest, IndexListsLiveCornersByFaceThenCornerAndAnswersAnyVertex) {
  host::HostObject& grid = AddSeamedGrid();
  grid.deleteFace(1, false);
  const VertexUVIndex index = BuildVertexUVIndex(cmq::CMQObject::Current(document()));
  EXPECT_EQ(index.size(), 12u);
  EXPECT_EQ(Unpacked(index.Find(4)), (Refs{{0, 2}, {2, 1}, {3, 0}}));
  EXPECT_EQ(Unpacked(index.Find(2)), Refs{});  // only the deleted face used it
  for (const int32_t v : {-1, 9, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})
    EXPECT_TRUE(index.Find(v).empty()) << v;
  EXPECT_TRUE(BuildVertexUVIndex(cmq::CMQObject(document(), nullptr)).empty());
}

// Polygons long enough that the entries outgrow four per face and one face
// outgrows a short list, around a shared centre, with a deleted face between:
// every vertex's entries are the walk's corners of that vertex, in order.
TEST_F(UVIslandTest, IndexOfLongPolygonsHoldsEveryCornerInWalkOrder) {
  constexpr int32_t kRim = 90;
  std::vector<MQPoint> points{{0, 0, 0}};
  for (int32_t i = 0; i < kRim; ++i) points.push_back({static_cast<float>(i), 1, 0});
  std::vector<testing::FaceData> faces;
  faces.push_back({{}, {}});
  for (int32_t i = 1; i <= kRim; ++i) faces.back().vertices.push_back(i);  // one 90-gon
  for (int32_t i = 1; i + 8 <= kRim; i += 4) {
    faces.push_back({{0}, {}});  // fans of 9-gons sharing vertex 0
    for (int32_t k = 0; k < 8; ++k) faces.back().vertices.push_back(i + k);
  }
  host::HostObject& fan = AddObject(points, faces);
  fan.deleteFace(3, false);
  const VertexUVIndex index = BuildVertexUVIndex(cmq::CMQObject::Current(document()));

  std::vector<Refs> expected(points.size());
  size_t total = 0;
  for (int32_t f = 0; f < fan.faceCount(); ++f) {
    for (int32_t c = 0; c < fan.cornerCount(f); ++c, ++total)
      expected[static_cast<size_t>(fan.faceVertices(f)[c])].emplace_back(f, c);
  }
  EXPECT_EQ(index.size(), total);
  EXPECT_EQ(index.vertexBound(), static_cast<int32_t>(points.size()));
  for (size_t v = 0; v < points.size(); ++v) {
    EXPECT_EQ(Unpacked(index.Find(static_cast<int32_t>(v))), expected[v]) << v;
    EXPECT_EQ(index.Find(static_cast<int32_t>(v)).size(), expected[v].size()) << v;
  }
}

TEST_F(UVIslandTest, FloodMarksTheSeedThroughItselfAndStopsAtReachedFaces) {
  AddTwoQuads({0.0f, 0.0f});
  const cmq::CMQObject object = cmq::CMQObject::Current(document());
  const VertexUVIndex index = BuildVertexUVIndex(object);
  FaceSet island, reached;
  FloodUVIsland(object, 0, island, index, reached);
  EXPECT_EQ(island.size(), 2u);
  EXPECT_TRUE(reached.Contains(0) && reached.Contains(1));

  FaceSet walled, wall;
  wall.Insert(1);
  FloodUVIsland(object, 0, walled, index, wall);
  EXPECT_EQ(std::set<int32_t>(walled.begin(), walled.end()), (std::set<int32_t>{0}));
}

TEST_F(UVIslandTest, NonFiniteUVsNeitherHangNorJoin) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  host::HostObject& joined = AddTwoQuads({0.0f, 0.0f});
  SetUV(joined, 0, 1, {nan, 0});  // both shared corners broken on one side
  SetUV(joined, 1, 3, {1, std::numeric_limits<float>::infinity()});
  SelectUV(joined, 0, {0});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0}));
  // A face that matches nothing, not even itself, is still its own island.
  for (int32_t c = 0; c < 4; ++c) SetUV(joined, 1, c, {nan, nan});
  SelectUV(joined, 1, {3});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0, 1}));
}

}  // namespace
}  // namespace pavlex

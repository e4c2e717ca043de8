// The vertex-to-UV-vertex index and the island flood, through the real host.
#include "model/uv_island.h"

#include <algorithm>
#include <limits>
#include <set>

#include "model/vertex_uv_index.h"
#include "tests/islands/islands_fixture.h"

namespace pavlex {
namespace {

using testing::IslandsTest;

using Refs = std::vector<std::pair<int32_t, int32_t>>;  // (face, corner)

Refs Unpacked(VertexUVIndex::Entries entries) {
  Refs refs;
  for (const UVVertexKey key : entries) refs.emplace_back(key.Unpack().face, key.Unpack().corner);
  return refs;
}

std::set<int32_t> Faces(const FaceSet& faces) {
  return std::set<int32_t>(faces.begin(), faces.end());
}

class UVIslandTest : public IslandsTest {
 protected:
  cmq::CMQObject Current() { return cmq::CMQObject::Current(document()); }

  std::set<int32_t> SelectedIslands() {
    FaceSet islands;
    CollectSelectedIslands(Current(), islands);
    return Faces(islands);
  }
};

TEST_F(UVIslandTest, IndexListsEachVertexsCornersByFaceThenCorner) {
  host::HostObject& grid = AddSeamedGrid();
  grid.deleteFace(1, false);
  const VertexUVIndex index = BuildVertexUVIndex(Current());
  EXPECT_EQ(index.size(), 12u);  // three live quads
  EXPECT_EQ(Unpacked(index.Find(4)), (Refs{{0, 2}, {2, 1}, {3, 0}}));
  EXPECT_EQ(Unpacked(index.Find(2)), Refs{});  // only the deleted face used it
  EXPECT_EQ(Unpacked(index.Find(0)), (Refs{{0, 0}}));
}

TEST_F(UVIslandTest, IndexLookupOutsideTheVerticesIsEmpty) {
  AddQuad();
  const VertexUVIndex index = BuildVertexUVIndex(Current());
  for (const int32_t v :
       {-1, 4, 1000000, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})
    EXPECT_TRUE(index.Find(v).empty()) << v;
}

TEST_F(UVIslandTest, EmptyOrMissingObjectGivesNothing) {
  const cmq::CMQObject none(document(), nullptr);
  EXPECT_TRUE(BuildVertexUVIndex(none).empty());
  FaceSet islands;
  CollectSelectedIslands(none, islands);
  EXPECT_TRUE(islands.empty());

  host::HostObject& quad = AddQuad();
  SelectFaceUVs(quad, 0);
  quad.deleteFace(0, false);
  EXPECT_TRUE(BuildVertexUVIndex(Current()).empty());
  EXPECT_TRUE(SelectedIslands().empty());
}

TEST_F(UVIslandTest, SeamSplitsIslandsAndSingleVertexTouchJoinsThem) {
  host::HostObject& seamed = AddTwoQuads({0.5f, 0.0f});
  SelectUV(seamed, 0, {1});  // vertex 1, on the seam
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0}));

  host::HostObject& bowtie = AddBowtie();
  doc_.setCurrentObject(bowtie.slot());
  SelectUV(bowtie, 0, {0});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0, 1}));
}

TEST_F(UVIslandTest, IslandToleranceIsOneTenThousandth) {
  host::HostObject& near = AddTwoQuads({9e-5f, 0.0f});
  SelectUV(near, 1, {2});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0, 1}));

  host::HostObject& apart = AddTwoQuads({1e-4f, 1e-4f});
  doc_.setCurrentObject(apart.slot());
  SelectUV(apart, 1, {2});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{1}));
}

TEST_F(UVIslandTest, FloodMarksReachedFacesAndStopsAtThem) {
  // A strip whose UVs follow positions: one island of three faces.
  host::HostObject& strip = AddStrip();
  for (int32_t f = 0; f < 3; ++f) {
    const int32_t* vertices = strip.faceVertices(f);
    for (int32_t c = 0; c < 4; ++c) {
      const MQPoint& p = strip.position(vertices[c]);
      SetUV(strip, f, c, {p.x, p.y});
    }
  }
  const cmq::CMQObject object = Current();
  const VertexUVIndex index = BuildVertexUVIndex(object);

  FaceSet island, reached;
  FloodUVIsland(object, 0, island, index, reached);
  EXPECT_EQ(Faces(island), (std::set<int32_t>{0, 1, 2}));
  EXPECT_EQ(Faces(reached), (std::set<int32_t>{0, 1, 2}));  // the seed matched itself

  // A face already reached is a wall: flooding from 0 stops before 1.
  FaceSet walled, walls;
  walls.Insert(1);
  FloodUVIsland(object, 0, walled, index, walls);
  EXPECT_EQ(Faces(walled), (std::set<int32_t>{0}));
}

TEST_F(UVIslandTest, NonFiniteUVsNeitherHangNorJoin) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Joined along edge 1-4 until one side of each shared corner is broken.
  host::HostObject& joined = AddTwoQuads({0.0f, 0.0f});
  SelectUV(joined, 0, {0});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0, 1}));
  SetUV(joined, 0, 1, {nan, 0});
  SetUV(joined, 1, 3, {1, inf});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0}));

  // A face that matches nothing, not even itself, is still its own island.
  host::HostObject& lost = AddQuad();
  doc_.setCurrentObject(lost.slot());
  for (int32_t c = 0; c < 4; ++c) SetUV(lost, 0, c, {nan, nan});
  SelectUV(lost, 0, {3});
  EXPECT_EQ(SelectedIslands(), (std::set<int32_t>{0}));
}

}  // namespace
}  // namespace pavlex

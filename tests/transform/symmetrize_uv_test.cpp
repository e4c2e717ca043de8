// Symmetrize and the mirror vertex map through the real host.
#include "plugin/tools/transform/symmetrize_uv.h"

#include <cmath>
#include <limits>
#include <random>

#include "plugin/tools/transform/face_with_vertices.h"
#include "plugin/tools/transform/mirror_vertex_map.h"
#include "tests/transform/transform_test_fixture.h"

namespace pavlex {
namespace {

using testing::SameBits;

class SymmetrizeTest : public testing::TransformTest {
 protected:
  bool Symmetrize(bool wide) {
    return RunShowing(1, [&] { return SymmetrizeUV(document(), wide); });
  }
  static void ExpectUVs(const std::vector<MQCoordinate>& got, const std::vector<MQCoordinate>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t c = 0; c < got.size(); ++c) {
      EXPECT_EQ(got[c].u, want[c].u) << "corner " << c;
      EXPECT_EQ(got[c].v, want[c].v) << "corner " << c;
    }
  }
};

//  3---2     7---6
//  | 0 |  |  | 1 |   face 1 is face 0 mirrored across x = 0: 4<->1, 5<->0,
//  0---1  |  4---5   6<->3, 7<->2
TEST_F(SymmetrizeTest, SelectedFaceTakesItsPartnersUVsInReverseWinding) {
  host::HostObject& object =
      AddObject({{-2, 0, 0}, {-1, 0, 0}, {-1, 1, 0}, {-2, 1, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}},
                {{{0, 1, 2, 3}, {{0.1f, 0.2f}, {0.3f, 0.2f}, {0.3f, 0.4f}, {0.1f, 0.4f}}},
                 {{4, 5, 6, 7}, {{0.6f, 0.6f}, {0.9f, 0.6f}, {0.9f, 0.9f}, {0.6f, 0.8f}}}});
  const std::vector<MQCoordinate> left = UVs(object, 0), right = UVs(object, 1);
  object.setFaceSelected(1, true);
  EXPECT_TRUE(Symmetrize(false));
  ExpectUVs(UVs(object, 1), {{0.3f, 0.2f}, {0.1f, 0.2f}, {0.1f, 0.4f}, {0.3f, 0.4f}});
  EXPECT_TRUE(Symmetrize(true));
  ExpectUVs(UVs(object, 1),
            {{1.0f - 0.3f, 0.2f}, {1.0f - 0.1f, 0.2f}, {1.0f - 0.1f, 0.4f}, {1.0f - 0.3f, 0.4f}});
  EXPECT_TRUE(SameBits(UVs(object, 0), left));

  // Both selected: face 0 takes face 1's UVs, then face 1 takes them back.
  std::copy(right.begin(), right.end(), object.faceUVs(1));
  object.setFaceSelected(0, true);
  EXPECT_TRUE(Symmetrize(false));
  ExpectUVs(UVs(object, 0), {{0.9f, 0.6f}, {0.6f, 0.6f}, {0.6f, 0.8f}, {0.9f, 0.9f}});
  EXPECT_TRUE(SameBits(UVs(object, 1), right));
  for (int32_t v = 0; v < 8; ++v) EXPECT_FALSE(object.isVertexSelected(v));
}

TEST_F(SymmetrizeTest, FacesWithoutAUsablePartnerStayUnchanged) {
  // Face 0 (vertices 0-3) straddles the plane, so its vertex set maps onto
  // itself; face 1 (7-9) mirrors face 3 (4-6) but is hidden; face 2 (13-15)
  // mirrors face 4 (10-12) except that vertex 15 is off by 0.5 in y.
  const std::vector<MQPoint> points = {{-1, 0, 0}, {1, 0, 0}, {1, 1, 0}, {-1, 1, 0},  {-3, 0, 0}, {-2, 0, 0},
                                       {-2, 1, 0}, {2, 0, 0}, {3, 0, 0}, {2, 1, 0},   {-5, 0, 0}, {-4, 0, 0},
                                       {-4, 1, 0}, {4, 0, 0}, {5, 0, 0}, {4, 1.5f, 0}};
  host::HostObject& object =
      AddObject(points, {{{0, 1, 2, 3}, {{0.1f, 0.1f}, {0.2f, 0.1f}, {0.2f, 0.2f}, {0.1f, 0.2f}}},
                         {{8, 9, 7}, {{0.5f, 0.5f}, {0.6f, 0.5f}, {0.6f, 0.6f}}},
                         {{14, 13, 15}, {{0.7f, 0.7f}, {0.8f, 0.7f}, {0.8f, 0.8f}}},
                         {{4, 5, 6}, {{0.3f, 0.3f}, {0.4f, 0.3f}, {0.4f, 0.4f}}},
                         {{10, 11, 12}, {{0.9f, 0.9f}, {0.95f, 0.9f}, {0.95f, 0.95f}}}});
  for (int32_t f : {0, 1, 2}) object.setFaceSelected(f, true);
  object.setFaceVisible(1, false);
  for (int32_t v = 0; v < 16; ++v) object.setVertexSelected(v, true);
  std::vector<std::vector<MQCoordinate>> before;
  for (int32_t f = 0; f < 5; ++f) before.push_back(UVs(object, f));
  EXPECT_TRUE(Symmetrize(false));
  for (int32_t f = 0; f < 5; ++f) EXPECT_TRUE(SameBits(UVs(object, f), before[static_cast<size_t>(f)])) << f;
  // Vertices without a mirror stay selected, all others are deselected.
  for (int32_t v = 0; v < 16; ++v) EXPECT_EQ(object.isVertexSelected(v), v == 12 || v == 15) << v;
  object.setFaceVisible(1, true);
  EXPECT_TRUE(Symmetrize(false));
  ExpectUVs(UVs(object, 1), {{0.3f, 0.3f}, {0.4f, 0.4f}, {0.4f, 0.3f}});  // 8<-4, 9<-6, 7<-5
}

// The quad's vertices 4 and 5 share a place and so one mirror: its mirrored
// vertices all lie in the triangle 0-2. The triangle 11-13 mirrors three
// corners of the quad 7-10. Neither count matches, so nothing is copied.
TEST_F(SymmetrizeTest, PartnerWithOtherCornerCountIsSkipped) {
  const std::vector<MQPoint> points = {{-1, 0, 0}, {-2, 0, 0}, {-1, 1, 0}, {1, 0, 0},  {2, 0, 0},
                                       {2, 0, 0},  {1, 1, 0},  {-5, 0, 0}, {-6, 0, 0}, {-6, 1, 0},
                                       {-5, 1, 0}, {5, 0, 0},  {6, 0, 0},  {6, 1, 0}};
  host::HostObject& object =
      AddObject(points, {{{0, 1, 2}, {{0.1f, 0.1f}, {0.2f, 0.1f}, {0.2f, 0.2f}}},
                         {{3, 4, 5, 6}, {{0.5f, 0.5f}, {0.6f, 0.5f}, {0.6f, 0.6f}, {0.5f, 0.6f}}},
                         {{7, 8, 9, 10}, {{0.1f, 0.7f}, {0.2f, 0.7f}, {0.2f, 0.8f}, {0.1f, 0.8f}}},
                         {{11, 12, 13}, {{0.7f, 0.7f}, {0.8f, 0.7f}, {0.8f, 0.8f}}}});
  const cmq::CMQObject handle = cmq::CMQObject::Current(document());
  const MirrorVertexMap map = BuildMirrorVertexMap(handle);
  ASSERT_EQ(FindFaceWithVertices(handle, MirrorVertexList({3, 4, 5, 6}, map)), 0);
  ASSERT_EQ(FindFaceWithVertices(handle, MirrorVertexList({11, 12, 13}, map)), 2);
  object.setFaceSelected(1, true);
  object.setFaceSelected(3, true);
  const std::vector<MQCoordinate> quad = UVs(object, 1), triangle = UVs(object, 3);
  EXPECT_TRUE(Symmetrize(true));
  EXPECT_TRUE(SameBits(UVs(object, 1), quad));
  EXPECT_TRUE(SameBits(UVs(object, 3), triangle));
}

// Vertex 0 is on the plane; 1 and 2 are not and have no partner; 3 is on
// the plane by one float; 5 is a partner of 4 by one float in y, 7 is one
// float too far from 6. Non-finite positions never match; +-3e38 do.
TEST_F(SymmetrizeTest, ToleranceBoundariesAndNonFinitePositions) {
  const float nan = std::nanf(""), inf = std::numeric_limits<float>::infinity();
  const std::vector<MQPoint> points = {{5e-4f, 0, 0},  {0.002f, 1, 0},
                                       {0.001f, 2, 0}, {std::nextafter(0.001f, 0.0f), 3, 0},
                                       {0.5f, 0, 10},  {-0.5f, 0x1.0624dcp-10f, 10},
                                       {0.5f, 0, 20},  {-0.5f, 0.001f, 20},
                                       {nan, 0, 0},    {-inf, 0, 0},
                                       {inf, 1, 0},    {3e38f, 0, 0},
                                       {-3e38f, 0, 0}};
  host::HostObject& object = AddObject(
      points, {{{0, 1, 2}, {}}, {{3, 4, 5}, {}}, {{6, 7, 0}, {}}, {{8, 9, 10}, {}}, {{11, 12, 8}, {}}});
  for (int32_t v = 0; v < 13; ++v) object.setVertexSelected(v, true);
  const MirrorVertexMap map = BuildMirrorVertexMap(cmq::CMQObject::Current(document()));
  const std::vector<int32_t> want = {0, -1, -1, 3, 5, 4, -1, -1, -1, -1, -1, 12, 11};
  for (int32_t v = 0; v < 13; ++v) {
    EXPECT_EQ(map.Find(v), want[static_cast<size_t>(v)]) << v;
    EXPECT_EQ(object.isVertexSelected(v), want[static_cast<size_t>(v)] < 0) << v;
  }
}

// The host path agrees with the reference scan on a random mesh, half of
// it mirrored (some mirrors slightly off): the map and the selection left.
TEST_F(SymmetrizeTest, HostMapMatchesReferenceScan) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> unit(-0.05f, 0.05f);
  std::vector<MQPoint> points;
  std::vector<testing::FaceData> faces;
  for (int32_t t = 0; t < 300; ++t) {
    const auto first = static_cast<int32_t>(points.size());
    for (int32_t k = 0; k < 3; ++k) points.push_back({unit(rng), unit(rng), unit(rng)});
    faces.push_back({{first, first + 1, first + 2}, {}});
    if (t % 2 == 1) continue;
    for (int32_t k = 0; k < 3; ++k) {
      const MQPoint p = points[static_cast<size_t>(first + k)];
      points.push_back({-p.x + (k == 0 ? unit(rng) * 0.016f : 0.0f), p.y, p.z});
    }
    faces.push_back({{first + 3, first + 5, first + 4}, {}});
  }
  host::HostObject& object = AddObject(points, faces);
  for (int32_t v = 0; v < object.vertexCount(); ++v) object.setVertexSelected(v, true);
  const MirrorVertexMap map = BuildMirrorVertexMap(cmq::CMQObject::Current(document()));
  EXPECT_TRUE(map ==
              MatchMirrorVertices(points, std::vector<uint8_t>(points.size(), 1), MirrorSearch::kScan).map);
  for (int32_t v = 0; v < object.vertexCount(); ++v)
    EXPECT_EQ(object.isVertexSelected(v), !map.Contains(v)) << v;
  EXPECT_GT(map.size(), 300u);
}

}  // namespace
}  // namespace pavlex

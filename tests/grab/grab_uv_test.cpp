// "F", "G", "R" and "Regularize" through the real host.
#include "plugin/tools/transform/grab_uv.h"

#include <cmath>
#include <random>

#include "plugin/model/cmq_object.h"
#include "plugin/tools/transform/edge_target.h"
#include "plugin/tools/transform/polygon_unfold.h"
#include "tests/transform/transform_test_fixture.h"

namespace pavlex {
namespace {

using testing::SameBits;

float Distance(MQCoordinate a, MQCoordinate b) {
  return std::hypot(a.u - b.u, a.v - b.v);
}
float Distance(MQPoint a, MQPoint b) {
  return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}
// Twice the signed area: positive when counter-clockwise.
float SignedArea(const std::vector<MQCoordinate>& uvs) {
  float area = 0;
  for (size_t i = 0; i < uvs.size(); ++i) {
    const MQCoordinate a = uvs[i], b = uvs[(i + 1) % uvs.size()];
    area += a.u * b.v - a.v * b.u;
  }
  return area;
}

using Mode = GrabMode;

class GrabUVTest : public testing::TransformTest {
 protected:
  bool Grab(Mode mode, bool selectedFacesOnly = false) {
    return RunShowing(1, [&] { return GrabUV(document(), mode, selectedFacesOnly); });
  }

  //  3---2---5
  //  | 0 | 1 |   face 0 at UV (0,0)..(1,1); face 1 over (3,5)..(5,6), turned
  //  0---1---4   a quarter and twice as large, its own UV island
  //
  // `extra` adds faces after them.
  host::HostObject& AddTwoQuads(const std::vector<testing::FaceData>& extra = {},
                                std::vector<MQPoint> more = {}) {
    std::vector<MQPoint> points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 0, 0}, {2, 1, 0}};
    points.insert(points.end(), more.begin(), more.end());
    std::vector<testing::FaceData> faces = {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
                                            {{1, 4, 5, 2}, {{5, 5}, {5, 7}, {3, 7}, {3, 5}}}};
    faces.insert(faces.end(), extra.begin(), extra.end());
    return AddObject(points, faces);
  }
};

TEST_F(GrabUVTest, FLaysTheNeighbourOntoTheSelectedEdgeUnmirroredAndScaled) {
  host::HostObject& quads = AddTwoQuads();
  SelectUV(quads, 0, {0, 1, 2, 3});
  const auto own = UVs(quads, 0);
  EXPECT_TRUE(Grab(Mode::kAttachFaces));
  const auto moved = UVs(quads, 1);
  const std::vector<std::pair<float, float>> expected = {{1, 0}, {2, 0}, {2, 1}, {1, 1}};
  for (size_t c = 0; c < 4; ++c) {
    EXPECT_EQ(moved[c].u, expected[c].first) << c;
    EXPECT_EQ(moved[c].v, expected[c].second) << c;
  }
  EXPECT_TRUE(SameBits(UVs(quads, 0), own));
  EXPECT_FALSE(quads.isUVSelected(1, 0));
}

// Random UV layouts of both faces: corners a and b land on S and S + D,
// the face keeps its shape at scale |D| / |E| and its orientation.
TEST_F(GrabUVTest, FAndGMapTheNeighbourBySimilarityOntoTheEdge) {
  host::HostObject& quads = AddTwoQuads();
  SelectUV(quads, 0, {1, 2});  // the shared edge only: vertex 1 -> vertex 2
  std::mt19937 random(3);
  std::uniform_real_distribution<float> coordinate(-4.0f, 4.0f);
  for (int trial = 0; trial < 40; ++trial) {
    for (int32_t f = 0; f < 2; ++f) {
      for (int32_t c = 0; c < 4; ++c) quads.faceUVs(f)[c] = {coordinate(random), coordinate(random)};
    }
    const auto before = UVs(quads, 1);
    const MQCoordinate s = quads.faceUVs(0)[1], e = quads.faceUVs(0)[2];
    const float edge = Distance(before[0], before[3]);  // face 1: corner 0 holds vertex 1, corner 3 vertex 2
    if (Distance(s, e) < 0.2f || edge < 0.2f) continue;
    EXPECT_TRUE(Grab(trial % 2 == 0 ? Mode::kAttachFaces : Mode::kAttachIslands));
    const auto after = UVs(quads, 1);
    const float scale = Distance(s, e) / edge, tolerance = 2e-4f * (1 + 8 * scale);
    EXPECT_NEAR(after[0].u, s.u, tolerance);
    EXPECT_NEAR(after[0].v, s.v, tolerance);
    EXPECT_NEAR(after[3].u, e.u, tolerance);
    EXPECT_NEAR(after[3].v, e.v, tolerance);
    for (size_t i = 0; i < 4; ++i) {
      for (size_t j = i + 1; j < 4; ++j)
        EXPECT_NEAR(Distance(after[i], after[j]), scale * Distance(before[i], before[j]), tolerance);
    }
    if (std::fabs(SignedArea(before)) > 0.1f) {
      EXPECT_EQ(SignedArea(before) > 0, SignedArea(after) > 0);
    }
  }
}

TEST_F(GrabUVTest, GMovesTheNeighboursWholeIslandByTheSameTransform) {
  // Face 2 joins face 1's island through vertices 4 and 5.
  host::HostObject& quads =
      AddTwoQuads({{{4, 6, 7, 5}, {{5, 7}, {5, 9}, {3, 9}, {3, 7}}}}, {{3, 0, 0}, {3, 1, 0}});
  SelectUV(quads, 0, {0, 1, 2, 3});
  EXPECT_TRUE(Grab(Mode::kAttachIslands));
  EXPECT_EQ(quads.faceUVs(1)[1].u, 2.0f);  // vertex 4
  EXPECT_EQ(quads.faceUVs(2)[0].u, 2.0f);  // vertex 4 again: the island stays whole
  EXPECT_EQ(quads.faceUVs(2)[1].u, 3.0f);
  EXPECT_EQ(quads.faceUVs(2)[1].v, 0.0f);
  EXPECT_EQ(quads.faceUVs(2)[2].v, 1.0f);
}

TEST_F(GrabUVTest, RPutsTheTrianglesThirdCornerAtItsHeightOnTheFarSide) {
  // Triangle 1 over vertices 1, 4, 2; vertex 4 at height 0.8 from the edge,
  // 0.3 along it.
  host::HostObject& object =
      AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1.8f, 0.3f, 0}},
                {{{0, 1, 2, 3}, {{0, 0}, {2, 0}, {2, 2}, {0, 2}}}, {{1, 4, 2}, {{7, 7}, {8, 8}, {9, 7}}}});
  SelectUV(object, 0, {0, 1, 2, 3});
  EXPECT_TRUE(Grab(Mode::kReshapeFaces));
  // k = |D| / 1 = 2: the far corner lands 1.6 to the right of the edge
  // u = 2, 0.6 up it.
  EXPECT_EQ(object.faceUVs(1)[0].u, 2.0f);
  EXPECT_EQ(object.faceUVs(1)[0].v, 0.0f);
  // In single precision: x = 0.3f, y = -(1.8f - 1), u = 2 + 2 * -y and
  // v = 2 * x round to exactly 3.6f and 0.6f.
  EXPECT_EQ(object.faceUVs(1)[1].u, 3.6f);
  EXPECT_EQ(object.faceUVs(1)[1].v, 0.6f);
  EXPECT_EQ(object.faceUVs(1)[2].u, 2.0f);
  EXPECT_EQ(object.faceUVs(1)[2].v, 2.0f);
}

// Planar convex polygons of 4 to 12 corners in a tilted plane, with
// scattered UVs: each comes out as its 3D shape at the scale of its first
// edge, corners 0 and 1 staying where they were.
TEST_F(GrabUVTest, RegularizeLaysAConvexPolygonOutAsItsShape) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> jitter(-0.15f, 0.15f), uv(0.0f, 1.0f);
  std::vector<testing::FaceData> faces;
  std::vector<MQPoint> points;
  for (int32_t n = 4; n <= 12; ++n) {
    testing::FaceData face;
    for (int32_t c = 0; c < n; ++c) {
      const double angle = 6.283185307179586 * (c + jitter(random)) / n;
      const float x = static_cast<float>(std::cos(angle)) + 4.0f * static_cast<float>(n);
      const float y = static_cast<float>(std::sin(angle));
      face.vertices.push_back(static_cast<int32_t>(points.size()));
      points.push_back({x, 0.6f * y, 0.8f * y});  // the plane tilted about x
      face.uvs.push_back({uv(random), uv(random)});
    }
    faces.push_back(face);
  }
  host::HostObject& object = AddObject(points, faces);
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    for (int32_t c = 0; c < object.cornerCount(f); ++c) object.setUVSelected(f, c, true);
  }
  std::vector<std::vector<MQCoordinate>> before;
  for (int32_t f = 0; f < object.faceCount(); ++f) before.push_back(UVs(object, f));
  EXPECT_TRUE(Grab(Mode::kRegularize));
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    const auto after = UVs(object, f);
    const int32_t* v = object.faceVertices(f);
    const auto& b = before[static_cast<size_t>(f)];
    const float scale = Distance(b[0], b[1]) / Distance(points[v[0]], points[v[1]]);
    EXPECT_NEAR(after[0].u, b[0].u, 1e-4f) << f;
    EXPECT_NEAR(after[1].v, b[1].v, 1e-4f) << f;
    for (size_t i = 0; i < after.size(); ++i) {
      for (size_t j = i + 1; j < after.size(); ++j) {
        EXPECT_NEAR(Distance(after[i], after[j]), scale * Distance(points[v[i]], points[v[j]]), 2e-4f)
            << "face " << f << " corners " << i << ", " << j;
      }
    }
  }
}

// Regularize keeps what one layout of a face can hand the next (links of
// the same triangles, lists). Held against the layouts done one by one from
// nothing, as the steps read: each selected edge, in corner order, lays its
// face out afresh from the UVs the earlier ones left. Two wavy non-convex
// polygons of different shape, so the kept links must also be let go.
TEST_F(GrabUVTest, RegularizeGivesTheBitsOfOneFreshLayoutPerSelectedEdge) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> radius(0.5f, 1.0f), uv(0.0f, 1.0f), chance(0.0f, 1.0f);
  std::vector<testing::FaceData> faces;
  std::vector<MQPoint> points;
  for (const int32_t n : {240, 150}) {
    testing::FaceData face;
    for (int32_t c = 0; c < n; ++c) {
      const double angle = 6.283185307179586 * c / n;
      const float r = radius(random);
      face.vertices.push_back(static_cast<int32_t>(points.size()));
      points.push_back({r * static_cast<float>(std::cos(angle)), r * static_cast<float>(std::sin(angle)),
                        0.2f * static_cast<float>(std::sin(5 * angle))});
      face.uvs.push_back({uv(random), uv(random)});
    }
    faces.push_back(face);
  }
  host::HostObject& object = AddObject(points, faces);
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    for (int32_t c = 0; c < object.cornerCount(f); ++c) object.setUVSelected(f, c, chance(random) < 0.8f);
  }

  std::vector<std::vector<MQCoordinate>> expected;
  const cmq::CMQObject handle = cmq::CMQObject::Current(document());
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    std::vector<MQCoordinate> uvs = UVs(object, f);
    const int32_t n = object.cornerCount(f);
    std::vector<MQPoint> positions;
    for (int32_t c = 0; c < n; ++c)
      positions.push_back(points[static_cast<size_t>(object.faceVertices(f)[c])]);
    for (int32_t p = 0; p < n; ++p) {
      const int32_t q = (p + 1) % n, r = (n + p - 1) % n;
      if (!object.isUVSelected(f, p) || !object.isUVSelected(f, q)) continue;
      const auto at = [&](int32_t c) {
        return UVPair{uvs[static_cast<size_t>(c)].u, uvs[static_cast<size_t>(c)].v};
      };
      const EdgeTarget target = MakeEdgeTarget(at(p), at(q), at(r), true);
      if (target.dir.u == 0.0f && target.dir.v == 0.0f) continue;
      UnfoldResult result;
      ASSERT_TRUE(UnfoldPolygon(handle.TriangulateFace(f), positions.data(), static_cast<size_t>(n), q, p,
                                target, result));
      for (int32_t c = 0; c < n; ++c) {
        if (result.placed[static_cast<size_t>(c)]) {
          uvs[static_cast<size_t>(c)] = {result.uvs[static_cast<size_t>(c)].u,
                                         result.uvs[static_cast<size_t>(c)].v};
        }
      }
    }
    expected.push_back(uvs);
  }
  EXPECT_TRUE(Grab(Mode::kRegularize));
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    EXPECT_TRUE(SameBits(UVs(object, f), expected[static_cast<size_t>(f)])) << "face " << f;
  }
}

TEST_F(GrabUVTest, ANonManifoldEdgeMovesBothNeighbours) {
  // Face 2 stands up from the shared edge, over vertices 1, 6, 7, 2.
  host::HostObject& quads =
      AddTwoQuads({{{1, 6, 7, 2}, {{9, 9}, {9, 8}, {8, 8}, {8, 9}}}}, {{1, 0, 1}, {1, 1, 1}});
  SelectUV(quads, 0, {1, 2});
  EXPECT_TRUE(Grab(Mode::kAttachFaces));
  for (const int32_t f : {1, 2}) {
    const int32_t last = quads.cornerCount(f) - 1;
    EXPECT_EQ(quads.faceUVs(f)[0].u, 1.0f) << f;
    EXPECT_EQ(quads.faceUVs(f)[0].v, 0.0f) << f;
    EXPECT_EQ(quads.faceUVs(f)[last].u, 1.0f) << f;
    EXPECT_EQ(quads.faceUVs(f)[last].v, 1.0f) << f;
  }
}

TEST_F(GrabUVTest, NothingMovesANeighbourWithASelectedUVOrAnUnselectedFace) {
  host::HostObject& quads = AddTwoQuads();
  SelectUV(quads, 0, {0, 1, 2, 3});
  SelectUV(quads, 1, {1});  // away from the shared edge
  const auto neighbour = UVs(quads, 1);
  for (const Mode mode : {Mode::kAttachFaces, Mode::kAttachIslands, Mode::kReshapeFaces}) {
    EXPECT_TRUE(Grab(mode));
    EXPECT_TRUE(SameBits(UVs(quads, 1), neighbour));
  }
  quads.setUVSelected(1, 1, false);
  // "selected" ticked and no face selected.
  const auto own = UVs(quads, 0);
  for (const Mode mode : {Mode::kAttachFaces, Mode::kAttachIslands, Mode::kReshapeFaces, Mode::kRegularize}) {
    EXPECT_TRUE(Grab(mode, true));
    EXPECT_TRUE(SameBits(UVs(quads, 1), neighbour));
    EXPECT_TRUE(SameBits(UVs(quads, 0), own));
  }
  // With the neighbour selected as a face it moves.
  quads.setFaceSelected(1, true);
  EXPECT_TRUE(Grab(Mode::kAttachFaces, true));
  EXPECT_EQ(quads.faceUVs(1)[1].u, 2.0f);
  EXPECT_TRUE(SameBits(UVs(quads, 0), own));
}

TEST_F(GrabUVTest, DegenerateInputsWriteNoNaNAndChangeNothingTheyCannotPlace) {
  EXPECT_TRUE(Grab(Mode::kAttachFaces));  // no object at all
  // Corners 0 and 1 share a position: the anchoring 3D edge of the quad
  // has no length.
  host::HostObject& object = AddObject({{0, 0, 0}, {0, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                                       {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}});
  SelectUV(object, 0, {0, 1});
  const auto before = UVs(object, 0);
  EXPECT_TRUE(Grab(Mode::kRegularize));
  EXPECT_TRUE(SameBits(UVs(object, 0), before));

  // A selected edge of zero UV length is skipped; a NaN UV is not spread.
  object.faceUVs(0)[1] = {0, 0};
  const auto collapsed = UVs(object, 0);
  for (const Mode mode : {Mode::kAttachFaces, Mode::kAttachIslands, Mode::kReshapeFaces, Mode::kRegularize})
    EXPECT_TRUE(Grab(mode));
  EXPECT_TRUE(SameBits(UVs(object, 0), collapsed));
  object.faceUVs(0)[1] = {std::nanf(""), 0};
  EXPECT_TRUE(Grab(Mode::kRegularize));
  const auto after = UVs(object, 0);
  for (size_t c = 0; c < after.size(); ++c) {
    if (c != 1) {
      EXPECT_TRUE(std::isfinite(after[c].u) && std::isfinite(after[c].v)) << c;
    }
  }
}

}  // namespace
}  // namespace pavlex

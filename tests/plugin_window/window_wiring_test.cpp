// Every wired button of the Pavlex window, pressed through host events on a
// small document: each runs its tool with the states the window reads at
// the click.
#include <gmock/gmock.h>

#include <cmath>

#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

class PavlexWindowWiringTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    PavlexSessionTest::SetUp();
    ASSERT_TRUE(session().activate(plugin()));
  }

  // Presses a button of the Pavlex window as the keyboard does.
  host::CommandResult Press(const std::string& path) {
    const host::CommandResult result = driver().press("Pavlex::" + path);
    EXPECT_TRUE(result.done) << result.error;
    return result;
  }
  void Check(const std::string& path, bool on) {
    const host::CommandResult result = driver().check("Pavlex::" + path, on);
    EXPECT_TRUE(result.done) << result.error;
  }

  //  3---2
  //  |   |   one quad over (0,0)..(1,1) in a new document, with these UVs
  //  0---1
  host::HostObject& Quad(std::vector<MQCoordinate> uvs) {
    NewDocument();
    return AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{{0, 1, 2, 3}, std::move(uvs)}});
  }
  host::HostObject& UnitQuad() { return Quad({{0, 0}, {1, 0}, {1, 1}, {0, 1}}); }
  // UVs over u 2..3, v 4..6: away from the unit square, taller than wide.
  host::HostObject& OffsetQuad() { return Quad({{2, 4}, {3, 4}, {3, 6}, {2, 6}}); }

  //  6---7---8
  //  | 2 | 3 |   four quads around vertex 4 in a new document; face q is its
  //  3---4---5   own UV island at u 2q..2q+1, so vertex 4 has four UV
  //  | 0 | 1 |   vertices: face 0 corner 2 (1,1), face 1 corner 3 (2,1),
  //  0---1---2   face 2 corner 1 (5,0) and face 3 corner 0 (6,0)
  host::HostObject& SeamedGrid() {
    NewDocument();
    std::vector<MQPoint> points;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) points.push_back({static_cast<float>(x), static_cast<float>(y), 0});
    }
    std::vector<FaceInput> faces;
    for (int32_t q = 0; q < 4; ++q) {
      const int32_t base = (q / 2) * 3 + q % 2;
      const float u = 2.0f * static_cast<float>(q);
      faces.push_back({{base, base + 1, base + 4, base + 3}, {{u, 0}, {u + 1, 0}, {u + 1, 1}, {u, 1}}});
    }
    return AddObject(points, faces);
  }

  static void SelectAllUVs(host::HostObject& object) {
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      for (int32_t c = 0; c < object.cornerCount(f); ++c) object.setUVSelected(f, c, true);
    }
  }
};

MATCHER_P2(IsUV, u, v, "") {
  return arg.u == static_cast<float>(u) && arg.v == static_cast<float>(v);
}

TEST_F(PavlexWindowWiringTest, UVToObjectButtonsSelectVerticesLinesAndFaces) {
  host::HostObject* quad = &UnitQuad();
  quad->setUVSelected(0, 2, true);
  EXPECT_TRUE(Press("UV -> Object/V").handled);
  EXPECT_TRUE(quad->isVertexSelected(2));
  EXPECT_FALSE(quad->isVertexSelected(1));

  quad = &UnitQuad();
  quad->setUVSelected(0, 0, true);
  quad->setUVSelected(0, 1, true);
  EXPECT_TRUE(Press("UV -> Object/L").handled);
  EXPECT_TRUE(quad->isLineSelected(0, 0));
  EXPECT_FALSE(quad->isLineSelected(0, 1));

  quad = &UnitQuad();
  SelectAllUVs(*quad);
  EXPECT_TRUE(Press("UV -> Object/F").handled);
  EXPECT_TRUE(quad->isFaceSelected(0));
}

TEST_F(PavlexWindowWiringTest, ObjectToUVButtonsSelectCorners) {
  host::HostObject* quad = &UnitQuad();
  quad->setVertexSelected(3, true);
  EXPECT_TRUE(Press("Object -> UV/V").handled);
  EXPECT_TRUE(quad->isUVSelected(0, 3));
  EXPECT_FALSE(quad->isUVSelected(0, 0));

  quad = &UnitQuad();
  quad->setLineSelected(0, 1, true);  // corner 1 to corner 2
  EXPECT_TRUE(Press("Object -> UV/L").handled);
  EXPECT_TRUE(quad->isUVSelected(0, 1) && quad->isUVSelected(0, 2));
  EXPECT_FALSE(quad->isUVSelected(0, 3));

  quad = &UnitQuad();
  quad->setFaceSelected(0, true);
  EXPECT_TRUE(Press("Object -> UV/F").handled);
  for (int32_t c = 0; c < 4; ++c) EXPECT_TRUE(quad->isUVSelected(0, c)) << c;
}

TEST_F(PavlexWindowWiringTest, SelectButtonsNarrowAndWidenTheUVSelection) {
  host::HostObject* grid = &SeamedGrid();
  for (int32_t c = 0; c < 4; ++c) grid->setUVSelected(0, c, true);
  grid->setUVSelected(1, 0, true);
  EXPECT_TRUE(Press("Select/floating").handled);
  EXPECT_TRUE(grid->isUVSelected(0, 3));
  EXPECT_FALSE(grid->isUVSelected(1, 0));

  grid = &SeamedGrid();
  grid->setUVSelected(1, 0, true);
  EXPECT_TRUE(Press("Select/group").handled);
  for (int32_t c = 0; c < 4; ++c) EXPECT_TRUE(grid->isUVSelected(1, c)) << c;
  EXPECT_FALSE(grid->isUVSelected(0, 1));

  grid = &SeamedGrid();
  grid->setUVSelected(0, 2, true);
  EXPECT_TRUE(Press("Select/same vertex").handled);
  EXPECT_TRUE(grid->isUVSelected(1, 3) && grid->isUVSelected(2, 1) && grid->isUVSelected(3, 0));
  EXPECT_FALSE(grid->isUVSelected(1, 0));
}

TEST_F(PavlexWindowWiringTest, GrabVertexPullsEveryUVOfTheVertexAndReadsSelectedAtTheClick) {
  host::HostObject* grid = &SeamedGrid();
  grid->setUVSelected(0, 2, true);
  EXPECT_TRUE(Press("Grab/V").handled);
  EXPECT_THAT(grid->faceUVs(1)[3], IsUV(1, 1));
  EXPECT_THAT(grid->faceUVs(2)[1], IsUV(1, 1));
  EXPECT_THAT(grid->faceUVs(3)[0], IsUV(1, 1));

  // "selected": only faces selected in the host are written, and none is.
  grid = &SeamedGrid();
  grid->setUVSelected(0, 2, true);
  Check("Grab/selected", true);
  Press("Grab/V");
  EXPECT_THAT(grid->faceUVs(1)[3], IsUV(2, 1));
  grid->setFaceSelected(2, true);
  Press("Grab/V");
  EXPECT_THAT(grid->faceUVs(2)[1], IsUV(1, 1));
  EXPECT_THAT(grid->faceUVs(1)[3], IsUV(2, 1));
}

TEST_F(PavlexWindowWiringTest, SewWeldsTheSelectedUVsOfAVertex) {
  host::HostObject& grid = SeamedGrid();
  grid.setUVSelected(0, 2, true);
  grid.setUVSelected(1, 3, true);
  EXPECT_TRUE(Press("Grab/Sew").handled);
  EXPECT_THAT(grid.faceUVs(0)[2], IsUV(1.5, 1));
  EXPECT_THAT(grid.faceUVs(1)[3], IsUV(1.5, 1));
  EXPECT_THAT(grid.faceUVs(2)[1], IsUV(5, 0));
}

// The spin box holds the double 0.001; the tool gets the nearest float.
// Two UVs of one vertex exactly as far apart as the largest float distance
// within that threshold are gathered; one float step further apart they
// are not.
TEST_F(PavlexWindowWiringTest, GatherPassesTheSpinValueAsSinglePrecision) {
  const float threshold = 0.001f;
  const double limit = static_cast<float>(std::pow(static_cast<double>(threshold), 2));
  float inside = static_cast<float>(std::sqrt(limit));
  while (static_cast<double>(inside) * inside >= limit) inside = std::nextafter(inside, 0.0f);
  while (static_cast<double>(std::nextafter(inside, 1.0f)) * std::nextafter(inside, 1.0f) < limit) {
    inside = std::nextafter(inside, 1.0f);
  }
  const float outside = std::nextafter(inside, 1.0f);

  for (const float distance : {inside, outside}) {
    host::HostObject& grid = SeamedGrid();
    grid.faceUVs(0)[2] = {0, 0};
    grid.faceUVs(1)[3] = {distance, 0};
    grid.setUVSelected(0, 2, true);
    grid.setUVSelected(1, 3, true);
    EXPECT_TRUE(Press("Grab/Gather").handled);
    EXPECT_EQ(grid.faceUVs(1)[3].u, distance == inside ? 0.0f : distance) << distance;
  }

  // A typed value is read at the click.
  ASSERT_TRUE(driver().set("Pavlex::Grab/Gather", 0.5).done);
  host::HostObject& grid = SeamedGrid();
  grid.faceUVs(0)[2] = {0, 0};
  grid.faceUVs(1)[3] = {0.25f, 0};
  grid.setUVSelected(0, 2, true);
  grid.setUVSelected(1, 3, true);
  Press("Grab/Gather");
  EXPECT_THAT(grid.faceUVs(1)[3], IsUV(0, 0));
}

TEST_F(PavlexWindowWiringTest, InvertMirrorsAboutTheSelectionOrTheUnitCentre) {
  host::HostObject* quad = &OffsetQuad();
  SelectAllUVs(*quad);
  EXPECT_TRUE(Press("Invert/H").handled);
  EXPECT_THAT(quad->faceUVs(0)[0], IsUV(3, 4));
  Press("Invert/V");
  EXPECT_THAT(quad->faceUVs(0)[0], IsUV(3, 6));

  quad = &OffsetQuad();
  SelectAllUVs(*quad);
  Check("Invert/center", true);
  Press("Invert/H");
  EXPECT_THAT(quad->faceUVs(0)[0], IsUV(-1, 4));
}

TEST_F(PavlexWindowWiringTest, TurnReflectsAcrossTheSideOfEachButton) {
  struct Case {
    const char* button;
    int corner;
    float u, v;
  };
  // Corner 2 sits at (3, 6), corner 1 at (3, 4); bounds u 2..3, v 4..6.
  for (const Case& c : {Case{"U", 2, 3, 2}, Case{"D", 1, 3, 8}, Case{"L", 1, 1, 4}, Case{"R", 0, 4, 4}}) {
    host::HostObject& quad = OffsetQuad();
    SelectAllUVs(quad);
    EXPECT_TRUE(Press(std::string("Trun/") + c.button).handled) << c.button;
    EXPECT_THAT(quad.faceUVs(0)[c.corner], IsUV(c.u, c.v)) << c.button;
  }
}

TEST_F(PavlexWindowWiringTest, TurnWithEdgeUsesTheUnitSquareWhereverTheSelectionIs) {
  host::HostObject& quad = OffsetQuad();
  SelectAllUVs(quad);
  Check("Trun/edge", true);
  Press("Trun/L");
  EXPECT_THAT(quad.faceUVs(0)[1], IsUV(-3, 4));
  Press("Trun/D");
  EXPECT_THAT(quad.faceUVs(0)[1], IsUV(-3, -2));
}

TEST_F(PavlexWindowWiringTest, SnapFlattensOntoEachSideOfTheSelection) {
  struct Case {
    const char* button;
    float u, v;    // where corner 1, at (3, 4), lands
    float u3, v3;  // where corner 3, at (2, 6), lands
  };
  for (const Case& c :
       {Case{"T", 3, 4, 2, 4}, Case{"B", 3, 6, 2, 6}, Case{"L", 2, 4, 2, 6}, Case{"R", 3, 4, 3, 6}}) {
    host::HostObject& quad = OffsetQuad();
    SelectAllUVs(quad);
    EXPECT_TRUE(Press(std::string("Snap/") + c.button).handled) << c.button;
    EXPECT_THAT(quad.faceUVs(0)[1], IsUV(c.u, c.v)) << c.button;
    EXPECT_THAT(quad.faceUVs(0)[3], IsUV(c.u3, c.v3)) << c.button;
  }
}

// Face 0 on the +x side takes the UVs of its mirror image, face 1, corner by
// mirrored vertex; with "wide" the copy is mirrored about u = 0.5.
TEST_F(PavlexWindowWiringTest, SymmetrizeCopiesAcrossTheMirrorPlaneAndReadsWide) {
  for (const bool wide : {false, true}) {
    NewDocument();
    host::HostObject& object = AddObject(
        {{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {-1, 0, 0}, {-2, 0, 0}, {-2, 1, 0}, {-1, 1, 0}},
        {{{0, 1, 2, 3}, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
         {{4, 7, 6, 5}, {{0.125f, 0.25f}, {0.125f, 0.75f}, {0.375f, 0.75f}, {0.375f, 0.25f}}}});
    object.setFaceSelected(0, true);
    Check("Manipulate/wide", wide);
    EXPECT_TRUE(Press("Manipulate/Symmetrize").handled);
    const float u0 = wide ? 0.875f : 0.125f, u1 = wide ? 0.625f : 0.375f;
    EXPECT_THAT(object.faceUVs(0)[0], IsUV(u0, 0.25f)) << wide;
    EXPECT_THAT(object.faceUVs(0)[1], IsUV(u1, 0.25f)) << wide;
    EXPECT_THAT(object.faceUVs(0)[2], IsUV(u1, 0.75f)) << wide;
    EXPECT_THAT(object.faceUVs(0)[3], IsUV(u0, 0.75f)) << wide;
  }
}

TEST_F(PavlexWindowWiringTest, EqualAllocSpacesTheSelectedCoordinates) {
  host::HostObject& quad = Quad({{0, 0}, {0.125f, 0}, {1, 0}, {1, 0.125f}});
  SelectAllUVs(quad);
  EXPECT_TRUE(Press("Manipulate/Equal Alloc").handled);
  EXPECT_THAT(quad.faceUVs(0)[1], IsUV(0.5, 0));
  EXPECT_THAT(quad.faceUVs(0)[2], IsUV(1, 0));
}

TEST_F(PavlexWindowWiringTest, FoldingAGroupRefitsTheWindowExceptManipulate) {
  const auto open = Size();
  ASSERT_TRUE(driver().minimize("Pavlex::Select").done);
  EXPECT_LT(Size().second, open.second);
  EXPECT_EQ(Size(), JustSize());
  ASSERT_TRUE(driver().restore("Pavlex::Select").done);
  EXPECT_EQ(Size(), open);

  ASSERT_TRUE(driver().minimize("Pavlex::Manipulate").done);
  EXPECT_EQ(Size(), open);
  EXPECT_LT(JustSize().second, open.second);
}

}  // namespace
}  // namespace pavlex::testing

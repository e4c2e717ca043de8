// "Grab/F", "Grab/G", "Grab/R" and "Manipulate/Regularize" pressed through
// host events with the plug-in loaded, "selected" read at the click.
#include <cmath>
#include <string>

#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

class GrabWindowTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    PavlexSessionTest::SetUp();
    ASSERT_TRUE(session().activate(plugin()));
  }

  bool Press(const std::string& path) {
    const host::CommandResult result = driver().press("Pavlex::" + path);
    EXPECT_TRUE(result.done) << result.error;
    return result.handled;
  }
  void Check(bool on) { EXPECT_TRUE(driver().check("Pavlex::Grab/selected", on).done); }

  //  3---2---5
  //  | 0 | 1 |   face 0 UV-selected at (0,0)..(1,1); face 1 its own island
  //  0---1---4   at (3,5)..(5,7), turned a quarter; vertex 4 in 3D at
  //              height 0.5 from the shared edge
  host::HostObject& TwoQuads() {
    NewDocument();
    host::HostObject& object = AddObject(
        {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1.5f, 0, 0}, {1.5f, 1, 0}},
        {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {{1, 4, 5, 2}, {{5, 5}, {5, 7}, {3, 7}, {3, 5}}}});
    for (int32_t c = 0; c < 4; ++c) object.setUVSelected(0, c, true);
    return object;
  }

  static bool Near(MQCoordinate uv, float u, float v) {
    return std::fabs(uv.u - u) < 1e-5f && std::fabs(uv.v - v) < 1e-5f;
  }
};

TEST_F(GrabWindowTest, FAndGAttachTheNeighbourByItsUVShape) {
  for (const char* button : {"Grab/F", "Grab/G"}) {
    host::HostObject& quads = TwoQuads();
    EXPECT_TRUE(Press(button));
    EXPECT_TRUE(Near(quads.faceUVs(1)[0], 1, 0)) << button;
    EXPECT_TRUE(Near(quads.faceUVs(1)[1], 2, 0)) << button;  // the UV square, scaled to the edge
    EXPECT_TRUE(Near(quads.faceUVs(1)[3], 1, 1)) << button;
  }
}

TEST_F(GrabWindowTest, RAttachesTheNeighbourByIts3DShape) {
  host::HostObject& quads = TwoQuads();
  EXPECT_TRUE(Press("Grab/R"));
  EXPECT_TRUE(Near(quads.faceUVs(1)[1], 1.5f, 0));  // half as wide as in UV, as in 3D
  EXPECT_TRUE(Near(quads.faceUVs(1)[2], 1.5f, 1));
}

TEST_F(GrabWindowTest, RegularizeRelaysTheSelectedFaceAndSelectedIsReadAtTheClick) {
  host::HostObject* quads = &TwoQuads();
  quads->faceUVs(0)[2] = {3, 2};  // a skewed UV quad
  Check(true);                    // no face selected: nothing moves
  EXPECT_TRUE(Press("Manipulate/Regularize"));
  EXPECT_TRUE(Near(quads->faceUVs(0)[2], 3, 2));
  EXPECT_TRUE(Press("Grab/F"));
  EXPECT_TRUE(Near(quads->faceUVs(1)[0], 5, 5));
  Check(false);
  EXPECT_TRUE(Press("Manipulate/Regularize"));
  EXPECT_TRUE(Near(quads->faceUVs(0)[2], 1, 1));
  EXPECT_TRUE(Near(quads->faceUVs(0)[3], 0, 1));
}

//  3---2---5    faces 0 and 1 as in TwoQuads; the triangle 2 (5, 6, 3)
//   \     /     meets face 1 at vertex 5 and face 0 at vertex 3 with the
//    \   /      same UVs, so face 1's UV island reaches round to the
//      6        selected face 0.
TEST_F(GrabWindowTest, GMovesTheSelectedFaceWhenTheNeighboursIslandReachesIt) {
  for (const char* button : {"Grab/G", "Grab/F"}) {
    NewDocument();
    host::HostObject& ring = AddObject(
        {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1.5f, 0, 0}, {1.5f, 1, 0}, {0.5f, 2, 0}},
        {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
         {{1, 4, 5, 2}, {{5, 5}, {5, 7}, {3, 7}, {3, 5}}},
         {{5, 6, 3}, {{3, 7}, {1.5f, 4}, {0, 1}}}});
    for (int32_t c = 0; c < 4; ++c) ring.setUVSelected(0, c, true);
    EXPECT_TRUE(Press(button));
    // Face 1's corner on vertex 1 goes to (1, 0) and its edge (-2, 0) onto
    // (0, 1): u' = 1 + (v - 5) / 2, v' = (5 - u) / 2, exact in binary.
    const auto at = [&](int32_t face, int32_t corner, float u, float v) {
      const MQCoordinate uv = ring.faceUVs(face)[corner];
      EXPECT_EQ(uv.u, u) << button << " face " << face << " corner " << corner;
      EXPECT_EQ(uv.v, v) << button << " face " << face << " corner " << corner;
    };
    at(1, 0, 1, 0);
    at(1, 1, 2, 0);
    at(1, 2, 2, 1);
    at(1, 3, 1, 1);
    if (std::string(button) == "Grab/G") {
      at(2, 0, 2, 1);
      at(2, 1, 0.5f, 1.75f);
      at(2, 2, -1, 2.5f);
      at(0, 0, -1.5f, 2.5f);
      at(0, 1, -1.5f, 2);
      at(0, 2, -1, 2);
      at(0, 3, -1, 2.5f);  // still on face 2's corner at vertex 3
    } else {
      at(2, 0, 3, 7);  // "F" moves the neighbour face alone
      at(2, 2, 0, 1);
      at(0, 0, 0, 0);
      at(0, 2, 1, 1);
    }
    for (int32_t c = 0; c < 4; ++c) EXPECT_TRUE(ring.isUVSelected(0, c)) << "the selection stays";
  }
}

}  // namespace
}  // namespace pavlex::testing

// "Grab/F", "Grab/G", "Grab/R" and "Manipulate/Regularize" pressed through
// host events with the plug-in loaded, "selected" read at the click.
#include <cmath>

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

}  // namespace
}  // namespace pavlex::testing

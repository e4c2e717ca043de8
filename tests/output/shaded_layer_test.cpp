// Lighting of the shaded layer through the host's scene and materials.
#include "host/api/handles.h"
#include "plugin/output/corner_lighting.h"
#include "tests/output/layout_test_fixture.h"

namespace pavlex::testing {
namespace {

// The triangle (0,0,0), (1,0,0), (0,1,0) faces -z: a = (1,0,0), b = corner
// 0 - corner 2 = (0,-1,0), a x b = (0,0,-1).
class ShadedLayerTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    AddTriangleAt(0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f).shading = 0;
    doc_.scene().lights.assign(1, host::HostLight{{0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 1.0f}});
  }
  // The pixel at (0, 0), where every face of these tests is drawn.
  uint32_t Corner(OutputFlags flags = kOutputShader) { return Render(flags, 4, 4)->Pixel(0, 0); }
};

TEST_F(ShadedLayerTest, LightAlongTheNormalWithoutMaterialGives0x7F) {
  // 0.5 * 0.3 + 0.5 * 1 * 0.7 = 0.5, truncated from 127.5.
  EXPECT_EQ(Corner(), 0xFF7F7F7Fu);
  EXPECT_EQ(Render(kOutputShader, 4, 4)->Pixel(2, 1), 0xFF7F7F7Fu);
}

TEST_F(ShadedLayerTest, LightFromBehindGivesOnlyItsAmbientPart) {
  doc_.scene().lights[0].direction = {0.0f, 0.0f, -1.0f};
  EXPECT_EQ(Corner(), 0xFF262626u);  // 0.5 * 0.3 * 255 = 38.25
}

TEST_F(ShadedLayerTest, MaterialCoefficientsColouredLightsAndClamping) {
  ASSERT_EQ(AddMaterial(""), 0);
  doc_.object(0)->setFaceMaterial(0, 0);
  doc_.setCurrentMaterial(0);
  host::HostMaterial& material = *doc_.material(0);
  material.ambient = 1.0f;
  material.diffuse = 0.2f;
  // w = 0.3 + 0.14 = 0.44; the material colour plays no part.
  doc_.scene().lights[0].color = {1.0f, 0.5f, 0.25f};
  EXPECT_EQ(Corner(), 0xFF70381Cu);  // 112.2, 56.1, 28.05
  // A second, strong light saturates every channel at 1.
  doc_.scene().lights.push_back(host::HostLight{{0.0f, 0.0f, 1.0f}, {3.0f, 3.0f, 3.0f}});
  EXPECT_EQ(Corner(), 0xFFFFFFFFu);
  doc_.scene().lights.clear();
  EXPECT_EQ(Corner(), 0xFF000000u);
  EXPECT_EQ(Corner(kOutputShader | kOutputAlphaToClipboard), 0xFFFFFFFFu);
}

// Two triangles folded 90 degrees along the edge (0,0,0)-(0,1,0): one
// faces -z, the other -x. The shared corners average the two normals only
// when the smoothing angle admits the fold.
TEST_F(LayoutTest, SmoothingAveragesNeighboursWithinTheAngle) {
  host::HostObject& fold =
      AddObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                {{{0, 1, 2}, {{0, 0}, {1, 0}, {0, 1}}}, {{0, 2, 3}, {{0, 0}, {0, 1}, {1, 0}}}});
  doc_.scene().lights.assign(1, host::HostLight{{0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, 1.0f}});
  MQObject object = host::api::ToHandle(&fold);
  const auto red = [&](int32_t face, size_t corner) {
    return ComputeCornerLighting(document(), object).Find(face, corner).r;
  };
  fold.smoothAngle = 80.0f;  // cos 80 > 0 = the normals' dot: kept apart
  EXPECT_FLOAT_EQ(red(0, 0), 0.5f);
  EXPECT_FLOAT_EQ(red(0, 2), 0.5f);
  fold.smoothAngle = 100.0f;
  // n = ((0,0,-1) + (-1,0,0)) / 2; d = 0.5: 0.15 + 0.25 * 0.7.
  EXPECT_FLOAT_EQ(red(0, 0), 0.325f);
  EXPECT_FLOAT_EQ(red(0, 2), 0.325f);
  EXPECT_FLOAT_EQ(red(0, 1), 0.5f);  // corner 1 belongs to this face only
  fold.shading = 0;
  EXPECT_FLOAT_EQ(red(0, 0), 0.5f);
}

}  // namespace
}  // namespace pavlex::testing

// Lighting of the shaded layer through the host's scene and materials.
#include <cstring>

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
  EXPECT_EQ(red(0, 0), 0.5f);
  EXPECT_EQ(red(0, 2), 0.5f);
  fold.smoothAngle = 100.0f;
  // n = ((0,0,-1) + (-1,0,0)) / 2; d = 0.5: 0.5 * 0.3 + 0.25 * 0.7 is
  // 0.325f exactly in single precision, as flat light is 0.5.
  EXPECT_EQ(red(0, 0), 0.325f);
  EXPECT_EQ(red(0, 2), 0.325f);
  EXPECT_EQ(red(0, 1), 0.5f);  // corner 1 belongs to this face only
  fold.shading = 0;
  EXPECT_EQ(red(0, 0), 0.5f);
}

// The bits of a float, so that a single-precision result compares exactly
// and a mismatch prints in a form that shows the last bit.
uint32_t Bits(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// A face of four or more corners takes b as the mean of the closing edge
// (corner 0 - last) and the reversed edge corner 1 - corner 2, in single
// precision. On the bent quad (0,0,0) (1,0,0) (1,1,0) (0,1,1): a = (1,0,0),
// b = ((0,-1,-1) - (0,1,0)) * 0.5 = (0,-1,-0.5), a x b = (0,0.5,-1), unit
// (0, 0.4472136, -0.8944272). The light (0,-1,0) then gives
// d = 0.4472136 and 0.15 + 0.5 * d * 0.7 = 0.30652475 (0x3E9CF0D0), where
// the triangle rule (b = (0,-1,-1)) would give 0.39748737. The pentagon
// shares corners 0..2 and ends at (0,1,2): b = (0,-1,-1.5), unit normal
// (0, 0.70710677, -0.70710677), giving 0.39748737 (0x3ECB8377).
TEST_F(LayoutTest, FacesOfFourOrMoreCornersAverageTheClosingAndSecondEdges) {
  doc_.scene().lights.assign(1, host::HostLight{{0.0f, -1.0f, 0.0f}, {1.0f, 1.0f, 1.0f}});
  host::HostObject& quad = AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}},
                                     {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}});
  host::HostObject& pentagon =
      AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0.5f, 2, 0.5f}, {0, 1, 2}},
                {{{0, 1, 2, 3, 4}, {{0, 0}, {1, 0}, {1, 1}, {0.5f, 1}, {0, 1}}}});
  quad.shading = 0;
  pentagon.shading = 0;
  const CornerColorMap quadColors = ComputeCornerLighting(document(), host::api::ToHandle(&quad));
  const CornerColorMap pentagonColors = ComputeCornerLighting(document(), host::api::ToHandle(&pentagon));
  for (size_t k = 0; k < 4; ++k) {
    const ColorRGB c = quadColors.Find(0, k);
    EXPECT_EQ(Bits(c.r), 0x3E9CF0D0u) << "quad corner " << k;
    EXPECT_EQ(Bits(c.g), 0x3E9CF0D0u) << "quad corner " << k;
    EXPECT_EQ(Bits(c.b), 0x3E9CF0D0u) << "quad corner " << k;
  }
  for (size_t k = 0; k < 5; ++k) {
    const ColorRGB c = pentagonColors.Find(0, k);
    EXPECT_EQ(Bits(c.r), 0x3ECB8377u) << "pentagon corner " << k;
  }
  // Drawn: 0.30652475 * 255 = 78.16 and 0.39748737 * 255 = 101.36.
  pentagon.visible = false;
  EXPECT_EQ(Render(kOutputShader, 4, 4)->Pixel(1, 1), 0xFF4E4E4Eu);
  pentagon.visible = true;
  quad.visible = false;
  EXPECT_EQ(Render(kOutputShader, 4, 4)->Pixel(1, 1), 0xFF656565u);
}

}  // namespace
}  // namespace pavlex::testing

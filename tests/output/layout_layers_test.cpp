// Goldens of each layer alone and of all four together, the coordinate
// rules at the unit square's far edges, and the face filters.
#include <cmath>
#include <limits>

#include "host/api/handles.h"
#include "plugin/output/gouraud_fill.h"
#include "plugin/output/layout_face_filter.h"
#include "tests/output/layout_test_fixture.h"

namespace pavlex::testing {
namespace {

using Art = std::vector<std::string>;

// Goldens whose edge pixels depend on the platform's coverage rules: our
// own on Linux (pixel centres at x + 0.5), GDI+'s on Windows (centres on
// integer coordinates, Bresenham-like pens). Everything else in these tests
// holds on both.
const Art& PerPlatform([[maybe_unused]] const Art& linuxArt, [[maybe_unused]] const Art& windowsArt) {
#ifdef _WIN32
  return windowsArt;
#else
  return linuxArt;
#endif
}

// A triangle with no symmetry: wireframe corners (1, 0), (8, 4), (2, 8);
// the fill and shaded rules give the same points here.
class LayoutLayersTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    AddTriangleAt(0.125f, 0.0f, 1.0f, 0.5f, 0.25f, 1.0f);
    doc_.scene().lights.clear();  // the shaded fill is then opaque black
  }
};

TEST_F(LayoutLayersTest, EachLayerAloneAndAllFourInOrder) {
  EXPECT_EQ(RenderArt(kOutputWireframe), PerPlatform({
      ".w......",
      ".www....",
      ".w..ww..",
      ".w....ww",
      ".w......",
      "..w...ww",
      "..w..w..",
      "..www...",
  }, {
      ".w......",
      ".www....",
      ".w..ww..",
      ".w....ww",
      "..w.....",
      "..w...ww",
      "..w..w..",
      "..www...",
  }));
  // Pixel centres inside the triangle, even-odd.
  const Art objectFill = PerPlatform({
      ".o......",
      ".ooo....",
      ".oooo...",
      ".oooooo.",
      "..ooooo.",
      "..oooo..",
      "..oo....",
      "..o.....",
  }, {
      "........",
      "..o.....",
      "..ooo...",
      "..ooooo.",
      "..oooooo",
      "..ooooo.",
      "..ooo...",
      "..oo....",
  });
  EXPECT_EQ(RenderArt(kOutputObjectColor), objectFill);
  // The face has no material: the host's black for a null material.
  Art materialFill = objectFill;
  for (std::string& row : materialFill) {
    for (char& c : row) c = c == 'o' ? '?' : c;
  }
  EXPECT_EQ(RenderArt(kOutputMaterialColor), materialFill);
  EXPECT_EQ(Render(kOutputMaterialColor)->Pixel(3, 3), 0xFF000000u);
  // Both span ends are drawn, so the shaded fill is wider than the flat
  // one; without lights it is opaque black.
  const Art shaded = {
      ".?......",
      ".??.....",
      ".????...",
      ".?????..",
      ".???????",
      "..??????",
      "..?????.",
      "..???...",
  };
  EXPECT_EQ(RenderArt(kOutputShader), shaded);
  EXPECT_EQ(Render(kOutputShader)->Pixel(7, 4), 0xFF000000u);

  // Object colour under the shaded fill under the wireframe.
  const auto all = Render(kOutputObjectColor | kOutputMaterialColor | kOutputShader | kOutputWireframe);
  EXPECT_EQ(ToArt(*all), PerPlatform({
      ".w......",
      ".www....",
      ".w??ww..",
      ".w????ww",
      ".w??????",
      "..w???ww",
      "..w??w?.",
      "..www...",
  }, {
      ".w......",
      ".www....",
      ".w??ww..",
      ".w????ww",
      ".?w?????",
      "..w???ww",
      "..w??w?.",
      "..www...",
  }));
  EXPECT_EQ(all->Pixel(3, 2), 0xFF000000u);
}

TEST_F(LayoutLayersTest, AlphaToClipboardMakesEveryFillWhite) {
  const OutputFlags alpha = kOutputAlphaToClipboard;
  EXPECT_EQ(RenderArt(alpha | kOutputObjectColor), RenderArt(alpha | kOutputMaterialColor));
  EXPECT_EQ(RenderArt(alpha | kOutputShader), (Art{
      ".w......",
      ".ww.....",
      ".wwww...",
      ".wwwww..",
      ".wwwwwww",
      "..wwwwww",
      "..wwwww.",
      "..www...",
  }));
}

TEST_F(LayoutTest, CornersAtOneMapPastTheLastColumnAndRow) {
  AddQuad();  // UV = the unit square
  EXPECT_EQ(RenderArt(kOutputWireframe, 4, 3), (Art{"wwww", "w...", "w..."}));
  EXPECT_EQ(RenderArt(kOutputObjectColor, 4, 3), (Art{"????", "????", "????"}));
  EXPECT_EQ(RenderArt(kOutputAlphaToClipboard | kOutputShader, 4, 3), (Art{"wwww", "wwww", "wwww"}));
}

TEST_F(LayoutTest, EmptyOrHiddenDocumentLeavesTheImageTransparent) {
  const OutputFlags everything = kOutputObjectColor | kOutputMaterialColor | kOutputShader | kOutputWireframe;
  EXPECT_EQ(RenderArt(everything, 3, 2), (Art{"...", "..."}));
  AddQuad().visible = false;
  EXPECT_EQ(RenderArt(everything, 3, 2), (Art{"...", "..."}));
}

// Two triangles in opposite corners: the current object's at the top left,
// another object's at the bottom right.
TEST_F(LayoutTest, CurrentObjectFilterDrawsOnlyTheCurrentObject) {
  AddTriangleAt(0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f);
  AddTriangleAt(1.0f, 1.0f, 0.5f, 1.0f, 1.0f, 0.5f);
  // Linux: a centre on a right edge is outside, on a left edge inside.
  // GDI+: points on the top and left edges are inside.
  const Art first = PerPlatform({"o...", "....", "....", "...."}, {"oo..", "o...", "....", "...."});
  const Art second = PerPlatform({"....", "....", "...o", "..oo"}, {"....", "....", "....", "...o"});
  Art both = first;
  for (size_t row = 0; row < both.size(); ++row) {
    for (size_t x = 0; x < both[row].size(); ++x) both[row][x] = second[row][x] == 'o' ? 'o' : both[row][x];
  }
  EXPECT_EQ(RenderArt(kOutputObjectColor, 4, 4), both);
  EXPECT_EQ(RenderArt(kOutputObjectColor | kOutputCurrentObject, 4, 4), first);
  doc_.setCurrentObject(1);
  EXPECT_EQ(RenderArt(kOutputObjectColor | kOutputCurrentObject, 4, 4), second);
}

// Four one-pixel-row quads, one per row: material 0 (current, "a.png"),
// material 1 ("b.png"), material 2 ("a.png" too), no material.
class LayoutMaterialTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    std::vector<MQPoint> points;
    std::vector<FaceData> faces;
    for (int32_t row = 0; row < 4; ++row) {
      const float top = static_cast<float>(row) / 4.0f, bottom = static_cast<float>(row + 1) / 4.0f;
      const int32_t base = static_cast<int32_t>(points.size());
      for (int k = 0; k < 4; ++k) points.push_back({static_cast<float>(k), static_cast<float>(row), 0});
      faces.push_back({{base, base + 1, base + 2, base + 3}, {{0, top}, {1, top}, {1, bottom}, {0, bottom}}});
    }
    object_ = &AddObject(points, faces);
    object_->color = {0.2f, 0.4f, 0.6f};
    ASSERT_EQ(AddMaterial("a.png"), 0);
    ASSERT_EQ(AddMaterial("b.png"), 1);
    ASSERT_EQ(AddMaterial("a.png"), 2);
    for (int32_t f = 0; f < 3; ++f) object_->setFaceMaterial(f, f);
    doc_.setCurrentMaterial(0);
  }
  host::HostObject* object_ = nullptr;
};

TEST_F(LayoutMaterialTest, TextureAndCurrentMaterialFilters) {
  // Same texture file, or no material: drawn. Another texture: not drawn.
  EXPECT_EQ(RenderArt(kOutputMaterialColor, 4, 4), (Art{"mmmm", "....", "mmmm", "????"}));
  EXPECT_EQ(RenderArt(kOutputObjectColor | kOutputCurrentMaterial, 4, 4), (Art{"oooo", "....", "....", "...."}));
  // Texture names compare exactly, case included.
  doc_.material(2)->textureName = "A.png";
  EXPECT_EQ(RenderArt(kOutputObjectColor, 4, 4), (Art{"oooo", "....", "....", "oooo"}));
  // An empty texture name matches only materials without one.
  doc_.material(0)->textureName.clear();
  doc_.material(2)->textureName.clear();
  EXPECT_EQ(RenderArt(kOutputObjectColor, 4, 4), (Art{"oooo", "....", "oooo", "oooo"}));
}

TEST_F(LayoutMaterialTest, TextureNamesCompareByTheirFirst249Bytes) {
  const std::string prefix(249, 'x');
  doc_.material(0)->textureName = prefix + "-one.png";
  doc_.material(1)->textureName = prefix + "-two.png";
  doc_.material(2)->textureName = prefix.substr(1);
  EXPECT_EQ(RenderArt(kOutputObjectColor, 4, 4), (Art{"oooo", "oooo", "....", "oooo"}));
}

TEST_F(LayoutMaterialTest, MemoryFilterNeedsOneSlotHoldingEveryCorner) {
  const int32_t objectId = object_->uniqueId();
  const auto store = [&](int slot, int32_t face, int32_t corners) {
    for (int32_t j = 0; j < corners; ++j) {
      state_.memorySlots[static_cast<size_t>(slot)].objects[objectId].insert(
          UVVertexKey::Pack(object_->faceUniqueId(face), j));
    }
  };
  store(1, 0, 4);  // face 0 whole in slot 1
  store(2, 2, 3);  // face 2: three corners in slot 2 ...
  state_.memorySlots[3].objects[objectId].insert(UVVertexKey::Pack(object_->faceUniqueId(2), 3));  // ... one in 3
  store(3, 3, 4);  // face 3 whole in slot 3
  const OutputFlags fill = kOutputObjectColor;
  EXPECT_EQ(RenderArt(fill, 4, 4, 0b1110), (Art{"oooo", "....", "....", "oooo"}));
  EXPECT_EQ(RenderArt(fill, 4, 4, 0b0100), (Art{"....", "....", "....", "...."}));
  // A slot without the object keeps every face out.
  EXPECT_EQ(RenderArt(fill, 4, 4, 0b0001), (Art{"....", "....", "....", "...."}));
  EXPECT_TRUE(IsFaceInMemorySlots(state_, host::api::ToHandle(object_), 0, 0b0010));
  EXPECT_FALSE(IsFaceInMemorySlots(state_, host::api::ToHandle(object_), 0, 0b1101));
}

// The host makes no face below two corners, so a deleted face (0 corners,
// its slot kept) is the case: with the object in the slot, its empty corner
// list must not count as "every corner found". Two corners are enough.
TEST_F(LayoutTest, MemoryFilterNeverPassesFacesBelowTwoCorners) {
  host::HostObject& lines = AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}},
                                      {{{0, 1}, {{0, 0}, {1, 0}}}, {{1, 2}, {{1, 0}, {1, 1}}}});
  const MQObject handle = host::api::ToHandle(&lines);
  auto& stored = state_.memorySlots[0].objects[lines.uniqueId()];
  for (int32_t face = 0; face < 2; ++face) {
    for (int32_t j = 0; j < 2; ++j) stored.insert(UVVertexKey::Pack(lines.faceUniqueId(face), j));
  }
  EXPECT_TRUE(IsFaceInMemorySlots(state_, handle, 0, 0b0001));
  ASSERT_TRUE(lines.deleteFace(1, false));
  ASSERT_EQ(lines.cornerCount(1), 0);
  EXPECT_FALSE(IsFaceInMemorySlots(state_, handle, 1, 0b0001));
  EXPECT_FALSE(IsFaceInMemorySlots(state_, handle, 1, 0b1111));
  EXPECT_TRUE(IsFaceInMemorySlots(state_, handle, 0, 0b0001));
}

// Four corners with red on the left and blue on the right: the span runs
// from x = 0 to x = round(3.9) = 4, five pixels, of which the last lies
// outside; the weights step by 1/5 and never reach the far end's.
TEST(GouraudFillTest, InterpolatesAcrossEachRowWithoutReachingTheFarEnd) {
  LayoutImage image(4, 2);
  const MQCoordinate uvs[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  const ColorRGB colors[4] = {{1, 0, 0}, {0, 0, 1}, {0, 0, 1}, {1, 0, 0}};
  GouraudScratch scratch;
  FillGouraudPolygon(image, uvs, colors, 4, 4, 2, scratch);
  for (int32_t y = 0; y < 2; ++y) {
    EXPECT_EQ(image.Pixel(0, y), 0xFFFF0000u);
    EXPECT_EQ(image.Pixel(1, y), 0xFFCC0033u);
    EXPECT_EQ(image.Pixel(2, y), 0xFF990066u);
    EXPECT_EQ(image.Pixel(3, y), 0xFF660099u);
  }
  EXPECT_EQ(image.last_status(), ImageStatus::kOutOfRange);
}

// The 4 x 4 picture FillGouraudPolygon draws of one polygon, row by row.
std::vector<std::vector<uint32_t>> GouraudPixels(const std::vector<MQCoordinate>& uvs,
                                                 const std::vector<ColorRGB>& colors) {
  LayoutImage image(4, 4);
  GouraudScratch scratch;
  FillGouraudPolygon(image, uvs.data(), colors.data(), uvs.size(), 4, 4, scratch);
  std::vector<std::vector<uint32_t>> rows(4, std::vector<uint32_t>(4));
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = image.Pixel(x, y);
  }
  return rows;
}

constexpr ColorRGB kRed = {1, 0, 0}, kGreen = {0, 1, 0}, kBlue = {0, 0, 1}, kWhite = {1, 1, 1};

// A quad whose top (corners 0, 1) and bottom (2, 3) are level, on rows 0
// and 3. Ties of the largest v go to corner 2, the lower index, so the
// backward chain 0 -> 3 -> 2 ends with the level edge 3 -> 2, which writes
// row 3 last: x of corner 3 in its own white. Row 0 of the forward chain
// is written by 0 -> 1 and then by 1 -> 2, which wins: the span runs from
// red at x 0 to green at x 4.
TEST(GouraudFillTest, LevelEdgesTieToTheLowerCornerAndTheLaterEdgeWins) {
  EXPECT_EQ(GouraudPixels({{0, 0}, {1, 0}, {1, 0.75f}, {0, 0.75f}}, {kRed, kGreen, kBlue, kWhite}),
            (std::vector<std::vector<uint32_t>>{
                {0xFFFF0000u, 0xFFCC3300u, 0xFF996600u, 0xFF669900u},
                {0xFFFF3F3Fu, 0xFFCC593Fu, 0xFF99723Fu, 0xFF668C3Fu},
                {0xFFFF7F7Fu, 0xFFCC7F7Fu, 0xFF997F7Fu, 0xFF667F7Fu},
                {0xFFFFFFFFu, 0xFFCCD8F2u, 0xFF99B2E5u, 0xFF668CD8u},
            }));
}

// Not convex in UV: the forward chain 0 -> 1 -> 2 -> 3 steps down to the
// notch at corner 1, skips the upward edge 1 -> 2 and covers rows 0..2
// again with 2 -> 3, which wins. The notch is filled over.
TEST(GouraudFillTest, LaterEdgeOfAChainOverwritesTheRowsItShares) {
  EXPECT_EQ(GouraudPixels({{0, 0}, {0.5f, 0.5f}, {1, 0}, {1, 0.75f}, {0, 0.75f}},
                          {kRed, kGreen, kBlue, kWhite, {0, 0, 0}}),
            (std::vector<std::vector<uint32_t>>{
                {0xFFFF0000u, 0xFFCC0033u, 0xFF990066u, 0xFF660099u},
                {0xFFBF0000u, 0xFFA50C33u, 0xFF8C1966u, 0xFF722699u},
                {0xFF7F0000u, 0xFF7F1933u, 0xFF7F3366u, 0xFF7F4C99u},
                {0xFF000000u, 0xFF262633u, 0xFF4C4C66u, 0xFF727299u},
            }));
}

// At the bottom tip both chains reach x 3 in their own colours: with equal
// x the span starts at the backward entry, so the one pixel there is
// 1/4 red + 3/4 blue from the backward edge 0 -> 2 (the forward edge 1 -> 2
// holds 1/4 green + 3/4 blue).
TEST(GouraudFillTest, EqualSpanEndsStartAtTheBackwardChain) {
  EXPECT_EQ(GouraudPixels({{1, 0}, {0.5f, 0}, {0.75f, 0.75f}}, {kRed, kGreen, kBlue}),
            (std::vector<std::vector<uint32_t>>{
                {0x00000000u, 0x00000000u, 0xFF00FF00u, 0xFF55AA00u},
                {0x00000000u, 0x00000000u, 0xFF00BF3Fu, 0xFF3F7F3Fu},
                {0x00000000u, 0x00000000u, 0x00000000u, 0xFF007F7Fu},
                {0x00000000u, 0x00000000u, 0x00000000u, 0xFF3F00BFu},
            }));
}

// NaN, infinite and huge UVs: nothing crashes, nothing allocates by the
// row count, and the parts that lie inside the image are still drawn.
TEST_F(LayoutTest, UnboundedUVsAreClippedOrSkipped) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  AddTriangleAt(nan, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f);
  AddTriangleAt(0.0f, 0.0f, inf, 0.0f, 0.0f, 1.0f);
  const OutputFlags everything =
      kOutputObjectColor | kOutputMaterialColor | kOutputShader | kOutputWireframe | kOutputAlphaToClipboard;
  EXPECT_EQ(RenderArt(everything, 4, 4), (Art{"....", "....", "....", "...."}));
  // A triangle reaching 1e30 (past every int) covers the whole image in
  // every fill; its outline still shows the two edges on the border.
  AddTriangleAt(0.0f, 0.0f, 1e30f, 0.0f, 0.0f, 1e30f);
  EXPECT_EQ(RenderArt(kOutputAlphaToClipboard | kOutputShader, 4, 4), (Art{"wwww", "wwww", "wwww", "wwww"}));
  EXPECT_EQ(RenderArt(kOutputAlphaToClipboard | kOutputObjectColor, 4, 4), (Art{"wwww", "wwww", "wwww", "wwww"}));
  EXPECT_EQ(RenderArt(kOutputWireframe, 4, 4), (Art{"wwww", "w...", "w...", "w..."}));
  AddTriangleAt(-3e9f, -3e9f, 3e9f, -3e9f, 0.5f, 3e9f);
  EXPECT_EQ(RenderArt(kOutputAlphaToClipboard | kOutputShader, 4, 4), (Art{"wwww", "wwww", "wwww", "wwww"}));
}

TEST(LayoutImageTest, ImagesAboveTheCapOrEmptyCannotBeCreated) {
  EXPECT_FALSE(LayoutImage(0, 10).valid());
  EXPECT_FALSE(LayoutImage(10, -1).valid());
  EXPECT_FALSE(LayoutImage(65535, 65535).valid());
  EXPECT_FALSE(LayoutImage(16385, 16384).valid());
  LayoutImage invalid(0, 0);
  const PixelPoint square[4] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  invalid.FillPolygon(square, 4, kWhitePixel);
  invalid.SetPixel(0, 0, kWhitePixel);
  EXPECT_EQ(invalid.last_status(), ImageStatus::kInvalidImage);
  LayoutImage image(2, 2);
  image.SetPixel(2, 0, kWhitePixel);
  EXPECT_EQ(image.last_status(), ImageStatus::kOutOfRange);
}

}  // namespace
}  // namespace pavlex::testing

// The stretch measures against faces worked out by hand (angles to 1e-4
// radians: the measure trades the last digits for speed), the colours they
// become, and the per-face colour array of a real host object.
#include "gui/stretch/face_stretch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "bench/grid_mesh.h"
#include "gui/stretch/object_stretch.h"
#include "host/document/host_document.h"
#include "host/obj/obj_file.h"

namespace pavlex::gui::stretch {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

// The unit square in the model, corners counter-clockwise from the origin.
const MQPoint kSquare[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
const int32_t kQuad[4] = {0, 1, 2, 3};
const int32_t kTriangle[3] = {0, 1, 3};

FaceStretch Quad(std::vector<MQCoordinate> uvs) {
  return MeasureFace(kSquare, kQuad, uvs.data(), 4);
}

TEST(FaceStretch, SquareRectangleAndShearedQuad) {
  const FaceStretch same = Quad({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  ASSERT_TRUE(same.valid);
  EXPECT_FLOAT_EQ(same.modelArea, 1);
  EXPECT_FLOAT_EQ(same.uvArea, 1);
  EXPECT_NEAR(same.angleError, 0, 1e-7);

  // 2:1: twice the area, every angle still square.
  const FaceStretch wide = Quad({{0, 0}, {2, 0}, {2, 1}, {0, 1}});
  EXPECT_FLOAT_EQ(wide.uvArea, 2);
  EXPECT_NEAR(wide.angleError, 0, 1e-7);
  EXPECT_FLOAT_EQ(RelativeAreaLog2(wide, 1.0), 1);   // against a mean of 1: one octave up
  EXPECT_FLOAT_EQ(RelativeAreaLog2(wide, 2.0), 0);   // alone, it is its own mean
  EXPECT_FLOAT_EQ(RelativeAreaLog2(wide, 0.25), 2);  // clamped at kAreaRange

  // Sheared by half a unit: same area, each corner off by atan(1/2).
  const FaceStretch sheared = Quad({{0, 0}, {1, 0}, {1.5f, 1}, {0.5f, 1}});
  EXPECT_FLOAT_EQ(sheared.uvArea, 1);
  EXPECT_NEAR(sheared.angleError, std::atan(0.5), 1e-4);  // 26.57 degrees

  // Mirrored in UV: the same measures.
  const FaceStretch mirrored = Quad({{0, 0}, {-2, 0}, {-2, 1}, {0, 1}});
  EXPECT_FLOAT_EQ(mirrored.uvArea, 2);
  EXPECT_NEAR(mirrored.angleError, 0, 1e-7);
}

TEST(FaceStretch, TriangleAngles) {
  // The right isosceles triangle (0,0) (1,0) (0,1) mapped to (0,0) (2,0)
  // (0,1): the right angle stays; the two 45-degree corners become
  // atan(1/2) and atan(2), each 18.43 degrees off.
  const MQCoordinate uvs[3] = {{0, 0}, {2, 0}, {0, 1}};
  const FaceStretch face = MeasureFace(kSquare, kTriangle, uvs, 3);
  ASSERT_TRUE(face.valid);
  EXPECT_FLOAT_EQ(face.modelArea, 0.5f);
  EXPECT_FLOAT_EQ(face.uvArea, 1);
  EXPECT_NEAR(face.angleError, 2 * (45 - std::atan(0.5) / kDegree) / 3 * kDegree, 1e-4);
}

TEST(FaceStretch, DegenerateAndNonFiniteFacesGiveFixedColours) {
  uint8_t rgba[4];
  auto isGrey = [&] {
    return rgba[0] == kUnjudgedGrey && rgba[1] == kUnjudgedGrey && rgba[2] == kUnjudgedGrey;
  };
  // No model area: three corners on a line.
  const MQPoint line[3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}};
  const int32_t corners[3] = {0, 1, 2};
  const MQCoordinate fine[3] = {{0, 0}, {1, 0}, {0, 1}};
  const FaceStretch flat = MeasureFace(line, corners, fine, 3);
  EXPECT_FALSE(flat.valid);
  StretchColour(flat, 1.0, rgba);
  EXPECT_TRUE(isGrey());

  // All UVs on one point: no UV area, every angle gone; full blue, darkened.
  const FaceStretch collapsed = Quad({{0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, 0.5f}});
  ASSERT_TRUE(collapsed.valid);
  EXPECT_EQ(collapsed.uvArea, 0);
  EXPECT_NEAR(collapsed.angleError, 90 * kDegree, 1e-6);
  EXPECT_FLOAT_EQ(RelativeAreaLog2(collapsed, 1.0), -kAreaRange);
  StretchColour(collapsed, 1.0, rgba);
  EXPECT_GT(rgba[2], rgba[0]);

  // NaN and infinite UVs or positions: not judged.
  const float nan = std::nanf(""), inf = INFINITY;
  for (const FaceStretch& bad :
       {Quad({{nan, 0}, {1, 0}, {1, 1}, {0, 1}}), Quad({{0, 0}, {inf, 0}, {1, 1}, {0, 1}}),
        Quad({{0, 0}, {1e38f, 0}, {1e38f, 1e38f}, {-1e38f, 1e38f}})}) {
    StretchColour(bad, 1.0, rgba);
    if (bad.valid) {
      EXPECT_TRUE(std::isfinite(bad.uvArea) && std::isfinite(bad.angleError));
    } else {
      EXPECT_TRUE(isGrey());
    }
  }
  const MQPoint far[4] = {{nan, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  const MQCoordinate square[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  EXPECT_FALSE(MeasureFace(far, kQuad, square, 4).valid);
  // Two corners, and a mean that cannot be judged.
  EXPECT_FALSE(MeasureFace(kSquare, kQuad, square, 2).valid);
  for (const double mean : {0.0, -1.0, double(nan), double(inf)}) {
    StretchColour(Quad({{0, 0}, {1, 0}, {1, 1}, {0, 1}}), mean, rgba);
    EXPECT_TRUE(isGrey()) << mean;
  }
}

TEST(StretchScale, WhiteWhereTrueBlueSmallRedLargeDarkWhereSheared) {
  uint8_t rgba[4];
  StretchScale(0, 0, rgba);
  EXPECT_EQ((std::vector<int>{rgba[0], rgba[1], rgba[2], rgba[3]}), (std::vector<int>{255, 255, 255, 255}));
  StretchScale(-1, 0, rgba);
  EXPECT_EQ((std::vector<int>{rgba[0], rgba[1], rgba[2]}), (std::vector<int>{40, 90, 230}));
  StretchScale(1, 0, rgba);
  EXPECT_EQ((std::vector<int>{rgba[0], rgba[1], rgba[2]}), (std::vector<int>{225, 45, 35}));
  StretchScale(0, 1, rgba);
  EXPECT_EQ(rgba[0], 77);  // 255 * 0.3
  StretchScale(std::nanf(""), std::nanf(""), rgba);
  EXPECT_EQ(rgba[0], 255);
}

TEST(ObjectStretchColours, OneColourPerFaceInFaceOrder) {
  // Two unit squares side by side: the first mapped to a 0.1 square, the
  // second to a 0.2 square (four times the area); a deleted third face.
  const char* text =
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 0 0\nv 2 1 0\n"
      "vt 0 0\nvt 0.1 0\nvt 0.1 0.1\nvt 0 0.1\nvt 0.5 0\nvt 0.7 0\nvt 0.7 0.2\nvt 0.5 0.2\n"
      "f 1/1 2/2 3/3 4/4\nf 2/5 5/6 6/7 3/8\nf 1/1 2/2 3/3\n";
  host::ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjText(text, "two.obj", "", &import, &error)) << error;
  host::HostObject* object = import.document->object(import.document->currentObject());
  ASSERT_NE(object, nullptr);
  ASSERT_TRUE(object->deleteFace(2, false));
  std::vector<FaceStretch> scratch;
  std::vector<uint8_t> colours;
  ObjectStretchColours(*object, &scratch, &colours);
  ASSERT_EQ(colours.size(), 3u * 4u);
  // Mean ratio 0.05 / 2 = 0.025: the first is 0.4 of it (bluish), the
  // second 1.6 (reddish).
  EXPECT_LT(colours[0], colours[2]);
  EXPECT_GT(colours[4], colours[6]);
  EXPECT_EQ(colours[3], 255);
  EXPECT_EQ(colours[11], 0);
  uint8_t expected[4];
  StretchColour(scratch[0], 0.025, expected);
  EXPECT_EQ(std::vector<uint8_t>(colours.begin(), colours.begin() + 4),
            std::vector<uint8_t>(expected, expected + 4));
  EXPECT_NEAR(RelativeAreaLog2(scratch[1], 0.025), std::log2(1.6), 1e-5);
}

TEST(ObjectStretchColours, SlicedOverThreadsEqualsOneFaceAtATime) {
  // Enough faces for the work to be split; a grid cut into islands, some
  // UVs then pulled about so that faces differ.
  bench::GridShape grid;
  grid.n = 530;
  grid.islandsPerSide = 3;
  host::ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjText(bench::MakeGridObj(grid), "grid.obj", "", &import, &error)) << error;
  host::HostObject* object = import.document->object(import.document->currentObject());
  for (int32_t f = 0; f < object->faceCount(); f += 7) {
    const MQCoordinate uv = object->faceUVs(f)[0];
    object->setUV(f, 0, {uv.u + 0.001f * static_cast<float>(f % 5), uv.v});
  }
  std::vector<FaceStretch> scratch;
  std::vector<uint8_t> colours;
  ObjectStretchColours(*object, &scratch, &colours);
  AreaSums sums;
  std::vector<FaceStretch> serial;
  for (int32_t f = 0; f < object->faceCount(); ++f) {
    serial.push_back(MeasureFace(&object->position(0), object->faceVertices(f), object->faceUVs(f), 4));
    sums.add(serial.back());
  }
  ASSERT_EQ(colours.size(), serial.size() * 4);
  size_t differing = 0;
  for (size_t f = 0; f < serial.size(); ++f) {
    uint8_t expected[4];
    StretchColour(serial[f], sums.meanRatio(), expected);
    differing += !std::equal(expected, expected + 4, colours.begin() + static_cast<ptrdiff_t>(f) * 4);
  }
  EXPECT_EQ(differing, 0u);
}

}  // namespace
}  // namespace pavlex::gui::stretch

// The 3D view's camera, projection and picking, without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/view3d_math.h"

namespace pavlex::gui {
namespace {

constexpr float kEps = 1e-4f;

Viewport View() { return {100, 50, 400, 200}; }  // off the window's origin, twice as wide as high

TEST(View3dCamera, YawZeroLooksDownMinusZAndTheAxesStayOrthonormal) {
  Camera camera;
  camera.yaw = 0, camera.pitch = 0, camera.distance = 10;
  const Vec3 eye = EyePosition(camera);
  EXPECT_NEAR(eye.z, 10, kEps);
  EXPECT_NEAR(eye.x, 0, kEps);
  for (const float yaw : {0.0f, 37.0f, 200.0f}) {
    for (const float pitch : {-80.0f, 0.0f, 45.0f}) {
      camera.yaw = yaw, camera.pitch = pitch;
      Vec3 r, u, b;
      CameraAxes(camera, &r, &u, &b);
      EXPECT_NEAR(Length(r), 1, kEps);
      EXPECT_NEAR(Length(u), 1, kEps);
      EXPECT_NEAR(Dot(r, u), 0, kEps);
      EXPECT_NEAR(Dot(u, b), 0, kEps);
      EXPECT_GT(u.y, 0) << "up stays up while the pitch is short of 90";
      // Positive pitch looks down: the eye is above the target.
      EXPECT_EQ(EyePosition(camera).y > 0, pitch > 0);
    }
  }
}

TEST(View3dCamera, TheTargetProjectsToTheCentreAndFramedBoxesFitInBothProjections) {
  for (const bool ortho : {false, true}) {
    Camera camera;
    camera.orthographic = ortho;
    camera.yaw = 33, camera.pitch = 21;
    const Vec3 lo{-3, 1, 2}, hi{5, 2, 4};
    FrameBox(&camera, lo, hi, View().width / View().height);
    const Mat4 vp = Multiply(ProjectionMatrix(camera, 2, 10), ViewMatrix(camera));
    float x = 0, y = 0, depth = 0;
    ASSERT_TRUE(ProjectToPixel(vp, View(), camera.target, &x, &y, &depth));
    EXPECT_NEAR(x, 300, 0.01);
    EXPECT_NEAR(y, 150, 0.01);
    EXPECT_GT(depth, -1);
    EXPECT_LT(depth, 1);
    for (int i = 0; i < 8; ++i) {
      const Vec3 corner{(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
      ASSERT_TRUE(ProjectToPixel(vp, View(), corner, &x, &y));
      EXPECT_TRUE(x >= 100 && x <= 500 && y >= 50 && y <= 250) << "corner " << i << " at " << x << "," << y;
    }
  }
}

TEST(View3dCamera, PointsBehindTheEyeHaveNoPixelInThePinholeView) {
  Camera camera;
  camera.yaw = 0, camera.pitch = 0, camera.distance = 5;
  const Mat4 vp = Multiply(ProjectionMatrix(camera, 2, 1), ViewMatrix(camera));
  float x = 0, y = 0;
  EXPECT_FALSE(ProjectToPixel(vp, View(), {0, 0, 8}, &x, &y));
  EXPECT_TRUE(ProjectToPixel(vp, View(), {0, 0, 2}, &x, &y));
}

// A pixel's ray passes through the point that projects to that pixel, in
// both projections: picking and drawing agree.
TEST(View3dCamera, ThePixelRayGoesThroughThePointDrawnAtThatPixel) {
  for (const bool ortho : {false, true}) {
    Camera camera;
    camera.orthographic = ortho;
    camera.target = {1, 2, 3};
    camera.yaw = 140, camera.pitch = -30, camera.distance = 7;
    const Mat4 vp = Multiply(ProjectionMatrix(camera, 2, 5), ViewMatrix(camera));
    const Vec3 point{2.5f, 1.0f, 2.0f};
    float x = 0, y = 0;
    ASSERT_TRUE(ProjectToPixel(vp, View(), point, &x, &y));
    const Ray ray = PixelRay(camera, View(), x, y);
    const Vec3 toPoint = Sub(point, ray.origin);
    const float along = Dot(toPoint, ray.direction);
    EXPECT_GT(along, 0);
    EXPECT_NEAR(Length(Sub(toPoint, Scale(ray.direction, along))), 0, 1e-3) << (ortho ? "ortho" : "persp");
  }
}

TEST(View3dCamera, OrbitWrapsTheYawAndHoldsThePitchPanFollowsTheCursor) {
  Camera camera;
  camera.yaw = 10, camera.pitch = 80;
  OrbitCamera(&camera, 100, 100, 0.5f);  // 50 degrees each way
  EXPECT_NEAR(camera.yaw, 320, kEps);
  EXPECT_EQ(camera.pitch, kMaxPitch);
  OrbitCamera(&camera, -100, -1000, 0.5f);
  EXPECT_NEAR(camera.yaw, 10, kEps);
  EXPECT_EQ(camera.pitch, kMinPitch);

  camera = Camera();
  camera.yaw = 0, camera.pitch = 0, camera.distance = 10;
  const Mat4 before = Multiply(ProjectionMatrix(camera, 2, 1), ViewMatrix(camera));
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  ASSERT_TRUE(ProjectToPixel(before, View(), {0, 0, 0}, &x0, &y0));
  PanCamera(&camera, View(), 30, -20);
  const Mat4 after = Multiply(ProjectionMatrix(camera, 2, 1), ViewMatrix(camera));
  ASSERT_TRUE(ProjectToPixel(after, View(), {0, 0, 0}, &x1, &y1));
  EXPECT_NEAR(x1 - x0, 30, 0.01);
  EXPECT_NEAR(y1 - y0, -20, 0.01);
}

TEST(View3dPicking, RayTriangleHitsInsideFromEitherSideAndMissesOutsideAndBehind) {
  const Vec3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
  float t = 0;
  EXPECT_TRUE(RayTriangle({{0.2f, 0.2f, 5}, {0, 0, -1}}, a, b, c, &t));
  EXPECT_NEAR(t, 5, kEps);
  EXPECT_TRUE(RayTriangle({{0.2f, 0.2f, -5}, {0, 0, 1}}, a, b, c, &t)) << "the back side counts";
  EXPECT_FALSE(RayTriangle({{0.6f, 0.6f, 5}, {0, 0, -1}}, a, b, c, &t)) << "beyond the hypotenuse";
  EXPECT_FALSE(RayTriangle({{0.2f, 0.2f, 5}, {0, 0, 1}}, a, b, c, &t)) << "behind the origin";
  EXPECT_FALSE(RayTriangle({{0.2f, 0.2f, 5}, {1, 0, 0}}, a, b, c, &t)) << "parallel";
  EXPECT_FALSE(RayTriangle({{0.2f, 0.2f, 5}, {0, 0, -1}}, a, b, Vec3{2, 0, 0}, &t)) << "degenerate";
}

TEST(View3dPicking, SegmentDistanceClampsToTheEnds) {
  EXPECT_FLOAT_EQ(SegmentDistanceSquared(5, 3, 0, 0, 10, 0), 9);
  EXPECT_FLOAT_EQ(SegmentDistanceSquared(-3, 4, 0, 0, 10, 0), 25);
  EXPECT_FLOAT_EQ(SegmentDistanceSquared(13, 4, 0, 0, 10, 0), 25);
  EXPECT_FLOAT_EQ(SegmentDistanceSquared(1, 1, 2, 2, 2, 2), 2) << "a segment of no length is its point";
}

// Two faces drawn as pixels (a quad and a triangle), corners:
//
//   0(0,0)  1(10,0)        4(30,0)
//   3(0,10) 2(10,10)   5(25,10)  6(35,10)
TEST(View3dPicking, BoxesSelectPointsInsideFacesByTheirMeanLinesWithBothEnds) {
  const std::vector<float> xy = {0, 0, 10, 0, 10, 10, 0, 10, 30, 0, 25, 10, 35, 10};
  const std::vector<uint32_t> faceStart = {0, 4, 7};
  const PixelBox box{12, -1, -1, 11};  // corners given the wrong way round
  EXPECT_EQ(PointsInBox(box, xy), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(FacesInBox(box, xy, faceStart), (std::vector<int32_t>{0}));
  EXPECT_EQ(LinesInBox(box, xy, faceStart), (std::vector<uint32_t>{0, 1, 2, 3}));
  // Half the quad: its mean (5, 5) is outside; one line has both ends in.
  const PixelBox left{-1, -1, 4, 11};
  EXPECT_TRUE(FacesInBox(left, xy, faceStart).empty());
  EXPECT_EQ(LinesInBox(left, xy, faceStart), (std::vector<uint32_t>{3}));
  // The triangle's mean (30, 6.67), its closing line 6 -> 4 included.
  const PixelBox right{24, -1, 36, 11};
  EXPECT_EQ(FacesInBox(right, xy, faceStart), (std::vector<int32_t>{1}));
  EXPECT_EQ(LinesInBox(right, xy, faceStart), (std::vector<uint32_t>{4, 5, 6}));
  // A corner behind the eye (NaN) is in no box, and neither is its face.
  std::vector<float> behind = xy;
  behind[0] = behind[1] = std::nanf("");
  EXPECT_EQ(PointsInBox(box, behind), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_TRUE(FacesInBox(box, behind, faceStart).empty());
}

TEST(View3dStandIn, ClusteringKeepsAFlatGridFlatAndDropsTrianglesWithinACell) {
  // A 20 x 20 grid of quads in z = 0, two triangles each.
  constexpr int n = 20;
  std::vector<float> positions;
  for (int y = 0; y <= n; ++y) {
    for (int x = 0; x <= n; ++x) positions.insert(positions.end(), {float(x), float(y), 0});
  }
  std::vector<uint32_t> triangles;
  for (uint32_t y = 0; y < n; ++y) {
    for (uint32_t x = 0; x < n; ++x) {
      const uint32_t i = y * (n + 1) + x;
      triangles.insert(triangles.end(), {i, i + 1, i + n + 2, i, i + n + 2, i + n + 1});
    }
  }
  std::vector<float> moved;
  const std::vector<uint32_t> kept = ClusterTriangles(positions, triangles, 4, &moved);
  EXPECT_LT(kept.size(), triangles.size() / 8);
  EXPECT_GT(kept.size(), 0u);
  ASSERT_EQ(moved.size(), positions.size());
  for (size_t i = 0; i < moved.size(); i += 3) {
    EXPECT_EQ(moved[i + 2], 0.0f);
    EXPECT_GE(moved[i], 0.0f);
    EXPECT_LE(moved[i], float(n));
  }
  // A cell per corner: nothing moves, nothing goes.
  const std::vector<uint32_t> all = ClusterTriangles(positions, triangles, 4 * n, &moved);
  EXPECT_EQ(all, triangles);
  EXPECT_EQ(moved, positions);
}

}  // namespace
}  // namespace pavlex::gui

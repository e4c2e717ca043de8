// The 3D view's camera, projection and picking, as plain functions of
// plain values so they can be tested without a window or a GPU.
//
// Conventions: world space is the document's (y up). Matrices are column
// major, as OpenGL takes them. Pixels are window pixels with y down, and a
// viewport is where the view sits in the window. Angles are degrees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pavlex::gui {

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

struct Mat4 {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // column major
};

struct Viewport {
  float x = 0, y = 0, width = 1, height = 1;  // window pixels, y down
};

// An orbit camera: it looks at `target` from `distance` away, turned by
// `yaw` about the world's y axis (0: looking along -z) and tilted by
// `pitch` (positive: looking down from above). The orthographic view shows
// as much around the target as the pinhole one does, so switching
// keeps the picture's size there.
struct Camera {
  Vec3 target;
  float yaw = 30;
  float pitch = 25;
  float distance = 5;  // world units, > 0
  float fovY = 40;     // vertical field of view of the pinhole view
  bool orthographic = false;
};

constexpr float kMinPitch = -89.0f, kMaxPitch = 89.0f;  // keeps the up vector defined

Vec3 Add(Vec3 a, Vec3 b);
Vec3 Sub(Vec3 a, Vec3 b);
Vec3 Scale(Vec3 a, float s);
float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
float Length(Vec3 a);

// The camera's unit axes in world space: right, up, and back (from the
// target towards the eye).
void CameraAxes(const Camera& camera, Vec3* right, Vec3* up, Vec3* back);
Vec3 EyePosition(const Camera& camera);
// Half the height of what the view shows at the target's distance.
float HalfHeightAtTarget(const Camera& camera);

Mat4 Multiply(const Mat4& a, const Mat4& b);
Mat4 ViewMatrix(const Camera& camera);
// Near and far planes come from the scene's bounding radius about the
// target, so depth precision follows the model rather than fixed numbers.
Mat4 ProjectionMatrix(const Camera& camera, float widthOverHeight, float sceneRadius);

// Where a world point lands in the window; false when it lies behind the
// eye (pinhole view) and has no pixel. `depth` grows away from the eye.
bool ProjectToPixel(const Mat4& viewProjection, const Viewport& viewport, Vec3 point, float* px, float* py,
                    float* depth = nullptr);

struct Ray {
  Vec3 origin;
  Vec3 direction;  // unit length
};
// The ray through a window pixel: from the eye (pinhole view) or from the
// plane through the eye parallel to the view (orthographic).
Ray PixelRay(const Camera& camera, const Viewport& viewport, float px, float py);

// Möller and Trumbore, "Fast, minimum storage ray-triangle intersection"
// (1997). Both sides of the triangle count; `t` is the distance along the
// ray. False for a miss, a hit behind the origin or a degenerate triangle.
bool RayTriangle(const Ray& ray, Vec3 a, Vec3 b, Vec3 c, float* t);

// Squared pixel distance from (px, py) to the segment a-b.
float SegmentDistanceSquared(float px, float py, float ax, float ay, float bx, float by);

// Turns the camera by a mouse drag: `degreesPerPixel` per pixel, the pitch
// held inside [kMinPitch, kMaxPitch] and the yaw kept in [0, 360).
void OrbitCamera(Camera* camera, float dxPixels, float dyPixels, float degreesPerPixel);
// Moves the target so the point under the cursor at the target's depth
// follows the cursor.
void PanCamera(Camera* camera, const Viewport& viewport, float dxPixels, float dyPixels);
// Fits the bounding box [lo, hi] in the view, keeping the direction of view.
void FrameBox(Camera* camera, Vec3 lo, Vec3 hi, float widthOverHeight);

// --- box selection ---------------------------------------------------------------

struct PixelBox {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // any two opposite corners
};
bool BoxContains(const PixelBox& box, float px, float py);

// The elements a box selects, from points already projected (x, y per
// point; NaN for a point behind the eye, which no box selects):
//   vertices: those inside the box;
//   lines:    those whose two ends are inside;
//   faces:    those whose corners' mean is inside.
// Every element counts, whether or not others hide it: the box sees
// through the model, as the UV view's box sees through overlapping UVs.
std::vector<int32_t> PointsInBox(const PixelBox& box, const std::vector<float>& xy);
// For faces and lines `xy` holds a point per corner and `faceStart` each
// face's first corner, then one past the last corner. Faces are answered
// by their position in `faceStart`, lines by their first corner (the line
// runs from it to the next corner of its face).
std::vector<int32_t> FacesInBox(const PixelBox& box, const std::vector<float>& xy,
                                const std::vector<uint32_t>& faceStart);
std::vector<uint32_t> LinesInBox(const PixelBox& box, const std::vector<float>& xy,
                                 const std::vector<uint32_t>& faceStart);

// --- a coarse stand-in for the camera in motion -------------------------------------

// Vertex clustering (Rossignac and Borrel, "Multi-resolution 3D
// approximations for rendering complex scenes", 1993): every corner moves
// to the mean of the corners in its cell of a grid `cells` cells along the
// box's longest side, and triangles whose corners share a cell go. Returns
// the kept triangles (three corner indices each) and writes the moved
// positions (3 floats per corner) to `moved`.
std::vector<uint32_t> ClusterTriangles(const std::vector<float>& positions, const std::vector<uint32_t>& triangles,
                                       int cells, std::vector<float>* moved);

}  // namespace pavlex::gui

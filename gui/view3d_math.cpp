#include "gui/view3d_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pavlex::gui {
namespace {

constexpr float kDegrees = 3.14159265358979f / 180.0f;

}  // namespace

Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Scale(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

void CameraAxes(const Camera& camera, Vec3* right, Vec3* up, Vec3* back) {
  const float yaw = camera.yaw * kDegrees, pitch = camera.pitch * kDegrees;
  // Yaw 0, pitch 0 looks along -z, so the eye sits on +z.
  *back = {std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
  *right = {std::cos(yaw), 0, -std::sin(yaw)};
  *up = Cross(*back, *right);
}

Vec3 EyePosition(const Camera& camera) {
  Vec3 right, up, back;
  CameraAxes(camera, &right, &up, &back);
  return Add(camera.target, Scale(back, camera.distance));
}

float HalfHeightAtTarget(const Camera& camera) {
  return camera.distance * std::tan(camera.fovY * kDegrees / 2);
}

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 out;
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[col * 4 + k];
      out.m[col * 4 + row] = sum;
    }
  }
  return out;
}

Mat4 ViewMatrix(const Camera& camera) {
  Vec3 right, up, back;
  CameraAxes(camera, &right, &up, &back);
  const Vec3 eye = EyePosition(camera);
  Mat4 view;
  const Vec3 rows[3] = {right, up, back};
  for (int r = 0; r < 3; ++r) {
    view.m[0 * 4 + r] = rows[r].x;
    view.m[1 * 4 + r] = rows[r].y;
    view.m[2 * 4 + r] = rows[r].z;
    view.m[3 * 4 + r] = -Dot(rows[r], eye);
  }
  return view;
}

Mat4 ProjectionMatrix(const Camera& camera, float widthOverHeight, float sceneRadius) {
  const float radius = std::max(sceneRadius, 1e-6f);
  // The scene lies within `radius` of... wherever the target is; the
  // planes leave room for a target placed off the model.
  const float farPlane = camera.distance + 2 * radius + camera.distance * 0.01f;
  float nearPlane = std::max(camera.distance - 2 * radius, farPlane * 1e-4f);
  Mat4 p;
  const float halfH = HalfHeightAtTarget(camera), halfW = halfH * widthOverHeight;
  if (camera.orthographic) {
    // Orthographic depth may start behind the eye: nothing is behind it.
    nearPlane = camera.distance - 2 * radius - 1;
    p.m[0] = 1 / halfW;
    p.m[5] = 1 / halfH;
    p.m[10] = -2 / (farPlane - nearPlane);
    p.m[14] = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return p;
  }
  const float f = camera.distance / halfH;  // cot(fovY / 2)
  p.m[0] = f / widthOverHeight;
  p.m[5] = f;
  p.m[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
  p.m[11] = -1;
  p.m[14] = 2 * farPlane * nearPlane / (nearPlane - farPlane);
  p.m[15] = 0;
  return p;
}

bool ProjectToPixel(const Mat4& vp, const Viewport& viewport, Vec3 point, float* px, float* py, float* depth) {
  const float* m = vp.m;
  const float x = m[0] * point.x + m[4] * point.y + m[8] * point.z + m[12];
  const float y = m[1] * point.x + m[5] * point.y + m[9] * point.z + m[13];
  const float w = m[3] * point.x + m[7] * point.y + m[11] * point.z + m[15];
  if (!(w > 1e-12f)) return false;
  *px = viewport.x + (x / w + 1) * 0.5f * viewport.width;
  *py = viewport.y + (1 - y / w) * 0.5f * viewport.height;
  if (depth != nullptr) {
    const float z = m[2] * point.x + m[6] * point.y + m[10] * point.z + m[14];
    *depth = z / w;
  }
  return true;
}

Ray PixelRay(const Camera& camera, const Viewport& viewport, float px, float py) {
  Vec3 right, up, back;
  CameraAxes(camera, &right, &up, &back);
  const float halfH = HalfHeightAtTarget(camera), halfW = halfH * viewport.width / viewport.height;
  const float nx = (px - viewport.x) / viewport.width * 2 - 1, ny = 1 - (py - viewport.y) / viewport.height * 2;
  const Vec3 onTargetPlane =
      Add(camera.target, Add(Scale(right, nx * halfW), Scale(up, ny * halfH)));
  Ray ray;
  if (camera.orthographic) {
    ray.direction = Scale(back, -1);
    ray.origin = Add(onTargetPlane, Scale(back, camera.distance));
  } else {
    ray.origin = EyePosition(camera);
    const Vec3 d = Sub(onTargetPlane, ray.origin);
    ray.direction = Scale(d, 1 / Length(d));
  }
  return ray;
}

bool RayTriangle(const Ray& ray, Vec3 a, Vec3 b, Vec3 c, float* t) {
  const Vec3 e1 = Sub(b, a), e2 = Sub(c, a);
  const Vec3 p = Cross(ray.direction, e2);
  const float det = Dot(e1, p);
  if (std::fabs(det) < 1e-20f) return false;
  const float inv = 1 / det;
  const Vec3 s = Sub(ray.origin, a);
  const float u = Dot(s, p) * inv;
  if (u < 0 || u > 1) return false;
  const Vec3 q = Cross(s, e1);
  const float v = Dot(ray.direction, q) * inv;
  if (v < 0 || u + v > 1) return false;
  const float hit = Dot(e2, q) * inv;
  if (!(hit >= 0)) return false;
  *t = hit;
  return true;
}

float SegmentDistanceSquared(float px, float py, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float lengthSquared = dx * dx + dy * dy;
  float s = lengthSquared > 0 ? ((px - ax) * dx + (py - ay) * dy) / lengthSquared : 0;
  s = std::clamp(s, 0.0f, 1.0f);
  const float ex = ax + s * dx - px, ey = ay + s * dy - py;
  return ex * ex + ey * ey;
}

void OrbitCamera(Camera* camera, float dxPixels, float dyPixels, float degreesPerPixel) {
  float yaw = std::fmod(camera->yaw - dxPixels * degreesPerPixel, 360.0f);
  if (yaw < 0) yaw += 360.0f;
  if (yaw >= 360.0f) yaw = 0;
  camera->yaw = yaw;
  camera->pitch = std::clamp(camera->pitch + dyPixels * degreesPerPixel, kMinPitch, kMaxPitch);
}

void PanCamera(Camera* camera, const Viewport& viewport, float dxPixels, float dyPixels) {
  Vec3 right, up, back;
  CameraAxes(*camera, &right, &up, &back);
  const float worldPerPixel = 2 * HalfHeightAtTarget(*camera) / viewport.height;
  camera->target = Add(camera->target, Add(Scale(right, -dxPixels * worldPerPixel), Scale(up, dyPixels * worldPerPixel)));
}

void FrameBox(Camera* camera, Vec3 lo, Vec3 hi, float widthOverHeight) {
  camera->target = Scale(Add(lo, hi), 0.5f);
  float radius = Length(Sub(hi, lo)) / 2;
  if (!(radius > 1e-6f)) radius = 1;  // a point or nothing: a unit around it
  // The bounding sphere fits the narrower of the two fields of view.
  const float halfFov = camera->fovY * kDegrees / 2;
  const float tanHalf = std::tan(halfFov) * std::min(1.0f, widthOverHeight);
  camera->distance = radius * 1.1f / std::sin(std::atan(tanHalf));
}

bool BoxContains(const PixelBox& box, float px, float py) {
  return px >= std::min(box.x0, box.x1) && px <= std::max(box.x0, box.x1) && py >= std::min(box.y0, box.y1) &&
         py <= std::max(box.y0, box.y1);
}

std::vector<int32_t> PointsInBox(const PixelBox& box, const std::vector<float>& xy) {
  std::vector<int32_t> out;
  for (size_t i = 0; i + 1 < xy.size(); i += 2) {
    if (BoxContains(box, xy[i], xy[i + 1])) out.push_back(static_cast<int32_t>(i / 2));
  }
  return out;
}

std::vector<int32_t> FacesInBox(const PixelBox& box, const std::vector<float>& xy,
                                const std::vector<uint32_t>& faceStart) {
  std::vector<int32_t> out;
  for (size_t f = 0; f + 1 < faceStart.size(); ++f) {
    const uint32_t first = faceStart[f], n = faceStart[f + 1] - first;
    if (n == 0) continue;
    float sx = 0, sy = 0;
    for (uint32_t c = first; c < first + n; ++c) sx += xy[2 * c], sy += xy[2 * c + 1];
    // A corner behind the eye makes the mean NaN: the face is not selected.
    if (BoxContains(box, sx / static_cast<float>(n), sy / static_cast<float>(n))) out.push_back(static_cast<int32_t>(f));
  }
  return out;
}

std::vector<uint32_t> LinesInBox(const PixelBox& box, const std::vector<float>& xy,
                                 const std::vector<uint32_t>& faceStart) {
  std::vector<uint32_t> out;
  for (size_t f = 0; f + 1 < faceStart.size(); ++f) {
    const uint32_t first = faceStart[f], n = faceStart[f + 1] - first;
    for (uint32_t c = 0; c < n; ++c) {
      const uint32_t a = first + c, b = first + (c + 1) % n;
      if (BoxContains(box, xy[2 * a], xy[2 * a + 1]) && BoxContains(box, xy[2 * b], xy[2 * b + 1])) out.push_back(a);
    }
  }
  return out;
}

std::vector<uint32_t> ClusterTriangles(const std::vector<float>& positions, const std::vector<uint32_t>& triangles,
                                       int cells, std::vector<float>* moved) {
  const size_t corners = positions.size() / 3;
  moved->assign(positions.begin(), positions.end());
  if (corners == 0 || cells < 1) return triangles;
  float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
  float hi[3] = {-lo[0], -lo[1], -lo[2]};
  for (size_t i = 0; i < corners; ++i) {
    for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], positions[3 * i + k]), hi[k] = std::max(hi[k], positions[3 * i + k]);
  }
  const float side = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2], 1e-30f});
  const float perCell = static_cast<float>(cells) / side;
  // Cell keys in an open-addressing table sized to a power of two at least
  // twice the corners; a key packs three 21-bit cell coordinates.
  size_t size = 16;
  while (size < 2 * corners) size *= 2;
  constexpr uint64_t kEmpty = ~uint64_t{0};
  std::vector<uint64_t> keys(size, kEmpty);
  std::vector<uint32_t> slotOfCell(size, 0);
  std::vector<uint32_t> cellOf(corners);
  std::vector<double> sums;  // x, y, z per cell
  std::vector<uint32_t> counts;
  for (size_t i = 0; i < corners; ++i) {
    uint64_t key = 0;
    for (int k = 0; k < 3; ++k) {
      const auto c = static_cast<uint64_t>(std::clamp((positions[3 * i + k] - lo[k]) * perCell, 0.0f, 2097151.0f));
      key = (key << 21) | c;
    }
    size_t at = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 20) & (size - 1);
    while (keys[at] != kEmpty && keys[at] != key) at = (at + 1) & (size - 1);
    if (keys[at] == kEmpty) {
      keys[at] = key;
      slotOfCell[at] = static_cast<uint32_t>(counts.size());
      counts.push_back(0);
      sums.insert(sums.end(), {0.0, 0.0, 0.0});
    }
    const uint32_t cell = slotOfCell[at];
    cellOf[i] = cell;
    ++counts[cell];
    for (int k = 0; k < 3; ++k) sums[3 * cell + k] += positions[3 * i + k];
  }
  for (size_t i = 0; i < corners; ++i) {
    const uint32_t cell = cellOf[i];
    for (int k = 0; k < 3; ++k) (*moved)[3 * i + k] = static_cast<float>(sums[3 * cell + k] / counts[cell]);
  }
  std::vector<uint32_t> kept;
  for (size_t t = 0; t + 2 < triangles.size(); t += 3) {
    const uint32_t a = cellOf[triangles[t]], b = cellOf[triangles[t + 1]], c = cellOf[triangles[t + 2]];
    if (a == b || b == c || a == c) continue;
    kept.insert(kept.end(), {triangles[t], triangles[t + 1], triangles[t + 2]});
  }
  return kept;
}

}  // namespace pavlex::gui

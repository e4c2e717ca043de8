#include "gui/stretch/face_stretch.h"

#include <algorithm>
#include <cmath>

namespace pavlex::gui::stretch {
namespace {

constexpr float kHalfPi = 1.5707963f;
constexpr float kPi = 3.14159265f;

// atan2(|y|, x) in [0, pi], within 2e-5 radians: a minimax polynomial for
// atan on [0, 1] (Abramowitz and Stegun 4.4.49 form) and the octant
// symmetries. The library's atan2 cost more than the rest of a face, and a
// display has no use for the last digits.
inline float AbsAtan2(float y, float x) {
  const float ay = std::fabs(y), ax = std::fabs(x);
  const float high = std::max(ax, ay), low = std::min(ax, ay);
  if (!(high > 0)) return 0;
  const float z = low / high, z2 = z * z;
  float r = z * (0.99997726f +
                 z2 * (-0.33262347f +
                       z2 * (0.19354346f + z2 * (-0.11643287f + z2 * (0.05265332f + z2 * -0.01172120f)))));
  if (ay > ax) r = kHalfPi - r;
  if (x < 0) r = kPi - r;
  return r;
}

}  // namespace

// Single precision throughout: the result is a colour, and a million faces
// must fit in a frame. Areas are summed from the first corner (a fan), so
// that a face far from the origin keeps its digits.
FaceStretch MeasureFace(const MQPoint* positions, const int32_t* vertices, const MQCoordinate* uvs,
                        int32_t corners) {
  FaceStretch out;
  if (corners < 3) return out;
  const MQPoint& origin = positions[vertices[0]];
  const MQCoordinate& uvOrigin = uvs[0];
  float nx = 0, ny = 0, nz = 0, uvTwice = 0;
  float px = positions[vertices[1]].x - origin.x, py = positions[vertices[1]].y - origin.y,
        pz = positions[vertices[1]].z - origin.z;
  float pu = uvs[1].u - uvOrigin.u, pv = uvs[1].v - uvOrigin.v;
  for (int32_t c = 2; c < corners; ++c) {
    const MQPoint& q = positions[vertices[c]];
    const float qx = q.x - origin.x, qy = q.y - origin.y, qz = q.z - origin.z;
    const float qu = uvs[c].u - uvOrigin.u, qv = uvs[c].v - uvOrigin.v;
    nx += py * qz - pz * qy;
    ny += pz * qx - px * qz;
    nz += px * qy - py * qx;
    uvTwice += pu * qv - pv * qu;
    px = qx, py = qy, pz = qz, pu = qu, pv = qv;
  }
  const float modelArea = 0.5f * std::sqrt(nx * nx + ny * ny + nz * nz);
  const float uvArea = 0.5f * std::fabs(uvTwice);
  if (!std::isfinite(modelArea) || !std::isfinite(uvArea) || !(modelArea > 0)) return out;

  float errorSum = 0;
  for (int32_t c = 0; c < corners; ++c) {
    const int32_t prev = c == 0 ? corners - 1 : c - 1, next = c + 1 == corners ? 0 : c + 1;
    const MQPoint& o = positions[vertices[c]];
    const MQPoint& p = positions[vertices[prev]];
    const MQPoint& q = positions[vertices[next]];
    const float ax = p.x - o.x, ay = p.y - o.y, az = p.z - o.z;
    const float bx = q.x - o.x, by = q.y - o.y, bz = q.z - o.z;
    const float cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
    const float modelSin = std::sqrt(cx * cx + cy * cy + cz * cz), modelCos = ax * bx + ay * by + az * bz;
    const float au = uvs[prev].u - uvs[c].u, av = uvs[prev].v - uvs[c].v;
    const float bu = uvs[next].u - uvs[c].u, bv = uvs[next].v - uvs[c].v;
    const float uvSin = std::fabs(au * bv - av * bu), uvCos = au * bu + av * bv;
    if ((au == 0 && av == 0) || (bu == 0 && bv == 0)) {
      errorSum += kHalfPi;  // the corner's UV angle is gone
      continue;
    }
    if (modelSin == 0 && modelCos == 0) continue;  // a repeated vertex: no angle to keep
    // The difference of the two angles in one atan2, scale-free, so
    // neither side needs normalising.
    errorSum += AbsAtan2(modelSin * uvCos - modelCos * uvSin, modelCos * uvCos + modelSin * uvSin);
  }
  out.modelArea = modelArea;
  out.uvArea = uvArea;
  out.angleError = std::isfinite(errorSum) ? errorSum / static_cast<float>(corners) : kHalfPi;
  out.valid = true;
  return out;
}

double AreaSums::meanRatio() const {
  const double ratio = model > 0 ? uv / model : 0;
  return std::isfinite(ratio) ? ratio : 0;
}

float RelativeAreaLog2(const FaceStretch& face, double meanRatio) {
  if (!face.valid || !(meanRatio > 0) || !std::isfinite(meanRatio)) return 0;
  if (!(face.uvArea > 0)) return -kAreaRange;
  const float relative = std::log2(face.uvArea / face.modelArea / static_cast<float>(meanRatio));
  if (std::isnan(relative)) return 0;
  return std::clamp(relative, -kAreaRange, kAreaRange);
}

void StretchScale(float t, float k, uint8_t rgba[4]) {
  // NaN falls to the neutral end of either scale.
  t = t > 0 ? std::min(t, 1.0f) : t < 0 ? std::max(t, -1.0f) : 0.0f;
  k = k > 0 ? std::min(k, 1.0f) : 0.0f;
  static constexpr float kBlue[3] = {40, 90, 230}, kRed[3] = {225, 45, 35};
  const float* far = t < 0 ? kBlue : kRed;
  const float amount = std::fabs(t), shade = 1.0f - 0.7f * k;
  for (int i = 0; i < 3; ++i) {
    const float value = (255.0f + (far[i] - 255.0f) * amount) * shade;
    rgba[i] = static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f) + 0.5f);
  }
  rgba[3] = 255;
}

void StretchColour(const FaceStretch& face, double meanRatio, uint8_t rgba[4]) {
  if (!face.valid || !(meanRatio > 0) || !std::isfinite(meanRatio)) {
    rgba[0] = rgba[1] = rgba[2] = kUnjudgedGrey;
    rgba[3] = 255;
    return;
  }
  StretchScale(RelativeAreaLog2(face, meanRatio) / kAreaRange, face.angleError / kAngleRange, rgba);
}

}  // namespace pavlex::gui::stretch

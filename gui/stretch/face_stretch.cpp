#include "gui/stretch/face_stretch.h"

#include <algorithm>
#include <cmath>

namespace pavlex::gui::stretch {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

}  // namespace

FaceStretch MeasureFace(const MQPoint* positions, const int32_t* vertices, const MQCoordinate* uvs,
                        int32_t corners) {
  FaceStretch out;
  if (corners < 3) return out;
  // Newell's vector area for the model (any planar or near-planar
  // polygon), the shoelace sum for UV.
  double nx = 0, ny = 0, nz = 0, uvTwice = 0;
  bool finite = true;
  for (int32_t c = 0; c < corners; ++c) {
    const MQPoint& p = positions[vertices[c]];
    const MQPoint& q = positions[vertices[c + 1 == corners ? 0 : c + 1]];
    const MQCoordinate& a = uvs[c];
    const MQCoordinate& b = uvs[c + 1 == corners ? 0 : c + 1];
    nx += (double(p.y) - q.y) * (double(p.z) + q.z);
    ny += (double(p.z) - q.z) * (double(p.x) + q.x);
    nz += (double(p.x) - q.x) * (double(p.y) + q.y);
    uvTwice += double(a.u) * b.v - double(b.u) * a.v;
    finite = finite && std::isfinite(a.u) && std::isfinite(a.v) && std::isfinite(p.x) && std::isfinite(p.y) &&
             std::isfinite(p.z);
  }
  const double modelArea = 0.5 * std::sqrt(nx * nx + ny * ny + nz * nz);
  const double uvArea = 0.5 * std::fabs(uvTwice);
  if (!finite || !std::isfinite(modelArea) || !std::isfinite(uvArea) || !(modelArea > 0)) return out;

  double errorSum = 0;
  for (int32_t c = 0; c < corners; ++c) {
    const int32_t prev = c == 0 ? corners - 1 : c - 1, next = c + 1 == corners ? 0 : c + 1;
    const MQPoint& o = positions[vertices[c]];
    const MQPoint& p = positions[vertices[prev]];
    const MQPoint& q = positions[vertices[next]];
    const double ax = double(p.x) - o.x, ay = double(p.y) - o.y, az = double(p.z) - o.z;
    const double bx = double(q.x) - o.x, by = double(q.y) - o.y, bz = double(q.z) - o.z;
    const double cx = ay * bz - az * by, cy = az * bx - ax * bz, cz = ax * by - ay * bx;
    const double modelSin = std::sqrt(cx * cx + cy * cy + cz * cz), modelCos = ax * bx + ay * by + az * bz;
    const double au = double(uvs[prev].u) - uvs[c].u, av = double(uvs[prev].v) - uvs[c].v;
    const double bu = double(uvs[next].u) - uvs[c].u, bv = double(uvs[next].v) - uvs[c].v;
    const double uvSin = std::fabs(au * bv - av * bu), uvCos = au * bu + av * bv;
    if ((au == 0 && av == 0) || (bu == 0 && bv == 0)) {
      errorSum += kHalfPi;
      continue;
    }
    if (modelSin == 0 && modelCos == 0) continue;  // a repeated vertex: no angle to keep
    // The difference of the two angles in one atan2, scale-free, so
    // neither side needs normalising.
    errorSum += std::fabs(std::atan2(modelSin * uvCos - modelCos * uvSin, modelCos * uvCos + modelSin * uvSin));
  }
  out.modelArea = static_cast<float>(modelArea);
  out.uvArea = static_cast<float>(uvArea);
  out.angleError = static_cast<float>(errorSum / corners);
  out.valid = std::isfinite(out.modelArea) && std::isfinite(out.uvArea) && out.modelArea > 0;
  return out;
}

double AreaSums::meanRatio() const {
  const double ratio = model > 0 ? uv / model : 0;
  return std::isfinite(ratio) ? ratio : 0;
}

float RelativeAreaLog2(const FaceStretch& face, double meanRatio) {
  if (!face.valid || !(meanRatio > 0) || !std::isfinite(meanRatio)) return 0;
  if (!(face.uvArea > 0)) return -kAreaRange;
  const double relative = std::log2(double(face.uvArea) / face.modelArea / meanRatio);
  if (!std::isfinite(relative)) return relative > 0 ? kAreaRange : -kAreaRange;
  return static_cast<float>(std::clamp(relative, double(-kAreaRange), double(kAreaRange)));
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
    rgba[i] = static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 255.0f)));
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

// Single-precision 3D vector steps shared by the shape placements. Each
// step evaluates left to right in float, so results are reproducible bit
// for bit wherever float arithmetic is evaluated in float.
#pragma once

#include <cmath>

#include "hostapi/mq_types.h"

namespace pavlex {

inline MQPoint Sub(MQPoint a, MQPoint b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline float Dot(MQPoint a, MQPoint b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline MQPoint Cross(MQPoint a, MQPoint b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(MQPoint a) {
  return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}
inline MQPoint Divide(MQPoint a, float d) {
  return {a.x / d, a.y / d, a.z / d};
}
// The unit vector along `a`, or the zero vector when |a| is not above 0
// (a NaN length is not above 0 either).
inline MQPoint NormalizedOrZero(MQPoint a) {
  const float length = Length(a);
  if (length > 0.0f) return Divide(a, length);
  return {0.0f, 0.0f, 0.0f};
}

}  // namespace pavlex

// "Rotate" of the Numerical Manipulate dialog: turns the selected UV
// vertices of the current object about a pivot by an angle in degrees.
#pragma once

#include <cmath>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"

namespace pavlex {

struct UVRotation {
  float c;  // cosine of the angle
  float s;  // sine of the angle
};

// The angle goes to radians in single precision (pi as 3.1415927); cosine
// and sine are taken in double precision and rounded to single.
inline UVRotation UVRotationFromDegrees(float degrees) {
  const float theta = degrees * 3.1415927f / 180.0f;
  return {static_cast<float>(std::cos(static_cast<double>(theta))),
          static_cast<float>(std::sin(static_cast<double>(theta)))};
}

// uv turned about `pivot`, in single precision.
inline UVPair RotateUVPoint(UVPair uv, UVPair pivot, UVRotation r) {
  const float x = uv.u - pivot.u;
  const float y = uv.v - pivot.v;
  return {pivot.u + (x * r.c - y * r.s), pivot.v + (x * r.s + y * r.c)};
}

// Rotates every selected corner of the current object and rewrites every
// live face, changed or not. Always true, also with no current object.
// Shows the wait cursor while it runs.
bool RotateUV(MQDocument document, float degrees, UVPair pivot);

}  // namespace pavlex

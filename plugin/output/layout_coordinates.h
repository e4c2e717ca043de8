// The three mappings from UV to pixel coordinates, one per layer. They are
// deliberately kept apart: an outline and a fill of the same face may differ
// by a pixel, and pictures made before must stay identical.
//
// v grows downward (v = 0 is the top row); nothing is flipped. In all three
// a corner at u = 1 maps to column `width`, one past the last column, and
// likewise v = 1 to row `height`. Results saturate to the int32 range, so a
// huge UV lands far outside the image rather than wrapping into it.
#pragma once

#include <cmath>
#include <cstdint>

#include "plugin/output/saturate.h"

namespace pavlex {

// Wireframe: trunc(width * u) in single precision.
inline int32_t WireframeCoordinate(int32_t size, float uv) {
  return SaturateToInt32(static_cast<float>(size) * uv);
}

// Flat fill: trunc(roundf((width - 0.1f) * u)), all in single precision.
inline int32_t FlatFillCoordinate(int32_t size, float uv) {
  return SaturateToInt32(std::roundf((static_cast<float>(size) - 0.1f) * uv));
}

// Shaded fill: round(u * (width - 0.1)) in double precision. `scale` is
// width - 0.1, computed once by the caller.
inline int32_t ShadedCoordinate(double scale, float uv) {
  return SaturateToInt32(std::round(static_cast<double>(uv) * scale));
}

}  // namespace pavlex

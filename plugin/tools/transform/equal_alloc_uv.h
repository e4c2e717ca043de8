// "Equal Alloc": spaces the distinct coordinates of the selected UV vertices
// of the current object evenly along the longer side of their bounds.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/tools/transform/uv_bounds.h"

namespace pavlex {

// The axis and extent the coordinates are spaced over.
struct EqualAllocAxis {
  bool alongV;  // v when the bounds are strictly taller than wide, else u
  float base;   // vmin or umin
  float span;   // vmax - vmin or umax - umin, in single precision
};

EqualAllocAxis ChooseEqualAllocAxis(const UVBounds& bounds);

// Takes the distinct values k0 < ... < k(n-1) of the selected corners'
// coordinate on the chosen axis (0.0 and -0.0 are one value; NaN is none,
// and such corners stay where they are) and moves every corner holding km,
// 0 < m < n - 1, to m * step + base with step = span / (n - 1), all in
// single precision. The smallest and largest values stay. Fewer than three
// values, or a span so large that the step is not finite, change nothing.
// Each moved corner costs one read and one write of its face. Always
// answers true; the wait cursor shows while the bounds are computed.
bool EqualAllocUV(MQDocument document);

}  // namespace pavlex

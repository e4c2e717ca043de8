// "Invert": mirrors the selected UV vertices of the current object about the
// centre of a rectangle, or about the centre of the unit square.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"
#include "plugin/tools/transform/uv_bounds.h"

namespace pavlex {

// Codes passed by the window and the Numerical Manipulate dialog. Any other
// value (0 when a handler cannot match its button) moves nothing.
enum class InvertDirection : int32_t {
  kHorizontal = 1,  // mirror u
  kVertical = 2,    // mirror v
};

// (0.5, 0.5), or the rectangle's centre computed in single precision.
inline UVPair InvertPivot(const UVBounds& bounds, bool aboutUnitCentre) {
  if (aboutUnitCentre) return {0.5f, 0.5f};
  return {(bounds.umin + bounds.umax) * 0.5f, (bounds.vmin + bounds.vmax) * 0.5f};
}

// uv mirrored about the pivot as (c + c) - x, which keeps the result exact
// wherever the doubled centre is.
inline UVPair InvertUVPoint(UVPair uv, UVPair pivot, InvertDirection direction) {
  switch (direction) {
    case InvertDirection::kHorizontal:
      uv.u = (pivot.u + pivot.u) - uv.u;
      break;
    case InvertDirection::kVertical:
      uv.v = (pivot.v + pivot.v) - uv.v;
      break;
  }
  return uv;
}

// Mirrors every selected corner of the current object and rewrites every
// live face, changed or not. Always answers true, also with no current
// object. Shows the wait cursor while it runs.
bool InvertUV(MQDocument document, const UVBounds& bounds, InvertDirection direction, bool aboutUnitCentre);

}  // namespace pavlex

// "Snap": flattens the selected UV vertices of the current object onto one
// side of a rectangle.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"
#include "plugin/tools/transform/uv_bounds.h"

namespace pavlex {

// Codes passed by the window's "T", "B", "L", "R" buttons. Smaller v is the
// top. Any other value moves nothing.
enum class SnapSide : int32_t {
  kTop = 1,     // v = vmin
  kBottom = 2,  // v = vmax
  kLeft = 3,    // u = umin
  kRight = 4,   // u = umax
};

inline UVPair SnapUVPoint(UVPair uv, const UVBounds& bounds, SnapSide side) {
  switch (side) {
    case SnapSide::kTop:
      uv.v = bounds.vmin;
      break;
    case SnapSide::kBottom:
      uv.v = bounds.vmax;
      break;
    case SnapSide::kLeft:
      uv.u = bounds.umin;
      break;
    case SnapSide::kRight:
      uv.u = bounds.umax;
      break;
  }
  return uv;
}

// Moves every selected corner of the current object onto the side and
// rewrites every live face, changed or not. Always answers true, also with
// no current object. Shows the wait cursor while it runs.
bool SnapUV(MQDocument document, const UVBounds& bounds, SnapSide side);

}  // namespace pavlex

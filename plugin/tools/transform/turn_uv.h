// "Trun": reflects the selected UV vertices of the current object across one
// side of a rectangle.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"
#include "plugin/tools/transform/uv_bounds.h"

namespace pavlex {

// Codes passed by the window's "U", "D", "L", "R" buttons. Smaller v is up,
// so "U" reflects across vmin. Any other value moves nothing.
enum class TurnDirection : int32_t {
  kUp = 1,     // across v = vmin
  kDown = 2,   // across v = vmax
  kLeft = 3,   // across u = umin
  kRight = 4,  // across u = umax
};

// uv reflected across the chosen side as (s + s) - x.
inline UVPair TurnUVPoint(UVPair uv, const UVBounds& bounds, TurnDirection direction) {
  switch (direction) {
    case TurnDirection::kUp:
      uv.v = (bounds.vmin + bounds.vmin) - uv.v;
      break;
    case TurnDirection::kDown:
      uv.v = (bounds.vmax + bounds.vmax) - uv.v;
      break;
    case TurnDirection::kLeft:
      uv.u = (bounds.umin + bounds.umin) - uv.u;
      break;
    case TurnDirection::kRight:
      uv.u = (bounds.umax + bounds.umax) - uv.u;
      break;
  }
  return uv;
}

// Reflects every selected corner of the current object and rewrites every
// live face, changed or not. Always answers true, also with no current
// object. Shows the wait cursor while it runs.
bool TurnUV(MQDocument document, const UVBounds& bounds, TurnDirection direction);

}  // namespace pavlex

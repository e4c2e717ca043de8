#include "plugin/tools/transform/uv_bounds.h"

#include <limits>

#include "platform/wait_cursor.h"
#include "plugin/tools/transform/selected_uv_walk.h"

namespace pavlex {

UVBounds SelectionUVBounds(const cmq::CMQObject& object) {
  platform::WaitCursor wait;
  constexpr float kLargest = std::numeric_limits<float>::max();
  UVBounds bounds = {kLargest, -kLargest, kLargest, -kLargest};
  bool found = false;
  ForEachSelectedUV(object, [&](const UVPair& uv) {
    found = true;
    // Written as comparisons that a NaN fails, so a NaN never takes a bound.
    if (uv.u < bounds.umin) bounds.umin = uv.u;
    if (bounds.umax < uv.u) bounds.umax = uv.u;
    if (uv.v < bounds.vmin) bounds.vmin = uv.v;
    if (bounds.vmax < uv.v) bounds.vmax = uv.v;
  });
  return found ? bounds : kUnitUVSquare;
}

}  // namespace pavlex

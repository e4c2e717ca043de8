#include "tools/transform/uv_bounds.h"

#include <limits>

#include "platform/wait_cursor.h"
#include "tools/transform/selected_uv_walk.h"

namespace pavlex {

UVBounds SelectionUVBounds(const cmq::CMQObject& object) {
  platform::WaitCursor wait;
  constexpr float kLargest = std::numeric_limits<float>::max();
  UVBounds bounds = {kLargest, -kLargest, kLargest, -kLargest};
  bool found = false;
  ForEachSelectedUV(object, [&](float u, float v) {
    found = true;
    // Written as comparisons that a NaN fails, so a NaN never takes a bound.
    if (u < bounds.umin) bounds.umin = u;
    if (bounds.umax < u) bounds.umax = u;
    if (v < bounds.vmin) bounds.vmin = v;
    if (bounds.vmax < v) bounds.vmax = v;
  });
  return found ? bounds : kUnitUVSquare;
}

}  // namespace pavlex

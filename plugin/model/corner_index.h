// Corner arithmetic of a face with a known corner count.
#pragma once

#include <cstdint>

namespace pavlex {

// The corner position `corner` names on a face of `count` > 0 corners:
// negative positions count back from the end (-1 is the last corner) and
// positions past the end wrap around. Any int32 input gives 0..count-1.
constexpr int32_t WrapCornerIndex(int32_t corner, int32_t count) {
  if (corner < 0) corner += count;
  corner %= count;
  return corner < 0 ? corner + count : corner;
}

}  // namespace pavlex

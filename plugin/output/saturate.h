// Float-to-int conversions that stay defined for every input.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace pavlex {

// Truncation toward zero, saturated to the int32 range; NaN gives 0. UVs
// may be anything the host stores, and a plain cast of an out-of-range
// value is undefined behaviour.
inline int32_t SaturateToInt32(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace pavlex

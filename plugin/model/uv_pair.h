// One UV coordinate, in the layout the host exchanges per-corner UV arrays.
#pragma once

#include <cmath>
#include <cstddef>
#include <type_traits>

#include "hostapi/mq_types.h"

namespace pavlex {

struct UVPair {
  float u;
  float v;
};

// Arrays of UVPair are handed to the host as arrays of MQCoordinate.
static_assert(std::is_standard_layout_v<UVPair> && std::is_trivially_copyable_v<UVPair>);
static_assert(sizeof(UVPair) == sizeof(MQCoordinate) && alignof(UVPair) == alignof(MQCoordinate));
static_assert(offsetof(UVPair, u) == offsetof(MQCoordinate, u) &&
              offsetof(UVPair, v) == offsetof(MQCoordinate, v));

// Both coordinates are numbers a file can hold: neither NaN nor infinite.
inline bool IsFiniteUV(UVPair uv) {
  return std::isfinite(uv.u) && std::isfinite(uv.v);
}

inline MQCoordinate* AsHostCoordinates(UVPair* pairs) {
  return reinterpret_cast<MQCoordinate*>(pairs);
}
inline const MQCoordinate* AsHostCoordinates(const UVPair* pairs) {
  return reinterpret_cast<const MQCoordinate*>(pairs);
}

}  // namespace pavlex

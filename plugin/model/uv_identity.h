// When two face corners are one UV vertex.
//
// The host keeps one UV per face corner, so what the user sees as one UV
// vertex is several corners of the same model vertex whose UVs coincide.
// Every tool that joins, splits or sews UV vertices decides with this rule,
// so they all agree on where the seams are.
#pragma once

#include <cfloat>
#include <cstdint>

#include "plugin/model/uv_pair.h"

namespace pavlex {

// Squared UV distance below which two UVs coincide: one unit below the float
// nearest to 1e-8, so the effective radius is 1e-4 in UV units.
constexpr float kUVCoincidenceSquared = 9.999999e-9f;
static_assert(__builtin_bit_cast(uint32_t, kUVCoincidenceSquared) == 0x322BCC76u,
              "the tolerance is defined by its bit pattern");
// Each step below must round to float as it goes; x87 arithmetic would keep
// extended precision and move the boundary (32-bit builds need SSE maths).
static_assert(FLT_EVAL_METHOD == 0, "float arithmetic must be evaluated in float");

// True when the squared distance, computed in single precision throughout,
// is strictly below the tolerance. A NaN or infinite coordinate never
// coincides with anything, itself included.
inline bool UVsCoincide(UVPair a, UVPair b) {
  const float du = a.u - b.u;
  const float dv = a.v - b.v;
  const float duSquared = du * du;
  const float dvSquared = dv * dv;
  const float distanceSquared = duSquared + dvSquared;
  return distanceSquared < kUVCoincidenceSquared;
}

// Corners of different model vertices are never one UV vertex, however
// close their UVs.
inline bool IsSameUVVertex(int32_t vertexA, UVPair a, int32_t vertexB, UVPair b) {
  return vertexA == vertexB && UVsCoincide(a, b);
}

}  // namespace pavlex

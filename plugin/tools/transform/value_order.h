// Selected corners put in the order of one coordinate's value, for Equal
// Alloc: equal values side by side in the order they were collected.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "plugin/model/uv_vertex_key.h"

namespace pavlex {

// An unsigned number that orders like the float: equal for 0.0 and -0.0,
// ascending with the value. NaN must be kept out beforehand; no other
// value gives 0.
inline uint32_t FloatOrderBits(float value) {
  if (value == 0.0f) value = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

struct OrderedCorner {
  uint32_t order;  // FloatOrderBits of the corner's value
  UVVertexRef corner;
};

// Sorts ascending by `order`, stable. A selection holds few distinct values
// next to its corner count (a grid's rows or columns), so each value is
// ranked once and the corners are dealt out by rank in one pass; with very
// many distinct values a radix sort does it in linear time instead.
void SortByValueOrder(std::vector<OrderedCorner>& entries);

}  // namespace pavlex

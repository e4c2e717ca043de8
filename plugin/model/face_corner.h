// One corner of a face together with its UV.
#pragma once

#include <cstdint>

namespace pavlex {

// Lists of corners are always in the face's corner order 0..n-1.
struct FaceCorner {
  int32_t vertex;  // vertex index in the object
  float u;
  float v;
};

}  // namespace pavlex

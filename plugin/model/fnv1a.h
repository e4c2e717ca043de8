// 32-bit FNV-1a (Fowler, Noll, Vo), the hash of the model layer's keys.
#pragma once

#include <cstdint>

namespace pavlex {

constexpr uint32_t kFnv1aOffsetBasis = 0x811C9DC5u;
constexpr uint32_t kFnv1aPrime = 16777619u;

// Hashes the low `byteCount` bytes of `value`, low byte first, so the result
// does not depend on the machine's byte order.
constexpr uint32_t Fnv1a32(uint64_t value, int byteCount) {
  uint32_t hash = kFnv1aOffsetBasis;
  for (int i = 0; i < byteCount; ++i) {
    hash ^= static_cast<uint32_t>((value >> (8 * i)) & 0xFFu);
    hash *= kFnv1aPrime;
  }
  return hash;
}

}  // namespace pavlex

// A UV vertex addressed as a face corner, as a pair and as a packed key.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/model/fnv1a.h"

namespace pavlex {

struct UVVertexRef {
  int32_t face;  // face index, or a face unique ID where the user says so
  int32_t corner;
};

// The face in the high 32 bits and the corner in the low 32 bits. Keys are
// compared as whole 64-bit values.
struct UVVertexKey {
  uint64_t value;

  // face * 2^32 + corner, modulo 2^64.
  static constexpr UVVertexKey Pack(int32_t face, int32_t corner) {
    return {static_cast<uint64_t>(static_cast<int64_t>(face)) * 0x100000000ull +
            static_cast<uint64_t>(static_cast<int64_t>(corner))};
  }
  static constexpr UVVertexKey Pack(UVVertexRef ref) { return Pack(ref.face, ref.corner); }

  // The face comes from the high 32 bits and the corner from the low 32
  // bits. Keeping only 16 bits of the corner would silently address corner
  // c mod 65536 on a larger polygon; for every smaller corner the two agree.
  constexpr UVVertexRef Unpack() const {
    return {static_cast<int32_t>(static_cast<uint32_t>(value >> 32)),
            static_cast<int32_t>(static_cast<uint32_t>(value & 0xFFFFFFFFu))};
  }

  friend constexpr bool operator==(UVVertexKey a, UVVertexKey b) { return a.value == b.value; }
  friend constexpr bool operator!=(UVVertexKey a, UVVertexKey b) { return a.value != b.value; }
};

// For hash sets and maps of keys: FNV-1a over the key's 8 bytes.
struct UVVertexKeyHash {
  size_t operator()(UVVertexKey key) const { return Fnv1a32(key.value, 8); }
};

}  // namespace pavlex

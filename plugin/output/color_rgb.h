// A colour as the host hands it out, and its conversion to a pixel.
#pragma once

#include <cstdint>

#include "plugin/output/saturate.h"

namespace pavlex {

struct ColorRGB {
  float r, g, b;  // nominally 0..1
};

// Each channel byte is the low 8 bits of trunc(channel * 255), computed in
// single precision; alpha is opaque. Channels that are NaN or too large for
// an int are saturated first instead of hitting undefined conversions.
inline uint32_t ColorToPixel(const ColorRGB& c) {
  const auto channel = [](float value) {
    return static_cast<uint32_t>(SaturateToInt32(value * 255.0f)) & 0xFFu;
  };
  return 0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

}  // namespace pavlex

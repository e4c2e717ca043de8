// Decoded pictures for the window: one 8-bit RGBA layout whatever the file
// was, row 0 at the top, so the UV view and any other view sample one kind.
#pragma once

#include <cstdint>
#include <vector>

namespace pavlex::gui::texture {

struct RgbaImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;  // width * height * 4 bytes: r, g, b, a; row 0 is the top row

  bool empty() const { return width <= 0 || height <= 0; }
};

// The largest picture a reader accepts, checked against the header before
// any pixel memory is set aside: a texture for a view has no use for more,
// and a damaged or hostile header must not ask for gigabytes.
constexpr int32_t kMaxImageSide = 16384;                      // pixels, either way
constexpr uint64_t kMaxImagePixels = uint64_t{1} << 26;       // 64 Mi pixels: 256 MiB decoded
constexpr uint64_t kMaxImageFileBytes = uint64_t{256} << 20;  // the file itself

// A built-in checker: `cells` by `cells` squares over `size` pixels, light
// squares tinted from red (left) to green (top) so that mirrored or turned
// islands show, dark squares grey. Row 0 is the top (v = 1).
RgbaImage CheckerImage(int32_t size = 256, int32_t cells = 8);

}  // namespace pavlex::gui::texture

// BMP by hand: the header is read field by field in little-endian order,
// every offset and row is checked against the file's size in 64-bit
// arithmetic before it is read.
#include <cstdint>

#include "gui/texture/image_readers.h"
#include "gui/texture/image_size.h"

namespace pavlex::gui::texture {
namespace {

uint32_t U32(std::string_view b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t U16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

constexpr size_t kFileHeader = 14;
constexpr uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

}  // namespace

bool DecodeBmp(std::string_view bytes, RgbaImage* out, std::string* reason) {
  if (bytes.size() < kFileHeader + 40 || bytes.substr(0, 2) != "BM") {
    return Refuse(out, reason, bytes.substr(0, 2) == "BM" ? "truncated BMP header" : "not a BMP file");
  }
  const uint32_t pixelOffset = U32(bytes, 10);
  const uint32_t infoSize = U32(bytes, 14);
  if (infoSize < 40)
    return Refuse(out, reason, "BMP with an old " + std::to_string(infoSize) + "-byte header");
  if (uint64_t(kFileHeader) + infoSize > bytes.size()) return Refuse(out, reason, "truncated BMP header");
  const int32_t width = static_cast<int32_t>(U32(bytes, 18));
  const int32_t rawHeight = static_cast<int32_t>(U32(bytes, 22));
  const uint16_t bits = U16(bytes, 28);
  const uint32_t compression = U32(bytes, 30);
  const uint32_t paletteUsed = U32(bytes, 46);
  const bool topDown = rawHeight < 0;
  const uint64_t height = topDown ? uint64_t(-int64_t(rawHeight)) : uint64_t(rawHeight);
  if (width <= 0 || height == 0) {
    return Refuse(out, reason,
                  "BMP header says " + std::to_string(width) + " x " + std::to_string(rawHeight) + " pixels");
  }
  if (bits != 8 && bits != 24 && bits != 32) {
    return Refuse(out, reason, std::to_string(bits) + "-bit BMP (8, 24 and 32 bits are read)");
  }
  // Masks follow a 40-byte header for BI_BITFIELDS; later headers hold them.
  uint32_t masks[4] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0};
  bool alpha = false;
  if (compression == kBitFields || compression == kAlphaBitFields) {
    const size_t count = compression == kAlphaBitFields || infoSize >= 56 ? 4 : 3;
    if (kFileHeader + 40 + 4 * count > bytes.size()) return Refuse(out, reason, "truncated BMP header");
    for (size_t i = 0; i < count; ++i) masks[i] = U32(bytes, kFileHeader + 40 + 4 * i);
    if (bits != 32 || masks[0] != 0x00FF0000u || masks[1] != 0x0000FF00u || masks[2] != 0x000000FFu ||
        (masks[3] != 0 && masks[3] != 0xFF000000u)) {
      return Refuse(out, reason, "BMP with colour masks other than 8-bit BGRA");
    }
    alpha = masks[3] == 0xFF000000u;
  } else if (compression != kRgb) {
    return Refuse(out, reason, "compressed BMP (only uncompressed files are read)");
  }

  // The palette: 4-byte BGRx entries after the info header.
  uint32_t paletteSize = 0;
  const size_t paletteAt = kFileHeader + infoSize + (compression == kBitFields && infoSize == 40 ? 12 : 0);
  if (bits == 8) {
    paletteSize = paletteUsed == 0 ? 256 : paletteUsed;
    if (paletteSize > 256)
      return Refuse(out, reason, "BMP palette of " + std::to_string(paletteUsed) + " colours");
    if (uint64_t(paletteAt) + uint64_t(paletteSize) * 4 > bytes.size())
      return Refuse(out, reason, "truncated BMP palette");
  }
  if (!CheckImageSize(uint64_t(width), height, reason)) {
    *out = RgbaImage();
    return false;
  }
  const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
  if (pixelOffset > bytes.size() || stride * height > bytes.size() - pixelOffset) {
    return Refuse(out, reason, "truncated BMP: the pixels end early");
  }
  if (!StartImage(uint64_t(width), height, out, reason)) return false;

  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  for (uint64_t fileRow = 0; fileRow < height; ++fileRow) {
    const uint64_t y = topDown ? fileRow : height - 1 - fileRow;
    const uint8_t* in = data + pixelOffset + fileRow * stride;
    uint8_t* to = out->pixels.data() + y * uint64_t(width) * 4;
    for (int32_t x = 0; x < width; ++x, to += 4) {
      if (bits == 8) {
        const uint8_t index = in[x];
        if (index >= paletteSize) {
          return Refuse(out, reason,
                        "BMP pixel uses colour " + std::to_string(index) + " of a palette of " +
                            std::to_string(paletteSize));
        }
        const uint8_t* entry = data + paletteAt + size_t{index} * 4;
        to[0] = entry[2], to[1] = entry[1], to[2] = entry[0], to[3] = 255;
      } else {
        const uint8_t* p = in + size_t(x) * (bits / 8);
        to[0] = p[2], to[1] = p[1], to[2] = p[0];
        to[3] = bits == 32 && alpha ? p[3] : 255;
      }
    }
  }
  return true;
}

}  // namespace pavlex::gui::texture

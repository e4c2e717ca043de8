// TGA by hand: true-colour pictures, plain (type 2) or run-length coded
// (type 10). Runs may cross rows, as the format allows, but never the end
// of the picture or of the file.
#include <cstdint>

#include "gui/texture/image_readers.h"
#include "gui/texture/image_size.h"

namespace pavlex::gui::texture {
namespace {

constexpr size_t kHeader = 18;
constexpr uint8_t kTrueColour = 2, kRunLengthTrueColour = 10;

}  // namespace

bool DecodeTga(std::string_view bytes, RgbaImage* out, std::string* reason) {
  if (bytes.size() < kHeader) return Refuse(out, reason, "truncated TGA header");
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint8_t idLength = data[0], mapType = data[1], type = data[2];
  const uint32_t mapLength = data[5] | data[6] << 8, mapEntryBits = data[7];
  const uint32_t width = data[12] | data[13] << 8, height = data[14] | data[15] << 8;
  const uint8_t depth = data[16], descriptor = data[17];
  if (type != kTrueColour && type != kRunLengthTrueColour) {
    return Refuse(out, reason,
                  "TGA type " + std::to_string(type) + " (types 2 and 10, true colour, are read)");
  }
  if (mapType > 1) return Refuse(out, reason, "TGA with colour map type " + std::to_string(mapType));
  if (depth != 24 && depth != 32)
    return Refuse(out, reason, std::to_string(depth) + "-bit TGA (24 and 32 bits are read)");
  // A true-colour file may still carry a colour map; it is skipped.
  const uint64_t pixelsAt =
      kHeader + idLength + (mapType == 1 ? uint64_t(mapLength) * ((mapEntryBits + 7) / 8) : 0);
  if (pixelsAt > bytes.size()) return Refuse(out, reason, "truncated TGA header");
  const uint32_t channels = depth / 8;
  const uint64_t total = uint64_t(width) * height;
  if (!CheckImageSize(width, height, reason)) {
    *out = RgbaImage();
    return false;
  }
  // The least the pixels can take, checked before they are allocated: a
  // short file with a big header is refused at once.
  const uint64_t least = type == kTrueColour ? total * channels : (total + 127) / 128 * (1 + channels);
  if (least > bytes.size() - pixelsAt) return Refuse(out, reason, "truncated TGA: the pixels end early");
  if (!StartImage(width, height, out, reason)) return false;

  const bool alpha = depth == 32 && (descriptor & 0x0F) != 0;
  const bool rightToLeft = (descriptor & 0x10) != 0, topFirst = (descriptor & 0x20) != 0;
  size_t at = static_cast<size_t>(pixelsAt);
  auto store = [&](uint64_t index, const uint8_t* p) {
    const uint64_t fileRow = index / width, fileColumn = index % width;
    const uint64_t y = topFirst ? fileRow : height - 1 - fileRow;
    const uint64_t x = rightToLeft ? width - 1 - fileColumn : fileColumn;
    uint8_t* to = out->pixels.data() + (y * width + x) * 4;
    to[0] = p[2], to[1] = p[1], to[2] = p[0];
    to[3] = alpha ? p[3] : 255;
  };
  if (type == kTrueColour) {
    for (uint64_t i = 0; i < total; ++i, at += channels) store(i, data + at);
    return true;
  }
  for (uint64_t i = 0; i < total;) {
    if (at >= bytes.size()) return Refuse(out, reason, "truncated TGA: the pixels end early");
    const uint8_t packet = data[at++];
    const uint64_t count = (packet & 0x7F) + 1u;
    if (count > total - i) return Refuse(out, reason, "damaged TGA: a run goes past the last pixel");
    const bool run = (packet & 0x80) != 0;
    const uint64_t need = run ? channels : count * channels;
    if (need > bytes.size() - at) return Refuse(out, reason, "truncated TGA: the pixels end early");
    for (uint64_t k = 0; k < count; ++k) store(i + k, data + at + (run ? 0 : k * channels));
    at += static_cast<size_t>(need);
    i += count;
  }
  return true;
}

}  // namespace pavlex::gui::texture

#include "output/clipboard_output.h"

#include <string>

#include "platform/clipboard.h"
#include "platform/image_encoders.h"

namespace pavlex {

std::vector<uint32_t> ComposeOverBlack(const LayoutImage& image) {
  std::vector<uint32_t> composed;
  if (!image.valid()) return composed;
  const size_t count = static_cast<size_t>(image.width()) * static_cast<size_t>(image.height());
  composed.resize(count);
  const uint32_t* pixels = image.pixels();
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = pixels[i];
    const uint32_t alpha = p >> 24;
    if (alpha == 0xFF) {
      composed[i] = p;
      continue;
    }
    const auto scale = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
    composed[i] = 0xFF000000u | scale((p >> 16) & 0xFF) << 16 | scale((p >> 8) & 0xFF) << 8 | scale(p & 0xFF);
  }
  return composed;
}

bool CopyImageToClipboard(const LayoutImage& image) {
  if (!image.valid()) {
    platform::DebugTrace("clipboard: no image");
    return false;
  }
  const std::vector<uint32_t> composed = ComposeOverBlack(image);
  platform::MemorySink png;
  if (!platform::EncodePngOpaque(composed.data(), image.width(), image.height(), png)) {
    platform::DebugTrace("clipboard: PNG encoding failed");
    return false;
  }
  std::string reason;
  if (!platform::CopyPngToClipboard(png.bytes, &reason)) {
    platform::DebugTrace("clipboard: " + reason);
    return false;
  }
  platform::DebugTrace("ok");
  return true;
}

}  // namespace pavlex

// Fuzzes the window's texture readers. The first byte picks the reader
// (PNG, JPEG, BMP, TGA, or the one DecodeImage picks for a ".tga" name);
// the rest is the file. Any input decodes to a picture within the limits
// whose pixel count matches its size, or is refused with a one-line reason
// and an empty picture; never a crash or a read outside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "gui/texture/image_readers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pavlex::gui::texture;
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  RgbaImage image;
  std::string reason;
  bool ok = false;
  switch (data[0] % 5) {
    case 0:
      ok = DecodePng(bytes, &image, &reason);
      break;
    case 1:
      ok = DecodeJpeg(bytes, &image, &reason);
      break;
    case 2:
      ok = DecodeBmp(bytes, &image, &reason);
      break;
    case 3:
      ok = DecodeTga(bytes, &image, &reason);
      break;
    default:
      ok = DecodeImage(bytes, "fuzz.tga", &image, &reason);
      break;
  }
  if (!ok) {
    if (reason.empty() || reason.find('\n') != std::string::npos || !image.pixels.empty()) std::abort();
    return 0;
  }
  if (image.width <= 0 || image.height <= 0 || image.width > kMaxImageSide || image.height > kMaxImageSide ||
      image.pixels.size() != size_t(image.width) * size_t(image.height) * 4) {
    std::abort();
  }
  return 0;
}

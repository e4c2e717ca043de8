// PNG through libpng's simplified reading interface, which converts every
// colour type and depth to 8-bit RGBA and reports errors as text rather
// than by jumping out of the caller.
#include <png.h>

#include "gui/texture/image_readers.h"
#include "gui/texture/image_size.h"

namespace pavlex::gui::texture {

bool DecodePng(std::string_view bytes, RgbaImage* out, std::string* reason) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size())) {
    std::string message = png.message;
    png_image_free(&png);
    return Refuse(out, reason, "not a readable PNG: " + message);
  }
  if (!StartImage(png.width, png.height, out, reason)) {
    png_image_free(&png);
    return false;
  }
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_finish_read(&png, nullptr, out->pixels.data(), 0, nullptr)) {
    std::string message = png.message;
    png_image_free(&png);
    return Refuse(out, reason, "damaged PNG: " + message);
  }
  return true;
}

}  // namespace pavlex::gui::texture

// Readers for the texture images a material names: PNG and JPEG through
// libpng and libjpeg-turbo, BMP and TGA by hand.
//
// Every reader takes the whole file in memory and either fills `out` or
// answers false with a short reason ("truncated", "8000 x 90000 pixels is
// more than the 16384-pixel side the viewer takes"); `out` is then empty.
// Dimensions are checked against kMaxImageSide and kMaxImagePixels from
// the header, before the pixels are allocated. No input makes a reader read
// outside `bytes` or crash.
//
// BMP: BITMAPINFOHEADER or later, uncompressed (BI_RGB, or BI_BITFIELDS
//      with the usual 8-bit masks) 24- and 32-bit, and 8-bit paletted;
//      bottom-up and top-down. The fourth byte of 32-bit pixels is alpha
//      only with BI_BITFIELDS and an alpha mask; otherwise opaque.
// TGA: types 2 (uncompressed) and 10 (run-length) true-colour, 24 and 32
//      bits, any origin corner.
#pragma once

#include <string>
#include <string_view>

#include "gui/texture/rgba_image.h"

namespace pavlex::gui::texture {

bool DecodePng(std::string_view bytes, RgbaImage* out, std::string* reason);
bool DecodeJpeg(std::string_view bytes, RgbaImage* out, std::string* reason);
bool DecodeBmp(std::string_view bytes, RgbaImage* out, std::string* reason);
bool DecodeTga(std::string_view bytes, RgbaImage* out, std::string* reason);

// Picks the reader by the file's first bytes; TGA, which has no signature,
// when `fileName` ends in ".tga" (any case).
bool DecodeImage(std::string_view bytes, const std::string& fileName, RgbaImage* out, std::string* reason);

// Reads a regular file of at most kMaxImageFileBytes and decodes it. A
// folder, a device or a missing file is refused with the reason the file
// reader gives.
bool ReadImageFile(const std::string& path, RgbaImage* out, std::string* reason);

}  // namespace pavlex::gui::texture

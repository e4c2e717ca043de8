// The BMP writer. Linux writes its own: a 54-byte header (file header and
// a 40-byte info header), then 32-bit pixels, blue, green, red, alpha,
// bottom row first, with no compression. Every common viewer opens this
// form; most ignore the alpha byte. Windows hands the bitmap to the
// system's BMP encoder, whose form is its own (GDI+ under Wine writes
// 24-bit rows, dropping alpha).
#pragma once

#include <string>

#include "platform/byte_sink.h"
#include "plugin/output/layout_image.h"
#include "plugin/output/output_result.h"

namespace pavlex {

// False when the image is invalid or the sink refused bytes.
bool EncodeBMP(const LayoutImage& image, platform::ByteSink& sink);

// The file at `path` (UTF-8), replacing any file atomically.
OutputResult WriteBMP(const LayoutImage& image, const std::string& path);

}  // namespace pavlex

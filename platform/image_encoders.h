// PNG and JPEG encoders for 32-bit pictures, one implementation per
// platform beside this interface.
//
// Pixels are width * height 32-bit values, row-major from the top row, each
// stored as the bytes blue, green, red, alpha (0xAARRGGBB read as a
// little-endian integer). Both encoders are tuned for large, mostly flat
// pictures such as UV layouts: speed first, size second.
#pragma once

#include <cstdint>

#include "platform/byte_sink.h"

namespace pavlex::platform {

// RGBA PNG, alpha kept. False when the encoder failed or the sink refused
// bytes; the sink may then hold a partial stream.
bool EncodePng(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink);

// As EncodePng, but an opaque RGB PNG with the alpha channel dropped (for
// pictures already composed over a background).
bool EncodePngOpaque(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink);

// Baseline JPEG at the encoder's default quality; alpha is dropped.
bool EncodeJpeg(const uint32_t* pixels, int32_t width, int32_t height, ByteSink& sink);

}  // namespace pavlex::platform

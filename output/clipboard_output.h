// The clipboard destination of a layout output.
#pragma once

#include <cstdint>
#include <vector>

#include "output/layout_image.h"

namespace pavlex {

// The picture composed over opaque black: each channel becomes
// (channel * alpha + 127) / 255 and alpha 0xFF, so transparent areas turn
// black and the alpha channel is gone.
std::vector<uint32_t> ComposeOverBlack(const LayoutImage& image);

// Puts the picture, composed over black, on the system clipboard as an
// opaque PNG. Fails silently (false) for an invalid image, without a
// display or without a clipboard tool; with PAVLEX_DEBUG set, stderr gets
// "ok" after a successful copy and the reason of a failure.
bool CopyImageToClipboard(const LayoutImage& image);

}  // namespace pavlex

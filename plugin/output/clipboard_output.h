// The clipboard destination of a layout output.
#pragma once

#include "plugin/output/layout_image.h"

namespace pavlex {

// Puts the picture, composed over opaque black, on the system clipboard
// (see platform/clipboard.h for what each platform places there). Fails
// silently (false) for an invalid image or when the clipboard cannot be
// reached; with PAVLEX_DEBUG set, stderr gets the reason of a failure.
bool CopyImageToClipboard(const LayoutImage& image);

}  // namespace pavlex

// Shared by the readers: the size check every header goes through before
// its pixels are allocated. Private to gui/texture/.
#pragma once

#include <cstdint>
#include <string>

#include "gui/texture/rgba_image.h"

namespace pavlex::gui::texture {

// True when a width x height picture is within the limits; the reason
// otherwise. Allocates nothing.
bool CheckImageSize(uint64_t width, uint64_t height, std::string* reason);

// Sizes `out` for width x height pixels, zeroed, when the picture is
// within the limits; false with the reason otherwise (or when memory runs
// out), `out` then empty.
bool StartImage(uint64_t width, uint64_t height, RgbaImage* out, std::string* reason);

// Empties `out` and says why; always false, for `return Refuse(...)`.
bool Refuse(RgbaImage* out, std::string* reason, std::string text);

}  // namespace pavlex::gui::texture

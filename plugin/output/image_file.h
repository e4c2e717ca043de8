// The one way a rendered picture becomes a file: refused when the picture
// could not be made, otherwise encoded straight into a temporary file that
// replaces the destination only when complete.
#pragma once

#include <cstdint>
#include <string>

#include "platform/atomic_file.h"
#include "plugin/output/layout_image.h"
#include "plugin/output/output_result.h"

namespace pavlex {

// `path` is UTF-8. `encode` writes the whole file into the sink from
// `image`, which is valid whenever `encode` runs.
OutputResult WriteImageFile(const LayoutImage& image, const std::string& path, const platform::FileProducer& encode);

// Why a width x height picture cannot be made: no pixels, beyond
// kMaxLayoutImageBytes, or (for sizes within the cap) no memory for it.
OutputResult ImageNotCreated(int32_t width, int32_t height);

}  // namespace pavlex

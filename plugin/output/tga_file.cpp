#include "plugin/output/atomic_file.h"
#include "plugin/output/tga_writer.h"

namespace pavlex {

bool WriteTGA(const LayoutImage& image, const std::string& path) {
  if (!image.valid() || image.width() > kMaxTgaSide || image.height() > kMaxTgaSide) return false;
  return WriteFileAtomically(path, [&](platform::ByteSink& sink) { return EncodeTGA(image, sink); });
}

}  // namespace pavlex

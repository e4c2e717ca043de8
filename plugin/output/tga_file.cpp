#include "plugin/output/image_file.h"
#include "plugin/output/tga_writer.h"

namespace pavlex {

OutputResult WriteTGA(const LayoutImage& image, const std::string& path) {
  if (image.width() > kMaxTgaSide || image.height() > kMaxTgaSide) return TgaTooLarge();
  return WriteImageFile(image, path, [&](platform::ByteSink& sink) { return EncodeTGA(image, sink); });
}

}  // namespace pavlex

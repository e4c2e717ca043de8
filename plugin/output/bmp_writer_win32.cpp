// BMP on Windows comes from the system's encoder, so the file is whatever
// GDI+ writes for a 32-bit ARGB bitmap (24-bit rows under Wine).
#include "platform/gdiplus_support.h"
#include "plugin/output/bmp_writer.h"
#include "plugin/output/image_file.h"

namespace pavlex {

bool EncodeBMP(const LayoutImage& image, platform::ByteSink& sink) {
  if (!image.valid()) return false;
  return platform::SaveImageToSink(image.bitmap(), L"image/bmp", nullptr, sink);
}

OutputResult WriteBMP(const LayoutImage& image, const std::string& path) {
  return WriteImageFile(image, path, [&](platform::ByteSink& sink) { return EncodeBMP(image, sink); });
}

}  // namespace pavlex

// BMP on Windows comes from the system's encoder, so the file is whatever
// GDI+ writes for a 32-bit ARGB bitmap (24-bit rows under Wine).
#include "platform/gdiplus_support.h"
#include "plugin/output/atomic_file.h"
#include "plugin/output/bmp_writer.h"

namespace pavlex {

bool EncodeBMP(const LayoutImage& image, platform::ByteSink& sink) {
  if (!image.valid()) return false;
  return platform::SaveImageToSink(image.bitmap(), L"image/bmp", nullptr, sink);
}

bool WriteBMP(const LayoutImage& image, const std::string& path) {
  if (!image.valid()) return false;
  return WriteFileAtomically(path, [&](platform::ByteSink& sink) { return EncodeBMP(image, sink); });
}

}  // namespace pavlex

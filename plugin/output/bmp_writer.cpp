#include "plugin/output/bmp_writer.h"

#include <vector>

#include "plugin/output/image_file.h"

namespace pavlex {

namespace {

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  Put16(at, value & 0xFFFF);
  Put16(at + 2, value >> 16);
}

}  // namespace

bool EncodeBMP(const LayoutImage& image, platform::ByteSink& sink) {
  if (!image.valid()) return false;
  const uint32_t width = static_cast<uint32_t>(image.width());
  const uint32_t height = static_cast<uint32_t>(image.height());
  // The image cap (1 GiB) keeps the sizes inside the 32-bit fields.
  const uint32_t pixelBytes = width * height * 4;
  uint8_t header[54] = {};
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, 54 + pixelBytes);  // file size
  Put32(header + 10, 54);              // pixel data offset
  Put32(header + 14, 40);              // info header size
  Put32(header + 18, width);
  Put32(header + 22, height);  // positive: bottom row first
  Put16(header + 26, 1);       // planes
  Put16(header + 28, 32);      // bits per pixel
  Put32(header + 30, 0);       // no compression
  Put32(header + 34, pixelBytes);
  Put32(header + 38, 2835);  // 72 dpi, in pixels per metre
  Put32(header + 42, 2835);
  if (!sink.Write(header, sizeof(header))) return false;
  std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
  for (uint32_t y = height; y-- > 0;) {
    const uint32_t* pixels = image.pixels() + static_cast<size_t>(y) * width;
    for (uint32_t x = 0; x < width; ++x) Put32(row.data() + 4 * x, pixels[x]);
    if (!sink.Write(row.data(), row.size())) return false;
  }
  return true;
}

OutputResult WriteBMP(const LayoutImage& image, const std::string& path) {
  return WriteImageFile(image, path, [&](platform::ByteSink& sink) { return EncodeBMP(image, sink); });
}

}  // namespace pavlex

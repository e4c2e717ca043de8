#include "plugin/output/tga_writer.h"

#include <cstring>
#include <vector>

namespace pavlex {

void BuildTgaHeader(uint32_t width, uint32_t height, uint8_t (&header)[kTgaHeaderBytes]) {
  std::memset(header, 0, sizeof(header));
  header[2] = 2;
  header[12] = static_cast<uint8_t>(width & 0xFF);
  header[13] = static_cast<uint8_t>(width >> 8);
  header[14] = static_cast<uint8_t>(height & 0xFF);
  header[15] = static_cast<uint8_t>(height >> 8);
  header[16] = 32;
  header[17] = 0x08;
}

void BuildTgaFooter(uint8_t (&footer)[kTgaFooterBytes]) {
  std::memset(footer, 0, sizeof(footer));
  std::memcpy(footer + 8, "TRUEVISION-XFILE.", 17);
}

OutputResult TgaTooLarge() {
  return {OutputStatus::kImageNotCreated, "TGA pictures are at most 65535 pixels wide and high"};
}

bool EncodeTGA(const LayoutImage& image, platform::ByteSink& sink) {
  if (!image.valid() || image.width() > kMaxTgaSide || image.height() > kMaxTgaSide) return false;
  const uint32_t width = static_cast<uint32_t>(image.width());
  const uint32_t height = static_cast<uint32_t>(image.height());
  uint8_t header[kTgaHeaderBytes];
  BuildTgaHeader(width, height, header);
  if (!sink.Write(header, sizeof(header))) return false;
  std::vector<uint8_t> row(static_cast<size_t>(width) * 4);
  for (uint32_t y = height; y-- > 0;) {
    const uint32_t* pixels = image.pixels() + static_cast<size_t>(y) * width;
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t p = pixels[x];
      row[4 * x + 0] = static_cast<uint8_t>(p);
      row[4 * x + 1] = static_cast<uint8_t>(p >> 8);
      row[4 * x + 2] = static_cast<uint8_t>(p >> 16);
      row[4 * x + 3] = static_cast<uint8_t>(p >> 24);
    }
    if (!sink.Write(row.data(), row.size())) return false;
  }
  uint8_t footer[kTgaFooterBytes];
  BuildTgaFooter(footer);
  return sink.Write(footer, sizeof(footer));
}

}  // namespace pavlex

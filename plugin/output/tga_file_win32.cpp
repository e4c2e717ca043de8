// The TGA file on Windows: the rows come from GDI+ bottom up (the bitmap
// flipped and locked for reading), already in the file's byte order, and
// go to a temporary file that replaces the destination only when complete.
#include "plugin/output/image_file.h"
#include "plugin/output/tga_writer.h"

namespace pavlex {

OutputResult WriteTGA(const LayoutImage& image, const std::string& path) {
  if (image.width() > kMaxTgaSide || image.height() > kMaxTgaSide) return TgaTooLarge();
  const uint32_t width = static_cast<uint32_t>(image.width());
  const uint32_t height = static_cast<uint32_t>(image.height());
  return WriteImageFile(image, path, [&](platform::ByteSink& sink) {
    uint8_t header[kTgaHeaderBytes];
    BuildTgaHeader(width, height, header);
    uint8_t footer[kTgaFooterBytes];
    BuildTgaFooter(footer);
    // A locked 32-bit ARGB row is blue, green, red, alpha per pixel: the
    // TGA order, so rows are written as they are.
    const auto writeRows = [&](const uint8_t* row, ptrdiff_t stride) {
      for (uint32_t y = 0; y < height; ++y, row += stride) {
        if (!sink.Write(row, static_cast<size_t>(width) * 4)) return false;
      }
      return true;
    };
    return sink.Write(header, sizeof(header)) && image.ReadBottomUp(writeRows) && sink.Write(footer, sizeof(footer));
  });
}

}  // namespace pavlex

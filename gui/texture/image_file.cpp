#include <algorithm>
#include <cctype>
#include <new>

#include "gui/texture/image_readers.h"
#include "gui/texture/image_size.h"
#include "host/io/file_read.h"

namespace pavlex::gui::texture {

bool Refuse(RgbaImage* out, std::string* reason, std::string text) {
  *out = RgbaImage();
  *reason = std::move(text);
  return false;
}

bool CheckImageSize(uint64_t width, uint64_t height, std::string* reason) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  if (width == 0 || height == 0) {
    *reason = "the header says " + size;
    return false;
  }
  if (width > uint64_t(kMaxImageSide) || height > uint64_t(kMaxImageSide)) {
    *reason = size + " is more than the " + std::to_string(kMaxImageSide) + "-pixel side a texture may have";
    return false;
  }
  if (width * height > kMaxImagePixels) {
    *reason =
        size + " is more than the " + std::to_string(kMaxImagePixels >> 20) + " Mi pixels a texture may have";
    return false;
  }
  return true;
}

bool StartImage(uint64_t width, uint64_t height, RgbaImage* out, std::string* reason) {
  *out = RgbaImage();
  if (!CheckImageSize(width, height, reason)) return false;
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  try {
    out->pixels.assign(width * height * 4, 0);
  } catch (const std::bad_alloc&) {
    return Refuse(out, reason, "not enough memory for " + size);
  }
  out->width = static_cast<int32_t>(width);
  out->height = static_cast<int32_t>(height);
  return true;
}

bool DecodeImage(std::string_view bytes, const std::string& fileName, RgbaImage* out, std::string* reason) {
  auto startsWith = [&](std::string_view magic) { return bytes.substr(0, magic.size()) == magic; };
  if (startsWith("\x89PNG\r\n\x1a\n")) return DecodePng(bytes, out, reason);
  if (startsWith("\xff\xd8\xff")) return DecodeJpeg(bytes, out, reason);
  if (startsWith("BM")) return DecodeBmp(bytes, out, reason);
  std::string extension = fileName.size() >= 4 ? fileName.substr(fileName.size() - 4) : std::string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".tga") return DecodeTga(bytes, out, reason);
  if (bytes.empty()) return Refuse(out, reason, "the file is empty");
  return Refuse(out, reason, "not a PNG, JPEG, BMP or TGA image");
}

bool ReadImageFile(const std::string& path, RgbaImage* out, std::string* reason) {
  std::string bytes;
  try {
    if (host::io::ReadRegularFile(path, &bytes, reason, kMaxImageFileBytes) !=
        host::io::RegularFileRead::kOk) {
      *out = RgbaImage();
      return false;
    }
  } catch (const std::bad_alloc&) {
    return Refuse(out, reason, "not enough memory to read it");
  }
  return DecodeImage(bytes, path, out, reason);
}

RgbaImage CheckerImage(int32_t size, int32_t cells) {
  RgbaImage image;
  size = std::clamp(size, 1, 4096);
  cells = std::clamp(cells, 1, size);
  image.width = image.height = size;
  image.pixels.resize(static_cast<size_t>(size) * static_cast<size_t>(size) * 4);
  for (int32_t y = 0; y < size; ++y) {
    const int32_t row = y * cells / size;  // 0 at the top
    for (int32_t x = 0; x < size; ++x) {
      const int32_t column = x * cells / size;
      uint8_t* p = &image.pixels[(static_cast<size_t>(y) * size + x) * 4];
      if ((row + column) % 2 == 0) {
        // Light: redder to the right, greener to the top, never symmetric.
        const int32_t step = cells > 1 ? 90 / (cells - 1) : 0;
        p[0] = static_cast<uint8_t>(150 + column * step);
        p[1] = static_cast<uint8_t>(150 + (cells - 1 - row) * step);
        p[2] = 170;
      } else {
        p[0] = p[1] = p[2] = 70;
      }
      p[3] = 255;
    }
  }
  return image;
}

}  // namespace pavlex::gui::texture

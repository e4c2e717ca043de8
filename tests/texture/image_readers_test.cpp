// Each reader on a small picture with no symmetry and a different value
// in every channel (a row or channel swap shows), written by the project's
// own writers where it has one and by hand otherwise; then the files every
// reader must refuse without reading past their end or allocating for a
// header's word alone.
#include "gui/texture/image_readers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "host/document/host_document.h"
#include "host/obj/obj_file.h"
#include "platform/byte_sink.h"
#include "platform/image_encoders.h"
#include "plugin/output/bmp_writer.h"
#include "plugin/output/layout_image.h"
#include "plugin/output/tga_writer.h"
#include "tests/support/temp_folder.h"

namespace pavlex::gui::texture {
namespace {

// 3 x 2, top row first, as r, g, b, a.
constexpr uint8_t kPicture[2][3][4] = {
    {{255, 0, 0, 255}, {0, 255, 0, 200}, {0, 0, 255, 255}},
    {{10, 20, 30, 255}, {200, 100, 50, 255}, {1, 2, 3, 128}},
};

// The picture as the writers take it: 0xAARRGGBB, top row first.
std::vector<uint32_t> Argb() {
  std::vector<uint32_t> out;
  for (const auto& row : kPicture) {
    for (const auto& p : row)
      out.push_back(uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
  }
  return out;
}

void ExpectPicture(const RgbaImage& image, bool alphaKept, const std::string& what) {
  ASSERT_EQ(image.width, 3) << what;
  ASSERT_EQ(image.height, 2) << what;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const uint8_t* got = &image.pixels[(static_cast<size_t>(y) * 3 + x) * 4];
      for (int c = 0; c < 4; ++c) {
        const int expected = c == 3 && !alphaKept ? 255 : kPicture[y][x][c];
        EXPECT_EQ(got[c], expected) << what << " pixel " << x << "," << y << " channel " << c;
      }
    }
  }
}

std::string View(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::string LayoutFile(bool (*encode)(const LayoutImage&, platform::ByteSink&)) {
  LayoutImage image(3, 2);
  const std::vector<uint32_t> argb = Argb();
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) image.SetPixel(x, y, argb[static_cast<size_t>(y) * 3 + x]);
  }
  platform::MemorySink sink;
  EXPECT_TRUE(encode(image, sink));
  return View(sink.bytes);
}

void Put16(std::string* s, uint32_t v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>(v >> 8 & 0xFF));
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A BMP with a 40-byte info header; `height` negative for top-down rows.
std::string BmpHeader(int32_t width, int32_t height, uint16_t bits, uint32_t paletteColours,
                      size_t pixelBytes) {
  std::string s = "BM";
  const uint32_t offset = 54 + paletteColours * 4;
  Put32(&s, static_cast<uint32_t>(offset + pixelBytes));
  Put32(&s, 0);
  Put32(&s, offset);
  Put32(&s, 40);
  Put32(&s, static_cast<uint32_t>(width));
  Put32(&s, static_cast<uint32_t>(height));
  Put16(&s, 1);
  Put16(&s, bits);
  Put32(&s, 0);
  Put32(&s, static_cast<uint32_t>(pixelBytes));
  Put32(&s, 2835);
  Put32(&s, 2835);
  Put32(&s, paletteColours);
  Put32(&s, 0);
  return s;
}

TEST(ImageReaders, PngAndJpegFromTheProjectsEncodersReadBack) {
  const std::vector<uint32_t> argb = Argb();
  platform::MemorySink png;
  ASSERT_TRUE(platform::EncodePng(argb.data(), 3, 2, png));
  RgbaImage image;
  std::string reason;
  ASSERT_TRUE(DecodeImage(View(png.bytes), "a.png", &image, &reason)) << reason;
  ExpectPicture(image, true, "PNG");

  // JPEG is lossy: a flat picture in four blocks of 8 x 8, one colour each.
  std::vector<uint32_t> blocks(16 * 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x)
      blocks[static_cast<size_t>(y) * 16 + x] = y < 8 ? (x < 8 ? 0xFFC81E3Cu : 0xFF1EC83Cu) : 0xFF3C1EC8u;
  }
  platform::MemorySink jpeg;
  ASSERT_TRUE(platform::EncodeJpeg(blocks.data(), 16, 16, jpeg));
  ASSERT_TRUE(DecodeImage(View(jpeg.bytes), "a.jpg", &image, &reason)) << reason;
  ASSERT_EQ(image.width, 16);
  ASSERT_EQ(image.height, 16);
  auto near = [&](int x, int y, int r, int g, int b) {
    const uint8_t* p = &image.pixels[(static_cast<size_t>(y) * 16 + x) * 4];
    EXPECT_NEAR(p[0], r, 12) << x << "," << y;
    EXPECT_NEAR(p[1], g, 12) << x << "," << y;
    EXPECT_NEAR(p[2], b, 12) << x << "," << y;
    EXPECT_EQ(p[3], 255);
  };
  near(3, 3, 200, 30, 60);
  near(12, 3, 30, 200, 60);
  near(8, 12, 60, 30, 200);
}

TEST(ImageReaders, BmpOfEveryKindReadsTopRowFirst) {
  RgbaImage image;
  std::string reason;
  // The program's BMP writer: 32-bit BI_RGB, bottom-up. Its fourth byte is
  // not alpha in that form.
  ASSERT_TRUE(DecodeBmp(LayoutFile(EncodeBMP), &image, &reason)) << reason;
  ExpectPicture(image, false, "BMP 32-bit");

  // 24-bit, top-down, rows padded to 4 bytes.
  std::string top = BmpHeader(3, -2, 24, 0, 24);
  for (const auto& row : kPicture) {
    for (const auto& p : row)
      top += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
    top.append(3, '\0');
  }
  ASSERT_TRUE(DecodeImage(top, "a.bmp", &image, &reason)) << reason;
  ExpectPicture(image, false, "BMP 24-bit top-down");

  // 8-bit paletted, bottom-up: palette entry i is pixel i of the picture.
  std::string paletted = BmpHeader(3, 2, 8, 6, 8);
  for (const auto& row : kPicture) {
    for (const auto& p : row) {
      paletted += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0]), '\0'};
    }
  }
  paletted += {3, 4, 5, 0, 0, 1, 2, 0};  // bottom row (entries 3..5) first
  ASSERT_TRUE(DecodeBmp(paletted, &image, &reason)) << reason;
  ExpectPicture(image, false, "BMP 8-bit");

  // An index past the palette is refused, not read from beyond it.
  paletted[paletted.size() - 2] = 9;  // the last pixel; the byte after it is row padding
  EXPECT_FALSE(DecodeBmp(paletted, &image, &reason));
  EXPECT_NE(reason.find("palette"), std::string::npos) << reason;
  EXPECT_TRUE(image.empty());
}

TEST(ImageReaders, TgaPlainAndRunLengthFromEitherOrigin) {
  RgbaImage image;
  std::string reason;
  // The program's TGA writer: type 2, 32-bit, bottom-up, alpha kept.
  ASSERT_TRUE(DecodeImage(LayoutFile(EncodeTGA), "a.TGA", &image, &reason)) << reason;
  ExpectPicture(image, true, "TGA 32-bit");

  // Type 10, 24-bit, top-left origin: a run of one pixel, then raw
  // packets, one crossing the row boundary.
  std::string rle(18, '\0');
  rle[2] = 10;
  rle[12] = 3, rle[14] = 2, rle[16] = 24, rle[17] = 0x20;
  auto bgr = [&](int y, int x) {
    const uint8_t* p = kPicture[y][x];
    rle += {static_cast<char>(p[2]), static_cast<char>(p[1]), static_cast<char>(p[0])};
  };
  rle += static_cast<char>(0x80);  // run of 1
  bgr(0, 0);
  rle += static_cast<char>(2);  // 3 raw pixels, into the second row
  bgr(0, 1), bgr(0, 2), bgr(1, 0);
  rle += static_cast<char>(1);  // 2 raw
  bgr(1, 1), bgr(1, 2);
  ASSERT_TRUE(DecodeTga(rle, &image, &reason)) << reason;
  ExpectPicture(image, false, "TGA run-length");

  // A run of 7 where 6 pixels remain.
  std::string overrun = rle.substr(0, 18) + std::string(1, static_cast<char>(0x86)) + "abc";
  EXPECT_FALSE(DecodeTga(overrun, &image, &reason));
  EXPECT_NE(reason.find("past the last pixel"), std::string::npos) << reason;
  // Other kinds are refused with what they are.
  std::string paletted = rle;
  paletted[2] = 1;
  EXPECT_FALSE(DecodeTga(paletted, &image, &reason));
  EXPECT_NE(reason.find("TGA type 1"), std::string::npos) << reason;
}

uint32_t Crc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char ch : bytes) {
    crc ^= static_cast<uint8_t>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

std::string BigEndian32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16 & 0xFF), static_cast<char>(v >> 8 & 0xFF),
          static_cast<char>(v & 0xFF)};
}

// A PNG signature, a valid IHDR for an RGBA picture of that size and an
// empty IDAT: everything the header reading needs, and no pixels.
std::string PngHeaderOnly(uint32_t width, uint32_t height) {
  const std::string chunk = "IHDR" + BigEndian32(width) + BigEndian32(height) + std::string{8, 6, 0, 0, 0};
  return std::string("\x89PNG\r\n\x1a\n", 8) + BigEndian32(13) + chunk + BigEndian32(Crc32(chunk)) +
         BigEndian32(0) + "IDAT" + BigEndian32(Crc32("IDAT"));
}

TEST(ImageReaders, DamagedAndAbsurdFilesAreRefusedWithAReason) {
  RgbaImage image;
  std::string reason;
  auto refused = [&](const std::string& bytes, const std::string& name, const std::string& words) {
    image.width = 7;
    reason.clear();
    EXPECT_FALSE(DecodeImage(bytes, name, &image, &reason)) << name;
    EXPECT_NE(reason.find(words), std::string::npos) << name << ": " << reason;
    EXPECT_TRUE(image.empty() && image.pixels.empty()) << name;
  };
  // Absurd sizes, refused from the header alone.
  refused(PngHeaderOnly(100000, 100000), "huge.png", "16384");
  refused(BmpHeader(100000, 100000, 24, 0, 0), "huge.bmp", "16384");
  refused(BmpHeader(10000, -10000, 32, 0, 0), "many.bmp", "Mi pixels");
  std::string bigTga(18, '\0');
  bigTga[2] = 2, bigTga[12] = bigTga[13] = bigTga[14] = bigTga[15] = 0x1F, bigTga[16] = 32;
  refused(bigTga, "big.tga", "truncated");  // 7967 x 7967 is within the limits, but no pixels follow

  // Truncated files of each kind.
  const std::vector<uint32_t> argb = Argb();
  platform::MemorySink png, jpeg;
  ASSERT_TRUE(platform::EncodePng(argb.data(), 3, 2, png));
  ASSERT_TRUE(platform::EncodeJpeg(argb.data(), 3, 2, jpeg));
  refused(View(png.bytes).substr(0, png.bytes.size() / 2), "cut.png", "PNG");
  refused(PngHeaderOnly(4, 4), "header.png", "PNG");
  refused(View(jpeg.bytes).substr(0, jpeg.bytes.size() / 2), "cut.jpg", "JPEG");
  refused(View(jpeg.bytes).substr(0, 40), "short.jpg", "JPEG");
  refused(LayoutFile(EncodeBMP).substr(0, 60), "cut.bmp", "truncated");
  refused(LayoutFile(EncodeBMP).substr(0, 30), "head.bmp", "truncated");
  refused(LayoutFile(EncodeTGA).substr(0, 30), "cut.tga", "truncated");
  refused(LayoutFile(EncodeTGA).substr(0, 10), "head.tga", "truncated");
  refused("", "empty.png", "empty");
  refused("hello, world", "note.png", "not a PNG, JPEG, BMP or TGA");

  // A compressed or 16-bit BMP says what it is.
  std::string rle8 = BmpHeader(3, 2, 8, 0, 8);
  rle8[30] = 1;
  refused(rle8, "rle.bmp", "compressed");
  refused(BmpHeader(3, 2, 16, 0, 16), "16.bmp", "16-bit");
}

TEST(ImageReaders, FilesThatAreNotRegularAreRefusedByTheFileReader) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder / "folder.png");
  RgbaImage image;
  std::string reason;
  EXPECT_FALSE(ReadImageFile(folder.file("folder.png"), &image, &reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_FALSE(ReadImageFile(folder.file("missing.png"), &image, &reason));
  EXPECT_NE(reason.find("No such file"), std::string::npos) << reason;

  const std::vector<uint32_t> argb = Argb();
  platform::MemorySink png;
  ASSERT_TRUE(platform::EncodePng(argb.data(), 3, 2, png));
  std::ofstream(folder / "ok.png", std::ios::binary)
      .write(reinterpret_cast<const char*>(png.bytes.data()), static_cast<std::streamsize>(png.bytes.size()));
  ASSERT_TRUE(ReadImageFile(folder.file("ok.png"), &image, &reason)) << reason;
  ExpectPicture(image, true, "PNG file");
}

TEST(CheckerImage, HasNoSymmetryAThirdViewCouldHide) {
  const RgbaImage checker = CheckerImage(64, 4);
  ASSERT_EQ(checker.width, 64);
  ASSERT_EQ(checker.pixels.size(), 64u * 64u * 4u);
  auto at = [&](int x, int y) { return &checker.pixels[(static_cast<size_t>(y) * 64 + x) * 4]; };
  // Light squares grow redder to the right and greener to the top, so a
  // mirrored or turned island shows; dark squares are grey.
  EXPECT_LT(at(1, 1)[0], at(33, 1)[0]);   // light (0, 0) and (2, 0): red grows to the right
  EXPECT_GT(at(1, 1)[1], at(17, 62)[1]);  // light (0, 0) and (1, 3): green grows to the top
  EXPECT_EQ(at(17, 1)[0], at(17, 1)[1]);  // dark (1, 0)
  EXPECT_LT(at(17, 1)[0], at(1, 1)[0]);
  for (size_t i = 3; i < checker.pixels.size(); i += 4) ASSERT_EQ(checker.pixels[i], 255);
}

TEST(MaterialTexturePath, ResolvesFromTheLibraryThatDefinedTheMaterial) {
  testing::TempFolder folder;
  std::filesystem::create_directories(folder / "models");
  std::filesystem::create_directories(folder / "libs");
  std::ofstream(folder / "libs" / "look.mtl")
      << "newmtl Skin\nmap_Kd ../images/skin.png\nnewmtl Abs\nmap_Kd /abs/x.tga\n";
  std::ofstream(folder / "models" / "m.obj")
      << "mtllib ../libs/look.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl Skin\nf 1 2 3\nusemtl Abs\nf 1 2 3\n"
         "usemtl Loose\nf 1 2 3\n";
  host::ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjFile(folder.file("models/m.obj"), &import, &error)) << error;
  const host::HostDocument& document = *import.document;
  std::vector<std::string> paths;
  for (int32_t slot = 0; slot < document.materialSlotCount(); ++slot) {
    host::HostMaterial* material = document.material(slot);
    if (material == nullptr) continue;
    if (material->name == "Loose") material->textureName = "loose.bmp";
    paths.push_back(
        material->name + "=" +
        host::obj::MaterialTexturePath(*material, import.source.get(), folder.file("models/m.obj")));
  }
  // The library's folder as the reader reached it, then the image's name.
  const std::string models = folder.file("models") + "/";
  EXPECT_EQ(paths, (std::vector<std::string>{"Skin=" + models + "../libs/../images/skin.png",
                                             "Abs=/abs/x.tga", "Loose=" + models + "loose.bmp"}));
}

}  // namespace
}  // namespace pavlex::gui::texture

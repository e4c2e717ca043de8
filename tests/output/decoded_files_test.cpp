// PNG and JPEG files of a layout output, written beside the pixels they
// must decode to, for pavlex_decode_check (decode_check.cpp) to verify
// with libpng and libjpeg. Debian ships those libraries for Linux alone, so
// this is how a Windows build gets its files checked by a reader
// independent of the encoder: CTest runs this test under the emulator, then
// the Linux tool on the folder. Linux runs the same pair, so the tool is
// exercised on both. Without PAVLEX_DECODE_CHECK_DIR the test is skipped.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "plugin/output/output_layout_image.h"
#include "tests/output/layout_test_fixture.h"

namespace pavlex::testing {
namespace {

namespace fs = std::filesystem;

// "<file>.expected": width and height as little-endian 32-bit, then the
// ARGB pixels, rows from the top, each little-endian.
void WriteExpected(const fs::path& file, const LayoutImage& image) {
  std::ofstream out(file.string() + ".expected", std::ios::binary);
  const auto put32 = [&](uint32_t value) {
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 24)};
    out.write(bytes, 4);
  };
  put32(static_cast<uint32_t>(image.width()));
  put32(static_cast<uint32_t>(image.height()));
  for (int32_t y = 0; y < image.height(); ++y) {
    for (int32_t x = 0; x < image.width(); ++x) put32(image.Pixel(x, y));
  }
  ASSERT_TRUE(out.good()) << file;
}

class FilesForDecodingTest : public LayoutTest {};

TEST_F(FilesForDecodingTest, PngAndJpegBesideTheirPixels) {
  const char* folder = std::getenv("PAVLEX_DECODE_CHECK_DIR");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "PAVLEX_DECODE_CHECK_DIR not set";
  const fs::path root(folder);
  fs::remove_all(root);
  ASSERT_TRUE(fs::create_directories(root));
  // Object colour over the left half, the wireframe of the whole square on
  // top: rows, columns and channels all differ, and half is transparent.
  AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{{0, 1, 2, 3}, {{0, 0}, {0.5f, 0}, {0.5f, 1}, {0, 1}}}})
      .color = {0.2f, 0.4f, 0.6f};
  const auto write = [&](const std::string& name, OutputFlags flags, int32_t width, int32_t height) {
    const fs::path path = root / name;
    EXPECT_EQ(OutputLayoutImage(state_, document(), width, height, path.u16string(), flags, 0).status, OutputStatus::kDone);
    EXPECT_TRUE(fs::exists(path)) << name;
    WriteExpected(path, *Render(flags, width, height));
  };
  // Both spellings of each extension; the tool compares PNG exactly and
  // JPEG near the colours, away from edges.
  write("lower.png", kOutputObjectColor | kOutputWireframe, 6, 4);
  write("upper.PNG", kOutputObjectColor | kOutputWireframe, 6, 4);
  write("flat.jpg", kOutputObjectColor, 16, 16);
  write("flat.jpeg", kOutputObjectColor, 16, 16);
}

}  // namespace
}  // namespace pavlex::testing

// The output end to end: destination by extension, remembered options,
// every file format read back by an independent reader, atomic replace.
//
// PNG and JPEG are decoded by libpng and libjpeg, which Debian ships for
// Linux alone. On Linux they are linked in; a Windows build hands its files
// to the Linux decoder tool instead (see decoded_files_test.cpp). BMP and
// TGA are parsed here by hand on both.
#ifndef _WIN32
#include <png.h>
#include <jpeglib.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/atomic_file.h"
#include "plugin/output/output_layout_image.h"
#include "plugin/output/tga_writer.h"
#include "tests/output/layout_test_fixture.h"
#include "tests/support/environment.h"
#include "tests/support/temp_folder.h"

namespace pavlex::testing {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// Object colour over the left half, the wireframe of the whole square on
// top, on a 6 x 4 image: rows differ, columns differ, channels differ.
class OutputWritersTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
              {{{0, 1, 2, 3}, {{0, 0}, {0.5f, 0}, {0.5f, 1}, {0, 1}}}})
        .color = {0.2f, 0.4f, 0.6f};
    ASSERT_FALSE(temp_.path().empty());
    folder_ = temp_.path();
    expected_ = Render(kFlags, kWidth, kHeight);
  }

  fs::path Output(const std::string& name, OutputFlags flags = kFlags, int32_t width = kWidth,
                  int32_t height = kHeight) {
    const fs::path path = folder_ / name;
    last_ = OutputLayoutImage(state_, document(), width, height, path.u16string(), flags, 0);
    EXPECT_FALSE(last_.failed()) << name << ": " << last_.reason;
    return path;
  }
  size_t FileCount() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  static constexpr OutputFlags kFlags = kOutputObjectColor | kOutputWireframe;
  static constexpr int32_t kWidth = 6, kHeight = 4;
  TempFolder temp_{"pavlex-output"};
  fs::path folder_;
  std::unique_ptr<LayoutImage> expected_;
  OutputResult last_;
};

TEST_F(OutputWritersTest, TgaBytesOfAFourByTwoImage) {
  const std::vector<uint8_t> bytes = ReadBytes(Output("layout.tga", kFlags, 4, 2));
  ASSERT_EQ(bytes.size(), 18u + 32u + 26u);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 18),
            (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 0x20, 0x08}));
  const auto image = Render(kFlags, 4, 2);
  // Bottom row first, blue, green, red, alpha.
  for (int32_t i = 0; i < 8; ++i) {
    const int32_t x = i % 4, y = 1 - i / 4;
    const uint32_t p = image->Pixel(x, y);
    EXPECT_EQ(Le32(bytes, 18 + 4 * static_cast<size_t>(i)), p) << x << "," << y;
  }
  EXPECT_EQ(std::string(bytes.end() - 18, bytes.end() - 1), "TRUEVISION-XFILE.");
  EXPECT_EQ(bytes.back(), 0);
  EXPECT_EQ(Le32(bytes, 50), 0u);
  EXPECT_EQ(Le32(bytes, 54), 0u);
}

TEST_F(OutputWritersTest, TgaRefusesSidesBeyondSixteenBits) {
  LayoutImage wide(65536, 1);
  ASSERT_TRUE(wide.valid());
  platform::MemorySink sink;
  EXPECT_FALSE(EncodeTGA(wide, sink));
  EXPECT_TRUE(sink.bytes.empty());
}

// Linux writes its own 32-bit BMP; Windows has GDI+'s encoder write it,
// which keeps what it likes of alpha (Wine writes 24-bit rows). Both are
// bottom-up and uncompressed, and their colours are the picture's.
TEST_F(OutputWritersTest, BmpHeaderAndPixelsParseBack) {
  const std::vector<uint8_t> bytes = ReadBytes(Output("layout.bmp"));
  ASSERT_GE(bytes.size(), 54u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(Le32(bytes, 2), bytes.size());
  const uint32_t offset = Le32(bytes, 10);
  EXPECT_GE(Le32(bytes, 14), 40u);
  EXPECT_EQ(Le32(bytes, 18), static_cast<uint32_t>(kWidth));
  EXPECT_EQ(Le32(bytes, 22), static_cast<uint32_t>(kHeight));
  EXPECT_EQ(bytes[26] | bytes[27] << 8, 1);
  const int bits = bytes[28] | bytes[29] << 8;
  EXPECT_EQ(Le32(bytes, 30), 0u);
#ifdef _WIN32
  ASSERT_TRUE(bits == 24 || bits == 32) << bits;
#else
  ASSERT_EQ(bits, 32);
  EXPECT_EQ(offset, 54u);
#endif
  const size_t pixelBytes = static_cast<size_t>(bits / 8);
  const size_t stride = (kWidth * pixelBytes + 3) / 4 * 4;
  ASSERT_EQ(bytes.size(), offset + stride * kHeight);
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const size_t at = offset + static_cast<size_t>(kHeight - 1 - y) * stride + static_cast<size_t>(x) * pixelBytes;
      const uint32_t rgb = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16;
      const uint32_t drawn = expected_->Pixel(x, y);
      // The picture is opaque or transparent black: over black, or with
      // alpha dropped, both read back the same.
      EXPECT_EQ(rgb, drawn & 0xFFFFFFu) << x << "," << y;
      if (bits == 32) {
        EXPECT_EQ(bytes[at + 3], drawn >> 24) << x << "," << y;
      }
    }
  }
}

#ifndef _WIN32
TEST_F(OutputWritersTest, PngDecodesToTheSamePixelsWhateverTheCase) {
  for (const std::string name : {"layout.png", "LAYOUT.PNG"}) {
    const fs::path path = Output(name);
    png_image decoded = {};
    decoded.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&decoded, path.string().c_str())) << name;
    decoded.format = PNG_FORMAT_BGRA;
    ASSERT_EQ(decoded.width, static_cast<uint32_t>(kWidth));
    ASSERT_EQ(decoded.height, static_cast<uint32_t>(kHeight));
    std::vector<uint32_t> pixels(kWidth * kHeight);
    ASSERT_TRUE(png_image_finish_read(&decoded, nullptr, pixels.data(), 0, nullptr));
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) EXPECT_EQ(pixels[y * kWidth + x], expected_->Pixel(x, y));
    }
  }
}

// `lumaDcStep` receives the first step of the luminance quantisation
// table, which tells the quality the file was encoded at.
std::vector<uint8_t> DecodeJpeg(const fs::path& path, int& width, int& height, int* lumaDcStep = nullptr) {
  FILE* file = std::fopen(path.string().c_str(), "rb");
  if (!file) return {};
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr error;
  cinfo.err = jpeg_std_error(&error);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  if (lumaDcStep != nullptr && cinfo.quant_tbl_ptrs[0] != nullptr) *lumaDcStep = cinfo.quant_tbl_ptrs[0]->quantval[0];
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  std::vector<uint8_t> rgb(static_cast<size_t>(width * height * 3));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = rgb.data() + cinfo.output_scanline * static_cast<size_t>(width) * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return rgb;
}

TEST_F(OutputWritersTest, JpegDecodesCloseToTheColoursUnderBothExtensions) {
  // A flat 16 x 16 object colour, so the lossy coding stays near it.
  for (const std::string name : {"flat.jpg", "flat.jpeg"}) {
    const fs::path path = Output(name, kOutputObjectColor, 16, 16);
    int width = 0, height = 0, lumaDcStep = 0;
    const std::vector<uint8_t> rgb = DecodeJpeg(path, width, height, &lumaDcStep);
    ASSERT_EQ(width, 16) << name;
    ASSERT_EQ(height, 16);
    // The encoder's own default quality, 75, scales the standard step 16
    // to 8; quality 90 would make it 3.
    EXPECT_EQ(lumaDcStep, 8) << name;
    // Left half object colour, right half transparent black (alpha dropped);
    // the colour edge shares a chroma block with both probes.
    const auto near = [](int value, int want) { return std::abs(value - want) <= 8; };
    const size_t left = (8 * 16 + 2) * 3, right = (8 * 16 + 13) * 3;
    EXPECT_TRUE(near(rgb[left], 0x33) && near(rgb[left + 1], 0x66) && near(rgb[left + 2], 0x99))
        << name << " " << int(rgb[left]) << " " << int(rgb[left + 1]) << " " << int(rgb[left + 2]);
    EXPECT_TRUE(near(rgb[right], 0) && near(rgb[right + 1], 0) && near(rgb[right + 2], 0)) << name;
  }
}
#endif  // PNG and JPEG decoded in-process on Linux

TEST_F(OutputWritersTest, UnknownOrMissingExtensionsWriteNothingButAreRemembered) {
  fs::create_directories(folder_ / "with.dot");
  for (const std::string name : {"layout.gif", "layout", "with.dot/layout"}) {
    const fs::path path = Output(name);
    EXPECT_FALSE(fs::exists(path)) << name;
    EXPECT_EQ(last_.status, OutputStatus::kNoDestination) << name;
    EXPECT_EQ(state_.output.fileName, path.u16string());
  }
  EXPECT_EQ(FileCount(), 1u);  // the folder with a dot
  EXPECT_EQ(state_.output.width, kWidth);
  EXPECT_EQ(state_.output.height, kHeight);
  EXPECT_EQ(state_.output.flags, kFlags);
}

TEST_F(OutputWritersTest, ClipboardOutputLeavesTheRememberedOptions) {
  // No display on Linux: the copy fails silently. The Windows clipboard
  // needs none and takes the pictures.
  const ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
  const ScopedEnvironment noWayland("WAYLAND_DISPLAY", std::nullopt);
  const OutputSettings before = state_.output;
  for (const OutputFlags flags : {kOutputWireframe | kOutputColorToClipboard, kOutputShader | kOutputAlphaToClipboard}) {
    const OutputResult result = OutputLayoutImage(state_, document(), 8, 8, u"x.png", flags, 0);
    EXPECT_TRUE(result.status == OutputStatus::kDone || result.status == OutputStatus::kClipboardRefused)
        << result.reason;
  }
  EXPECT_EQ(state_.output.fileName, before.fileName);
  EXPECT_EQ(state_.output.flags, before.flags);
  EXPECT_EQ(state_.output.width, before.width);
  EXPECT_FALSE(fs::exists("x.png"));
}

TEST_F(OutputWritersTest, ExistingFilesAreReplacedWholeOrKeptWhole) {
  const fs::path path = folder_ / "layout.tga";
  { std::ofstream(path) << "old picture"; }
  Output("layout.tga");
  const size_t full = 18u + kWidth * kHeight * 4u + 26u;
  EXPECT_EQ(ReadBytes(path).size(), full);
  // A writer failing half-way leaves the old file and no temporary.
  platform::FileFailure failure;
  EXPECT_FALSE(platform::WriteFileAtomically(path.string(), [](platform::ByteSink& sink) {
    sink.Write("partial", 7);
    return false;
  }, &failure));
  EXPECT_EQ(failure.problem, platform::FileProblem::kNotProduced);
  EXPECT_EQ(ReadBytes(path).size(), full);
  EXPECT_EQ(FileCount(), 1u);
}

// Each way an output can fail says why, in words the dialog shows, and
// leaves the folder as it was.
TEST_F(OutputWritersTest, FailuresCarryTheirReasonAndLeaveNothingBehind) {
  const fs::path kept = folder_ / "kept.png";
  { std::ofstream(kept) << "old picture"; }
  const auto write = [&](int32_t width, int32_t height, const fs::path& path, OutputDestination destination) {
    return RenderAndWrite(state_, document(), width, height, path.u16string(), kFlags, 0, destination);
  };
  OutputResult result = write(4, 4, folder_ / "missing" / "a.png", OutputDestination::kPng);
  EXPECT_EQ(result.status, OutputStatus::kFileNotWritten);
  EXPECT_EQ(result.reason, "the folder does not exist");
  fs::create_directory(folder_ / "dir.bmp");
  result = write(4, 4, folder_ / "dir.bmp", OutputDestination::kBmp);
  EXPECT_EQ(result.status, OutputStatus::kFileNotWritten);
  EXPECT_EQ(result.reason, "it is a folder");
  // Read-only by its mode bits, which even the super-user's writes honour.
  fs::permissions(kept, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
  result = write(4, 4, kept, OutputDestination::kPng);
  EXPECT_EQ(result.reason, "the file is read-only");
  fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace);
  // Sizes no picture can have: nothing is drawn, nothing is written.
  result = write(0, 4, kept, OutputDestination::kPng);
  EXPECT_EQ(result.status, OutputStatus::kImageNotCreated);
  EXPECT_EQ(result.reason, "the picture has no pixels (width or height 0)");
  result = write(65535, 65535, kept, OutputDestination::kTga);
  EXPECT_EQ(result.status, OutputStatus::kImageNotCreated);
  EXPECT_EQ(result.reason, "the picture is too large (at most 1 GiB of pixels)");
  EXPECT_EQ(ReadBytes(kept), std::vector<uint8_t>({'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}));
  EXPECT_EQ(FileCount(), 2u);  // kept.png and dir.bmp
}

}  // namespace
}  // namespace pavlex::testing

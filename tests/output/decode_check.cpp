// pavlex_decode_check FOLDER: decodes every "<file>" of FOLDER that has a
// "<file>.expected" beside it (written by decoded_files_test.cpp) with
// libpng or libjpeg, and compares. PNG must match exactly, alpha included.
// JPEG is lossy and has no alpha: each pixel whose 5 x 5 neighbourhood is
// one colour must come within 8 of it per channel (transparent reads as
// black). Both encoders write at their own default quality. Prints every mismatch; exits 0 only when at least one file was
// checked and all matched. A Linux program: the Windows build runs it on
// the files its own tests wrote.
#include <png.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Picture {
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> argb;  // rows from the top
};

bool ReadExpected(const fs::path& path, Picture& picture) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto le32 = [&](size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
  };
  if (bytes.size() < 8) return false;
  picture.width = le32(0);
  picture.height = le32(4);
  const size_t count = static_cast<size_t>(picture.width) * picture.height;
  if (bytes.size() != 8 + 4 * count) return false;
  picture.argb.resize(count);
  for (size_t i = 0; i < count; ++i) picture.argb[i] = le32(8 + 4 * i);
  return true;
}

bool DecodePng(const fs::path& path, Picture& picture) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_BGRA;  // 0xAARRGGBB as a little-endian integer
  picture.width = image.width;
  picture.height = image.height;
  picture.argb.resize(static_cast<size_t>(image.width) * image.height);
  return png_image_finish_read(&image, nullptr, picture.argb.data(), 0, nullptr) != 0;
}

struct JpegFailure {
  jpeg_error_mgr manager;  // first, so libjpeg's pointer is ours too
  jmp_buf back;
};

// libjpeg's default ends the process; a broken file is a failed check.
[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegFailure*>(info->err)->back, 1); }

// Nothing with a destructor may be created between setjmp and a jump, so
// the buffers are sized from the header before decoding starts.
bool DecodeJpeg(const fs::path& path, Picture& picture) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  jpeg_decompress_struct info;
  JpegFailure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = JumpBack;
  std::vector<uint8_t> row;
  if (setjmp(failure.back) != 0) {
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  picture.width = info.output_width;
  picture.height = info.output_height;
  picture.argb.assign(static_cast<size_t>(picture.width) * picture.height, 0);
  row.resize(static_cast<size_t>(picture.width) * 3);
  while (info.output_scanline < info.output_height) {
    const uint32_t y = info.output_scanline;
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (uint32_t x = 0; x < picture.width; ++x) {
      picture.argb[static_cast<size_t>(y) * picture.width + x] =
          0xFF000000u | row[3 * x] << 16 | row[3 * x + 1] << 8 | row[3 * x + 2];
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  return true;
}

bool Uniform(const Picture& picture, uint32_t cx, uint32_t cy) {
  const uint32_t centre = picture.argb[static_cast<size_t>(cy) * picture.width + cx];
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      const int64_t x = static_cast<int64_t>(cx) + dx, y = static_cast<int64_t>(cy) + dy;
      if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) continue;
      if (picture.argb[static_cast<size_t>(y) * picture.width + static_cast<size_t>(x)] != centre) return false;
    }
  }
  return true;
}

// Answers the number of mismatches printed.
int Compare(const std::string& name, const Picture& expected, const Picture& decoded, bool lossy) {
  if (decoded.width != expected.width || decoded.height != expected.height) {
    std::printf("%s: %ux%u, expected %ux%u\n", name.c_str(), decoded.width, decoded.height, expected.width,
                expected.height);
    return 1;
  }
  int mismatches = 0;
  for (uint32_t y = 0; y < expected.height; ++y) {
    for (uint32_t x = 0; x < expected.width; ++x) {
      const size_t at = static_cast<size_t>(y) * expected.width + x;
      const uint32_t want = expected.argb[at], got = decoded.argb[at];
      bool same = want == got;
      if (lossy) {
        if (!Uniform(expected, x, y)) continue;
        same = true;
        for (int shift = 0; shift < 24; shift += 8) {
          const int a = static_cast<int>((want >> shift) & 0xFF), b = static_cast<int>((got >> shift) & 0xFF);
          same = same && std::abs(a - b) <= 8;
        }
      }
      if (!same) {
        std::printf("%s: pixel %u,%u is %08X, expected %08X\n", name.c_str(), x, y, got, want);
        ++mismatches;
      }
    }
  }
  return mismatches;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: pavlex_decode_check FOLDER\n");
    return 2;
  }
  int checked = 0, failures = 0;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(argv[1], error)) {
    const fs::path expectedPath = entry.path();
    if (expectedPath.extension() != ".expected") continue;
    const fs::path file = fs::path(expectedPath).replace_extension();
    std::string extension = file.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string name = file.filename().string();
    Picture expected, decoded;
    if (!ReadExpected(expectedPath, expected)) {
      std::printf("%s: unreadable expectation\n", name.c_str());
      ++failures;
      continue;
    }
    const bool lossy = extension == ".jpg" || extension == ".jpeg";
    if (!(lossy ? DecodeJpeg(file, decoded) : extension == ".png" && DecodePng(file, decoded))) {
      std::printf("%s: not decoded\n", name.c_str());
      ++failures;
      continue;
    }
    failures += Compare(name, expected, decoded, lossy) > 0 ? 1 : 0;
    ++checked;
  }
  if (error) std::printf("%s: %s\n", argv[1], error.message().c_str());
  std::printf("%d files checked, %d failed\n", checked, failures);
  return checked > 0 && failures == 0 ? 0 : 1;
}

// The clipboard for real, read back through the system and compared with
// the picture over black.
//
// Linux: a private Xvfb display, the copy through xclip, the picture read
// back with `xclip -o` and decoded; skipped where Xvfb or xclip is not
// installed (scripts/install-deps.sh installs both). Windows: the Win32
// clipboard, which works without a display; the bitmap is read back with
// GetDIBits. GDI+ keeps premultiplied alpha in the fourth byte of what it
// hands over, which CF_BITMAP does not carry, so only colours are compared.
#ifdef _WIN32
#include <windows.h>
#else
#include <png.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "plugin/output/clipboard_output.h"
#include "plugin/output/output_layout_image.h"
#include "tests/output/layout_test_fixture.h"
#include "tests/support/environment.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace pavlex::testing {
namespace {

#ifdef _WIN32
constexpr uint32_t kCompared = 0x00FFFFFFu;  // colours only, see above

class ClipboardTest : public LayoutTest {
 protected:
  // The clipboard's bitmap as 32-bit pixels, rows from the top.
  std::vector<uint32_t> ReadBack(uint32_t& width, uint32_t& height) {
    std::vector<uint32_t> pixels;
    if (!OpenClipboard(nullptr)) return pixels;
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP description;
    if (bitmap != nullptr && GetObjectW(bitmap, sizeof(description), &description) == sizeof(description)) {
      BITMAPINFO info = {};
      info.bmiHeader.biSize = sizeof(info.bmiHeader);
      info.bmiHeader.biWidth = description.bmWidth;
      info.bmiHeader.biHeight = -description.bmHeight;  // top row first
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      pixels.resize(static_cast<size_t>(description.bmWidth) * static_cast<size_t>(description.bmHeight));
      HDC screen = GetDC(nullptr);
      const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(description.bmHeight), pixels.data(), &info,
                                 DIB_RGB_COLORS);
      ReleaseDC(nullptr, screen);
      if (rows != description.bmHeight) pixels.clear();
      width = static_cast<uint32_t>(description.bmWidth);
      height = static_cast<uint32_t>(description.bmHeight);
    }
    CloseClipboard();
    return pixels;
  }
  // Something else on the clipboard, so a copy that does nothing shows.
  static void PutText() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 2);
    char* bytes = static_cast<char*>(GlobalLock(text));
    bytes[0] = 'x';
    bytes[1] = '\0';
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    CloseClipboard();
  }
};
#else
constexpr uint32_t kCompared = 0xFFFFFFFFu;

bool OnPath(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class ClipboardTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    if (!OnPath("Xvfb") || !OnPath("xclip")) GTEST_SKIP() << "Xvfb or xclip not installed";
    // A display number of our own, so parallel runs never share one.
    display_ = ":" + std::to_string(90 + ::getpid() % 800);
    const char* argv[] = {"Xvfb", display_.c_str(), "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ASSERT_EQ(::posix_spawnp(&server_, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    const std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
    for (int i = 0; i < 200 && ::access(socket.c_str(), F_OK) != 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    display_env_.emplace("DISPLAY", display_);
    wayland_env_.emplace("WAYLAND_DISPLAY", std::nullopt);
  }
  void TearDown() override {
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
  }

  // The clipboard's image/png, decoded to BGRA pixels.
  std::vector<uint32_t> ReadBack(uint32_t& width, uint32_t& height) {
    FILE* pipe = ::popen("xclip -selection clipboard -o -t image/png 2>/dev/null", "r");
    std::vector<uint8_t> bytes;
    uint8_t buffer[4096];
    for (size_t n; pipe && (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
      bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (pipe) ::pclose(pipe);
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (bytes.empty() || !png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
    image.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(static_cast<size_t>(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    width = image.width;
    height = image.height;
    return pixels;
  }
  static void PutText() {}

  std::string display_;
  pid_t server_ = 0;
  std::optional<ScopedEnvironment> display_env_;
  std::optional<ScopedEnvironment> wayland_env_;
};
#endif

class ClipboardReadBackTest : public ClipboardTest {
 protected:
  // The clipboard's picture once it differs from `previous`. xclip claims
  // the selection from its background child shortly after the copy
  // returns, so the previous owner may still answer for a moment; the
  // Windows clipboard changes at once.
  std::vector<uint32_t> Await(const std::vector<uint32_t>& previous, uint32_t& width, uint32_t& height) {
    std::vector<uint32_t> pixels;
    for (int attempt = 0; attempt < 100 && ((pixels = ReadBack(width, height)).empty() || pixels == previous);
         ++attempt) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return pixels;
  }
};

TEST_F(ClipboardReadBackTest, ColourAndAlphaCopiesReadBackOverBlack) {
  PutText();
  AddTriangleAt(0.125f, 0.0f, 1.0f, 0.5f, 0.25f, 1.0f);
  const auto colour = Render(kOutputObjectColor | kOutputWireframe);
  ASSERT_TRUE(CopyImageToClipboard(*colour));
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> pixels = Await({}, width, height);
  ASSERT_EQ(width, 8u);
  ASSERT_EQ(height, 8u);
  ASSERT_EQ(pixels.size(), 64u);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const uint32_t drawn = colour->Pixel(x, y);
      EXPECT_EQ(pixels[static_cast<size_t>(y * 8 + x)] & kCompared, (drawn == 0 ? 0xFF000000u : drawn) & kCompared)
          << x << "," << y;
    }
  }
  // "Alpha to Clipboard" with the shader: the white silhouette on black.
  EXPECT_EQ(OutputLayoutImage(state_, document(), 8, 8, u"", kOutputShader | kOutputAlphaToClipboard, 0).status,
            OutputStatus::kDone);
  pixels = Await(pixels, width, height);
  ASSERT_EQ(pixels.size(), 64u);
  const auto silhouette = Render(kOutputShader | kOutputAlphaToClipboard);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(pixels[static_cast<size_t>(y * 8 + x)] & kCompared,
                (silhouette->Pixel(x, y) ? 0xFFFFFFFFu : 0xFF000000u) & kCompared);
    }
  }
}

TEST_F(ClipboardReadBackTest, TranslucentPixelsAreComposedOverBlack) {
  PutText();
  LayoutImage image(2, 1);
  image.SetPixel(0, 0, 0x80FF4020u);
  image.SetPixel(1, 0, 0x00FFFFFFu);
  ASSERT_TRUE(CopyImageToClipboard(image));
  uint32_t width = 0, height = 0;
  const std::vector<uint32_t> pixels = Await({}, width, height);
  ASSERT_EQ(pixels.size(), 2u);
  EXPECT_EQ(pixels[0] & kCompared, 0xFF802010u & kCompared);  // each channel * 128 / 255, rounded
  EXPECT_EQ(pixels[1] & kCompared, 0xFF000000u & kCompared);
}

TEST(ClipboardFailureTest, InvalidImagesLeaveTheClipboardAlone) {
  EXPECT_FALSE(CopyImageToClipboard(LayoutImage(0, 0)));
  EXPECT_FALSE(CopyImageToClipboard(LayoutImage(65535, 65535)));
#ifndef _WIN32
  // Without a display there is no clipboard to reach.
  const ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
  const ScopedEnvironment noWayland("WAYLAND_DISPLAY", std::nullopt);
  EXPECT_FALSE(CopyImageToClipboard(LayoutImage(2, 2)));
#endif
}

}  // namespace
}  // namespace pavlex::testing

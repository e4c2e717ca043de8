// The clipboard for real: a private Xvfb display, the copy through xclip,
// and the picture read back with `xclip -o` and decoded. Skipped where Xvfb
// or xclip is not installed (scripts/install-deps.sh installs both).
#include <png.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "output/clipboard_output.h"
#include "output/output_layout_image.h"
#include "tests/output/layout_test_fixture.h"

extern char** environ;

namespace pavlex::testing {
namespace {

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
    ::setenv("DISPLAY", display_.c_str(), 1);
    ::unsetenv("WAYLAND_DISPLAY");
  }
  void TearDown() override {
    if (server_ > 0) {
      ::kill(server_, SIGTERM);
      ::waitpid(server_, nullptr, 0);
    }
    ::unsetenv("DISPLAY");
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

  std::string display_;
  pid_t server_ = 0;
};

TEST_F(ClipboardTest, ColourAndAlphaCopiesReadBackOverBlack) {
  AddTriangleAt(0.125f, 0.0f, 1.0f, 0.5f, 0.25f, 1.0f);
  const auto colour = Render(kOutputObjectColor | kOutputWireframe);
  ASSERT_TRUE(CopyImageToClipboard(*colour));
  uint32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;
  for (int attempt = 0; attempt < 100 && (pixels = ReadBack(width, height)).empty(); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(width, 8u);
  ASSERT_EQ(height, 8u);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const uint32_t drawn = colour->Pixel(x, y);
      EXPECT_EQ(pixels[static_cast<size_t>(y * 8 + x)], drawn == 0 ? 0xFF000000u : drawn) << x << "," << y;
    }
  }
  // "Alpha to Clipboard" with the shader: the white silhouette on black.
  // xclip claims the selection from its background child, shortly after
  // the copy returns, so the previous owner may still answer for a moment.
  EXPECT_EQ(OutputLayoutImage(state_, document(), 8, 8, u"", kOutputShader | kOutputAlphaToClipboard, 0), 1);
  const std::vector<uint32_t> previous = pixels;
  for (int attempt = 0; attempt < 100 && (pixels = ReadBack(width, height)) == previous; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(pixels.size(), 64u);
  const auto silhouette = Render(kOutputShader | kOutputAlphaToClipboard);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      EXPECT_EQ(pixels[static_cast<size_t>(y * 8 + x)], silhouette->Pixel(x, y) ? 0xFFFFFFFFu : 0xFF000000u);
    }
  }
}

TEST(ClipboardCompositionTest, TranslucentPixelsAreComposedOverBlack) {
  LayoutImage image(2, 1);
  image.SetPixel(0, 0, 0x80FF4020u);
  image.SetPixel(1, 0, 0x00FFFFFFu);
  const std::vector<uint32_t> composed = ComposeOverBlack(image);
  EXPECT_EQ(composed[0], 0xFF802010u);  // each channel * 128 / 255, rounded
  EXPECT_EQ(composed[1], 0xFF000000u);
}

TEST(ClipboardNoDisplayTest, FailsSilentlyWithoutADisplay) {
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  LayoutImage image(2, 2);
  EXPECT_FALSE(CopyImageToClipboard(image));
  EXPECT_FALSE(CopyImageToClipboard(LayoutImage(0, 0)));
}

}  // namespace
}  // namespace pavlex::testing

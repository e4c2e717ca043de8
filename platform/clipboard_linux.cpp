#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/byte_sink.h"
#include "platform/clipboard.h"
#include "platform/image_encoders.h"

extern char** environ;

namespace pavlex::platform {

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for a slow display server to take a 64 MiB picture, short
// enough that a stuck tool never freezes the host for long.
constexpr std::chrono::seconds kToolTimeLimit{10};

bool Fail(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
  return false;
}

// Writes everything to the non-blocking pipe `fd` before `deadline`. A
// reader that went away gives EPIPE (SIGPIPE is blocked by the caller).
bool WriteAll(int fd, const uint8_t* data, size_t size, Clock::time_point deadline) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written > 0) {
      data += written;
      size -= static_cast<size_t>(written);
      continue;
    }
    if (written < 0 && errno != EAGAIN && errno != EINTR) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd waitFor = {fd, POLLOUT, 0};
    ::poll(&waitFor, 1, static_cast<int>(left));
  }
  return true;
}

// Waits for `pid` until `deadline`; answers its exit status, or -1 when it
// did not exit in time (it is then killed and reaped).
int WaitForExit(pid_t pid, Clock::time_point deadline) {
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    if (done < 0 && errno != EINTR) return -1;
    if (Clock::now() >= deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Runs `argv` with `bytes` on its stdin. SIGPIPE stays blocked in this
// thread while writing, and a pending one is swallowed before unblocking,
// so a tool that dies early cannot kill the host.
bool RunWithInput(const std::vector<const char*>& argv, const std::vector<uint8_t>& bytes, std::string* reason) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return Fail(reason, "pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, argv[0], &actions, &attributes, const_cast<char* const*>(argv.data()),
                                     environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  ::close(pipeFds[0]);
  if (spawned != 0) {
    ::close(pipeFds[1]);
    return Fail(reason, std::string(argv[0]) + (spawned == ENOENT ? " not found" : " could not be started"));
  }

  const Clock::time_point deadline = Clock::now() + kToolTimeLimit;
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  ::fcntl(pipeFds[1], F_SETFL, ::fcntl(pipeFds[1], F_GETFL) | O_NONBLOCK);
  const bool written = WriteAll(pipeFds[1], bytes.data(), bytes.size(), deadline);
  ::close(pipeFds[1]);
  sigset_t pending;
  sigpending(&pending);
  if (sigismember(&pending, SIGPIPE)) {
    const timespec zero = {0, 0};
    sigtimedwait(&pipeSignal, nullptr, &zero);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);

  const int status = WaitForExit(pid, deadline);
  if (!written) return Fail(reason, std::string(argv[0]) + " did not take the picture");
  if (status < 0) return Fail(reason, std::string(argv[0]) + " timed out");
  if (status != 0) return Fail(reason, std::string(argv[0]) + " failed with status " + std::to_string(status));
  return true;
}

// Opaque pixels stay as they are; others are scaled by their alpha, which
// is the picture over black.
std::vector<uint32_t> ComposeOverBlack(const uint32_t* pixels, size_t count) {
  std::vector<uint32_t> composed(count);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = pixels[i];
    const uint32_t alpha = p >> 24;
    if (alpha == 0xFF) {
      composed[i] = p;
      continue;
    }
    const auto scale = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
    composed[i] = 0xFF000000u | scale((p >> 16) & 0xFF) << 16 | scale((p >> 8) & 0xFF) << 8 | scale(p & 0xFF);
  }
  return composed;
}

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

}  // namespace

bool CopyPictureToClipboard(const uint32_t* pixels, int32_t width, int32_t height, std::string* reason) {
  if (pixels == nullptr || width < 1 || height < 1) return Fail(reason, "no picture");
  const bool wayland = Set("WAYLAND_DISPLAY");
  if (!wayland && !Set("DISPLAY")) return Fail(reason, "no display");
  const std::vector<uint32_t> composed = ComposeOverBlack(pixels, static_cast<size_t>(width) * static_cast<size_t>(height));
  MemorySink png;
  if (!EncodePngOpaque(composed.data(), width, height, png)) return Fail(reason, "PNG encoding failed");
  const bool copied =
      wayland ? RunWithInput({"wl-copy", "--type", "image/png", nullptr}, png.bytes, reason)
              : RunWithInput({"xclip", "-selection", "clipboard", "-t", "image/png", "-i", nullptr}, png.bytes, reason);
  if (copied) DebugTrace("ok");
  return copied;
}

void DebugTrace(const std::string& text) {
  if (!Set("PAVLEX_DEBUG")) return;
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace pavlex::platform

#include "app/child_processes.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace pavlex::app {

namespace {

// An unnamed file in memory: the child's streams live here rather than in
// pipes, so no child ever blocks on a full pipe while its siblings run, and
// nothing is left on disk.
int MemoryFile(const char* name) {
  return memfd_create(name, MFD_CLOEXEC);
}

bool WriteAllTo(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return lseek(fd, 0, SEEK_SET) == 0;
}

std::string ReadAllFrom(int fd) {
  std::string text;
  char buffer[65536];
  off_t at = 0;
  for (;;) {
    const ssize_t got = pread(fd, buffer, sizeof buffer, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
    at += got;
  }
  return text;
}

}  // namespace

struct ChildProcesses::Running {
  pid_t pid = -1;
  size_t tag = 0;
  int out = -1, err = -1;
  ~Running() {
    if (out >= 0) close(out);
    if (err >= 0) close(err);
  }
};

ChildProcesses::ChildProcesses() = default;

ChildProcesses::~ChildProcesses() {
  size_t tag = 0;
  ChildOutcome ignored;
  while (waitAny(&tag, &ignored)) {
  }
}

bool ChildProcesses::start(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& input, size_t tag, std::string* problem) {
  auto child = std::make_unique<Running>();
  child->tag = tag;
  child->out = MemoryFile("pavlex-out");
  child->err = MemoryFile("pavlex-err");
  const int in = MemoryFile("pavlex-in");
  struct CloseIn {
    int fd;
    ~CloseIn() {
      if (fd >= 0) close(fd);
    }
  } closeIn{in};
  if (child->out < 0 || child->err < 0 || in < 0 || !WriteAllTo(in, input)) {
    *problem = std::string("cannot make its output buffers: ") + std::strerror(errno);
    return false;
  }
  std::vector<std::string> args = arguments;
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // dup2 clears close-on-exec on the copies, and only on them.
  posix_spawn_file_actions_adddup2(&actions, in, 0);
  posix_spawn_file_actions_adddup2(&actions, child->out, 1);
  posix_spawn_file_actions_adddup2(&actions, child->err, 2);
  const int failed = posix_spawn(&child->pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    *problem = "cannot start " + program + ": " + std::strerror(failed);
    return false;
  }
  running_.push_back(std::move(child));
  return true;
}

bool ChildProcesses::waitAny(size_t* tag, ChildOutcome* outcome) {
  while (!running_.empty()) {
    int status = 0;
    const pid_t pid = waitpid(-1, &status, 0);
    if (pid < 0) {
      if (errno == EINTR) continue;
      // No child left to wait for (ECHILD): whatever is listed ended unseen.
      std::unique_ptr<Running> lost = std::move(running_.back());
      running_.pop_back();
      *tag = lost->tag;
      *outcome = ChildOutcome();
      outcome->started = true;
      outcome->crash = "ended without a status";
      outcome->out = ReadAllFrom(lost->out);
      outcome->err = ReadAllFrom(lost->err);
      return true;
    }
    for (size_t i = 0; i < running_.size(); ++i) {
      if (running_[i]->pid != pid) continue;
      std::unique_ptr<Running> done = std::move(running_[i]);
      running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(i));
      *tag = done->tag;
      *outcome = ChildOutcome();
      outcome->started = true;
      if (WIFEXITED(status)) {
        outcome->exitCode = WEXITSTATUS(status);
      } else if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        const char* name = strsignal(signal);
        outcome->crash = "signal " + std::to_string(signal) + (name != nullptr ? std::string(", ") + name : "");
      }
      outcome->out = ReadAllFrom(done->out);
      outcome->err = ReadAllFrom(done->err);
      return true;
    }
    // A child someone else started (a clipboard helper): not ours to report.
  }
  return false;
}

size_t ChildProcesses::running() const {
  return running_.size();
}

size_t ChildProcesses::capacity() {
  return 1024;
}

std::string OwnExecutable() {
  // The running file itself, even when a rebuild replaced its name since.
  return access("/proc/self/exe", X_OK) == 0 ? std::string("/proc/self/exe") : std::string();
}

}  // namespace pavlex::app

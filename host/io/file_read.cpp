#include "host/io/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pavlex::host::io {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::string* out, std::string* reason, uint64_t limit) {
  // Non-blocking, so that a FIFO opens at once and is refused below rather
  // than waiting for a writer that may never come.
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) {
    *reason = std::strerror(errno);
    return errno == ENOENT || errno == ENOTDIR ? RegularFileRead::kNotFound : RegularFileRead::kFailed;
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) {
    *reason = std::strerror(errno);
    return RegularFileRead::kFailed;
  }
  if (!S_ISREG(info.st_mode)) {
    *reason = S_ISDIR(info.st_mode) ? "is a folder" : "not a regular file";
    return RegularFileRead::kFailed;
  }
  if (static_cast<uint64_t>(info.st_size) > limit) {
    *reason = "larger than " + LimitText(limit);
    return RegularFileRead::kFailed;
  }
  const int flags = ::fcntl(file.get(), F_GETFL);
  if (flags >= 0) ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
  std::string bytes;
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  // A file that grows while it is read is taken at the size it had; one that
  // shrinks ends where it ends.
  while (done < bytes.size()) {
    const ssize_t n = ::read(file.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      *reason = std::strerror(errno);
      return RegularFileRead::kFailed;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  // The system's generated files (/proc, /sys) say they are empty and then
  // have content: they are not files a person saved.
  if (info.st_size == 0) {
    char probe = 0;
    ssize_t n;
    do n = ::read(file.get(), &probe, 1);
    while (n < 0 && errno == EINTR);
    if (n > 0) {
      *reason = "not a regular file (its size is not known before it is read)";
      return RegularFileRead::kFailed;
    }
  }
  bytes.resize(done);
  *out = std::move(bytes);
  return RegularFileRead::kOk;
}

}  // namespace pavlex::host::io

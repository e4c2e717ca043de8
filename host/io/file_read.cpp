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

RegularFileRead ReadRegularFile(const std::string& path, std::string* out, std::string* reason) {
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
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
  bytes.resize(done);
  *out = std::move(bytes);
  return RegularFileRead::kOk;
}

}  // namespace pavlex::host::io

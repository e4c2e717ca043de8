#include "plugin/output/atomic_file.h"
#include "plugin/output/buffered_file_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace pavlex {

namespace {

// Writes the buffered bytes straight to the temporary file.
class FileSink : public BufferedFileSink {
 public:
  explicit FileSink(int fd) : fd_(fd) {}

 private:
  bool WriteOut(const uint8_t* data, size_t size) override {
    while (size > 0) {
      const ssize_t written = ::write(fd_, data, size);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      data += written;
      size -= static_cast<size_t>(written);
    }
    return true;
  }
  int fd_;
};

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(platform::ByteSink&)>& write) {
  if (path.empty()) return false;
  // Same folder as the destination, so the rename never crosses file
  // systems; the leading dot keeps it out of casual listings.
  const size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = folder + "." + base + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  // mkostemp makes the file 0600; give it the mode a plain create would.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  FileSink sink(fd);
  bool ok = write(sink) && sink.Flush();
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace pavlex

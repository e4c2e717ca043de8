#include "host/io/file_read.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/io/file_bytes.h"

namespace pavlex::host::io {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// Opens `path` for reading and checks it is a regular file of at most
// `limit` bytes; `info` receives its status.
RegularFileRead OpenRegularFile(const std::string& path, uint64_t limit, FileDescriptor* file, struct stat* info,
                                std::string* reason) {
  // Non-blocking, so that a FIFO opens at once and is refused below rather
  // than waiting for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return errno == ENOENT || errno == ENOTDIR ? RegularFileRead::kNotFound : RegularFileRead::kFailed;
  }
  file->reset(fd);
  if (::fstat(fd, info) != 0) {
    *reason = std::strerror(errno);
    return RegularFileRead::kFailed;
  }
  if (!S_ISREG(info->st_mode)) {
    *reason = S_ISDIR(info->st_mode) ? "is a folder" : "not a regular file";
    return RegularFileRead::kFailed;
  }
  if (static_cast<uint64_t>(info->st_size) > limit) {
    *reason = "larger than " + LimitText(limit);
    return RegularFileRead::kFailed;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return RegularFileRead::kOk;
}

// Reads an open file from its start into memory.
RegularFileRead ReadOpenFile(int fd, const struct stat& info, std::string* out, std::string* reason) {
  std::string bytes;
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  // A file that grows while it is read is taken at the size it had; one that
  // shrinks ends where it ends.
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
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
    do n = ::pread(fd, &probe, 1, 0);
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

// A file with no name in a temporary folder that is on disk, or -1.
int CreatePrivateFile() {
  std::vector<std::string> folders;
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir != nullptr && tmpdir[0] == '/') folders.push_back(tmpdir);
  // /var/tmp first: it is on disk where /tmp is memory.
  folders.push_back("/var/tmp");
  folders.push_back("/tmp");
  for (const std::string& folder : folders) {
    struct statfs system {};
    if (::statfs(folder.c_str(), &system) != 0) continue;
    if (system.f_type == TMPFS_MAGIC || system.f_type == RAMFS_MAGIC) continue;
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) continue;
    // A file system without unnamed files: the name goes at once.
    std::string name = folder + "/pavlex-kept-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) continue;
    if (::unlink(name.c_str()) != 0) {
      ::close(fd);
      continue;
    }
    return fd;
  }
  return -1;
}

enum class CopyResult { kDone, kSourceFailed, kCopyFailed };

// Copies up to `size` bytes of `from` into `to` (both at offset 0); `done`
// receives how many there were (fewer when the file shrank).
CopyResult CopyFile(int from, int to, uint64_t size, uint64_t* done, std::string* reason) {
  uint64_t copied = 0;
  // The system copies without passing the bytes through this process.
  while (copied < size) {
    loff_t in = static_cast<loff_t>(copied), out = static_cast<loff_t>(copied);
    const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<size_t>(size - copied), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the end, or a pair it cannot copy between: read and write instead
    copied += static_cast<uint64_t>(n);
  }
  std::vector<char> buffer;
  while (copied < size) {
    if (buffer.empty()) buffer.resize(size_t{1} << 20);
    const size_t want = static_cast<size_t>(std::min<uint64_t>(size - copied, buffer.size()));
    const ssize_t n = ::pread(from, buffer.data(), want, static_cast<off_t>(copied));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *reason = std::strerror(errno);
      return CopyResult::kSourceFailed;
    }
    if (n == 0) break;
    size_t written = 0;
    while (written < static_cast<size_t>(n)) {
      const ssize_t w = ::pwrite(to, buffer.data() + written, static_cast<size_t>(n) - written,
                                 static_cast<off_t>(copied + written));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return CopyResult::kCopyFailed;
      written += static_cast<size_t>(w);
    }
    copied += static_cast<uint64_t>(n);
  }
  *done = copied;
  return CopyResult::kDone;
}

}  // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::string* out, std::string* reason, uint64_t limit) {
  FileDescriptor file;
  struct stat info {};
  const RegularFileRead opened = OpenRegularFile(path, limit, &file, &info, reason);
  if (opened != RegularFileRead::kOk) return opened;
  return ReadOpenFile(file.get(), info, out, reason);
}

// --- FileBytes ------------------------------------------------------------------

struct FileBytes::DiskCopy {
  int fd = -1;
  uint64_t size = 0;
  void* mapping = nullptr;  // view()'s, or null
  ~DiskCopy() {
    if (mapping != nullptr) ::munmap(mapping, static_cast<size_t>(size));
    if (fd >= 0) ::close(fd);
  }
};

FileBytes::FileBytes() = default;
FileBytes::FileBytes(std::string bytes) : memory_(std::move(bytes)) {}
FileBytes::FileBytes(FileBytes&& other) noexcept = default;
FileBytes& FileBytes::operator=(FileBytes&& other) noexcept = default;
FileBytes::~FileBytes() = default;

uint64_t FileBytes::size() const {
  return copy_ != nullptr ? copy_->size : memory_.size();
}

bool FileBytes::view(std::string_view* out, std::string* reason) {
  if (copy_ == nullptr) {
    *out = memory_;
    return true;
  }
  if (copy_->size == 0) {
    *out = std::string_view();
    return true;
  }
  if (copy_->mapping == nullptr) {
    void* mapping = ::mmap(nullptr, static_cast<size_t>(copy_->size), PROT_READ, MAP_PRIVATE, copy_->fd, 0);
    if (mapping == MAP_FAILED) {
      *reason = std::strerror(errno);
      return false;
    }
    copy_->mapping = mapping;
  }
  *out = std::string_view(static_cast<const char*>(copy_->mapping), static_cast<size_t>(copy_->size));
  return true;
}

void FileBytes::release() {
  if (copy_ == nullptr || copy_->mapping == nullptr) return;
  ::munmap(copy_->mapping, static_cast<size_t>(copy_->size));
  copy_->mapping = nullptr;
}

bool FileBytes::read(uint64_t offset, size_t length, char* out, std::string* reason) const {
  if (copy_ == nullptr) {
    std::memcpy(out, memory_.data() + offset, length);
    return true;
  }
  size_t done = 0;
  while (done < length) {
    const ssize_t n = ::pread(copy_->fd, out + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *reason = n < 0 ? std::strerror(errno) : "the kept copy ended early";
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

RegularFileRead ReadRegularFile(const std::string& path, FileBytes* out, std::string* reason, uint64_t limit,
                                uint64_t copyFrom) {
  FileDescriptor file;
  struct stat info {};
  const RegularFileRead opened = OpenRegularFile(path, limit, &file, &info, reason);
  if (opened != RegularFileRead::kOk) return opened;
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size >= copyFrom && size > 0) {
    FileDescriptor copy(CreatePrivateFile());
    uint64_t copied = 0;
    if (copy.get() >= 0) {
      switch (CopyFile(file.get(), copy.get(), size, &copied, reason)) {
        case CopyResult::kSourceFailed:
          return RegularFileRead::kFailed;
        case CopyResult::kCopyFailed:
          break;  // a full disk, say: memory instead
        case CopyResult::kDone: {
          auto kept = std::make_unique<FileBytes::DiskCopy>();
          kept->fd = copy.release();
          kept->size = copied;
          FileBytes bytes;
          bytes.copy_ = std::move(kept);
          *out = std::move(bytes);
          return RegularFileRead::kOk;
        }
      }
    }
  }
  std::string bytes;
  const RegularFileRead read = ReadOpenFile(file.get(), info, &bytes, reason);
  if (read == RegularFileRead::kOk) *out = FileBytes(std::move(bytes));
  return read;
}

}  // namespace pavlex::host::io

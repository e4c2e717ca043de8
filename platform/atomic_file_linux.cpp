#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/atomic_file.h"
#include "platform/atomic_file_steps.h"

namespace pavlex::platform {
namespace detail {
namespace {

FileProblem ProblemOf(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
      return FileProblem::kFolderMissing;
    case EISDIR:
      return FileProblem::kIsFolder;
    case EACCES:
    case EPERM:
      return FileProblem::kAccessDenied;
    case EROFS:
      return FileProblem::kReadOnlyFileSystem;
    case ENOSPC:
    case EDQUOT:
      return FileProblem::kDiskFull;
    case ETXTBSY:
      return FileProblem::kInUse;
    default:
      return FileProblem::kSystem;
  }
}

bool Fail(FileFailure* failure, FileStep step, const std::string& path, const std::string& folder, int code) {
  failure->problem = ProblemOf(code);
  failure->step = step;
  failure->path = path;
  failure->folder = folder;
  failure->systemText = std::strerror(code);
  return false;
}

bool Refuse(FileFailure* failure, const std::string& path, FileProblem problem) {
  failure->problem = problem;
  failure->step = FileStep::kCheck;
  failure->path = path;
  failure->folder.clear();
  failure->systemText.clear();
  return false;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a write to `path` should replace: a symbolic link's target.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Writes straight to the temporary file and keeps the first error.
class FileSink : public BufferedFileSink {
 public:
  explicit FileSink(int fd) : fd_(fd) {}
  int error() const { return error_; }

 private:
  bool WriteOut(const uint8_t* data, size_t size) override {
    while (size > 0) {
      // Bounded chunks: some file systems refuse very large single writes.
      const ssize_t written = ::write(fd_, data, size < (size_t{1} << 30) ? size : (size_t{1} << 30));
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        error_ = written < 0 ? errno : EIO;
        return false;
      }
      data += written;
      size -= static_cast<size_t>(written);
    }
    return true;
  }
  int fd_;
  int error_ = 0;
};

}  // namespace

bool WriteTemporary(const std::string& path, const FileProducer& produce, LinkRule links, PendingFile* pending,
                    FileFailure* failure) {
  static std::atomic<unsigned> counter{0};
  if (path.empty()) return Fail(failure, FileStep::kCreate, path, ".", ENOENT);
  struct stat own {};
  if (links == LinkRule::kRefuse && ::lstat(path.c_str(), &own) == 0 && S_ISLNK(own.st_mode)) {
    return Refuse(failure, path, FileProblem::kSymbolicLink);
  }
  pending->target = ResolveTarget(path);
  const std::string& target = pending->target;
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return Refuse(failure, path, FileProblem::kIsFolder);
  if (exists && !S_ISREG(existing.st_mode)) return Refuse(failure, path, FileProblem::kNotRegularFile);
  // Mode bits too: the super-user passes access() for any file.
  if (exists && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    return Refuse(failure, path, FileProblem::kReadOnly);
  }
  const std::string folder = FolderOf(target);
  const std::string base = target.substr(target.find_last_of('/') + 1);
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    // The leading dot keeps it out of casual listings; O_EXCL makes the
    // name ours alone, even against another writer.
    pending->temporary =
        folder + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(pending->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Fail(failure, FileStep::kCreate, path, folder, errno);
  FileSink sink(fd);
  const bool produced = produce(sink);
  int code = 0;
  if (!sink.Flush() || !sink.ok()) code = sink.error() != 0 ? sink.error() : EIO;
  const bool abandoned = code == 0 && !produced;
  if (code == 0 && !abandoned && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) code = errno;
  // Data on disk before the rename makes it visible under the real name.
  if (code == 0 && !abandoned && ::fsync(fd) != 0) code = errno;
  if (::close(fd) != 0 && code == 0 && !abandoned) code = errno;
  if (code == 0 && !abandoned) return true;
  ::unlink(pending->temporary.c_str());
  if (abandoned) {
    failure->problem = FileProblem::kNotProduced;
    failure->step = FileStep::kWrite;
    failure->path = path;
    failure->folder = folder;
    failure->systemText.clear();
    return false;
  }
  return Fail(failure, FileStep::kWrite, path, folder, code);
}

bool MoveIntoPlace(const std::string& path, const PendingFile& pending, FileFailure* failure) {
  if (::rename(pending.temporary.c_str(), pending.target.c_str()) == 0) return true;
  return Fail(failure, FileStep::kReplace, path, FolderOf(pending.target), errno);
}

void Discard(const PendingFile& pending) {
  ::unlink(pending.temporary.c_str());
}

}  // namespace detail

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  *reason = std::strerror(errno);
  return false;
}

}  // namespace pavlex::platform

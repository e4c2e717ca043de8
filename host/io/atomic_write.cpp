#include "host/io/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace pavlex::host::io {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Reason(int code) {
  return std::strerror(code);
}

struct Pending {
  std::string target;  // after following a symbolic link
  std::string temporary;
};

// The file a write to `path` should replace: a symbolic link's target.
std::string ResolveTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    // Bounded chunks: some file systems refuse very large single writes.
    const ssize_t n = ::write(fd, p, left < (size_t{1} << 30) ? left : (size_t{1} << 30));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// Writes one temporary file beside `target`; answers its name or sets error.
bool WriteTemporary(const std::string& shownPath, const std::string& target, std::string_view bytes,
                    std::string* temporary, std::string* error) {
  static std::atomic<unsigned> counter{0};
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) {
    *error = shownPath + ": cannot save: not a regular file";
    return false;
  }
  // Mode bits too: the super-user passes access() for any file.
  if (exists && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    *error = shownPath + ": cannot save: the file is read-only";
    return false;
  }
  const std::string folder = FolderOf(target);
  const std::string base = target.substr(target.find_last_of('/') + 1);
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    *temporary = folder + "/." + base + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    *error = shownPath + ": cannot create a file in '" + folder + "': " + Reason(errno);
    return false;
  }
  int failure = WriteAll(fd, bytes) ? 0 : errno;
  if (failure == 0 && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) failure = errno;
  // Data on disk before the rename makes it visible under the real name.
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure != 0) {
    *error = shownPath + ": cannot write: " + Reason(failure);
    ::unlink(temporary->c_str());
    return false;
  }
  return true;
}

}  // namespace

bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* error) {
  std::vector<Pending> pending;
  pending.reserve(files.size());
  auto discard = [&pending](size_t from) {
    for (size_t i = from; i < pending.size(); ++i) ::unlink(pending[i].temporary.c_str());
  };
  for (const FileToWrite& file : files) {
    Pending p;
    p.target = ResolveTarget(file.path);
    if (!WriteTemporary(file.path, p.target, file.bytes, &p.temporary, error)) {
      discard(0);
      return false;
    }
    pending.push_back(std::move(p));
  }
  for (size_t i = 0; i < pending.size(); ++i) {
    if (::rename(pending[i].temporary.c_str(), pending[i].target.c_str()) != 0) {
      *error = files[i].path + ": cannot replace the file: " + Reason(errno);
      discard(i);
      return false;
    }
  }
  return true;
}

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  *reason = Reason(errno);
  return false;
}

}  // namespace pavlex::host::io

#include "host/settings/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace pavlex::host {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
  return what + " '" + path + "': " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// mkdir -p; true when the folder exists afterwards.
bool MakeFolders(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const size_t slash = folder.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
  return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace

FileReadStatus ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileReadStatus::kMissing;
    if (error != nullptr) *error = Reason("cannot open", path);
    return FileReadStatus::kFailed;
  }
  bytes->clear();
  char buffer[1 << 14];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      if (error != nullptr) *error = Reason("cannot read", path);
      close(fd);
      return FileReadStatus::kFailed;
    }
    bytes->append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return FileReadStatus::kRead;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
  };
  const std::string folder = FolderOf(path);
  if (!MakeFolders(folder)) return fail(Reason("cannot create the folder", folder));

  std::string temp = path + ".XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return fail(Reason("cannot create a temporary file beside", path));
  temp = name.data();
  auto abandon = [&](const std::string& why) {
    close(fd);
    unlink(temp.c_str());
    return fail(why);
  };

  struct stat existing {};
  const mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  if (fchmod(fd, mode) != 0) return abandon(Reason("cannot set the permissions of", temp));
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return abandon(Reason("cannot write", temp));
    }
    done += static_cast<size_t>(wrote);
  }
  if (fsync(fd) != 0) return abandon(Reason("cannot flush", temp));
  if (close(fd) != 0) {
    unlink(temp.c_str());
    return fail(Reason("cannot close", temp));
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const std::string why = Reason("cannot replace", path);
    unlink(temp.c_str());
    return fail(why);
  }
  return true;
}

}  // namespace pavlex::host

#include <windows.h>

#include <atomic>
#include <string>

#include "platform/atomic_file.h"
#include "platform/atomic_file_steps.h"
#include "platform/win32_file_support.h"

namespace pavlex::platform {
namespace detail {
namespace {

FileProblem ProblemOf(DWORD code) {
  if (IsNotFound(code)) return FileProblem::kFolderMissing;
  switch (code) {
    case ERROR_ACCESS_DENIED:
      return FileProblem::kAccessDenied;
    case ERROR_WRITE_PROTECT:
      return FileProblem::kReadOnlyFileSystem;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileProblem::kDiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileProblem::kInUse;
    default:
      return FileProblem::kSystem;
  }
}

bool Fail(FileFailure* failure, FileStep step, const std::string& path, const std::string& folder, DWORD code) {
  failure->problem = ProblemOf(code);
  failure->step = step;
  failure->path = path;
  failure->folder = folder;
  failure->systemText = ErrorText(code);
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

size_t LastSeparator(const std::string& path) {
  return path.find_last_of("/\\");
}

std::string FolderOf(const std::string& path) {
  const size_t slash = LastSeparator(path);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// The file a write to `path` should replace: a symbolic link's target, so
// the link stays a link. A link that leads nowhere is replaced itself.
std::string ResolveTarget(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
  Handle link(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!link.valid()) return path;
  std::wstring resolved(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(link.get(), resolved.data(), static_cast<DWORD>(resolved.size()), 0);
  if (length >= resolved.size()) {
    resolved.resize(length + 1);
    length = GetFinalPathNameByHandleW(link.get(), resolved.data(), static_cast<DWORD>(resolved.size()), 0);
  }
  if (length == 0 || length >= resolved.size()) return path;
  resolved.resize(length);
  // The answer is in the \\?\ form; messages show the ordinary one.
  if (resolved.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
    resolved = L"\\\\" + resolved.substr(8);
  } else if (resolved.compare(0, 4, L"\\\\?\\") == 0) {
    resolved = resolved.substr(4);
  }
  return Utf8Path(resolved);
}

// Writes straight to the temporary file and keeps the first error.
class FileSink : public BufferedFileSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}
  DWORD error() const { return error_; }

 private:
  bool WriteOut(const uint8_t* data, size_t size) override {
    while (size > 0) {
      // WriteFile takes a 32-bit count; bounded slices also suit file
      // systems that refuse very large single writes.
      const DWORD slice = size > (size_t{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(file_, data, slice, &written, nullptr)) {
        error_ = GetLastError();
        return false;
      }
      if (written == 0) {
        error_ = ERROR_WRITE_FAULT;
        return false;
      }
      data += written;
      size -= written;
    }
    return true;
  }
  HANDLE file_;
  DWORD error_ = ERROR_SUCCESS;
};

// The attributes a replaced file keeps, as Linux keeps the mode bits.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

bool WriteTemporary(const std::string& path, const FileProducer& produce, LinkRule links, PendingFile* pending,
                    FileFailure* failure) {
  if (links == LinkRule::kRefuse) {
    const DWORD own = GetFileAttributesW(WidePath(path).c_str());
    if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      return Refuse(failure, path, FileProblem::kSymbolicLink);
    }
  }
  static std::atomic<unsigned> counter{0};
  if (path.empty()) return Fail(failure, FileStep::kCreate, path, ".", ERROR_PATH_NOT_FOUND);
  pending->target = ResolveTarget(path);
  const std::string& target = pending->target;
  const std::wstring wideTarget = WidePath(target);
  const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Refuse(failure, path, FileProblem::kIsFolder);
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return Refuse(failure, path, FileProblem::kReadOnly);
  if (exists) {
    // The security settings may deny writing even without the attribute;
    // refuse now, before any file of a set is replaced. Opening for
    // writing changes nothing in the file.
    Handle probe(CreateFileW(wideTarget.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
      const DWORD code = GetLastError();
      if (code == ERROR_ACCESS_DENIED) return Refuse(failure, path, FileProblem::kReadOnly);
      return Fail(failure, FileStep::kCheck, path, FolderOf(target), code);
    }
    if (GetFileType(probe.get()) != FILE_TYPE_DISK) return Refuse(failure, path, FileProblem::kNotRegularFile);
  }
  const std::string folder = FolderOf(target);
  const size_t slash = LastSeparator(target);
  const std::string prefix = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD code = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    pending->temporary =
        prefix + "." + base + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    // CREATE_NEW makes the name ours alone, even against another writer.
    file = CreateFileW(WidePath(pending->temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    code = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return Fail(failure, FileStep::kCreate, path, folder, code);
  Handle written(file);
  FileSink sink(written.get());
  const bool produced = produce(sink);
  DWORD failed = ERROR_SUCCESS;
  if (!sink.Flush() || !sink.ok()) failed = sink.error() != ERROR_SUCCESS ? sink.error() : ERROR_WRITE_FAULT;
  const bool abandoned = failed == ERROR_SUCCESS && !produced;
  // Data on disk before the move makes it visible under the real name.
  if (failed == ERROR_SUCCESS && !abandoned && !FlushFileBuffers(written.get())) failed = GetLastError();
  if (!written.close() && failed == ERROR_SUCCESS && !abandoned) failed = GetLastError();
  const std::wstring wideTemporary = WidePath(pending->temporary);
  if (failed == ERROR_SUCCESS && !abandoned && exists && (attributes & kKeptAttributes) != 0 &&
      !SetFileAttributesW(wideTemporary.c_str(), attributes & kKeptAttributes)) {
    failed = GetLastError();
  }
  if (failed == ERROR_SUCCESS && !abandoned) return true;
  DeleteFileW(wideTemporary.c_str());
  if (abandoned) {
    failure->problem = FileProblem::kNotProduced;
    failure->step = FileStep::kWrite;
    failure->path = path;
    failure->folder = folder;
    failure->systemText.clear();
    return false;
  }
  return Fail(failure, FileStep::kWrite, path, folder, failed);
}

bool MoveIntoPlace(const std::string& path, const PendingFile& pending, FileFailure* failure) {
  if (MoveFileExW(WidePath(pending.temporary).c_str(), WidePath(pending.target).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  return Fail(failure, FileStep::kReplace, path, FolderOf(pending.target), GetLastError());
}

void Discard(const PendingFile& pending) {
  DeleteFileW(WidePath(pending.temporary).c_str());
}

}  // namespace detail

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
  if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *reason = ErrorText(GetLastError());
  return false;
}

}  // namespace pavlex::platform

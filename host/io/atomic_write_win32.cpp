#include <windows.h>

#include <atomic>
#include <string>

#include "host/io/atomic_write.h"
#include "host/io/win32_file_support.h"

namespace pavlex::host::io {
namespace {

size_t LastSeparator(const std::string& path) {
  return path.find_last_of("/\\");
}

std::string FolderOf(const std::string& path) {
  const size_t slash = LastSeparator(path);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

struct Pending {
  std::string target;  // after following a symbolic link
  std::string temporary;
};

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

bool WriteAll(HANDLE file, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    // WriteFile takes a 32-bit count; bounded slices also suit file systems
    // that refuse very large single writes.
    const DWORD slice = left > (size_t{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file, p, slice, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    p += written;
    left -= written;
  }
  return true;
}

// The attributes a replaced file keeps, as Linux keeps the mode bits.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Writes one temporary file beside `target`; answers its name or sets error.
bool WriteTemporary(const std::string& shownPath, const std::string& target, std::string_view bytes,
                    std::string* temporary, std::string* error) {
  static std::atomic<unsigned> counter{0};
  const std::wstring wideTarget = WidePath(target);
  const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *error = shownPath + ": cannot save: not a regular file";
    return false;
  }
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    *error = shownPath + ": cannot save: the file is read-only";
    return false;
  }
  if (exists) {
    // The security settings may deny writing even without the attribute;
    // refuse now, before any file of the set is replaced. Opening for
    // writing changes nothing in the file.
    Handle probe(CreateFileW(wideTarget.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe.valid()) {
      const DWORD code = GetLastError();
      *error = shownPath + ": cannot save: " +
               (code == ERROR_ACCESS_DENIED ? std::string("the file is read-only") : ErrorText(code));
      return false;
    }
    if (GetFileType(probe.get()) != FILE_TYPE_DISK) {
      *error = shownPath + ": cannot save: not a regular file";
      return false;
    }
  }
  const std::string folder = FolderOf(target);
  const size_t slash = LastSeparator(target);
  const std::string prefix = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD code = ERROR_SUCCESS;
  for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    *temporary = prefix + "." + base + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(counter++);
    // CREATE_NEW makes the name ours alone, even against another writer.
    file = CreateFileW(WidePath(*temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    code = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    *error = shownPath + ": cannot create a file in '" + folder + "': " + ErrorText(code);
    return false;
  }
  Handle written(file);
  DWORD failure = ERROR_SUCCESS;
  if (!WriteAll(written.get(), bytes)) failure = GetLastError();
  // Data on disk before the move makes it visible under the real name.
  if (failure == ERROR_SUCCESS && !FlushFileBuffers(written.get())) failure = GetLastError();
  if (!written.close() && failure == ERROR_SUCCESS) failure = GetLastError();
  const std::wstring wideTemporary = WidePath(*temporary);
  if (failure == ERROR_SUCCESS && exists && (attributes & kKeptAttributes) != 0 &&
      !SetFileAttributesW(wideTemporary.c_str(), attributes & kKeptAttributes)) {
    failure = GetLastError();
  }
  if (failure != ERROR_SUCCESS) {
    *error = shownPath + ": cannot write: " + ErrorText(failure);
    DeleteFileW(wideTemporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* error) {
  std::vector<Pending> pending;
  pending.reserve(files.size());
  auto discard = [&pending](size_t from) {
    for (size_t i = from; i < pending.size(); ++i) DeleteFileW(WidePath(pending[i].temporary).c_str());
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
    if (!MoveFileExW(WidePath(pending[i].temporary).c_str(), WidePath(pending[i].target).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      *error = files[i].path + ": cannot replace the file: " + ErrorText(GetLastError());
      discard(i);
      return false;
    }
  }
  return true;
}

bool RenameFile(const std::string& from, const std::string& to, std::string* reason) {
  if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *reason = ErrorText(GetLastError());
  return false;
}

}  // namespace pavlex::host::io

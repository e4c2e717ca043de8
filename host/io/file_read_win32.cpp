#include <windows.h>

#include <cstdint>
#include <cstring>

#include "host/io/file_bytes.h"
#include "host/io/file_read.h"
#include "platform/win32_file_support.h"

namespace pavlex::host::io {

using platform::ErrorText;
using platform::Handle;
using platform::IsNotFound;
using platform::WidePath;

RegularFileRead ReadRegularFile(const std::string& path, std::string* out, std::string* reason, uint64_t limit) {
  // Shared for writing and deleting too: another program may hold the file
  // open, and reading must not stop it from saving. Backup semantics let a
  // folder open, so it is reported as a folder rather than "access denied".
  Handle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    const DWORD code = GetLastError();
    *reason = ErrorText(code);
    return IsNotFound(code) ? RegularFileRead::kNotFound : RegularFileRead::kFailed;
  }
  // Devices (NUL, CON, COM1) and pipes have no end to read to.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    *reason = "not a regular file";
    return RegularFileRead::kFailed;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    *reason = ErrorText(GetLastError());
    return RegularFileRead::kFailed;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *reason = "is a folder";
    return RegularFileRead::kFailed;
  }
  const uint64_t size = (uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  if (size > limit) {
    *reason = "larger than " + LimitText(limit);
    return RegularFileRead::kFailed;
  }
  // A 32-bit process cannot hold more than its address space.
  if (size > static_cast<uint64_t>(SIZE_MAX / 2)) {
    *reason = "too large to read";
    return RegularFileRead::kFailed;
  }
  std::string bytes;
  bytes.resize(static_cast<size_t>(size));
  size_t done = 0;
  // A file that grows while it is read is taken at the size it had; one that
  // shrinks ends where it ends.
  while (done < bytes.size()) {
    const size_t left = bytes.size() - done;
    const DWORD slice = left > (size_t{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(left);
    DWORD n = 0;
    if (!ReadFile(file.get(), bytes.data() + done, slice, &n, nullptr)) {
      *reason = ErrorText(GetLastError());
      return RegularFileRead::kFailed;
    }
    if (n == 0) break;
    done += n;
  }
  bytes.resize(done);
  *out = std::move(bytes);
  return RegularFileRead::kOk;
}


// --- FileBytes ------------------------------------------------------------------
// Kept in memory only: the private copy on disk is made on Linux.

struct FileBytes::DiskCopy {};

FileBytes::FileBytes() = default;
FileBytes::FileBytes(std::string bytes) : memory_(std::move(bytes)) {}
FileBytes::FileBytes(FileBytes&& other) noexcept = default;
FileBytes& FileBytes::operator=(FileBytes&& other) noexcept = default;
FileBytes::~FileBytes() = default;

uint64_t FileBytes::size() const {
  return memory_.size();
}

bool FileBytes::view(std::string_view* out, std::string* /*reason*/) {
  *out = memory_;
  return true;
}

void FileBytes::release() {}

bool FileBytes::read(uint64_t offset, size_t length, char* out, std::string* /*reason*/) const {
  std::memcpy(out, memory_.data() + offset, length);
  return true;
}

RegularFileRead ReadRegularFile(const std::string& path, FileBytes* out, std::string* reason, uint64_t limit,
                                uint64_t /*copyFrom*/) {
  std::string bytes;
  const RegularFileRead read = ReadRegularFile(path, &bytes, reason, limit);
  if (read == RegularFileRead::kOk) *out = FileBytes(std::move(bytes));
  return read;
}

}  // namespace pavlex::host::io

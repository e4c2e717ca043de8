#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/text_conversion.h"
#include "plugin/output/atomic_file.h"
#include "plugin/output/buffered_file_sink.h"

namespace pavlex {

namespace {

// Writes the buffered bytes straight to the temporary file.
class FileSink : public BufferedFileSink {
 public:
  explicit FileSink(HANDLE file) : file_(file) {}

 private:
  bool WriteOut(const uint8_t* data, size_t size) override {
    while (size > 0) {
      // WriteFile takes a 32-bit count; a huge buffer goes in slices.
      const DWORD slice = size > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(file_, data, slice, &written, nullptr) || written == 0) return false;
      data += written;
      size -= written;
    }
    return true;
  }
  HANDLE file_;
};

// A fresh temporary file beside `path`; CREATE_NEW makes the name ours
// alone even when another writer races for the same destination.
HANDLE CreateTemporary(const std::u16string& folder, const std::u16string& base, std::u16string* temp) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), ".%lx%x", GetCurrentProcessId() & 0xFFFFFul, (++counter * 2654435761u) >> 8);
    *temp = folder + u"." + base + platform::Utf8ToUtf16(suffix);
    HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(temp->c_str()), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<bool(platform::ByteSink&)>& write) {
  if (path.empty()) return false;
  const std::u16string wide = platform::SystemToUtf16(path);
  // Same folder as the destination, so the rename never crosses volumes;
  // the leading dot keeps it out of casual listings.
  const size_t slash = wide.find_last_of(u"/\\");
  const std::u16string folder = slash == std::u16string::npos ? std::u16string() : wide.substr(0, slash + 1);
  const std::u16string base = slash == std::u16string::npos ? wide : wide.substr(slash + 1);
  std::u16string temp;
  HANDLE file = CreateTemporary(folder, base, &temp);
  if (file == INVALID_HANDLE_VALUE) return false;
  const auto* tempName = reinterpret_cast<const wchar_t*>(temp.c_str());
  FileSink sink(file);
  bool ok = write(sink) && sink.Flush();
  ok = FlushFileBuffers(file) && ok;
  ok = CloseHandle(file) && ok;
  if (ok) {
    ok = MoveFileExW(tempName, reinterpret_cast<const wchar_t*>(wide.c_str()),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(tempName);
  return ok;
}

}  // namespace pavlex

// What the Windows file code shares (the atomic writer here, the host's
// reads): UTF-8 names to the wide names the system takes, and system error
// codes to short texts. Windows only.
#pragma once

#include <windows.h>

#include <string>

namespace pavlex::platform {

// Names are UTF-8 everywhere; the wide API is the one that reaches every name.
std::wstring WidePath(const std::string& utf8);
std::string Utf8Path(const std::wstring& wide);

// The same few words Linux prints for the common failures ("No such file
// or directory"), so messages and scripts read alike on both systems; the
// system's own text for the rest.
std::string ErrorText(DWORD code);

// True for the codes that mean the file or a folder on its way is missing.
bool IsNotFound(DWORD code);

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  // Closes now, for callers that must know whether closing worked.
  bool close() {
    const bool ok = CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

}  // namespace pavlex::platform

#include "platform/win32_file_support.h"

#include "platform/text_conversion.h"

namespace pavlex::platform {

std::wstring WidePath(const std::string& utf8) {
  const std::u16string wide = platform::Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

std::string Utf8Path(const std::wstring& wide) {
  return platform::Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

bool IsNotFound(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_INVALID_DRIVE ||
         code == ERROR_BAD_NETPATH || code == ERROR_DIRECTORY;
}

std::string ErrorText(DWORD code) {
  if (IsNotFound(code)) return "No such file or directory";
  switch (code) {
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "the file is in use by another program";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) LocalFree(text);
  // One line, like the rest of the message it ends.
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.' ||
                              message.back() == L' ')) {
    message.pop_back();
  }
  return message.empty() ? "system error " + std::to_string(code) : Utf8Path(message);
}

}  // namespace pavlex::platform

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "host/settings/settings_file.h"
#include "platform/text_conversion.h"

namespace pavlex::host {
namespace {

std::string ToUtf8(const wchar_t* text) {
  return platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
}

// "C:\..." or "\\server\share\...": a folder that does not depend on the
// current drive or folder.
bool IsAbsolute(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return true;
  return path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
}

// %APPDATA%, read wide so a user name outside the code page survives.
std::wstring AppDataVariable() {
  std::wstring value(MAX_PATH, L'\0');
  DWORD length = GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
  if (length >= value.size()) {
    value.resize(length);
    length = GetEnvironmentVariableW(L"APPDATA", value.data(), static_cast<DWORD>(value.size()));
  }
  if (length == 0 || length >= value.size()) return std::wstring();
  value.resize(length);
  return value;
}

}  // namespace

std::string DefaultSettingsPath() {
  std::wstring folder = AppDataVariable();
  if (!IsAbsolute(folder)) {
    // The variable is missing or damaged: ask the shell, as a password
    // database lookup stands in for HOME on Linux.
    folder.clear();
    wchar_t* known = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known)) && known != nullptr) {
      folder = known;
    }
    CoTaskMemFree(known);
  }
  if (folder.empty()) return std::string();
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return ToUtf8(folder.c_str()) + "pavlex\\settings.xml";
}

}  // namespace pavlex::host

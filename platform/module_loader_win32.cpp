#include <windows.h>

#include <string>

#include "platform/module_loader.h"

namespace pavlex::platform {

namespace {

// GetLastError() is overwritten by the next system call, so keep the text.
thread_local std::string g_lastError;

std::string DescribeError(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string description = length > 0 && text != nullptr ? std::string(text, length) : std::string();
  if (text != nullptr) LocalFree(text);
  while (!description.empty() && (description.back() == '\n' || description.back() == '\r'))
    description.pop_back();
  return "error " + std::to_string(code) + (description.empty() ? "" : ": " + description);
}

}  // namespace

ModuleHandle LoadModule(const char* path) {
  if (path == nullptr) {
    g_lastError = "no module name";
    return nullptr;
  }
  HMODULE module = LoadLibraryA(path);
  if (module == nullptr) g_lastError = std::string(path) + ": " + DescribeError(GetLastError());
  return reinterpret_cast<ModuleHandle>(module);
}

ModuleHandle FindLoadedModule(const char* path) {
  if (path == nullptr) {
    g_lastError = "no module name";
    return nullptr;
  }
  // The loader matches a path against its loaded modules with backslashes
  // only, while LoadLibrary accepts either separator.
  std::string name(path);
  for (char& c : name) {
    if (c == '/') c = '\\';
  }
  HMODULE module = nullptr;
  // Flags 0: take a reference, as LoadModule does, so ReleaseModule pairs
  // with either.
  if (!GetModuleHandleExA(0, name.c_str(), &module)) {
    g_lastError = std::string(path) + ": not loaded";
    return nullptr;
  }
  return reinterpret_cast<ModuleHandle>(module);
}

void* FindSymbol(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  // FARPROC to data pointer: the interface hands out untyped addresses.
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void ReleaseModule(ModuleHandle module) {
  if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

std::string ModulePathContaining(const void* address) {
  if (address == nullptr) return {};
  HMODULE module = nullptr;
  // UNCHANGED_REFCOUNT: only the name is wanted, not a reference to keep.
  if (!GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<const char*>(address), &module)) {
    return {};
  }
  // Long paths need more than MAX_PATH; grow until the name fits.
  std::string name(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(module, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    if (name.size() >= 32768) return {};
    name.resize(name.size() * 2);
  }
}

const char* LastModuleError() {
  return g_lastError.c_str();
}

}  // namespace pavlex::platform

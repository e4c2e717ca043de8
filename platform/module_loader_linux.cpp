#include <dlfcn.h>

#include <string>

#include "platform/module_loader.h"

namespace pavlex::platform {

namespace {
// dlerror() text is overwritten by the next dl call, so keep a copy.
thread_local std::string g_lastError;
}  // namespace

ModuleHandle LoadModule(const char* path) {
  if (path == nullptr) {
    g_lastError = "no module name";
    return nullptr;
  }
  // RTLD_LOCAL keeps the module's symbols out of the global namespace, the
  // way a Windows module's exports are reached only through its handle.
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    g_lastError = error != nullptr ? error : "cannot load module";
  }
  return handle;
}

ModuleHandle FindLoadedModule(const char* path) {
  if (path == nullptr) {
    g_lastError = "no module name";
    return nullptr;
  }
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
  if (handle == nullptr) g_lastError = std::string(path) + ": not loaded";
  return handle;
}

void* FindSymbol(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) return nullptr;
  dlerror();
  return dlsym(module, name);
}

void ReleaseModule(ModuleHandle module) {
  if (module != nullptr) dlclose(module);
}

std::string ModulePathContaining(const void* address) {
  Dl_info info{};
  if (address == nullptr || dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

const char* LastModuleError() {
  return g_lastError.c_str();
}

}  // namespace pavlex::platform

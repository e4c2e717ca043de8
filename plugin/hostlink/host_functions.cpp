#include "plugin/hostlink/host_functions.h"

#include <cstring>

#include "platform/module_loader.h"

namespace pavlex {

namespace detail {
HostFunctions g_hostFunctions;
}  // namespace detail

namespace {

#define PAVLEX_COUNT_HOST_FUNCTION(ret, name, params) +1
static_assert(0 MQ_HOST_FUNCTIONS(PAVLEX_COUNT_HOST_FUNCTION) == MQ_HOST_FUNCTION_COUNT,
              "the host function list and its count disagree");
#undef PAVLEX_COUNT_HOST_FUNCTION
static_assert(sizeof(HostFunctions) == MQ_HOST_FUNCTION_COUNT * sizeof(void*));

// The module whose functions the published table points into.
platform::ModuleHandle g_boundModule = nullptr;

template <typename Function>
bool Resolve(platform::ModuleHandle module, const char* name, Function& slot) {
  static_assert(sizeof(Function) == sizeof(void*));
  void* address = platform::FindSymbol(module, name);
  if (address == nullptr) return false;
  // An exported symbol's address is its function's address; memcpy avoids
  // the object-to-function pointer cast the language leaves open.
  std::memcpy(&slot, &address, sizeof slot);
  return true;
}

}  // namespace

HostBindResult BindHostFunctions(const char* hostModule) {
  platform::ModuleHandle module = platform::LoadModule(hostModule);
  if (module == nullptr) return {HostBindStatus::kModuleNotLoaded, nullptr};

  HostFunctions scratch;
  const char* missing = nullptr;
#define PAVLEX_RESOLVE_HOST_FUNCTION(ret, name, params) \
  if (missing == nullptr && !Resolve(module, #name, scratch.name)) missing = #name;
  MQ_HOST_FUNCTIONS(PAVLEX_RESOLVE_HOST_FUNCTION)
#undef PAVLEX_RESOLVE_HOST_FUNCTION

  if (missing != nullptr) {
    platform::ReleaseModule(module);
    return {HostBindStatus::kFunctionMissing, missing};
  }
  detail::g_hostFunctions = scratch;
  platform::ModuleHandle previous = g_boundModule;
  g_boundModule = module;
  platform::ReleaseModule(previous);
  return {HostBindStatus::kBound, nullptr};
}

bool HostFunctionsBound() {
  return g_boundModule != nullptr;
}

}  // namespace pavlex

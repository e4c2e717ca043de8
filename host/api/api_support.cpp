// Helpers shared by the exported functions (see handles.h), and a link-time
// check that every function of the table is defined.
#include <mutex>
#include <unordered_set>

#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"

namespace pavlex::host::api {
namespace {

std::mutex g_ownedMutex;
std::unordered_set<const void*>& OwnedHandles() {
  static std::unordered_set<const void*> handles;
  return handles;
}

// Taking every address makes the link (with --no-undefined) fail when a
// function of MQ_HOST_FUNCTIONS is declared but defined nowhere.
using AnyFunction = void (*)();
#define PAVLEX_TAKE_ADDRESS(ret, name, params) reinterpret_cast<AnyFunction>(&name),
[[maybe_unused]] __attribute__((used))
const AnyFunction kEveryHostFunction[] = {MQ_HOST_FUNCTIONS(PAVLEX_TAKE_ADDRESS)};
#undef PAVLEX_TAKE_ADDRESS
static_assert(sizeof(kEveryHostFunction) / sizeof(kEveryHostFunction[0]) == MQ_HOST_FUNCTION_COUNT);

}  // namespace

#if defined(PAVLEX_HOST_CALL_TRACE)
namespace detail {
PavlexCallTraceHook g_callTraceHook = nullptr;
void* g_callTraceContext = nullptr;
}  // namespace detail
#endif

void CopyUtf8(std::string_view text, char* buffer, int32_t size) noexcept {
  if (buffer == nullptr || size < 1) return;
  size_t n = text.size();
  if (n > static_cast<size_t>(size) - 1) {
    n = static_cast<size_t>(size) - 1;
    // Back up over continuation bytes so no character is cut in two.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  text.copy(buffer, n);
  buffer[n] = '\0';
}

void CopyUtf16(std::u16string_view text, MQWChar* buffer, int32_t size) noexcept {
  if (buffer == nullptr || size < 1) return;
  size_t n = text.size();
  if (n > static_cast<size_t>(size) - 1) {
    n = static_cast<size_t>(size) - 1;
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;  // lone high surrogate
  }
  text.copy(buffer, n);
  buffer[n] = u'\0';
}

void RegisterCallerOwned(const void* handle) {
  const std::lock_guard<std::mutex> lock(g_ownedMutex);
  OwnedHandles().insert(handle);
}

bool ReleaseCallerOwned(const void* handle) noexcept {
  const std::lock_guard<std::mutex> lock(g_ownedMutex);
  return OwnedHandles().erase(handle) > 0;
}

}  // namespace pavlex::host::api

#if defined(PAVLEX_HOST_CALL_TRACE)
void PavlexSetCallTrace(PavlexCallTraceHook hook, void* context) {
  pavlex::host::api::detail::g_callTraceContext = context;
  pavlex::host::api::detail::g_callTraceHook = hook;
}
#endif

// A record of the exported functions a plug-in calls, in order, for tests
// that check a change to the plug-in or the host keeps the calls it makes.
//
// Off unless a test installs a hook: each exported function then pays one
// load and a branch that is never taken.
#pragma once

namespace pavlex::host::api {

// Receives the exported function's name (static storage) as it is entered.
using CallTraceHook = void (*)(const char* function, void* context);

// Installs `hook` (null switches the record off). Not thread-safe: install
// it while no plug-in code runs.
void SetCallTrace(CallTraceHook hook, void* context) noexcept;

// Hidden where the format allows it, so the test in every exported
// function reads the hook directly rather than through the symbol table.
#if defined(__ELF__)
#define PAVLEX_HOST_PRIVATE __attribute__((visibility("hidden")))
#else
#define PAVLEX_HOST_PRIVATE
#endif

namespace detail {
extern PAVLEX_HOST_PRIVATE CallTraceHook g_callTraceHook;
extern PAVLEX_HOST_PRIVATE void* g_callTraceContext;
}  // namespace detail

}  // namespace pavlex::host::api

// First statement of every exported function.
#define PAVLEX_TRACE_CALL()                                                                      \
  do {                                                                                           \
    if (::pavlex::host::api::detail::g_callTraceHook != nullptr)                                 \
      ::pavlex::host::api::detail::g_callTraceHook(__func__, ::pavlex::host::api::detail::g_callTraceContext); \
  } while (false)

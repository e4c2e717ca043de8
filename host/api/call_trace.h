// A record of the exported functions a plug-in calls, in order, for tests
// that check a change to the plug-in or the host keeps the calls it makes.
//
// Compiled in only where PAVLEX_HOST_CALL_TRACE is defined: the tests build
// a second copy of the exported functions with it (pavlexhost_calltrace)
// and bind the plug-in to that copy through MQInit. The host itself pays
// nothing, not even a test of a hook.
#pragma once

#if defined(PAVLEX_HOST_CALL_TRACE)

#include "hostapi/mq_types.h"

// Receives the exported function's name (static storage) as it is entered.
typedef void (*PavlexCallTraceHook)(const char* function, void* context);

// Installs `hook` (null switches the record off). Not thread-safe: install
// it while no plug-in code runs. Looked up by name in the traced copy.
MQ_EXTERN_C MQ_EXPORT void PavlexSetCallTrace(PavlexCallTraceHook hook, void* context);

namespace pavlex::host::api::detail {
extern PavlexCallTraceHook g_callTraceHook;
extern void* g_callTraceContext;
}  // namespace pavlex::host::api::detail

// First statement of every exported function.
#define PAVLEX_TRACE_CALL()                                                                                      \
  do {                                                                                                           \
    if (::pavlex::host::api::detail::g_callTraceHook != nullptr)                                                 \
      ::pavlex::host::api::detail::g_callTraceHook(__func__, ::pavlex::host::api::detail::g_callTraceContext); \
  } while (false)

#else

#define PAVLEX_TRACE_CALL() \
  do {                      \
  } while (false)

#endif

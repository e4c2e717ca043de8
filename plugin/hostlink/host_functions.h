// The process-wide table of host functions. Every call the plug-in makes
// into the host goes through it:
//
//   Host().MQDoc_GetObject(doc, index)
//
// The table is filled once by BindHostFunctions (from MQInit) and only read
// afterwards. Until a bind succeeds every pointer is null.
#pragma once

#include "hostapi/mq_host_functions.h"

namespace pavlex {

// One pointer per host function, named and typed exactly like the function.
struct HostFunctions {
#define PAVLEX_HOST_FUNCTION_POINTER(ret, name, params) ret(MQAPI* name) params = nullptr;
  MQ_HOST_FUNCTIONS(PAVLEX_HOST_FUNCTION_POINTER)
#undef PAVLEX_HOST_FUNCTION_POINTER
};

namespace detail {
// Written only by BindHostFunctions; everyone else reads it through Host().
extern HostFunctions g_hostFunctions;
}  // namespace detail

inline const HostFunctions& Host() {
  return detail::g_hostFunctions;
}

enum class HostBindStatus {
  kBound,            // every function resolved; the table now points into the module
  kModuleNotLoaded,  // the module could not be loaded
  kFunctionMissing,  // the module lacks a function; see HostBindResult::missingFunction
};

struct HostBindResult {
  HostBindStatus status;
  const char* missingFunction;  // static text; null unless kFunctionMissing
};

// Loads `hostModule` (a file name the module loader accepts) and resolves
// every host function by name, in table order, stopping at the first one
// that is missing. The table is replaced only when all of them resolved, so
// a failed bind leaves the previous table (bound or empty) as it was.
//
// A successful bind keeps its module reference for as long as its table is
// in use, so the pointers can never outlive the code they point to; the
// reference of the table it replaces is given back. A failed bind gives back
// the reference it took.
HostBindResult BindHostFunctions(const char* hostModule);

// True once a bind has succeeded.
bool HostFunctionsBound();

}  // namespace pavlex

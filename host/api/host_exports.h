// Declarations of the 193 functions the host library exports, made from the
// X-macro of hostapi/mq_host_functions.h. Every definition in host/api is
// written with PAVLEX_HOST_FN, which repeats the C linkage: a definition
// whose parameters or result differ from the table is then a conflicting
// declaration of a C function and fails to compile.
#pragma once

#include "hostapi/mq_host_functions.h"

// Outside the host module, Windows code imports the functions: their
// addresses are then the ones the module exports, not a local jump stub.
#if defined(_WIN32) && !defined(pavlexhost_EXPORTS)
#define PAVLEX_HOST_LINKAGE __declspec(dllimport)
#else
#define PAVLEX_HOST_LINKAGE MQ_EXPORT
#endif

#define PAVLEX_DECLARE_HOST_FUNCTION(ret, name, params) MQ_EXTERN_C PAVLEX_HOST_LINKAGE ret MQAPI name params;
MQ_HOST_FUNCTIONS(PAVLEX_DECLARE_HOST_FUNCTION)
#undef PAVLEX_DECLARE_HOST_FUNCTION

// Start of the definition of an exported host function:
//   PAVLEX_HOST_FN(int32_t) MQDoc_GetObjectCount(MQDocument doc) { ... }
#define PAVLEX_HOST_FN(ret) MQ_EXTERN_C MQ_EXPORT ret MQAPI

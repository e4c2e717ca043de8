// The entry points the host resolves by name. Each one forwards to the
// plug-in and turns any escaping exception into the entry's failure value:
// nothing may unwind into the host.
#include <clocale>

#include "hostapi/mq_codes.h"
#include "hostapi/mq_plugin_exports.h"
#include "platform/exception_frames.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/shell/pavlex_plugin.h"

// Declaring every entry from the shared list makes a definition below that
// drifts from the contract a compile error.
#define PAVLEX_DECLARE_ENTRY_POINT(ret, name, params) MQ_EXTERN_C MQ_EXPORT ret MQAPI name params;
MQ_PLUGIN_ENTRY_POINTS(PAVLEX_DECLARE_ENTRY_POINT)
#undef PAVLEX_DECLARE_ENTRY_POINT

namespace {

// First of all: the entry points below catch every exception, which works
// only if this module's unwinder knows its frames whatever the host loaded.
[[maybe_unused]] const bool g_ownExceptionFrames = (pavlex::platform::KeepOwnExceptionFrames(), true);

// Character classification follows the user's locale from the moment the
// library is loaded, before the host calls anything.
[[maybe_unused]] const bool g_userCharacterLocale = std::setlocale(LC_CTYPE, "") != nullptr;

// The one plug-in object; it lives from library load to unload.
pavlex::Pavlex g_plugin;

}  // namespace

MQ_EXTERN_C MQ_EXPORT uint32_t MQAPI MQCheckVersion(uint32_t host_version) {
  return host_version >= MQ_HOST_VERSION_MIN ? MQ_PLUGIN_VERSION : 0;
}

MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQInit(const char* host_module) {
  try {
    return pavlex::BindHostFunctions(host_module).status == pavlex::HostBindStatus::kBound ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

MQ_EXTERN_C MQ_EXPORT void MQAPI MQGetPlugInID(uint32_t* product, uint32_t* id) {
  g_plugin.GetPlugInID(product, id);
}

MQ_EXTERN_C MQ_EXPORT const char* MQAPI MQGetPlugInName(void) {
  return g_plugin.GetPlugInName();
}

MQ_EXTERN_C MQ_EXPORT int32_t MQAPI MQGetPlugInType(void) {
  return g_plugin.GetPlugInType();
}

MQ_EXTERN_C MQ_EXPORT const MQWChar* MQAPI MQEnumStringW(int32_t index) {
  return index == 0 ? g_plugin.EnumString() : nullptr;
}

// A station plug-in lists no file types and is never asked to import,
// export, create or modify.
MQ_EXTERN_C MQ_EXPORT const char* MQAPI MQEnumFileType(int32_t) {
  return nullptr;
}
MQ_EXTERN_C MQ_EXPORT const char* MQAPI MQEnumFileExt(int32_t) {
  return nullptr;
}
MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQImportFileW(int32_t, const MQWChar*, MQDocument) {
  return 0;
}
MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQExportFileW(int32_t, const MQWChar*, MQDocument) {
  return 0;
}
MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQCreate(int32_t, MQDocument) {
  return 0;
}
MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQModifySelect(int32_t, MQDocument) {
  return 0;
}
MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQModifyObject(int32_t, MQDocument) {
  return 0;
}

MQ_EXTERN_C MQ_EXPORT MQBOOL MQAPI MQOnEvent(MQDocument doc, int32_t event, void* option) {
  try {
    return g_plugin.HandleEvent(doc, event, option);
  } catch (...) {
    return 0;
  }
}

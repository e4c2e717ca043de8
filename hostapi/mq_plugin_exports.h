/* The entry points a plug-in library exports and the host resolves by name.
 * The host calls them on its user-interface thread only, one at a time.
 * Strings returned by a plug-in are owned by the plug-in and stay valid
 * until it is unloaded. No C++ exception may cross any of them. */
#ifndef PAVLEX_HOSTAPI_MQ_PLUGIN_EXPORTS_H
#define PAVLEX_HOSTAPI_MQ_PLUGIN_EXPORTS_H

#include "mq_types.h"

#define MQ_PLUGIN_ENTRY_POINTS(X) \
  /* Answers the interface version the plug-in is written against when it \
   * accepts `host_version`, else 0 (the host must not go on). */ \
  X(uint32_t, MQCheckVersion, (uint32_t host_version)) \
  /* Binds the plug-in to the host module `host_module` (a file name the \
   * module loader accepts). Answers nonzero only when every host function \
   * resolved; the host must not use a plug-in that answered 0. */ \
  X(MQBOOL, MQInit, (const char* host_module)) \
  /* Writes the plug-in's product and id; null pointers are skipped. */ \
  X(void, MQGetPlugInID, (uint32_t* product, uint32_t* id)) \
  /* Name and version, narrow. */ \
  X(const char*, MQGetPlugInName, (void)) \
  /* MQPLUGIN_TYPE_*. */ \
  X(int32_t, MQGetPlugInType, (void)) \
  /* Command name for index 0, null for any other index. */ \
  X(const MQWChar*, MQEnumStringW, (int32_t index)) \
  /* File types and extensions of import and export plug-ins; null here. */ \
  X(const char*, MQEnumFileType, (int32_t index)) \
  X(const char*, MQEnumFileExt, (int32_t index)) \
  /* Import, export, create and modify plug-in calls; never made to a \
   * station plug-in, and answered 0. */ \
  X(MQBOOL, MQImportFileW, (int32_t index, const MQWChar* filename, MQDocument doc)) \
  X(MQBOOL, MQExportFileW, (int32_t index, const MQWChar* filename, MQDocument doc)) \
  X(MQBOOL, MQCreate, (int32_t index, MQDocument doc)) \
  X(MQBOOL, MQModifySelect, (int32_t index, MQDocument doc)) \
  X(MQBOOL, MQModifyObject, (int32_t index, MQDocument doc)) \
  /* Host events (MQEVENT_*). `option` is an option list, except for \
   * MQEVENT_ACTIVATE where it points to one int32 flag. */ \
  X(MQBOOL, MQOnEvent, (MQDocument doc, int32_t event, void* option))

#endif /* PAVLEX_HOSTAPI_MQ_PLUGIN_EXPORTS_H */

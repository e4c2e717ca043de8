// Loading a plug-in library into the host: find its entry points, agree on
// the interface version and let it bind to this host's functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "hostapi/mq_plugin_exports.h"

namespace pavlex::host {

// The interface version this host reports to MQCheckVersion.
constexpr uint32_t kHostInterfaceVersion = 0x4805;

// The plug-in's library file name where it is installed beside the host.
#ifdef _WIN32
inline constexpr const char* kPluginFileName = "Pavlex.dll";
#else
inline constexpr const char* kPluginFileName = "libpavlex.so";
#endif

// The file name (UTF-8) of the module holding the host's exported
// functions. Plug-ins are told it in MQInit, in the system's encoding.
std::string HostModulePath();

// The plug-in library beside the host module: where an installation, and
// the build, put it.
std::string DefaultPluginPath();

// One plug-in library, loaded and bound. Destroying it unloads the library;
// the host sends the plug-in's exit event first when it initialised it.
class LoadedPlugin {
 public:
  // Loads the library at `path` (UTF-8), resolves its entry points, checks its
  // version and calls MQInit with HostModulePath(). Answers null with a
  // one-line reason in `error` when any step fails; nothing stays loaded.
  static std::unique_ptr<LoadedPlugin> Load(const std::string& path, std::string* error);

  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  const std::string& path() const { return path_; }
  std::string name() const;  // MQGetPlugInName, empty when it answers null
  int32_t type() const;      // MQPLUGIN_TYPE_*
  uint32_t product() const { return product_; }
  uint32_t id() const { return id_; }

  // MQOnEvent. `option` follows the event's convention (mq_codes.h).
  MQBOOL sendEvent(MQDocument doc, int32_t event, void* option) const;

 private:
  LoadedPlugin() = default;

  struct EntryPoints {
#define PAVLEX_ENTRY_POINTER(ret, name, params) ret(MQAPI* name) params = nullptr;
    MQ_PLUGIN_ENTRY_POINTS(PAVLEX_ENTRY_POINTER)
#undef PAVLEX_ENTRY_POINTER
  };

  std::string path_;
  void* module_ = nullptr;
  EntryPoints entry_;
  uint32_t product_ = 0;
  uint32_t id_ = 0;
};

}  // namespace pavlex::host

#include "host/plugin/plugin_loader.h"

#include <cstdio>

#include "host/api/host_exports.h"
#include "host/io/path_names.h"
#include "hostapi/mq_codes.h"
#include "platform/module_loader.h"
#include "platform/text_conversion.h"

namespace pavlex::host {
namespace {

// Module names travel in the system's narrow encoding (the host interface
// and the narrow loader take it); the host's own file names are UTF-8. On
// Linux both are UTF-8, and names pass byte for byte.
std::string ToSystemEncoding(const std::string& utf8) {
#ifdef _WIN32
  return platform::Utf16ToSystem(platform::Utf8ToUtf16(utf8));
#else
  return utf8;
#endif
}

std::string FromSystemEncoding(const std::string& system) {
#ifdef _WIN32
  return platform::Utf16ToUtf8(platform::SystemToUtf16(system));
#else
  return system;
#endif
}

std::string HostModuleSystemPath() {
  // Any exported host function lives in the host module.
  return platform::ModulePathContaining(reinterpret_cast<const void*>(&MQDoc_GetObjectCount));
}

}  // namespace

std::string HostModulePath() {
  return FromSystemEncoding(HostModuleSystemPath());
}

std::string DefaultPluginPath() {
  const std::string host = HostModulePath();
  const std::string folder = io::FolderPartOf(host);
  return (folder.empty() ? std::string("./") : folder) + kPluginFileName;
}

std::unique_ptr<LoadedPlugin> LoadedPlugin::Load(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) -> std::unique_ptr<LoadedPlugin> {
    if (error != nullptr) *error = "plug-in '" + path + "': " + why;
    return nullptr;
  };

  std::unique_ptr<LoadedPlugin> plugin(new LoadedPlugin());
  plugin->path_ = path;
  plugin->module_ = platform::LoadModule(ToSystemEncoding(path).c_str());
  if (plugin->module_ == nullptr) return fail(std::string("cannot load: ") + platform::LastModuleError());

  // Every entry point must be there; a library that lacks one is not a
  // plug-in of this interface.
#define PAVLEX_RESOLVE_ENTRY(ret, name, params)                                         \
  plugin->entry_.name = reinterpret_cast<ret(MQAPI*) params>(                           \
      platform::FindSymbol(plugin->module_, #name));                                    \
  if (plugin->entry_.name == nullptr) return fail("does not export " #name);
  MQ_PLUGIN_ENTRY_POINTS(PAVLEX_RESOLVE_ENTRY)
#undef PAVLEX_RESOLVE_ENTRY

  if (plugin->entry_.MQCheckVersion(kHostInterfaceVersion) == 0) {
    char version[16];
    std::snprintf(version, sizeof version, "0x%X", kHostInterfaceVersion);
    return fail(std::string("refuses host interface version ") + version);
  }
  const std::string hostPath = HostModuleSystemPath();
  if (hostPath.empty()) return fail("cannot tell the host module's file name");
  if (plugin->entry_.MQInit(hostPath.c_str()) == 0) {
    return fail("cannot bind to the host functions of '" + FromSystemEncoding(hostPath) + "'");
  }
  plugin->entry_.MQGetPlugInID(&plugin->product_, &plugin->id_);
  return plugin;
}

LoadedPlugin::~LoadedPlugin() { platform::ReleaseModule(module_); }

std::string LoadedPlugin::name() const {
  const char* name = entry_.MQGetPlugInName();
  return name != nullptr ? name : "";
}

int32_t LoadedPlugin::type() const { return entry_.MQGetPlugInType(); }

MQBOOL LoadedPlugin::sendEvent(MQDocument doc, int32_t event, void* option) const {
  return entry_.MQOnEvent(doc, event, option);
}

}  // namespace pavlex::host

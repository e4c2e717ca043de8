// The host loads plug-in libraries through their entry points.
#include "host/plugin/plugin_loader.h"

#include <gtest/gtest.h>

#include <string>

#include "hostapi/mq_codes.h"

namespace pavlex::host {
namespace {

TEST(PluginLoaderTest, LoadsThePlugInAndBindsItToThisHost) {
  std::string error;
  auto plugin = LoadedPlugin::Load(PAVLEX_PLUGIN_LIBRARY, &error);
  ASSERT_NE(plugin, nullptr) << error;
  EXPECT_EQ(plugin->name(), "Pavlex for V4 v.1.3");
  EXPECT_EQ(plugin->type(), MQPLUGIN_TYPE_STATION);
  EXPECT_EQ(plugin->product(), 0x5A3C9E41u);
  EXPECT_EQ(plugin->id(), 0x7D2B6F18u);
  EXPECT_NE(HostModulePath().find("pavlexhost"), std::string::npos);
}

// Programs find the plug-in installed beside the host library, under the
// file name of the system they run on.
TEST(PluginLoaderTest, DefaultPathIsThePlugInBesideTheHost) {
  const std::string host = HostModulePath();
  const size_t name = host.rfind("libpavlexhost");
  ASSERT_NE(name, std::string::npos) << host;
  const std::string path = DefaultPluginPath();
  EXPECT_EQ(path, host.substr(0, name) + kPluginFileName);
  std::string error;
  EXPECT_NE(LoadedPlugin::Load(path, &error), nullptr) << error;
}

TEST(PluginLoaderTest, RefusalsNameTheLibraryAndTheReason) {
  std::string error;
  EXPECT_EQ(LoadedPlugin::Load("/nonexistent/libnothing.so", &error), nullptr);
  EXPECT_NE(error.find("/nonexistent/libnothing.so"), std::string::npos) << error;
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;

  // The host library itself is a loadable module but no plug-in.
  EXPECT_EQ(LoadedPlugin::Load(PAVLEX_HOST_LIBRARY, &error), nullptr);
  EXPECT_NE(error.find("does not export MQCheckVersion"), std::string::npos) << error;
}

}  // namespace
}  // namespace pavlex::host

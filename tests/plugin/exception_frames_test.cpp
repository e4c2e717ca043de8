// Modules built like the plug-in must catch their own exceptions even when
// the shared GCC runtime DLL was in the process before them: a host, or
// another plug-in built with GCC, may well have brought it. On 32-bit
// Windows the start-up code then hands the module's unwind tables to that
// DLL, and without our own registration every throw ends the process.
#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "hostapi/mq_plugin_exports.h"
#include "platform/module_loader.h"

namespace pavlex {
namespace {

// Loads the shared runtime first where this build has one.
void BringTheSharedRuntime() {
#ifdef PAVLEX_SHARED_GCC_RUNTIME
  // Its own folder holds the threads DLL it needs; the altered search
  // looks there only for a path spelled with backslashes.
  std::string path = PAVLEX_SHARED_GCC_RUNTIME;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  ASSERT_NE(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH), nullptr) << path;
#endif
}

TEST(ExceptionFramesTest, AModuleLoadedAfterTheSharedRuntimeCatchesItsOwnThrows) {
  BringTheSharedRuntime();
  platform::ModuleHandle module = platform::LoadModule(PAVLEX_THROWING_MODULE);
  ASSERT_NE(module, nullptr) << platform::LastModuleError();
  auto* throwAndCatch = reinterpret_cast<int (*)(int)>(platform::FindSymbol(module, "ThrowAndCatch"));
  ASSERT_NE(throwAndCatch, nullptr);
  EXPECT_EQ(throwAndCatch(0), 0);
  EXPECT_EQ(throwAndCatch(1), 1);
  EXPECT_EQ(throwAndCatch(2), 1) << "and again";
  platform::ReleaseModule(module);

  // Loaded afresh, it registers again and unregisters again at unload.
  module = platform::LoadModule(PAVLEX_THROWING_MODULE);
  ASSERT_NE(module, nullptr) << platform::LastModuleError();
  throwAndCatch = reinterpret_cast<int (*)(int)>(platform::FindSymbol(module, "ThrowAndCatch"));
  ASSERT_NE(throwAndCatch, nullptr);
  EXPECT_EQ(throwAndCatch(1), 1);
  platform::ReleaseModule(module);
}

TEST(ExceptionFramesTest, ThePlugInLoadsBindsAndUnloadsAfterTheSharedRuntime) {
  BringTheSharedRuntime();
  platform::ModuleHandle plugin = platform::LoadModule(PAVLEX_PLUGIN_LIBRARY);
  ASSERT_NE(plugin, nullptr) << platform::LastModuleError();
  auto* init = reinterpret_cast<MQBOOL(MQAPI*)(const char*)>(platform::FindSymbol(plugin, "MQInit"));
  ASSERT_NE(init, nullptr);
  EXPECT_EQ(init(PAVLEX_HOST_LIBRARY), 1);
  EXPECT_EQ(init(PAVLEX_MISSING_MODULE), 0);
  platform::ReleaseModule(plugin);
}

}  // namespace
}  // namespace pavlex

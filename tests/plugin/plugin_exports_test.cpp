// The shipped plug-in library, loaded the way the host loads it and called
// only through the entry points it exports.
#include <gtest/gtest.h>

#include <string>

#include "hostapi/mq_plugin_exports.h"
#include "platform/module_loader.h"

namespace {

// One pointer per entry point, typed from the shared list.
struct PlugIn {
#define PAVLEX_ENTRY_POINTER(ret, name, params) ret(MQAPI* name) params = nullptr;
  MQ_PLUGIN_ENTRY_POINTS(PAVLEX_ENTRY_POINTER)
#undef PAVLEX_ENTRY_POINTER
};

class PluginExportsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = pavlex::platform::LoadModule(PAVLEX_PLUGIN_LIBRARY);
    ASSERT_NE(module_, nullptr) << pavlex::platform::LastModuleError();
#define PAVLEX_RESOLVE_ENTRY(ret, name, params)                                                          \
  plugin_.name = reinterpret_cast<decltype(plugin_.name)>(pavlex::platform::FindSymbol(module_, #name)); \
  ASSERT_NE(plugin_.name, nullptr) << #name;
    MQ_PLUGIN_ENTRY_POINTS(PAVLEX_RESOLVE_ENTRY)
#undef PAVLEX_RESOLVE_ENTRY
  }
  static void TearDownTestSuite() {
    pavlex::platform::ReleaseModule(module_);
    module_ = nullptr;
  }

  static pavlex::platform::ModuleHandle module_;
  static PlugIn plugin_;
};

pavlex::platform::ModuleHandle PluginExportsTest::module_ = nullptr;
PlugIn PluginExportsTest::plugin_;

TEST_F(PluginExportsTest, AcceptsHostVersionsFromTheMinimumOn) {
  EXPECT_EQ(plugin_.MQCheckVersion(0x4805), 0x485u);
  EXPECT_EQ(plugin_.MQCheckVersion(0xFFFFFFFFu), 0x485u);
  EXPECT_EQ(plugin_.MQCheckVersion(0x4804), 0u);
  EXPECT_EQ(plugin_.MQCheckVersion(0), 0u);
}

TEST_F(PluginExportsTest, InitBindsToTheRealHost) {
  EXPECT_EQ(plugin_.MQInit(PAVLEX_HOST_LIBRARY), 1);
}

TEST_F(PluginExportsTest, InitRefusesMissingModule) {
  EXPECT_EQ(plugin_.MQInit(PAVLEX_MISSING_MODULE), 0);
  EXPECT_EQ(plugin_.MQInit(nullptr), 0);
}

TEST_F(PluginExportsTest, InitRefusesHostLackingOneFunction) {
  EXPECT_EQ(plugin_.MQInit(PAVLEX_HOST_WITHOUT_FIRST), 0);
  EXPECT_EQ(plugin_.MQInit(PAVLEX_HOST_WITHOUT_LAST), 0);
}

TEST_F(PluginExportsTest, AnswersItsIdentity) {
  uint32_t product = 0, id = 0;
  plugin_.MQGetPlugInID(&product, &id);
  EXPECT_EQ(product, 0x5A3C9E41u);
  EXPECT_EQ(id, 0x7D2B6F18u);
  plugin_.MQGetPlugInID(nullptr, nullptr);
  EXPECT_STREQ(plugin_.MQGetPlugInName(), "Pavlex for V4 v.1.3");
  EXPECT_EQ(plugin_.MQGetPlugInType(), 6);
}

TEST_F(PluginExportsTest, EnumeratesOneCommandName) {
  const MQWChar* name = plugin_.MQEnumStringW(0);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::u16string(name), u"Pavlex");
  EXPECT_EQ(plugin_.MQEnumStringW(1), nullptr);
  EXPECT_EQ(plugin_.MQEnumStringW(-1), nullptr);
}

}  // namespace

// Binding the host function table to the real host library.
#include <cstring>

#include "platform/module_loader.h"
#include "tests/support/host_document_fixture.h"

namespace pavlex {
namespace {

TEST(HostBindingTest, ResolvesEveryFunctionOfTheRealHost) {
  ASSERT_TRUE(testing::BindRealHost());
  EXPECT_TRUE(HostFunctionsBound());
  platform::ModuleHandle module = platform::FindLoadedModule(PAVLEX_HOST_LIBRARY);
  ASSERT_NE(module, nullptr) << "a bound host module stays loaded";
#define PAVLEX_CHECK_SLOT(ret, name, params)                       \
  {                                                                \
    void* slot = nullptr;                                          \
    std::memcpy(&slot, &Host().name, sizeof slot);                 \
    EXPECT_EQ(slot, platform::FindSymbol(module, #name)) << #name; \
  }
  MQ_HOST_FUNCTIONS(PAVLEX_CHECK_SLOT)
#undef PAVLEX_CHECK_SLOT
  platform::ReleaseModule(module);
}

// A later bind that fails must not disturb the table in use.
TEST(HostBindingTest, FailedRebindKeepsThePublishedTable) {
  ASSERT_TRUE(testing::BindRealHost());
  HostFunctions before;
  std::memcpy(&before, &Host(), sizeof before);
  EXPECT_EQ(BindHostFunctions(PAVLEX_HOST_WITHOUT_LAST).status, HostBindStatus::kFunctionMissing);
  EXPECT_EQ(BindHostFunctions(PAVLEX_MISSING_MODULE).status, HostBindStatus::kModuleNotLoaded);
  EXPECT_EQ(std::memcmp(&before, &Host(), sizeof before), 0);
  EXPECT_TRUE(HostFunctionsBound());
}

}  // namespace
}  // namespace pavlex

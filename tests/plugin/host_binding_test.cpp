// Binding the host function table to the real host library.
#include <dlfcn.h>

#include <cstring>

#include "tests/support/host_document_fixture.h"

namespace pavlex {
namespace {

TEST(HostBindingTest, ResolvesEveryFunctionOfTheRealHost) {
  ASSERT_TRUE(testing::BindRealHost());
  EXPECT_TRUE(HostFunctionsBound());
  void* module = dlopen(PAVLEX_HOST_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(module, nullptr) << "a bound host module stays loaded";
#define PAVLEX_CHECK_SLOT(ret, name, params)        \
  {                                                 \
    void* slot = nullptr;                           \
    std::memcpy(&slot, &Host().name, sizeof slot);  \
    EXPECT_EQ(slot, dlsym(module, #name)) << #name; \
  }
  MQ_HOST_FUNCTIONS(PAVLEX_CHECK_SLOT)
#undef PAVLEX_CHECK_SLOT
  dlclose(module);
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

// The option-list codec both sides of the host interface share: the cases
// where a list from the other side is not what a reader hopes for.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "optionlist/option_list.h"

namespace pavlex {
namespace {

TEST(OptionListTest, AbsentKeysNullValuesAndNullListsReadAsNothing) {
  const OptionListView none(nullptr);
  EXPECT_EQ(none.find("type"), nullptr);
  EXPECT_FALSE(none.intValue("width").has_value());
  MQOptionPair pairs[] = {{"width", nullptr}, {nullptr, nullptr}};
  const OptionListView list(pairs);
  EXPECT_TRUE(list.has("width"));
  EXPECT_FALSE(list.intValue("width").has_value());
  EXPECT_EQ(list.intValue("height").value_or(7), 7);
}

TEST(OptionListTest, ValuesAreReadWhereverTheyAreAlignedAndTheFirstKeyWins) {
  // An int and a double at odd addresses, as a careless sender may pass.
  alignas(8) unsigned char bytes[32] = {};
  const int32_t width = -5;
  const double scale = 0.1;
  std::memcpy(bytes + 1, &width, sizeof width);
  std::memcpy(bytes + 9, &scale, sizeof scale);
  const int32_t later = 99;
  const uint8_t yes = 2;
  MQOptionPair pairs[] = {{"width", bytes + 1}, {"scale", bytes + 9}, {"width", const_cast<int32_t*>(&later)},
                          {"flag", const_cast<uint8_t*>(&yes)}, {nullptr, nullptr}};
  const OptionListView list(pairs);
  EXPECT_EQ(list.intValue("width"), -5);
  EXPECT_EQ(list.doubleValue("scale"), 0.1);
  EXPECT_EQ(list.boolValue("flag"), true);  // any nonzero byte
}

TEST(OptionListTest, AListWithoutItsNullKeyIsReadOnlyUpToTheBound) {
  const int32_t value = 3;
  std::vector<MQOptionPair> pairs(OptionListView::kMaxOptionPairs + 1, {"filler", const_cast<int32_t*>(&value)});
  pairs.back() = {"beyond", const_cast<int32_t*>(&value)};
  const OptionListView list(pairs.data());
  EXPECT_FALSE(list.has("beyond"));
  size_t seen = 0;
  list.forEach([&](const MQOptionPair&) { ++seen; });
  EXPECT_EQ(seen, OptionListView::kMaxOptionPairs);
}

// Kept values move as the builder grows; the list must point at where
// they are now, and what a callee writes there must read back.
TEST(OptionListTest, BuilderKeepsItsValuesAcrossGrowthAndReadsBackResults) {
  OptionListBuilder builder;
  int32_t callers = 0;
  builder.add("result", &callers).addBool("finished", false);
  for (int i = 0; i < 100; ++i) builder.addInt("n", i);
  builder.addFloat("pressure", 0.5f).add("type", "leftdown");
  MQOptionPair* pairs = builder.list();
  const OptionListView list(pairs);
  EXPECT_EQ(list.result<int32_t>("result"), &callers);
  EXPECT_EQ(list.intValue("n"), 0);
  EXPECT_EQ(list.floatValue("pressure"), 0.5f);
  EXPECT_STREQ(list.narrow("type"), "leftdown");
  EXPECT_EQ(pairs[builder.size()].key, nullptr);
  *list.result<uint8_t>("finished") = 1;
  *list.result<int32_t>("result") = 42;
  EXPECT_TRUE(builder.boolAt("finished"));
  EXPECT_EQ(callers, 42);
  EXPECT_EQ(builder.intAt("missing", -1), -1);
}

}  // namespace
}  // namespace pavlex

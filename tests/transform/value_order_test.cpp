// The value order Equal Alloc spaces corners by: ascending, 0.0 and -0.0 one
// value, and corners of one value in the order they were collected, both
// when values are ranked (few distinct) and when they are radix sorted
// (very many distinct).
#include "plugin/tools/transform/value_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace pavlex {
namespace {

bool SameEntries(const std::vector<OrderedCorner>& a, const std::vector<OrderedCorner>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const OrderedCorner& x, const OrderedCorner& y) {
    return x.order == y.order && x.corner.face == y.corner.face && x.corner.corner == y.corner.corner;
  });
}

// Entries of `count` corners in walk order whose values are drawn by `draw`.
template <class Draw>
std::vector<OrderedCorner> Entries(size_t count, Draw&& draw) {
  std::vector<OrderedCorner> entries;
  for (size_t k = 0; k < count; ++k) {
    entries.push_back({FloatOrderBits(draw()), {static_cast<int32_t>(k / 4), static_cast<int32_t>(k % 4)}});
  }
  return entries;
}

void ExpectStableSort(std::vector<OrderedCorner> entries) {
  std::vector<OrderedCorner> expected = entries;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const OrderedCorner& a, const OrderedCorner& b) { return a.order < b.order; });
  SortByValueOrder(entries);
  EXPECT_TRUE(SameEntries(entries, expected));
}

TEST(ValueOrderTest, OrderBitsFollowTheFloats) {
  const float values[] = {-INFINITY, -3e38f, -1.0f, -1e-45f, 0.0f, 1e-45f, 0.25f, 1.0f, 3e38f, INFINITY};
  for (size_t k = 1; k < std::size(values); ++k) EXPECT_LT(FloatOrderBits(values[k - 1]), FloatOrderBits(values[k]));
  EXPECT_EQ(FloatOrderBits(-0.0f), FloatOrderBits(0.0f));
  EXPECT_NE(FloatOrderBits(-INFINITY), 0u);
}

TEST(ValueOrderTest, FewValuesKeepTheirWalkOrder) {
  std::mt19937 rng(5);
  // A grid's columns: few values, each many times; signed zeros among them.
  std::uniform_int_distribution<int> column(-3, 400);
  ExpectStableSort(Entries(100000, [&] {
    const int c = column(rng);
    return c < 0 ? -0.0f : static_cast<float>(c) / 400.0f;
  }));
  ExpectStableSort(Entries(5000, [] { return 0.5f; }));
  ExpectStableSort(Entries(1, [] { return 0.5f; }));
  ExpectStableSort({});
}

TEST(ValueOrderTest, ManyValuesAreRadixSorted) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<float> any(-2, 2);
  // More distinct values than are ranked, with repeats among them.
  std::vector<OrderedCorner> entries = Entries(150000, [&] { return any(rng); });
  for (size_t k = 0; k < 20000; ++k) entries.push_back({entries[k * 7].order, {-1, static_cast<int32_t>(k)}});
  ExpectStableSort(entries);
  // Values that share their upper bytes: passes over those are skipped.
  std::uniform_int_distribution<int> low(0, 0xFFFFF);
  ExpectStableSort(Entries(90000, [&] { return 1.0f + static_cast<float>(low(rng)) * 1e-7f; }));
}

}  // namespace
}  // namespace pavlex

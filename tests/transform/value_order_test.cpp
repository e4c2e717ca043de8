// The value order Equal Alloc spaces corners by: ascending, 0.0 and -0.0 one
// value, and corners of one value in the order they were collected, both
// when values are bucketed (few distinct) and when they are radix sorted
// (very many distinct).
#include "plugin/tools/transform/value_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace pavlex {
namespace {

struct RankedCorner {
  uint32_t rank;
  UVVertexRef corner;
};

bool operator==(const RankedCorner& a, const RankedCorner& b) {
  return a.rank == b.rank && a.corner.face == b.corner.face && a.corner.corner == b.corner.corner;
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

// The buckets hand the corners back as a stable sort by value would, each
// with the rank of its value among the distinct ones.
void ExpectStableOrder(const std::vector<OrderedCorner>& entries) {
  std::vector<OrderedCorner> sorted = entries;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const OrderedCorner& a, const OrderedCorner& b) { return a.order < b.order; });
  std::vector<RankedCorner> expected;
  uint32_t rank = 0;
  for (size_t k = 0; k < sorted.size(); ++k) {
    if (k > 0 && sorted[k - 1].order != sorted[k].order) ++rank;
    expected.push_back({rank, sorted[k].corner});
  }

  ValueBuckets values;
  for (const OrderedCorner& e : entries) values.Add(e.order, e.corner);
  values.Finish();
  std::vector<RankedCorner> got;
  values.ForEachInOrder([&](uint32_t r, UVVertexRef corner) { got.push_back({r, corner}); });
  EXPECT_EQ(values.distinct(), expected.empty() ? 0 : size_t{expected.back().rank} + 1);
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

// The radix sort alone, on its own terms.
void ExpectStableSort(std::vector<OrderedCorner> entries) {
  std::vector<OrderedCorner> expected = entries;
  std::stable_sort(expected.begin(), expected.end(),
                   [](const OrderedCorner& a, const OrderedCorner& b) { return a.order < b.order; });
  RadixSortByOrder(entries);
  EXPECT_TRUE(std::equal(entries.begin(), entries.end(), expected.begin(), expected.end(),
                         [](const OrderedCorner& x, const OrderedCorner& y) {
                           return x.order == y.order && x.corner.face == y.corner.face &&
                                  x.corner.corner == y.corner.corner;
                         }));
}

TEST(ValueOrderTest, OrderBitsFollowTheFloats) {
  const float values[] = {-INFINITY, -3e38f, -1.0f, -1e-45f, 0.0f, 1e-45f, 0.25f, 1.0f, 3e38f, INFINITY};
  for (size_t k = 1; k < std::size(values); ++k) EXPECT_LT(FloatOrderBits(values[k - 1]), FloatOrderBits(values[k]));
  EXPECT_EQ(FloatOrderBits(-0.0f), FloatOrderBits(0.0f));
  EXPECT_NE(FloatOrderBits(-INFINITY), 0u);
}

TEST(ValueOrderTest, FewValuesKeepTheirWalkOrder) {
  std::mt19937 rng(5);
  // A grid's columns: few values, each many times (far past one chunk of
  // a bucket); signed zeros among them.
  std::uniform_int_distribution<int> column(-3, 400);
  ExpectStableOrder(Entries(100000, [&] {
    const int c = column(rng);
    return c < 0 ? -0.0f : static_cast<float>(c) / 400.0f;
  }));
  ExpectStableOrder(Entries(5000, [] { return 0.5f; }));
  ExpectStableOrder(Entries(1, [] { return 0.5f; }));
  ExpectStableOrder({});
}

TEST(ValueOrderTest, ManyValuesAreRadixSorted) {
  std::mt19937 rng(9);
  std::uniform_real_distribution<float> any(-2, 2);
  // More distinct values than are bucketed, so the buckets are poured into
  // one list before the last corner comes; repeats of early values come
  // after that and must still follow the corners collected before them.
  std::vector<OrderedCorner> entries = Entries(150000, [&] { return any(rng); });
  for (size_t k = 0; k < 20000; ++k) entries.push_back({entries[k * 7].order, {-1, static_cast<int32_t>(k)}});
  ExpectStableOrder(entries);
  ExpectStableSort(entries);
  // Values that share their upper bytes: passes over those are skipped.
  std::uniform_int_distribution<int> low(0, 0xFFFFF);
  const std::vector<OrderedCorner> close = Entries(90000, [&] { return 1.0f + static_cast<float>(low(rng)) * 1e-7f; });
  ExpectStableOrder(close);
  ExpectStableSort(close);
}

TEST(ValueOrderTest, ExactlyAsManyValuesAsAreBucketed) {
  // The last value that still gets a bucket, with a second corner each so
  // every bucket holds more than its first.
  std::vector<OrderedCorner> entries;
  const auto values = static_cast<int32_t>(ValueBuckets::kMostBucketedValues);
  for (int32_t round = 0; round < 2; ++round) {
    for (int32_t k = 0; k < values; ++k) {
      entries.push_back({FloatOrderBits(static_cast<float>((k * 7919) % values)), {k, round}});
    }
  }
  ExpectStableOrder(entries);
  // One more value turns to the list.
  entries.push_back({FloatOrderBits(-1.0f), {-5, 0}});
  ExpectStableOrder(entries);
}

}  // namespace
}  // namespace pavlex

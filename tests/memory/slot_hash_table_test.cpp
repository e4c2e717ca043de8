// The slot containers must be walked in exactly the order of the library's
// unordered containers with the same hash: Restore selects and the lock pass
// writes in that order. Each case runs one sequence of operations on both
// and compares the walks key by key, and the bucket counts.
#include "plugin/state/slot_hash_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "plugin/model/uv_pair.h"
#include "plugin/model/uv_vertex_key.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {
namespace {

using StdKeySet = std::unordered_set<UVVertexKey, UVVertexKeyHash>;
using StdLockMap = std::unordered_map<UVVertexKey, UVPair, UVVertexKeyHash>;

std::vector<uint64_t> Walk(const UVKeySet& set) {
  std::vector<uint64_t> keys;
  for (const UVVertexKey key : set) keys.push_back(key.value);
  return keys;
}
std::vector<uint64_t> Walk(const StdKeySet& set) {
  std::vector<uint64_t> keys;
  for (const UVVertexKey key : set) keys.push_back(key.value);
  return keys;
}

// Keys and the bits of their UVs, in walk order.
std::vector<std::pair<uint64_t, std::pair<float, float>>> Walk(const UVLockMap& map) {
  std::vector<std::pair<uint64_t, std::pair<float, float>>> entries;
  for (const auto& [key, uv] : map) entries.push_back({key.value, {uv.u, uv.v}});
  return entries;
}
std::vector<std::pair<uint64_t, std::pair<float, float>>> Walk(const StdLockMap& map) {
  std::vector<std::pair<uint64_t, std::pair<float, float>>> entries;
  for (const auto& [key, uv] : map) entries.push_back({key.value, {uv.u, uv.v}});
  return entries;
}

// Inserts `keys` into both sets, the library's one by one and ours in
// batches of every size from 1 up (a rehash falls inside some and between
// others), checking the answers, the bucket counts and the whole walk.
void InsertBoth(UVKeySet& flat, StdKeySet& reference, const std::vector<uint64_t>& keys) {
  std::mt19937 random(static_cast<uint32_t>(keys.size()));
  size_t batch = 1;
  for (size_t from = 0; from < keys.size();) {
    const size_t to = std::min(keys.size(), from + batch);
    std::vector<UVVertexKey> part;
    size_t added = 0;
    for (size_t i = from; i < to; ++i) {
      part.push_back(UVVertexKey{keys[i]});
      added += reference.insert(UVVertexKey{keys[i]}).second ? 1 : 0;
    }
    if (part.size() == 1) {
      ASSERT_EQ(flat.insert(part[0]), added == 1) << "key " << from;
    } else {
      ASSERT_EQ(flat.insert_all(part), added) << "keys from " << from;
    }
    ASSERT_EQ(flat.size(), reference.size());
    ASSERT_EQ(flat.bucket_count(), reference.bucket_count()) << "after key " << to;
    ASSERT_EQ(Walk(flat), Walk(reference)) << "after key " << to;
    from = to;
    // Small batches first, then growing ones, now and then a single key.
    batch = random() % 5 == 0 ? 1 : std::max<size_t>(batch + 1, batch * 3 / 2 + random() % 7);
  }
}

// What Store inserts: the corners of ascending faces under their unique IDs,
// some corners not selected.
std::vector<uint64_t> StoreLikeKeys(int32_t faces, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint64_t> keys;
  int32_t faceId = static_cast<int32_t>(random() % 1000);
  for (int32_t f = 0; f < faces; ++f) {
    faceId += 1 + static_cast<int32_t>(random() % 3);
    const int32_t corners = 3 + static_cast<int32_t>(random() % 3);
    for (int32_t k = 0; k < corners; ++k) {
      if (random() % 8 != 0) keys.push_back(UVVertexKey::Pack(faceId, k).value);
    }
  }
  return keys;
}

std::vector<uint64_t> RandomKeys(size_t count, uint32_t seed) {
  std::mt19937_64 random(seed);
  std::vector<uint64_t> keys(count);
  for (uint64_t& key : keys) key = random();
  return keys;
}

// Pairs of distinct keys sharing their whole 32-bit hash, found among
// random ones (about 450 pairs in two million keys).
const std::vector<uint64_t>& CollidingPairs() {
  static const std::vector<uint64_t> pairs = [] {
    std::vector<std::pair<uint32_t, uint64_t>> hashed;
    for (const uint64_t key : RandomKeys(2000000, 99)) {
      hashed.push_back({static_cast<uint32_t>(UVVertexKeyHash{}(UVVertexKey{key})), key});
    }
    std::sort(hashed.begin(), hashed.end());
    std::vector<uint64_t> keys;
    for (size_t i = 1; i < hashed.size(); ++i) {
      if (hashed[i].first == hashed[i - 1].first && hashed[i].second != hashed[i - 1].second) {
        keys.push_back(hashed[i - 1].second);
        keys.push_back(hashed[i].second);
        ++i;
      }
    }
    return keys;
  }();
  return pairs;
}

std::vector<uint64_t> CollidingKeys(size_t wanted) {
  const std::vector<uint64_t>& pairs = CollidingPairs();
  return {pairs.begin(), pairs.begin() + static_cast<std::ptrdiff_t>(std::min(wanted, pairs.size()))};
}

TEST(SlotHashTableTest, SlotSizedSetsWalkLikeTheLibrarysThroughEveryGrowth) {
  struct Case {
    const char* name;
    std::vector<uint64_t> keys;
    size_t reserveFor;  // 0: as the slots make it, nothing reserved
  };
  std::vector<uint64_t> duplicated = StoreLikeKeys(3000, 5);
  const std::vector<uint64_t> again = RandomKeys(2000, 6);
  duplicated.insert(duplicated.end(), again.begin(), again.end());
  const std::vector<uint64_t> repeated(duplicated.begin(), duplicated.begin() + 5000);
  duplicated.insert(duplicated.end(), repeated.begin(), repeated.end());
  std::shuffle(duplicated.begin() + 4000, duplicated.end(), std::mt19937(7));
  std::vector<uint64_t> colliding = CollidingKeys(400);
  const std::vector<uint64_t> filler = RandomKeys(3000, 8);
  colliding.insert(colliding.end(), filler.begin(), filler.end());
  ASSERT_EQ(colliding.size(), 3400u);
  const std::vector<uint64_t> collidingAgain(colliding.begin(), colliding.begin() + 400);
  colliding.insert(colliding.end(), collidingAgain.begin(), collidingAgain.end());

  const std::vector<Case> cases = {
      {"store-like, sized for the faces", StoreLikeKeys(60000, 1), 60000},
      {"store-like, nothing reserved", StoreLikeKeys(20000, 2), 0},
      {"store-like, sized far below", StoreLikeKeys(40000, 3), 10},
      {"store-like, sized far above", StoreLikeKeys(1000, 4), 100000},
      {"random", RandomKeys(150000, 11), 0},
      {"duplicates", duplicated, 3000},
      {"whole-hash collisions", colliding, 0},
      {"one key", {42}, 1},
      {"nothing", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UVKeySet flat = MakeSlotContainer<UVKeySet>();
    StdKeySet reference(kSlotInitialBuckets);
    reference.max_load_factor(1.0f);
    ASSERT_EQ(flat.bucket_count(), reference.bucket_count());
    if (c.reserveFor > 0) {
      flat.reserve(c.reserveFor);
      reference.reserve(c.reserveFor);
    }
    InsertBoth(flat, reference, c.keys);

    // All in one batch, as Store hands them over.
    UVKeySet whole = MakeSlotContainer<UVKeySet>();
    if (c.reserveFor > 0) whole.reserve(c.reserveFor);
    std::vector<UVVertexKey> all;
    for (const uint64_t key : c.keys) all.push_back(UVVertexKey{key});
    EXPECT_EQ(whole.insert_all(all), reference.size());
    EXPECT_EQ(whole.bucket_count(), reference.bucket_count());
    EXPECT_EQ(Walk(whole), Walk(reference));
  }
}

// Keys all in one bucket of every small table, then spread: the list splices
// of a crowded bucket and of growth out of it.
TEST(SlotHashTableTest, OneCrowdedBucketWalksLikeTheLibrarys) {
  std::vector<uint64_t> keys;
  for (uint64_t key = 0; keys.size() < 600; ++key) {
    if (UVVertexKeyHash{}(UVVertexKey{key}) % (8 * 17 * 37) == 5) keys.push_back(key);
  }
  const std::vector<uint64_t> spread = RandomKeys(5000, 12);
  keys.insert(keys.end(), spread.begin(), spread.end());
  UVKeySet flat = MakeSlotContainer<UVKeySet>();
  StdKeySet reference(kSlotInitialBuckets);
  reference.max_load_factor(1.0f);
  InsertBoth(flat, reference, keys);
}

TEST(SlotHashTableTest, DefaultMadeSetsRehashedAndClearedWalkLikeTheLibrarys) {
  UVKeySet flat;
  StdKeySet reference;
  ASSERT_EQ(flat.bucket_count(), reference.bucket_count());
  InsertBoth(flat, reference, StoreLikeKeys(2000, 21));

  flat.rehash(50000);
  reference.rehash(50000);
  ASSERT_EQ(flat.bucket_count(), reference.bucket_count());
  ASSERT_EQ(Walk(flat), Walk(reference));
  flat.rehash(3);  // below the size: the library keeps what it has
  reference.rehash(3);
  ASSERT_EQ(Walk(flat), Walk(reference));
  flat.max_load_factor(0.5f);
  reference.max_load_factor(0.5f);
  InsertBoth(flat, reference, RandomKeys(20000, 22));

  // Emptied, the sets keep their buckets and fill again the same way.
  flat.clear();
  reference.clear();
  EXPECT_TRUE(flat.empty());
  EXPECT_EQ(flat.begin(), flat.end());
  ASSERT_EQ(flat.bucket_count(), reference.bucket_count());
  InsertBoth(flat, reference, StoreLikeKeys(30000, 23));
}

TEST(SlotHashTableTest, FindsWhatWasInsertedAndNothingElse) {
  UVKeySet set = MakeSlotContainer<UVKeySet>();
  const std::vector<uint64_t> colliding = CollidingKeys(40);
  for (size_t i = 0; i < colliding.size(); i += 2) set.insert(UVVertexKey{colliding[i]});
  for (size_t i = 0; i < colliding.size(); ++i) {
    const UVVertexKey key{colliding[i]};
    // The second key of each pair has the first one's hash but is absent.
    EXPECT_EQ(set.count(key), i % 2 == 0 ? 1u : 0u) << i;
    if (i % 2 == 0) {
      EXPECT_EQ(set.find(key)->value, key.value);
    }
  }
  EXPECT_EQ(set.find(UVVertexKey{12345}), set.end());
}

TEST(SlotHashTableTest, LockMapsWalkLikeTheLibrarysAndKeepTheFirstUV) {
  UVLockMap flat = MakeSlotContainer<UVLockMap>();
  StdLockMap reference(kSlotInitialBuckets);
  reference.max_load_factor(1.0f);
  // Locked twice: the second pass over the same faces, with other UVs,
  // adds only the corners that were not locked yet.
  std::vector<uint64_t> keys = StoreLikeKeys(20000, 31);
  const std::vector<uint64_t> more = StoreLikeKeys(25000, 31);
  keys.insert(keys.end(), more.begin(), more.end());
  // The first 50 one by one, then as the lock pass hands them over: one
  // batch per Lock, the second Lock's keys mostly there already.
  std::vector<std::pair<UVVertexKey, UVPair>> batch;
  for (size_t i = 0; i < keys.size(); ++i) {
    const UVVertexKey key{keys[i]};
    const UVPair uv{static_cast<float>(i), -static_cast<float>(i) * 0.5f};
    const bool added = reference.emplace(key, uv).second;
    if (i < 50) {
      ASSERT_EQ(flat.emplace(key, uv), added) << i;
      ASSERT_EQ(flat.bucket_count(), reference.bucket_count()) << i;
      ASSERT_EQ(Walk(flat), Walk(reference)) << i;
      continue;
    }
    batch.push_back({key, uv});
    if (i + 1 == keys.size() - more.size() || i + 1 == keys.size()) {
      flat.emplace_all(batch);
      batch.clear();
      ASSERT_EQ(flat.bucket_count(), reference.bucket_count()) << i;
      ASSERT_EQ(Walk(flat), Walk(reference)) << i;
    }
  }
  const auto found = flat.find(UVVertexKey{keys[3]});
  ASSERT_NE(found, flat.end());
  EXPECT_EQ(found->second.u, 3.0f);
}

// Tables big enough that their buckets span several of the windows a
// merge works through one at a time, added to in several batches that hold
// keys already present, repeats within the batch and keys whose whole hash
// collides, and built one after another so each batch runs in arrays a
// table before it used and dropped.
TEST(SlotHashTableTest, LargeTablesBuiltOneAfterAnotherWalkLikeTheLibrarys) {
  std::vector<uint64_t> keys = StoreLikeKeys(100000, 41);
  const std::vector<uint64_t> present(keys.begin() + 1000, keys.begin() + 60000);
  keys.insert(keys.end(), present.begin(), present.end());
  const std::vector<uint64_t> colliding = CollidingKeys(200);
  keys.insert(keys.end(), colliding.begin(), colliding.end());
  const std::vector<uint64_t> more = RandomKeys(150000, 42);
  keys.insert(keys.end(), more.begin(), more.end());
  std::shuffle(keys.begin() + 300000, keys.end(), std::mt19937(43));

  for (const size_t reserveFor : {size_t{100000}, size_t{0}, size_t{600000}}) {
    SCOPED_TRACE(reserveFor);
    UVKeySet flat = MakeSlotContainer<UVKeySet>();
    StdKeySet reference(kSlotInitialBuckets);
    reference.max_load_factor(1.0f);
    if (reserveFor > 0) {
      flat.reserve(reserveFor);
      reference.reserve(reserveFor);
    }
    ASSERT_GT(keys.size(), 500000u);
    // Three big batches, each crossing a growth or more.
    const size_t cuts[] = {0, 150000, 330000, keys.size()};
    for (size_t c = 0; c + 1 < std::size(cuts); ++c) {
      std::vector<UVVertexKey> batch;
      size_t added = 0;
      for (size_t i = cuts[c]; i < cuts[c + 1]; ++i) {
        batch.push_back(UVVertexKey{keys[i]});
        added += reference.insert(UVVertexKey{keys[i]}).second ? 1 : 0;
      }
      ASSERT_EQ(flat.insert_all(batch), added) << "batch " << c;
      ASSERT_EQ(flat.bucket_count(), reference.bucket_count()) << "batch " << c;
      ASSERT_GT(flat.bucket_count(), size_t{1} << 17);  // two windows or more
      ASSERT_EQ(Walk(flat), Walk(reference)) << "batch " << c;
    }
    for (size_t i = 0; i < keys.size(); i += 997) ASSERT_EQ(flat.count(UVVertexKey{keys[i]}), 1u) << i;
  }

  // A map after the sets, and a small set after the big ones.
  UVLockMap map = MakeSlotContainer<UVLockMap>();
  StdLockMap referenceMap(kSlotInitialBuckets);
  referenceMap.max_load_factor(1.0f);
  std::vector<std::pair<UVVertexKey, UVPair>> entries;
  for (size_t i = 0; i < keys.size(); ++i) {
    const UVPair uv{static_cast<float>(i), 0.25f};
    entries.push_back({UVVertexKey{keys[i]}, uv});
    referenceMap.emplace(UVVertexKey{keys[i]}, uv);
  }
  EXPECT_EQ(map.emplace_all(entries), referenceMap.size());
  EXPECT_EQ(Walk(map), Walk(referenceMap));
  UVKeySet small = MakeSlotContainer<UVKeySet>();
  StdKeySet referenceSmall(kSlotInitialBuckets);
  referenceSmall.max_load_factor(1.0f);
  InsertBoth(small, referenceSmall, StoreLikeKeys(500, 44));
}

// The bucket of a hash by multiplying must be the remainder for every code
// and every bucket count, the largest ones included.
TEST(SlotHashTableTest, BucketDivisorIsTheRemainder) {
  std::mt19937 random(51);
  std::vector<uint32_t> divisors = {1, 2, 3, 7, 8, 13, 97, 65536, 65537, 1056323, 4355707, 0x7FFFFFFFu,
                                    0x80000000u, 0xFFFFFFFBu, 0xFFFFFFFFu};
  for (int i = 0; i < 200; ++i) divisors.push_back(static_cast<uint32_t>(random()) | 1u);
  std::vector<uint32_t> codes = {0, 1, 2, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  for (int i = 0; i < 2000; ++i) codes.push_back(static_cast<uint32_t>(random()));
  for (const uint32_t divisor : divisors) {
    const slot_table::BucketDivisor bucketOf(divisor);
    for (const uint32_t code : {divisor - 1, divisor, divisor + 1, 2 * divisor - 1}) {
      ASSERT_EQ(bucketOf(code), code % divisor) << code << " % " << divisor;
    }
    for (const uint32_t code : codes) ASSERT_EQ(bucketOf(code), code % divisor) << code << " % " << divisor;
  }
}

TEST(SlotHashTableTest, MovedFromSetIsEmptyAndUsable) {
  UVKeySet set = MakeSlotContainer<UVKeySet>();
  for (int32_t f = 0; f < 100; ++f) set.insert(UVVertexKey::Pack(f, 0));
  UVKeySet taken(std::move(set));
  EXPECT_EQ(taken.size(), 100u);
  EXPECT_TRUE(set.empty());  // NOLINT(bugprone-use-after-move): moved-from state is part of the contract
  set.insert(UVVertexKey::Pack(7, 1));
  EXPECT_EQ(set.size(), 1u);
  EXPECT_EQ(set.count(UVVertexKey::Pack(7, 1)), 1u);
  UVKeySet assigned;
  assigned = std::move(taken);
  EXPECT_EQ(assigned.size(), 100u);
  EXPECT_EQ(assigned.count(UVVertexKey::Pack(99, 0)), 1u);
}

}  // namespace
}  // namespace pavlex

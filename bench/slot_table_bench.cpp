// The slot containers with the keys of a Store or a Lock on the
// million-face grid with every UV selected: 4,000,000 keys (face unique ID,
// corner) of ascending faces. Store sizes its set for the face count first;
// a Lock map grows from the slots' 8 buckets. Each run builds (ours from
// one batch, the library's key by key; a Lock run also gathers its entries
// first, as the tool does), walks once
// (as Restore or the redraw's lock pass) and drops the container; the
// library's unordered containers run the same for comparison. LockAgain adds
// the same entries to a full map once more.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <type_traits>
#include <utility>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "plugin/model/uv_pair.h"
#include "plugin/model/uv_vertex_key.h"
#include "plugin/state/plugin_state.h"

namespace {

using pavlex::UVPair;
using pavlex::UVVertexKey;

constexpr int32_t kFaces = 1000000;

const std::vector<UVVertexKey>& GridKeys() {
  static const std::vector<UVVertexKey> keys = [] {
    std::vector<UVVertexKey> all;
    all.reserve(static_cast<size_t>(kFaces) * 4);
    for (int32_t f = 0; f < kFaces; ++f) {
      for (int32_t k = 0; k < 4; ++k) all.push_back(UVVertexKey::Pack(f + 1, k));
    }
    return all;
  }();
  return keys;
}

template <class Set>
void StoreAndWalk(benchmark::State& state) {
  const std::vector<UVVertexKey>& keys = GridKeys();
  for (auto _ : state) {
    Set set = pavlex::MakeSlotContainer<Set>();
    set.reserve(kFaces);
    if constexpr (std::is_same_v<Set, pavlex::UVKeySet>) {
      set.insert_all(keys);  // one batch, as Store hands them over
    } else {
      for (const UVVertexKey key : keys) set.insert(key);
    }
    uint64_t sum = 0;
    for (const UVVertexKey key : set) sum += key.value;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

template <class Map>
void LockAndWalk(benchmark::State& state) {
  const std::vector<UVVertexKey>& keys = GridKeys();
  for (auto _ : state) {
    Map map = pavlex::MakeSlotContainer<Map>();
    std::vector<std::pair<UVVertexKey, UVPair>> entries;
    float u = 0.0f;
    for (const UVVertexKey key : keys) entries.push_back({key, UVPair{u += 1.0f, 0.5f}});
    if constexpr (std::is_same_v<Map, pavlex::UVLockMap>) {
      map.emplace_all(entries);  // one batch, as a Lock hands them over
    } else {
      for (const auto& [key, uv] : entries) map.emplace(key, uv);
    }
    float sum = 0.0f;
    for (const auto& entry : map) sum += entry.second.u;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

// A second Lock of the same selection into the same slot: every key is held
// already, so nothing is added.
template <class Map>
void LockAgain(benchmark::State& state) {
  const std::vector<UVVertexKey>& keys = GridKeys();
  std::vector<std::pair<UVVertexKey, UVPair>> entries;
  for (const UVVertexKey key : keys) entries.push_back({key, UVPair{0.25f, 0.5f}});
  Map map = pavlex::MakeSlotContainer<Map>();
  if constexpr (std::is_same_v<Map, pavlex::UVLockMap>) {
    map.emplace_all(entries);
  } else {
    for (const auto& [key, uv] : entries) map.emplace(key, uv);
  }
  for (auto _ : state) {
    size_t added = 0;
    if constexpr (std::is_same_v<Map, pavlex::UVLockMap>) {
      added = map.emplace_all(entries);
    } else {
      for (const auto& [key, uv] : entries) added += map.emplace(key, uv).second ? 1 : 0;
    }
    benchmark::DoNotOptimize(added);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(keys.size()));
}

using StdKeySet = std::unordered_set<UVVertexKey, pavlex::UVVertexKeyHash>;
using StdLockMap = std::unordered_map<UVVertexKey, UVPair, pavlex::UVVertexKeyHash>;

BENCHMARK_TEMPLATE(StoreAndWalk, pavlex::UVKeySet)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StoreAndWalk, StdKeySet)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(LockAndWalk, pavlex::UVLockMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(LockAndWalk, StdLockMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(LockAgain, pavlex::UVLockMap)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(LockAgain, StdLockMap)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

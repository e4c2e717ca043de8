// Store and Restore of a UV memory slot, ApplyUVLocks as every redraw runs
// it, and the Numerical dialog's Rotate, Move and Scale, on the shared
// benchmark grid (bench/grid_mesh.h): 1000 x 1000 quads (1,000,000 faces)
// in 4 x 4 UV islands, loaded through the host's OBJ import.
//
// The usual selection is every corner of the faces in the lower left
// 500 x 500 block: a quarter of all 4,000,000 UV vertices. The lock case
// pins every corner of the first 25,000 faces: 100,000 locked corners.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_grid.h"
#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "host/obj/obj_file.h"
#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/state/plugin_state.h"
#include "plugin/tools/select/uv_locks.h"
#include "plugin/tools/select/uv_memory.h"
#include "plugin/tools/transform/move_uv.h"
#include "plugin/tools/transform/rotate_uv.h"
#include "plugin/tools/transform/scale_uv.h"

namespace {

using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kLockedFaces = 25000;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::exit(1);
}

pavlex::bench::BenchGrid& TheGrid() { return pavlex::bench::LoadBenchGrid(kCells, 4); }

// Quad (i, j) is face j * kCells + i.
void SelectLowerLeftQuarter(HostObject& object) {
  object.clearSelection(MQCLEARSELECT_ALL);
  for (int32_t j = 0; j < kCells / 2; ++j) {
    for (int32_t i = 0; i < kCells / 2; ++i) {
      for (int32_t c = 0; c < 4; ++c) object.setUVSelected(j * kCells + i, c, true);
    }
  }
}

void BM_StoreQuarter(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  SelectLowerLeftQuarter(*grid.object);
  pavlex::PluginState plugin;
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::StoreUVSelection(plugin, grid.handle(), 0));
  state.counters["stored"] = static_cast<double>(plugin.memorySlots[0].objects.begin()->second.size());
}
BENCHMARK(BM_StoreQuarter)->Unit(benchmark::kMillisecond);

void BM_RestoreQuarter(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  SelectLowerLeftQuarter(*grid.object);
  pavlex::PluginState plugin;
  pavlex::StoreUVSelection(plugin, grid.handle(), 0);
  for (auto _ : state) {
    state.PauseTiming();
    grid.object->clearSelection(MQCLEARSELECT_ALL);
    state.ResumeTiming();
    benchmark::DoNotOptimize(pavlex::RestoreUVSelection(plugin, grid.handle(), 0));
  }
}
BENCHMARK(BM_RestoreQuarter)->Unit(benchmark::kMillisecond);

void BM_ApplyUVLocks(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  grid.object->clearSelection(MQCLEARSELECT_ALL);
  for (int32_t f = 0; f < kLockedFaces; ++f) {
    for (int32_t c = 0; c < 4; ++c) grid.object->setUVSelected(f, c, true);
  }
  pavlex::PluginState plugin;
  plugin.activated = true;
  if (!pavlex::AddUVLock(plugin, grid.handle(), 0)) Fail("nothing locked", "");
  for (auto _ : state) pavlex::ApplyUVLocks(plugin, grid.handle());
  state.counters["locked"] = static_cast<double>(plugin.lockSlots[0].objects.begin()->second.size());
}
BENCHMARK(BM_ApplyUVLocks)->Unit(benchmark::kMillisecond);

// A quarter turn each run keeps the UVs bounded however often it runs.
void BM_RotateQuarter(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  SelectLowerLeftQuarter(*grid.object);
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::RotateUV(grid.handle(), 90.0f, {0.25f, 0.25f}));
}
BENCHMARK(BM_RotateQuarter)->Unit(benchmark::kMillisecond);

void BM_MoveQuarter(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  SelectLowerLeftQuarter(*grid.object);
  float step = 0.1f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(pavlex::MoveUV(grid.handle(), {step, -step}));
    step = -step;
  }
}
BENCHMARK(BM_MoveQuarter)->Unit(benchmark::kMillisecond);

void BM_ScaleQuarter(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  SelectLowerLeftQuarter(*grid.object);
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::ScaleUV(grid.handle(), -1.0f, {0.25f, 0.25f}));
}
BENCHMARK(BM_ScaleQuarter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

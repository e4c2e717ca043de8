// Grab and Regularize on the shared benchmark grid (bench/grid_mesh.h):
// 1000 x 1000 quads (1,000,000 faces) in 4 x 4 UV islands of 250 x 250
// faces, loaded through the host's OBJ import.
//
// "F", "G" and "R" start from one selected UV edge per island: the bottom
// edge of the island's lowest quad in its middle column, whose neighbour
// across the island seam belongs to the island below (the lowest row of
// islands has no neighbour there). "Regularize" relays a selected patch of
// 100 x 100 faces, every corner of it selected. UVs and selection are
// restored before every iteration, outside the timing.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_grid.h"
#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "host/obj/obj_file.h"
#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/tools/transform/grab_uv.h"
#include "plugin/tools/transform/polygon_unfold.h"

namespace {

using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kIslandsPerSide = 4;
constexpr int32_t kIslandCells = kCells / kIslandsPerSide;
constexpr int32_t kPatch = 100;  // Regularize: kPatch x kPatch faces

// Quad (i, j) is face j * kCells + i; its corners run (i, j) (i+1, j)
// (i+1, j+1) (i, j+1), so corners 0 -> 1 are its bottom edge.
pavlex::bench::BenchGrid& TheGrid() { return pavlex::bench::LoadBenchGrid(kCells, kIslandsPerSide); }

enum class Selection { kEdgePerIsland, kSelectedPatch };

void Restore(pavlex::bench::BenchGrid& grid, Selection selection) {
  HostObject& object = *grid.object;
  object.clearSelection(MQCLEARSELECT_ALL);
  grid.RestoreUVs();
  if (selection == Selection::kEdgePerIsland) {
    for (int32_t by = 0; by < kIslandsPerSide; ++by) {
      for (int32_t bx = 0; bx < kIslandsPerSide; ++bx) {
        const int32_t face = by * kIslandCells * kCells + bx * kIslandCells + kIslandCells / 2;
        object.setUVSelected(face, 0, true);
        object.setUVSelected(face, 1, true);
      }
    }
    return;
  }
  const int32_t origin = kCells / 2 - kPatch / 2;
  for (int32_t y = origin; y < origin + kPatch; ++y) {
    for (int32_t x = origin; x < origin + kPatch; ++x) {
      for (int32_t c = 0; c < 4; ++c) object.setUVSelected(y * kCells + x, c, true);
    }
  }
}

void RunGrab(benchmark::State& state, Selection selection, pavlex::GrabMode mode) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  const MQDocument document = grid.handle();
  for (auto _ : state) {
    state.PauseTiming();
    Restore(grid, selection);
    state.ResumeTiming();
    benchmark::DoNotOptimize(pavlex::GrabUV(document, mode, false));
  }
  state.SetItemsProcessed(state.iterations() * kCells * kCells);
}

void BM_GrabF(benchmark::State& s) {
  RunGrab(s, Selection::kEdgePerIsland, pavlex::GrabMode::kAttachFaces);
}
void BM_GrabG(benchmark::State& s) {
  RunGrab(s, Selection::kEdgePerIsland, pavlex::GrabMode::kAttachIslands);
}
void BM_GrabR(benchmark::State& s) {
  RunGrab(s, Selection::kEdgePerIsland, pavlex::GrabMode::kReshapeFaces);
}
void BM_Regularize(benchmark::State& s) {
  RunGrab(s, Selection::kSelectedPatch, pavlex::GrabMode::kRegularize);
}

// The unfold alone on one convex polygon of state.range(0) corners, fanned.
void BM_UnfoldPolygon(benchmark::State& state) {
  const auto n = static_cast<int32_t>(state.range(0));
  std::vector<MQPoint> points;
  std::vector<std::array<int32_t, 3>> triangles;
  for (int32_t i = 0; i < n; ++i) {
    const double angle = 6.283185307179586 * i / n;
    points.push_back({static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), 0.0f});
    if (i >= 1 && i + 1 < n) triangles.push_back({0, i, i + 1});
  }
  pavlex::UnfoldResult result;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        pavlex::UnfoldPolygon(triangles, points.data(), points.size(), 1, 0, {{0, 0}, {1, 0}, 1.0f}, result));
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// The 3D frames of a quad's two triangles along each of their edges, as
// Regularize makes them once per face: /0 one frame after another, /1 all
// six together. 4096 quads of slightly different shapes in turn, so no
// step's inputs are known ahead.
void BM_QuadFrames(benchmark::State& state) {
  const bool together = state.range(0) != 0;
  constexpr size_t kQuads = 4096;
  std::vector<std::array<MQPoint, 4>> quads(kQuads);
  for (size_t q = 0; q < kQuads; ++q) {
    const float s = 1.0f + static_cast<float>(q) * 1e-4f;
    quads[q] = {{{0.0f, 0.0f, 0.0f}, {s, 0.0f, 0.1f}, {s, 1.0f, 0.2f * s}, {0.0f, s, 0.0f}}};
  }
  const std::vector<pavlex::UnfoldNode> nodes = pavlex::LinkUnfoldNodes({{3, 0, 1}, {3, 1, 2}});
  std::vector<pavlex::UnfoldFrame> frames(6);
  for (auto _ : state) {
    for (const std::array<MQPoint, 4>& p : quads) {
      if (together) {
        pavlex::MakeUnfoldFrames(nodes, p.data(), frames.data());
      } else {
        for (size_t at = 0; at < 6; ++at) {
          const std::array<int32_t, 3>& c = nodes[at / 3].corners;
          const size_t l = at % 3;
          frames[at] = pavlex::MakeUnfoldFrame(p[static_cast<size_t>(c[(l + 1) % 3])],
                                               p[static_cast<size_t>(c[l])], p[static_cast<size_t>(c[(l + 2) % 3])]);
        }
      }
      benchmark::DoNotOptimize(frames.data());
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kQuads));
}

BENCHMARK(BM_GrabF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrabG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrabR)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regularize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuadFrames)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnfoldPolygon)->Arg(12)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

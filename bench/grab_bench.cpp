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

#include "bench/grid_mesh.h"
#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "host/obj/obj_file.h"
#include "hostapi/mq_codes.h"
#include "shell/host_functions.h"
#include "tools/transform/grab_uv.h"
#include "tools/transform/polygon_unfold.h"

namespace {

using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kIslandsPerSide = 4;
constexpr int32_t kIslandCells = kCells / kIslandsPerSide;
constexpr int32_t kPatch = 100;  // Regularize: kPatch x kPatch faces

struct Grid {
  pavlex::host::ObjImport import;
  HostObject* object = nullptr;
  std::vector<MQCoordinate> uvs;  // per corner, as loaded
};

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::exit(1);
}

// Quad (i, j) is face j * kCells + i; its corners run (i, j) (i+1, j)
// (i+1, j+1) (i, j+1), so corners 0 -> 1 are its bottom edge.
Grid& TheGrid() {
  static Grid* grid = [] {
    if (pavlex::BindHostFunctions(PAVLEX_HOST_LIBRARY).status != pavlex::HostBindStatus::kBound)
      Fail("cannot bind the host library", PAVLEX_HOST_LIBRARY);
    auto* g = new Grid;
    std::string error;
    const std::string text = pavlex::bench::MakeGridObj({kCells, kIslandsPerSide, "grid"});
    if (!pavlex::host::LoadObjText(text, "grid.obj", "", &g->import, &error))
      Fail("cannot load the grid", error);
    g->object = g->import.document->object(g->import.document->currentObject());
    if (g->object == nullptr || g->object->faceCount() != kCells * kCells) Fail("unexpected grid", "");
    for (int32_t f = 0; f < g->object->faceCount(); ++f)
      g->uvs.insert(g->uvs.end(), g->object->faceUVs(f), g->object->faceUVs(f) + 4);
    return g;
  }();
  return *grid;
}

enum class Selection { kEdgePerIsland, kSelectedPatch };

void Restore(Grid& grid, Selection selection) {
  HostObject& object = *grid.object;
  object.clearSelection(MQCLEARSELECT_ALL);
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    MQCoordinate* uvs = object.faceUVs(f);
    for (int32_t c = 0; c < 4; ++c) uvs[c] = grid.uvs[4 * static_cast<size_t>(f) + static_cast<size_t>(c)];
  }
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

void RunGrab(benchmark::State& state, Selection selection, bool moveGroup, bool useShape, bool ownFace) {
  Grid& grid = TheGrid();
  const MQDocument document = pavlex::host::api::ToHandle(grid.import.document.get());
  for (auto _ : state) {
    state.PauseTiming();
    Restore(grid, selection);
    state.ResumeTiming();
    benchmark::DoNotOptimize(pavlex::GrabUV(document, moveGroup, useShape, ownFace, false));
  }
  state.SetItemsProcessed(state.iterations() * kCells * kCells);
}

void BM_GrabF(benchmark::State& s) {
  RunGrab(s, Selection::kEdgePerIsland, false, false, false);
}
void BM_GrabG(benchmark::State& s) {
  RunGrab(s, Selection::kEdgePerIsland, true, false, false);
}
void BM_GrabR(benchmark::State& s) {
  RunGrab(s, Selection::kEdgePerIsland, false, true, false);
}
void BM_Regularize(benchmark::State& s) {
  RunGrab(s, Selection::kSelectedPatch, false, true, true);
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

BENCHMARK(BM_GrabF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrabG)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrabR)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Regularize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnfoldPolygon)->Arg(12)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

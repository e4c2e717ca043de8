// The island-based select tools and Sew/Gather on the shared benchmark grid
// (bench/grid_mesh.h): 1000 x 1000 quads (1,000,000 faces) cut into 4 x 4
// UV islands of 250 x 250 faces, loaded through the host's OBJ import.
// Every island border is a UV seam, about 0.05 wide in UV.
//
// The usual selection is every UV vertex of the model vertices in the lower
// left quarter (about a quarter of all corners), so the faces along its
// border are partly selected and three island seams run through it. UVs and
// selection are restored before every iteration, outside the timing.
#include <benchmark/benchmark.h>

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
#include "plugin/model/cmq_object.h"
#include "plugin/model/vertex_uv_index.h"
#include "plugin/tools/select/select_floating.h"
#include "plugin/tools/select/select_group.h"
#include "plugin/tools/select/select_same_vertex.h"
#include "plugin/tools/transform/gather_uv.h"
#include "plugin/tools/transform/sew_uv.h"

namespace {

using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kSide = kCells + 1;
constexpr int32_t kIslandsPerSide = 4;
constexpr int32_t kIslandCells = kCells / kIslandsPerSide;

// Vertex (i, j) of the grid is j * kSide + i and quad (i, j) is face
// j * kCells + i, both in file order.
pavlex::bench::BenchGrid& TheGrid() { return pavlex::bench::LoadBenchGrid(kCells, kIslandsPerSide); }

enum class Selection {
  kQuarter,              // every corner of the vertices with x, y <= 500
  kQuarterAndLeftFaces,  // kQuarter, and the faces with x < 500 selected as faces
  kOnePerIsland,         // one corner in the middle of each island
  kQuarterIslands,       // one corner in the middle of each island of the lower left quarter
};

void Restore(pavlex::bench::BenchGrid& grid, Selection selection) {
  HostObject& object = *grid.object;
  object.clearSelection(MQCLEARSELECT_ALL);
  grid.RestoreUVs();
  if (selection == Selection::kQuarter || selection == Selection::kQuarterAndLeftFaces) {
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      if (selection == Selection::kQuarterAndLeftFaces && f % kCells < kCells / 2)
        object.setFaceSelected(f, true);
      const int32_t* vertices = object.faceVertices(f);
      for (int32_t c = 0; c < 4; ++c) {
        if (vertices[c] % kSide <= kCells / 2 && vertices[c] / kSide <= kCells / 2)
          object.setUVSelected(f, c, true);
      }
    }
    return;
  }
  const int32_t last = selection == Selection::kOnePerIsland ? kIslandsPerSide : kIslandsPerSide / 2;
  for (int32_t by = 0; by < last; ++by) {
    for (int32_t bx = 0; bx < last; ++bx) {
      const int32_t x = bx * kIslandCells + kIslandCells / 2, y = by * kIslandCells + kIslandCells / 2;
      object.setUVSelected(y * kCells + x, 0, true);
    }
  }
}

template <typename Tool>
void RunTool(benchmark::State& state, Selection selection, Tool tool) {
  pavlex::bench::BenchGrid& grid = TheGrid();
  const MQDocument document = grid.handle();
  for (auto _ : state) {
    state.PauseTiming();
    Restore(grid, selection);
    state.ResumeTiming();
    benchmark::DoNotOptimize(tool(document));
  }
  Restore(grid, Selection::kQuarter);
  state.SetItemsProcessed(state.iterations() * kCells * kCells);
}

void BM_SelectFloating(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, pavlex::SelectFloating);
}
void BM_SelectGroup(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, pavlex::SelectGroup);
}
void BM_SelectGroupOneSeedPerIsland(benchmark::State& s) {
  RunTool(s, Selection::kOnePerIsland, pavlex::SelectGroup);
}
void BM_SelectGroupQuarterIslands(benchmark::State& s) {
  RunTool(s, Selection::kQuarterIslands, pavlex::SelectGroup);
}
// What Sew, V, Gather, group and Grab G build first: one read of every face.
void BM_BuildVertexUVIndex(benchmark::State& state) {
  const cmq::CMQObject object = cmq::CMQObject::Current(TheGrid().handle());
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::BuildVertexUVIndex(object).size());
  state.SetItemsProcessed(state.iterations() * kCells * kCells);
}
void BM_SelectSameVertex(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, pavlex::SelectSameVertex);
}
void BM_Sew(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::SewUV(d, pavlex::SewMode::kToMean, false); });
}
void BM_SewGrab(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::SewUV(d, pavlex::SewMode::kToSelected, false); });
}
void BM_SewGrabSelectedFaces(benchmark::State& s) {
  RunTool(s, Selection::kQuarterAndLeftFaces, [](MQDocument d) { return pavlex::SewUV(d, pavlex::SewMode::kToSelected, true); });
}
void BM_Gather(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::GatherUV(d, 0.001f); });
}
// Wide enough to snap across every selected seam.
void BM_GatherAcrossSeams(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::GatherUV(d, 0.1f); });
}

BENCHMARK(BM_BuildVertexUVIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectFloating)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroupOneSeedPerIsland)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroupQuarterIslands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectSameVertex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SewGrab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SewGrabSelectedFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gather)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GatherAcrossSeams)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The island-based select tools and Sew/Gather on a 1000 x 1000 quad grid
// (1,000,000 faces) cut into 4 x 4 UV islands of 250 x 250 faces. Each
// island's UVs are the positions scaled to the unit square and shifted by
// 4e-4 per island step, so neighbouring islands are apart for the identity
// rule (1e-4) but within Gather's default distance (1e-3), and every seam
// gives Sew and Gather work.
//
// The usual selection is every UV vertex of the model vertices in the lower
// left quarter (about a quarter of all corners), so the faces along its
// border are partly selected. UVs and selection are restored before every
// iteration, outside the timing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "hostapi/mq_codes.h"
#include "shell/host_functions.h"
#include "tools/select/select_floating.h"
#include "tools/select/select_group.h"
#include "tools/select/select_same_vertex.h"
#include "tools/transform/gather_uv.h"
#include "tools/transform/sew_uv.h"

namespace {

using pavlex::host::HostDocument;
using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kSide = kCells + 1;
constexpr int32_t kIslandCells = 250;
constexpr float kIslandShift = 4e-4f;

struct Grid {
  HostDocument document;
  HostObject* object = nullptr;
  std::vector<MQCoordinate> uvs;  // per corner, as built
};

Grid& TheGrid() {
  static Grid* grid = [] {
    if (pavlex::BindHostFunctions(PAVLEX_HOST_LIBRARY).status != pavlex::HostBindStatus::kBound) {
      std::fprintf(stderr, "cannot bind the host library %s\n", PAVLEX_HOST_LIBRARY);
      std::exit(1);
    }
    auto* g = new Grid;
    auto object = std::make_unique<HostObject>();
    const size_t faces = static_cast<size_t>(kCells) * kCells;
    object->reserve(static_cast<size_t>(kSide) * kSide, faces, 4 * faces);
    for (int32_t y = 0; y < kSide; ++y) {
      for (int32_t x = 0; x < kSide; ++x)
        object->addVertex({static_cast<float>(x), static_cast<float>(y), 0.0f});
    }
    const float step = 1.0f / kCells;
    for (int32_t y = 0; y < kCells; ++y) {
      for (int32_t x = 0; x < kCells; ++x) {
        const int32_t base = y * kSide + x;
        const int32_t vertices[4] = {base, base + 1, base + kSide + 1, base + kSide};
        const float du = kIslandShift * static_cast<float>(x / kIslandCells);
        const float dv = kIslandShift * static_cast<float>(y / kIslandCells);
        const float u = static_cast<float>(x) * step + du, v = static_cast<float>(y) * step + dv;
        const float u1 = static_cast<float>(x + 1) * step + du, v1 = static_cast<float>(y + 1) * step + dv;
        const MQCoordinate uvs[4] = {{u, v}, {u1, v}, {u1, v1}, {u, v1}};
        object->addFace(4, vertices, uvs);
        g->uvs.insert(g->uvs.end(), uvs, uvs + 4);
      }
    }
    g->object = object.get();
    g->document.addObject(std::move(object));
    return g;
  }();
  return *grid;
}

enum class Selection {
  kQuarter,              // every corner of the vertices with x, y <= 500
  kQuarterAndLeftFaces,  // kQuarter, and the faces with x < 500 selected as faces
  kOnePerIsland,         // one corner in the middle of each island
  kQuarterIslands,       // one corner in the middle of each island of the lower left quarter
};

void Restore(Grid& grid, Selection selection) {
  HostObject& object = *grid.object;
  object.clearSelection(MQCLEARSELECT_ALL);
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    MQCoordinate* uvs = object.faceUVs(f);
    for (int32_t c = 0; c < 4; ++c) uvs[c] = grid.uvs[4 * static_cast<size_t>(f) + static_cast<size_t>(c)];
  }
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
  const int32_t islands = kCells / kIslandCells;
  const int32_t last = selection == Selection::kOnePerIsland ? islands : islands / 2;
  for (int32_t by = 0; by < last; ++by) {
    for (int32_t bx = 0; bx < last; ++bx) {
      const int32_t x = bx * kIslandCells + kIslandCells / 2, y = by * kIslandCells + kIslandCells / 2;
      object.setUVSelected(y * kCells + x, 0, true);
    }
  }
}

template <typename Tool>
void RunTool(benchmark::State& state, Selection selection, Tool tool) {
  Grid& grid = TheGrid();
  const MQDocument document = pavlex::host::api::ToHandle(&grid.document);
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
void BM_SelectSameVertex(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, pavlex::SelectSameVertex);
}
void BM_Sew(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::SewUV(d, false, false); });
}
void BM_SewGrab(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::SewUV(d, true, false); });
}
void BM_SewGrabSelectedFaces(benchmark::State& s) {
  RunTool(s, Selection::kQuarterAndLeftFaces, [](MQDocument d) { return pavlex::SewUV(d, true, true); });
}
void BM_Gather(benchmark::State& s) {
  RunTool(s, Selection::kQuarter, [](MQDocument d) { return pavlex::GatherUV(d, 0.001f); });
}

BENCHMARK(BM_SelectFloating)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroupOneSeedPerIsland)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectGroupQuarterIslands)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectSameVertex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sew)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SewGrab)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SewGrabSelectedFaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gather)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// "UV -> Object" and "Object -> UV" on a 1000 x 1000 quad grid (1,000,000
// faces) with a quarter of the source selection set: the faces of one
// 500 x 500 corner block, with all their corners, vertices or lines. The
// target selection is cleared between iterations, outside the timing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/tools/select/object_to_uv.h"
#include "plugin/tools/select/uv_to_object.h"

namespace {

using pavlex::host::HostDocument;
using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kBlock = kCells / 2;

struct Grid {
  HostDocument document;
  HostObject* object = nullptr;
};

Grid& TheGrid() {
  static Grid* grid = [] {
    if (pavlex::BindHostFunctions(PAVLEX_HOST_LIBRARY).status != pavlex::HostBindStatus::kBound) {
      std::fprintf(stderr, "cannot bind the host library %s\n", PAVLEX_HOST_LIBRARY);
      std::exit(1);
    }
    auto* g = new Grid;
    auto object = std::make_unique<HostObject>();
    const int32_t side = kCells + 1;
    object->reserve(static_cast<size_t>(side) * side, static_cast<size_t>(kCells) * kCells,
                    4u * static_cast<size_t>(kCells) * kCells);
    for (int32_t y = 0; y < side; ++y) {
      for (int32_t x = 0; x < side; ++x)
        object->addVertex({static_cast<float>(x), static_cast<float>(y), 0.0f});
    }
    const float step = 1.0f / kCells;
    for (int32_t y = 0; y < kCells; ++y) {
      for (int32_t x = 0; x < kCells; ++x) {
        const int32_t base = y * side + x;
        const int32_t vertices[4] = {base, base + 1, base + side + 1, base + side};
        const float u = static_cast<float>(x) * step, v = static_cast<float>(y) * step;
        const MQCoordinate uvs[4] = {{u, v}, {u + step, v}, {u + step, v + step}, {u, v + step}};
        object->addFace(4, vertices, uvs);
      }
    }
    g->object = object.get();
    g->document.addObject(std::move(object));
    return g;
  }();
  return *grid;
}

bool InBlock(int32_t face) {
  return face / kCells < kBlock && face % kCells < kBlock;
}

enum class Source { kUV, kVertex, kLine, kFace };

// Sets the quarter block of the given kind, and nothing else.
void SelectSource(Grid& grid, Source source) {
  HostObject& object = *grid.object;
  object.clearSelection(MQCLEARSELECT_ALL);
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    if (!InBlock(f)) continue;
    const int32_t* vertices = object.faceVertices(f);
    for (int32_t c = 0; c < 4; ++c) {
      switch (source) {
        case Source::kUV:
          object.setUVSelected(f, c, true);
          break;
        case Source::kVertex:
          object.setVertexSelected(vertices[c], true);
          break;
        case Source::kLine:
          object.setLineSelected(f, c, true);
          break;
        case Source::kFace:
          object.setFaceSelected(f, true);
          break;
      }
    }
  }
}

void RunTransfer(benchmark::State& state, bool (*tool)(MQDocument), Source source, uint32_t target) {
  Grid& grid = TheGrid();
  SelectSource(grid, source);
  const MQDocument document = pavlex::host::api::ToHandle(&grid.document);
  for (auto _ : state) {
    state.PauseTiming();
    grid.object->clearSelection(target);
    state.ResumeTiming();
    benchmark::DoNotOptimize(tool(document));
  }
  grid.object->clearSelection(MQCLEARSELECT_ALL);
  state.SetItemsProcessed(state.iterations() * kCells * kCells);
}

void BM_UVToObjectVertex(benchmark::State& s) {
  RunTransfer(s, pavlex::UVToObjectVertex, Source::kUV, MQCLEARSELECT_VERTEX);
}
void BM_UVToObjectLine(benchmark::State& s) {
  RunTransfer(s, pavlex::UVToObjectLine, Source::kUV, MQCLEARSELECT_LINE);
}
void BM_UVToObjectFace(benchmark::State& s) {
  RunTransfer(s, pavlex::UVToObjectFace, Source::kUV, MQCLEARSELECT_FACE);
}
void BM_ObjectToUVVertex(benchmark::State& s) {
  RunTransfer(s, pavlex::ObjectToUVVertex, Source::kVertex, MQCLEARSELECT_UVVERTEX);
}
void BM_ObjectToUVLine(benchmark::State& s) {
  RunTransfer(s, pavlex::ObjectToUVLine, Source::kLine, MQCLEARSELECT_UVVERTEX);
}
void BM_ObjectToUVFace(benchmark::State& s) {
  RunTransfer(s, pavlex::ObjectToUVFace, Source::kFace, MQCLEARSELECT_UVVERTEX);
}

BENCHMARK(BM_UVToObjectVertex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UVToObjectLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UVToObjectFace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectToUVVertex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectToUVLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ObjectToUVFace)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

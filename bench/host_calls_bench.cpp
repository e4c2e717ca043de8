// The least a press can cost: each exported host function that Sew, Grab
// V and F and same vertex call per face, corner or vertex, called through
// the plug-in's host function table (as the plug-in calls it) over the whole
// million-face grid of bench_grid.h in ascending order, with nothing else in
// the loop. A press makes a fixed number of each call (the call record of
// the tests holds the sequence), so its time cannot go below the sum of
// those counts times these figures.
//
// The "per_call" counter is the time of one host call; a pass that pairs
// calls as the plug-in does (the object's slot before each selection call,
// the corner count before each array call) counts both. Each runs twice:
// /0 walks the whole grid once (the host's arrays come from memory), /1
// makes as many calls over the first row of faces (or vertices) again and
// again, which stays in the caches as a tool's neighbourhood does: the cost
// of the call itself.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/bench_grid.h"
#include "plugin/hostlink/host_functions.h"

namespace {

using pavlex::Host;

constexpr int32_t kCells = 1000;

struct Grid {
  MQDocument document;
  MQObject object;
  int32_t faces;
  int32_t vertices;
};

// The element a pass visits at step i: every one in turn, or the first
// row's over and over.
int32_t Element(int32_t i, bool hot) {
  return hot ? i % kCells : i;
}

Grid TheGrid() {
  pavlex::bench::BenchGrid& grid = pavlex::bench::LoadBenchGrid(kCells, 4);
  MQObject object = Host().MQDoc_GetObject(grid.handle(), 0);
  return {grid.handle(), object, Host().MQObj_GetFaceCount(object), Host().MQObj_GetVertexCount(object)};
}

void Report(benchmark::State& state, int64_t callsPerPass) {
  state.counters["per_call"] =
      benchmark::Counter(static_cast<double>(callsPerPass),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The cheapest call there is: the loop and the call themselves.
void BM_GetFaceCount(benchmark::State& state) {
  const Grid g = TheGrid();
  for (auto _ : state) {
    int32_t sum = 0;
    for (int32_t f = 0; f < g.faces; ++f) sum += Host().MQObj_GetFaceCount(g.object);
    benchmark::DoNotOptimize(sum);
  }
  Report(state, g.faces);
}

void BM_GetFacePointCount(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  for (auto _ : state) {
    int32_t sum = 0;
    for (int32_t i = 0; i < g.faces; ++i) sum += Host().MQObj_GetFacePointCount(g.object, Element(i, hot));
    benchmark::DoNotOptimize(sum);
  }
  Report(state, g.faces);
}

// GetObjectIndex, then the selection question, per corner.
void BM_IsSelectUVVertex(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  for (auto _ : state) {
    int32_t sum = 0;
    for (int32_t i = 0; i < g.faces; ++i) {
      const int32_t f = Element(i, hot);
      for (int32_t c = 0; c < 4; ++c) {
        const int32_t slot = Host().MQDoc_GetObjectIndex(g.document, g.object);
        sum += Host().MQDoc_IsSelectUVVertex(g.document, slot, f, c);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  Report(state, 8 * static_cast<int64_t>(g.faces));
}

// The same for selecting (outside a recorded step).
void BM_AddSelectUVVertex(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  for (auto _ : state) {
    for (int32_t i = 0; i < g.faces; ++i) {
      const int32_t f = Element(i, hot);
      for (int32_t c = 0; c < 4; ++c) {
        const int32_t slot = Host().MQDoc_GetObjectIndex(g.document, g.object);
        Host().MQDoc_AddSelectUVVertex(g.document, slot, f, c);
      }
    }
  }
  Report(state, 8 * static_cast<int64_t>(g.faces));
}

// Corner count, then the face's vertex indices.
void BM_GetFacePointArray(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  std::vector<int32_t> points(4);
  for (auto _ : state) {
    for (int32_t i = 0; i < g.faces; ++i) {
      const int32_t f = Element(i, hot);
      const int32_t n = Host().MQObj_GetFacePointCount(g.object, f);
      if (n > 0) Host().MQObj_GetFacePointArray(g.object, f, points.data());
      benchmark::DoNotOptimize(points.data());
    }
  }
  Report(state, 2 * static_cast<int64_t>(g.faces));
}

// Corner count, then the face's UVs.
void BM_GetFaceCoordinateArray(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  std::vector<MQCoordinate> uvs(4);
  for (auto _ : state) {
    for (int32_t i = 0; i < g.faces; ++i) {
      const int32_t f = Element(i, hot);
      const int32_t n = Host().MQObj_GetFacePointCount(g.object, f);
      if (n > 0) Host().MQObj_GetFaceCoordinateArray(g.object, f, uvs.data());
      benchmark::DoNotOptimize(uvs.data());
    }
  }
  Report(state, 2 * static_cast<int64_t>(g.faces));
}

// Corner count, then the face's UVs written back unchanged (outside a
// recorded step).
void BM_SetFaceCoordinateArray(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  std::vector<MQCoordinate> uvs(4);
  Host().MQObj_GetFaceCoordinateArray(g.object, 0, uvs.data());
  for (auto _ : state) {
    for (int32_t i = 0; i < g.faces; ++i) {
      const int32_t f = Element(i, hot);
      benchmark::DoNotOptimize(uvs.data());
      if (Host().MQObj_GetFacePointCount(g.object, f) > 0)
        Host().MQObj_SetFaceCoordinateArray(g.object, f, uvs.data());
    }
    state.PauseTiming();
    pavlex::bench::LoadBenchGrid(kCells, 4).RestoreUVs();
    state.ResumeTiming();
  }
  Report(state, 2 * static_cast<int64_t>(g.faces));
}

// The related faces' count (null list), then the list, per vertex.
void BM_GetVertexRelatedFaces(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool hot = state.range(0) != 0;
  std::vector<int32_t> faces(8);
  for (auto _ : state) {
    for (int32_t i = 0; i < g.vertices; ++i) {
      const int32_t v = Element(i, hot);
      const int32_t n = Host().MQObj_GetVertexRelatedFaces(g.object, v, nullptr);
      if (n > 0 && n <= 8) Host().MQObj_GetVertexRelatedFaces(g.object, v, faces.data());
      benchmark::DoNotOptimize(faces.data());
    }
  }
  Report(state, 2 * static_cast<int64_t>(g.vertices));
}

// A face read whole and written back, twice: what Equal Alloc does for each
// of a grid's corners once it has ranked their values. It visits the
// corners by value, so along u it walks the grid column by column (/0):
// each face a row apart in the host's arrays. /1 makes the same calls with
// the faces in ascending order, as a walk in face order would; the
// difference is the price of the column order alone.
void BM_ReadWriteFaceByColumn(benchmark::State& state) {
  const Grid g = TheGrid();
  const bool byColumn = state.range(0) == 0;
  std::vector<int32_t> points(4);
  std::vector<MQCoordinate> uvs(4);
  const auto readWrite = [&](int32_t f) {
    for (int pass = 0; pass < 2; ++pass) {
      if (Host().MQObj_GetFacePointCount(g.object, f) > 0) Host().MQObj_GetFacePointArray(g.object, f, points.data());
      Host().MQObj_GetFaceCoordinateArray(g.object, f, uvs.data());
      if (Host().MQObj_GetFacePointCount(g.object, f) == 4) Host().MQObj_SetFaceCoordinateArray(g.object, f, uvs.data());
    }
  };
  for (auto _ : state) {
    if (byColumn) {
      // Value column i holds the right corners of face column i - 1 and
      // the left corners of face column i, row after row.
      for (int32_t i = 0; i <= kCells; ++i) {
        for (int32_t j = 0; j < kCells; ++j) {
          if (i > 0) readWrite(j * kCells + i - 1);
          if (i < kCells) readWrite(j * kCells + i);
        }
      }
    } else {
      for (int32_t f = 0; f < g.faces; ++f) {
        readWrite(f);
        readWrite(f);
      }
    }
  }
  Report(state, 4 * 5 * static_cast<int64_t>(g.faces));
}

BENCHMARK(BM_GetFaceCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFacePointCount)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsSelectUVVertex)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddSelectUVVertex)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFacePointArray)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetFaceCoordinateArray)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetFaceCoordinateArray)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWriteFaceByColumn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetVertexRelatedFaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

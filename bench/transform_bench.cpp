// The transform tools on a 1000 x 1000 quad grid (1,000,000 faces, 1,002,001
// vertices) laid out symmetrically about x = 0, cut into 4 x 4 UV islands
// of 250 x 250 faces (each island shifted in UV, so every island border is
// a seam). A quarter of the object is selected: every UV vertex of the
// faces in the lower left 500 x 500 block, and, for Symmetrize, the faces
// of the lower right block, whose mirrors are the lower left ones.
//
// The tools run repeatedly on the same document; each run costs the same
// whatever the previous one left (every live face is read and written, and
// Equal Alloc writes every middle value again).
//
// The mirror-partner search is measured alone too, over the grid and over
// the plain scan, on small symmetric point grids to show the gap.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_object.h"
#include "plugin/tools/transform/equal_alloc_uv.h"
#include "plugin/tools/transform/invert_uv.h"
#include "plugin/tools/transform/mirror_vertex_map.h"
#include "plugin/tools/transform/snap_uv.h"
#include "plugin/tools/transform/symmetrize_uv.h"
#include "plugin/tools/transform/turn_uv.h"
#include "plugin/tools/transform/uv_bounds.h"

namespace {

using pavlex::host::HostDocument;
using pavlex::host::HostObject;

constexpr int32_t kCells = 1000;
constexpr int32_t kSide = kCells + 1;
constexpr int32_t kIslandCells = 250;
constexpr float kIslandShift = 0.01f;
constexpr float kSpacing = 0.01f;

// Column x of kSide lies at (x - kCells / 2) * kSpacing, so columns x and
// kCells - x are exact mirrors and the middle column is on the plane.
float ColumnX(int32_t x) {
  return static_cast<float>(x - kCells / 2) * kSpacing;
}

struct Grid {
  HostDocument document;
  HostObject* object = nullptr;
  MQDocument handle() { return pavlex::host::api::ToHandle(&document); }
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
        object->addVertex({ColumnX(x), static_cast<float>(y) * kSpacing, 0.0f});
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
        const int32_t f = object->addFace(4, vertices, uvs);
        if (y < kCells / 2 && x < kCells / 2) {
          for (int32_t c = 0; c < 4; ++c) object->setUVSelected(f, c, true);
        }
        if (y < kCells / 2 && x >= kCells / 2) object->setFaceSelected(f, true);
      }
    }
    g->object = object.get();
    g->document.addObject(std::move(object));
    return g;
  }();
  return *grid;
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kCells) * kCells);
}

void BM_SelectionUVBounds(benchmark::State& state) {
  Grid& grid = TheGrid();
  const cmq::CMQObject object = cmq::CMQObject::Current(grid.handle());
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::SelectionUVBounds(object));
  Report(state);
}

void BM_InvertUV(benchmark::State& state) {
  Grid& grid = TheGrid();
  const pavlex::UVBounds bounds = pavlex::SelectionUVBounds(cmq::CMQObject::Current(grid.handle()));
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        pavlex::InvertUV(grid.handle(), bounds, pavlex::InvertDirection::kHorizontal, false));
  }
  Report(state);
}

void BM_TurnUV(benchmark::State& state) {
  Grid& grid = TheGrid();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        pavlex::TurnUV(grid.handle(), pavlex::kUnitUVSquare, pavlex::TurnDirection::kUp));
  }
  Report(state);
}

void BM_SnapUV(benchmark::State& state) {
  Grid& grid = TheGrid();
  const pavlex::UVBounds bounds = pavlex::SelectionUVBounds(cmq::CMQObject::Current(grid.handle()));
  for (auto _ : state)
    benchmark::DoNotOptimize(pavlex::SnapUV(grid.handle(), bounds, pavlex::SnapSide::kLeft));
  Report(state);
}

void BM_EqualAllocUV(benchmark::State& state) {
  Grid& grid = TheGrid();
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::EqualAllocUV(grid.handle()));
  Report(state);
}

void BM_SymmetrizeUV(benchmark::State& state) {
  Grid& grid = TheGrid();
  for (auto _ : state) benchmark::DoNotOptimize(pavlex::SymmetrizeUV(grid.handle(), true));
  Report(state);
}

// A symmetric n x n point grid in the plane z = 0 (spacing 0.01, so points
// are well apart at the partner tolerance), all live.
struct Points {
  std::vector<MQPoint> positions;
  std::vector<uint8_t> live;
};

Points SymmetricPoints(int32_t n) {
  Points points;
  for (int32_t y = 0; y < n; ++y) {
    for (int32_t x = 0; x < n; ++x) {
      points.positions.push_back(
          {static_cast<float>(x - n / 2) * kSpacing, static_cast<float>(y) * kSpacing, 0.0f});
    }
  }
  points.live.assign(points.positions.size(), 1);
  return points;
}

void MatchPoints(benchmark::State& state, pavlex::MirrorSearch search) {
  const Points points = SymmetricPoints(static_cast<int32_t>(state.range(0)));
  for (auto _ : state)
    benchmark::DoNotOptimize(pavlex::MatchMirrorVertices(points.positions, points.live, search));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.positions.size()));
}

void BM_MirrorMatchGrid(benchmark::State& state) {
  MatchPoints(state, pavlex::MirrorSearch::kGrid);
}
void BM_MirrorMatchScan(benchmark::State& state) {
  MatchPoints(state, pavlex::MirrorSearch::kScan);
}

BENCHMARK(BM_SelectionUVBounds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InvertUV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurnUV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapUV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EqualAllocUV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SymmetrizeUV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MirrorMatchGrid)->Arg(31)->Arg(101)->Arg(1001)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MirrorMatchScan)->Arg(31)->Arg(101)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

#include "bench/bench_grid.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "bench/grid_mesh.h"
#include "host/api/handles.h"
#include "plugin/hostlink/host_functions.h"

namespace pavlex::bench {
namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::exit(1);
}

}  // namespace

MQDocument BenchGrid::handle() const { return host::api::ToHandle(import.document.get()); }

void BenchGrid::RestoreUVs() {
  for (int32_t f = 0; f < object->faceCount(); ++f) {
    MQCoordinate* corners = object->faceUVs(f);
    for (int32_t c = 0; c < 4; ++c) corners[c] = uvs[4 * static_cast<size_t>(f) + static_cast<size_t>(c)];
  }
}

BenchGrid& LoadBenchGrid(int32_t cells, int32_t islandsPerSide) {
  static std::map<std::pair<int32_t, int32_t>, std::unique_ptr<BenchGrid>> grids;
  std::unique_ptr<BenchGrid>& slot = grids[{cells, islandsPerSide}];
  if (slot) return *slot;

  if (BindHostFunctions(PAVLEX_HOST_LIBRARY).status != HostBindStatus::kBound)
    Fail("cannot bind the host library", PAVLEX_HOST_LIBRARY);
  auto grid = std::make_unique<BenchGrid>();
  std::string error;
  const std::string text = MakeGridObj({cells, islandsPerSide, "grid"});
  if (!host::LoadObjText(text, "grid.obj", "", &grid->import, &error)) Fail("cannot load the grid", error);
  grid->object = grid->import.document->object(grid->import.document->currentObject());
  if (grid->object == nullptr || grid->object->faceCount() != cells * cells) Fail("unexpected grid", text.substr(0, 80));
  grid->uvs.reserve(4 * static_cast<size_t>(grid->object->faceCount()));
  for (int32_t f = 0; f < grid->object->faceCount(); ++f)
    grid->uvs.insert(grid->uvs.end(), grid->object->faceUVs(f), grid->object->faceUVs(f) + 4);
  slot = std::move(grid);
  return *slot;
}

}  // namespace pavlex::bench

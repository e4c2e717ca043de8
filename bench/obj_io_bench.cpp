// OBJ load and save of a 1000 x 1000 quad grid (1,000,000 faces, 10 x 10 UV
// islands) through the stand-in host's importer and exporter.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/grid_mesh.h"
#include "host/obj/obj_file.h"

namespace {

namespace fs = std::filesystem;
using pavlex::host::ObjImport;

const std::string& GridText() {
  static const std::string text = pavlex::bench::MakeGridObj({1000, 10, "grid"});
  return text;
}

// A folder of this process's own, removed at exit.
const fs::path& WorkFolder() {
  struct Folder {
    fs::path path = fs::temp_directory_path() / ("pavlex-obj-bench-" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}

const ObjImport& LoadedGrid() {
  static const ObjImport grid = [] {
    ObjImport import;
    std::string error;
    if (!pavlex::host::LoadObjText(GridText(), "grid.obj", "", &import, &error))
      std::fprintf(stderr, "%s\n", error.c_str());
    return import;
  }();
  return grid;
}

void BM_LoadObjText(benchmark::State& state) {
  const std::string& text = GridText();
  for (auto _ : state) {
    ObjImport import;
    std::string error;
    if (!pavlex::host::LoadObjText(text, "grid.obj", "", &import, &error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(import.document.get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_LoadObjFile(benchmark::State& state) {
  const std::string path = (WorkFolder() / "load.obj").string();
  std::ofstream(path, std::ios::binary) << GridText();
  for (auto _ : state) {
    ObjImport import;
    std::string error;
    if (!pavlex::host::LoadObjFile(path, &import, &error)) state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(import.document.get());
  }
}

void BM_SaveObjFile_Unchanged(benchmark::State& state) {
  const ObjImport& grid = LoadedGrid();
  const std::string path = (WorkFolder() / "unchanged.obj").string();
  for (auto _ : state) {
    std::string error;
    if (!pavlex::host::SaveObjFile(*grid.document, grid.source.get(), path, &error))
      state.SkipWithError(error.c_str());
  }
}

// A quarter of the faces (every fourth) moved in UV: the patched save
// rewrites their lines and appends their new vt entries.
void BM_SaveObjFile_AfterUVEdit(benchmark::State& state) {
  ObjImport grid;
  std::string error;
  if (!pavlex::host::LoadObjText(GridText(), "grid.obj", "", &grid, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  pavlex::host::HostObject& obj = *grid.document->object(0);
  for (int32_t f = 0; f < obj.faceCount(); f += 4) {
    MQCoordinate* uvs = obj.faceUVs(f);
    for (int32_t c = 0; c < obj.cornerCount(f); ++c) uvs[c].u += 0.25f;
  }
  const std::string path = (WorkFolder() / "edited.obj").string();
  for (auto _ : state) {
    if (!pavlex::host::SaveObjFile(*grid.document, grid.source.get(), path, &error))
      state.SkipWithError(error.c_str());
  }
}

// After a structural edit the file is generated anew.
void BM_SaveObjFile_Regenerated(benchmark::State& state) {
  ObjImport grid;
  std::string error;
  if (!pavlex::host::LoadObjText(GridText(), "grid.obj", "", &grid, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  grid.document->object(0)->deleteFace(0, false);
  const std::string path = (WorkFolder() / "regenerated.obj").string();
  for (auto _ : state) {
    if (!pavlex::host::SaveObjFile(*grid.document, grid.source.get(), path, &error))
      state.SkipWithError(error.c_str());
  }
}

BENCHMARK(BM_LoadObjText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadObjFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveObjFile_Unchanged)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveObjFile_AfterUVEdit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveObjFile_Regenerated)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

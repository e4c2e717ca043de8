// The layout output on the shared benchmark grid (bench/grid_mesh.h):
// 1000 x 1000 quads (1,000,000 faces) in 4 x 4 UV islands, loaded through
// the host's OBJ import, lit by the host's default light.
//
// The two targets: a 4096 x 4096 PNG with wireframe, object colour and
// shader, and an 8192 x 8192 PNG with the wireframe only, each under 2 s
// end to end. The Draw* and EncodePng* cases split that time between the
// layers and the encoder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/grid_mesh.h"
#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "host/obj/obj_file.h"
#include "platform/image_encoders.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/output/layout_image.h"
#include "plugin/output/output_layout_image.h"
#include "plugin/output/render_layout.h"

namespace {

using pavlex::OutputFlags;

constexpr OutputFlags kShadedFlags = pavlex::kOutputWireframe | pavlex::kOutputObjectColor | pavlex::kOutputShader;
constexpr OutputFlags kWireFlags = pavlex::kOutputWireframe;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::exit(1);
}

MQDocument TheGrid() {
  static pavlex::host::ObjImport* import = [] {
    if (pavlex::BindHostFunctions(PAVLEX_HOST_LIBRARY).status != pavlex::HostBindStatus::kBound)
      Fail("cannot bind the host library", PAVLEX_HOST_LIBRARY);
    auto* loaded = new pavlex::host::ObjImport;
    std::string error;
    const std::string text = pavlex::bench::MakeGridObj({1000, 4, "grid"});
    if (!pavlex::host::LoadObjText(text, "grid.obj", "", loaded, &error)) Fail("cannot load the grid", error);
    return loaded;
  }();
  return pavlex::host::api::ToHandle(import->document.get());
}

class CountingSink : public pavlex::platform::ByteSink {
 public:
  bool Write(const void*, size_t size) override {
    bytes += size;
    return true;
  }
  size_t bytes = 0;
};

void Draw(benchmark::State& state, int32_t side, OutputFlags flags) {
  MQDocument document = TheGrid();
  pavlex::PluginState plugin;
  for (auto _ : state) {
    pavlex::LayoutImage image(side, side);
    pavlex::RenderLayout(plugin, document, image, side, side, flags, 0);
    benchmark::DoNotOptimize(image.pixels());
  }
}

void EncodePng(benchmark::State& state, int32_t side, OutputFlags flags) {
  MQDocument document = TheGrid();
  pavlex::PluginState plugin;
  pavlex::LayoutImage image(side, side);
  pavlex::RenderLayout(plugin, document, image, side, side, flags, 0);
  for (auto _ : state) {
    CountingSink sink;
    if (!pavlex::platform::EncodePng(image.pixels(), side, side, sink)) Fail("encoding failed", "");
    state.counters["MiB"] = static_cast<double>(sink.bytes) / (1024.0 * 1024.0);
  }
}

void FileOutput(benchmark::State& state, int32_t side, OutputFlags flags) {
  MQDocument document = TheGrid();
  pavlex::PluginState plugin;
  const std::string path = "/tmp/pavlex_output_bench_" + std::to_string(::getpid()) + ".png";
  const std::u16string name(path.begin(), path.end());
  for (auto _ : state) {
    const pavlex::OutputResult result =
        pavlex::RenderAndWrite(plugin, document, side, side, name, flags, 0, pavlex::OutputDestination::kPng);
    if (result.status != pavlex::OutputStatus::kDone) Fail("output failed", path + ": " + result.reason);
  }
  std::remove(path.c_str());
}

void BM_Draw4096Shaded(benchmark::State& state) { Draw(state, 4096, kShadedFlags); }
void BM_EncodePng4096Shaded(benchmark::State& state) { EncodePng(state, 4096, kShadedFlags); }
void BM_FilePng4096Shaded(benchmark::State& state) { FileOutput(state, 4096, kShadedFlags); }
void BM_Draw8192Wireframe(benchmark::State& state) { Draw(state, 8192, kWireFlags); }
void BM_EncodePng8192Wireframe(benchmark::State& state) { EncodePng(state, 8192, kWireFlags); }
void BM_FilePng8192Wireframe(benchmark::State& state) { FileOutput(state, 8192, kWireFlags); }

}  // namespace

BENCHMARK(BM_Draw4096Shaded)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EncodePng4096Shaded)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FilePng4096Shaded)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Draw8192Wireframe)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_EncodePng8192Wireframe)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FilePng8192Wireframe)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();

// The stretch display's per-face colours on the shared benchmark grid
// (bench/grid_mesh.h): 1000 x 1000 quads, 16 UV islands, loaded through the
// host's OBJ import. The window recomputes them after every command that
// may change the document, so one run must fit in a frame's time.
//
// Also the PNG reader on a 4096 x 4096 picture, the largest texture a
// person commonly paints, for the cost of `texture image`.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench_grid.h"
#include "gui/stretch/object_stretch.h"
#include "gui/texture/image_readers.h"
#include "platform/byte_sink.h"
#include "platform/image_encoders.h"

namespace {

void BM_StretchColoursMillionFaces(benchmark::State& state) {
  pavlex::bench::BenchGrid& grid = pavlex::bench::LoadBenchGrid(1000, 4);
  std::vector<pavlex::gui::stretch::FaceStretch> scratch;
  std::vector<uint8_t> colours;
  for (auto _ : state) {
    pavlex::gui::stretch::ObjectStretchColours(*grid.object, &scratch, &colours);
    benchmark::DoNotOptimize(colours.data());
  }
  state.SetItemsProcessed(state.iterations() * grid.object->faceCount());
}
// Process CPU time: the work is sliced over the cores, and the sum of
// their time is what it costs a loaded machine.
BENCHMARK(BM_StretchColoursMillionFaces)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_DecodePng4096(benchmark::State& state) {
  // A smooth gradient with some texture, as painted maps are: neither flat
  // nor noise.
  const int side = 4096;
  std::vector<uint32_t> pixels(static_cast<size_t>(side) * side);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      pixels[static_cast<size_t>(y) * side + x] = 0xFF000000u | uint32_t(x / 16 & 0xFF) << 16 |
                                                  uint32_t(y / 16 & 0xFF) << 8 | uint32_t((x ^ y) & 0x3F);
    }
  }
  pavlex::platform::MemorySink sink;
  pavlex::platform::EncodePng(pixels.data(), side, side, sink);
  const std::string bytes(sink.bytes.begin(), sink.bytes.end());
  pavlex::gui::texture::RgbaImage image;
  std::string reason;
  for (auto _ : state) {
    if (!pavlex::gui::texture::DecodePng(bytes, &image, &reason)) state.SkipWithError(reason.c_str());
    benchmark::DoNotOptimize(image.pixels.data());
  }
}
BENCHMARK(BM_DecodePng4096)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

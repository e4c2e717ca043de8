// The desktop window on the 1,000,000-face grid (1000 x 1000 quads, 10 x 10
// islands), through the real host, plug-in and window:
//   BM_PanZoomFrame   one frame after a pan and a zoom step (the buffers
//                     stay; the budget is 33 ms, 30 frames a second);
//   BM_InvertToFrame  `press Invert/H` on every UV selected, then the next
//                     presented frame, buffers rebuilt (budget 300 ms);
//                     with /1 the checker and the stretch display are on,
//                     so the stretch colours are recomputed as well; /2
//                     zoomed in 30 times, where the GPU buffers are built
//                     again instead of the picture plotted.
//   Each post-press benchmark reports cpu_ms: the main thread's CPU time.
//   BM_ModelOrbitFrame  one frame of the 3D view while the camera orbits,
//                     a 1024 x 1024 texture on (budget 50 ms, 20 frames a
//                     second); BM_ModelFrameAtRest the model once it rests;
//                     BM_ModelSelectToFrame a press of "UV -> Object/F",
//                     then the next frame with the faces highlighted
//                     (budget 300 ms); BM_ModelSelectCommandOnly the press.
// Under Xvfb the frame is rendered by Mesa's llvmpipe, as in CI.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "bench/grid_mesh.h"
#include "gui/gui_window.h"
#include "host/commands/command_interpreter.h"
#include "host/session/host_session.h"

namespace {

using namespace pavlex;

struct GuiBench {
  std::unique_ptr<host::HostSession> session;
  host::LoadedPlugin* plugin = nullptr;
  std::unique_ptr<gui::GuiWindow> window;
  std::unique_ptr<commands::CommandInterpreter> interpreter;

  void run(const std::string& text) {
    commands::ScriptQueue queue({{text, "bench", 1}});
    interpreter->run(queue);
  }
};

GuiBench* rig = nullptr;

// CPU seconds of the calling thread: on a loaded machine wall time mostly
// measures the neighbours; the main thread's CPU time is what a frame costs
// the window itself (llvmpipe's own threads excluded).
double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Reports the main thread's CPU milliseconds per iteration as `cpu_ms`.
struct MainThreadCpu {
  explicit MainThreadCpu(benchmark::State& state) : state_(state), start_(ThreadCpuSeconds()) {}
  void pause() { spent_ += ThreadCpuSeconds() - start_; }
  void resume() { start_ = ThreadCpuSeconds(); }
  ~MainThreadCpu() {
    pause();
    const double n = static_cast<double>(std::max<benchmark::IterationCount>(1, state_.iterations()));
    state_.counters["cpu_ms"] = spent_ * 1000.0 / n;
  }
  benchmark::State& state_;
  double start_ = 0, spent_ = 0;
};

bool Start(std::string* error) {
  rig = new GuiBench;
  host::HostSessionOptions options;
  options.persistSettings = false;
  rig->session = std::make_unique<host::HostSession>(options);
  gui::GuiConfig config;
  config.saveOnExit = true;
  rig->window = std::make_unique<gui::GuiWindow>(*rig->session, config);
  if (!rig->window->open(error)) return false;
  rig->plugin = rig->session->loadPlugin(PAVLEX_PLUGIN_LIBRARY, error);
  if (rig->plugin == nullptr) return false;
  rig->session->activate(*rig->plugin);
  bench::GridShape grid;
  grid.n = 1000;
  grid.islandsPerSide = 10;
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "pavlex-gui-bench-grid.obj";
  std::ofstream(path, std::ios::binary) << bench::MakeGridObj(grid);
  const bool opened = rig->session->openDocument(path.string(), error);
  std::filesystem::remove(path);
  if (!opened) return false;
  commands::CommandFrontEnd frontEnd;
  frontEnd.window = rig->window.get();
  gui::GuiWindow* window = rig->window.get();
  frontEnd.commandRan = [window](const commands::ScriptLine& line, bool ok) { window->commandRan(line, ok); };
  rig->interpreter = std::make_unique<commands::CommandInterpreter>(*rig->session, *rig->plugin, frontEnd);
  rig->window->setInterpreter(rig->interpreter.get());
  rig->session->setModalDriver(rig->window.get());
  rig->window->drawFrameNow();  // the buffers are built once, outside the timing
  rig->run("view all");
  return true;
}

void BM_PanZoomFrame(benchmark::State& state) {
  gui::UvView& view = rig->window->uvView();
  const gui::PixelRect rect = view.rect();
  int step = 0;
  for (auto _ : state) {
    view.pan((step % 2 == 0) ? 3.0f : -3.0f, 2.0f * ((step % 3) - 1));
    view.zoomAbout(rect.x + rect.width / 2, rect.y + rect.height / 2, (step % 2 == 0) ? 1.05 : 1 / 1.05);
    rig->window->drawFrameNow();
    ++step;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PanZoomFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_InvertToFrame(benchmark::State& state) {
  const bool stretch = state.range(0) == 1, zoomed = state.range(0) == 2;
  if (stretch) {
    rig->run("texture checker");
    rig->run("stretch on");
  }
  if (zoomed) rig->run("view zoom 30");
  rig->run("select uv all");
  rig->window->drawFrameNow();
  {
    MainThreadCpu cpu(state);
    for (auto _ : state) {
      rig->run("press Invert/H");
      rig->window->drawFrameNow();
    }
  }
  if (stretch) {
    rig->run("texture off");
    rig->run("stretch off");
  }
  if (zoomed) rig->run("view all");
}
// The picture drawn again once the view rests, at full detail: the whole
// grid (edges under a pixel: plotted on the CPU) and zoomed in 30 times
// (about 14-pixel faces: the GPU path, every face sent, most clipped).
void BM_RefineAtRest(benchmark::State& state) {
  rig->run(state.range(0) == 1 ? "view all" : "view zoom " + std::to_string(state.range(0)));
  gui::UvView& view = rig->window->uvView();
  int step = 0;
  for (auto _ : state) {
    view.pan((step++ % 2 == 0) ? 2.0f : -2.0f, 0.0f);
    view.refineNow();
    rig->window->drawFrameNow();
  }
  rig->run("view all");
}
BENCHMARK(BM_RefineAtRest)->Arg(1)->Arg(30)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();

// The command alone, for the split: the rest of BM_InvertToFrame is the
// window's (buffers rebuilt, picture drawn, frame presented).
void BM_InvertCommandOnly(benchmark::State& state) {
  rig->run("select uv all");
  rig->window->drawFrameNow();
  {
    MainThreadCpu cpu(state);
    for (auto _ : state) rig->run("press Invert/H");
  }
  rig->window->drawFrameNow();
}
BENCHMARK(BM_InvertCommandOnly)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

BENCHMARK(BM_InvertToFrame)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

// A checker with a different value per channel, so a swizzle would show.
void SetCheckerTexture() {
  constexpr int kSide = 1024;
  std::vector<uint8_t> rgba(static_cast<size_t>(kSide) * kSide * 4);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool dark = ((x / 64) + (y / 64)) % 2 == 0;
      uint8_t* p = &rgba[(static_cast<size_t>(y) * kSide + static_cast<size_t>(x)) * 4];
      p[0] = dark ? 60 : 230, p[1] = dark ? 70 : 220, p[2] = dark ? 90 : 200, p[3] = 255;
    }
  }
  rig->window->modelView().setTexture(rgba.data(), kSide, kSide);
}

void BM_ModelOrbitFrame(benchmark::State& state) {
  SetCheckerTexture();
  rig->run("select uv none");
  rig->run("view 3d all");
  gui::ModelView& view = rig->window->modelView();
  rig->window->drawFrameNow();
  int step = 0;
  for (auto _ : state) {
    view.orbit((step % 20 < 10) ? 6.0f : -6.0f, 1.0f * static_cast<float>((step % 3) - 1));
    ++step;
    rig->window->drawFrameNow();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ModelOrbitFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// At rest: the whole grid (faces under a pixel: the stand-in at the
// view's level) and zoomed in 40 times (the full model, every face sent).
void BM_ModelFrameAtRest(benchmark::State& state) {
  SetCheckerTexture();
  rig->run("view 3d all");
  gui::ModelView& view = rig->window->modelView();
  if (state.range(0) > 1) view.dolly(1.0f / static_cast<float>(state.range(0)));
  for (auto _ : state) {
    view.refineNow();
    rig->window->drawFrameNow();
  }
  state.counters["full"] = view.showingStandIn() ? 0 : 1;
  rig->run("view 3d all");
}
BENCHMARK(BM_ModelFrameAtRest)->Arg(1)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();

void SelectFacesOfHalfOrAll(int step) {
  // Half the UVs one time, all of them the next: the faces change each time.
  rig->run(step % 2 == 0 ? "select uv rect 0 0 0.5 1" : "select uv all");
  rig->run("select face none");
}

void BM_ModelSelectToFrame(benchmark::State& state) {
  SetCheckerTexture();
  rig->run("view 3d all");
  rig->run("select uv none");
  rig->window->drawFrameNow();
  int step = 0;
  MainThreadCpu cpu(state);
  for (auto _ : state) {
    state.PauseTiming();
    cpu.pause();
    SelectFacesOfHalfOrAll(step++);
    rig->window->drawFrameNow();
    cpu.resume();
    state.ResumeTiming();
    rig->run("press \"UV -> Object/F\"");
    rig->window->drawFrameNow();
  }
}
BENCHMARK(BM_ModelSelectToFrame)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

void BM_ModelSelectCommandOnly(benchmark::State& state) {
  int step = 0;
  {
    MainThreadCpu cpu(state);
    for (auto _ : state) {
      state.PauseTiming();
      cpu.pause();
      SelectFacesOfHalfOrAll(step++);
      cpu.resume();
      state.ResumeTiming();
      rig->run("press \"UV -> Object/F\"");
    }
  }
  rig->window->drawFrameNow();
}
BENCHMARK(BM_ModelSelectCommandOnly)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string error;
  if (!Start(&error)) {
    std::fprintf(stderr, "pavlex_gui_bench: %s\n", error.c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  rig->session->setModalDriver(nullptr);
  rig->interpreter.reset();
  rig->window.reset();
  rig->session.reset();
  delete rig;
  return 0;
}

// What the undo history adds to a press: the same presses of the Pavlex
// window on the million-face grid of bench/grid_mesh.h (1000 x 1000 quads
// in 4 x 4 UV islands, loaded through the host's OBJ import into a running
// session with libpavlex.so), with the history off (/0) and on (/1), and
// an undo + redo pair of the largest step.
//
// - Invert/H with every corner of the lower-left 500 x 500 faces selected:
//   1,000,000 UVs change, so the step keeps about 8 MB.
// - Select/group from one corner: one island's 250,000 corners become
//   selected (its flags, about 250 KB).
// The counters give the bytes the history holds per step.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/grid_mesh.h"
#include "host/driver/host_driver.h"
#include "host/obj/obj_file.h"
#include "host/session/host_session.h"
#include "hostapi/mq_codes.h"

namespace {

using pavlex::host::HostObject;
using pavlex::host::HostSession;

constexpr int32_t kCells = 1000;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::exit(1);
}

// One running host per mode, with the grid as its document.
struct Host {
  std::unique_ptr<HostSession> session;
  HostObject* grid = nullptr;
};

Host& TheHost(bool history) {
  static Host hosts[2];
  Host& host = hosts[history ? 1 : 0];
  if (host.session) return host;
  hosts[history ? 0 : 1].session.reset();  // one session per process at a time
  pavlex::host::HostSessionOptions options;
  options.persistSettings = false;
  options.historyByteLimit = history ? pavlex::host::EditHistory::kDefaultByteLimit : 0;
  host.session = std::make_unique<HostSession>(options);
  std::string error;
  pavlex::host::LoadedPlugin* plugin = host.session->loadPlugin(PAVLEX_PLUGIN_LIBRARY, &error);
  if (plugin == nullptr || !host.session->activate(*plugin)) Fail("cannot start the plug-in", error);
  pavlex::host::ObjImport import;
  if (!pavlex::host::LoadObjText(pavlex::bench::MakeGridObj({kCells, 4, "grid"}), "grid.obj", "", &import, &error))
    Fail("cannot load the grid", error);
  host.session->replaceDocument(std::move(import), "");
  host.grid = host.session->document().object(0);
  return host;
}

void SelectLowerLeftQuarter(HostObject& grid) {
  grid.clearSelection(MQCLEARSELECT_ALL);
  for (int32_t j = 0; j < kCells / 2; ++j) {
    for (int32_t i = 0; i < kCells / 2; ++i) {
      for (int32_t c = 0; c < 4; ++c) grid.setUVSelected(j * kCells + i, c, true);
    }
  }
}

void Press(HostSession& session, const char* path) {
  const pavlex::host::CommandResult result = pavlex::host::HostDriver(session).press(path);
  if (!result.done) Fail("press failed", result.error);
}

void StepCounters(benchmark::State& state, HostSession& session) {
  const auto& history = session.history();
  state.counters["steps"] = static_cast<double>(history.undoCount());
  state.counters["MB_per_step"] =
      history.undoCount() == 0 ? 0.0 : static_cast<double>(history.bytes()) / 1e6 / static_cast<double>(history.undoCount());
}

void BM_InvertQuarter(benchmark::State& state) {
  Host& host = TheHost(state.range(0) != 0);
  SelectLowerLeftQuarter(*host.grid);
  host.session->history().clear();
  for (auto _ : state) Press(*host.session, "Pavlex::Invert/H");
  StepCounters(state, *host.session);
}
BENCHMARK(BM_InvertQuarter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_SelectGroup(benchmark::State& state) {
  Host& host = TheHost(state.range(0) != 0);
  host.session->history().clear();
  for (auto _ : state) {
    state.PauseTiming();
    host.grid->clearSelection(MQCLEARSELECT_ALL);
    host.grid->setUVSelected(0, 0, true);
    state.ResumeTiming();
    Press(*host.session, "Pavlex::Select/group");
  }
  StepCounters(state, *host.session);
}
BENCHMARK(BM_SelectGroup)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_UndoRedoInvert(benchmark::State& state) {
  Host& host = TheHost(true);
  SelectLowerLeftQuarter(*host.grid);
  host.session->history().clear();
  Press(*host.session, "Pavlex::Invert/H");
  std::string error;
  for (auto _ : state) {
    if (!host.session->undo(&error) || !host.session->redo(&error)) Fail("undo or redo failed", error);
  }
  StepCounters(state, *host.session);
}
BENCHMARK(BM_UndoRedoInvert)->Unit(benchmark::kMillisecond)->Iterations(8);

}  // namespace

BENCHMARK_MAIN();

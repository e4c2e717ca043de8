// Every button of the Pavlex window as a person feels it: pressed through
// the host driver (exactly as the `press` and `click` commands do), with the
// redraw and the undo step that follow, on the million-face grid of
// bench/grid_mesh.h (1000 x 1000 quads in 4 x 4 UV islands) opened from an
// OBJ file in a running session with libpavlex.so. Also the OBJ open, a
// save with nothing changed, and a save after a UV edit.
//
// Each press runs from the same state: the loaded UVs are put back and the
// selection is set (outside the timing) to every UV and face, or to the
// lower-left quarter of the faces and their UVs. The figure is the median
// of the repeats.
//
//   pavlex_press_bench [--repeat N] [--only TEXT] [--cells N] [--selection all|quarter]
//                      [--plugin FILE] [--cpu]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#if defined(__linux__)
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "bench/grid_mesh.h"
#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "host/session/modal_driver.h"
#include "hostapi/mq_codes.h"

namespace {

namespace fs = std::filesystem;
using pavlex::host::HostDriver;
using pavlex::host::HostObject;
using pavlex::host::HostSession;
using Clock = std::chrono::steady_clock;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "pavlex_press_bench: %s\n", what.c_str());
  std::exit(1);
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The CPU time of this process (every thread, user and system) in seconds,
// as glibc's clock() counts it: unlike the clock on the wall, it does not
// count the time other programs on a busy machine take the cores away.
double ProcessSeconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

template <typename T>
T Median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Resident memory of this process in MB; 0 where /proc is not there.
double ResidentMB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  }
  return 0.0;
}

// Instructions this process runs in user space, counted by the kernel: a
// figure that other work on the machine does not move. Absent (-1) where
// the counter cannot be opened.
class InstructionCounter {
 public:
  InstructionCounter() {
#if defined(__linux__)
    perf_event_attr attr{};
    attr.type = PERF_TYPE_HARDWARE;
    attr.size = sizeof attr;
    attr.config = PERF_COUNT_HW_INSTRUCTIONS;
    attr.exclude_kernel = 1;
    attr.exclude_hv = 1;
    fd_ = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
#endif
  }
  ~InstructionCounter() {
#if defined(__linux__)
    if (fd_ >= 0) close(fd_);
#endif
  }
  InstructionCounter(const InstructionCounter&) = delete;
  InstructionCounter& operator=(const InstructionCounter&) = delete;

  bool available() const { return fd_ >= 0; }
  long long read() const {
    long long value = -1;
#if defined(__linux__)
    if (fd_ >= 0 && ::read(fd_, &value, sizeof value) != static_cast<ssize_t>(sizeof value)) value = -1;
#endif
    return value;
  }

 private:
  int fd_ = -1;
};

// "Overwrite?" of a full memory slot is answered OK, so every Store press
// stores; dialogs close at once, as by their close box.
class AnswerOk : public pavlex::host::ModalDriver {
 public:
  int32_t messageBox(HostSession&, const pavlex::host::MessageBoxRequest&) override { return MQMODALRESULT_OK; }
};

struct Options {
  int repeat = 3;
  int cells = 1000;
  std::string only;  // run only the rows whose name holds this text
  std::string plugin = PAVLEX_PLUGIN_LIBRARY;
  bool all = true, quarter = true;  // which selections to press with
  bool cpu = false;                 // process CPU time instead of the clock
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--repeat" && hasValue) {
      options.repeat = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--cells" && hasValue) {
      options.cells = std::max(4, std::atoi(argv[++i]));
    } else if (arg == "--only" && hasValue) {
      options.only = argv[++i];
    } else if (arg == "--selection" && hasValue) {
      const std::string which = argv[++i];
      options.all = which != "quarter";
      options.quarter = which != "all";
    } else if (arg == "--plugin" && hasValue) {
      options.plugin = argv[++i];
    } else if (arg == "--cpu") {
      options.cpu = true;
    } else {
      std::fprintf(
          stderr,
          "usage: pavlex_press_bench [--repeat N] [--only TEXT] [--cells N] [--selection all|quarter]\n"
          "                          [--plugin FILE] [--cpu]\n"
          "Times every button of the Pavlex window pressed through the host driver on an\n"
          "N x N quad grid (default 1000: 1,000,000 faces), every UV selected and a\n"
          "quarter selected, plus OBJ open and save. --only keeps the rows whose name\n"
          "holds TEXT; --repeat sets how many presses each median is taken over (3);\n"
          "--selection presses with one of the two selections only; --plugin loads\n"
          "another build of the plug-in; --cpu times by the process's CPU time instead\n"
          "of the clock, a figure other load on the machine moves less.\n");
      std::exit(arg == "--help" || arg == "-h" ? 0 : 2);
    }
  }
  return options;
}

// A folder of this process's own, removed at exit.
struct WorkFolder {
  fs::path path = fs::temp_directory_path() / ("pavlex-press-bench-" + std::to_string(
                                                   std::chrono::steady_clock::now().time_since_epoch().count()));
  WorkFolder() { fs::create_directories(path); }
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

struct Sample {
  double seconds = 0;
  long long instructions = -1;
};

// Millions of instructions, or "-" without a counter.
std::string Instructions(long long count) {
  if (count < 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(count) / 1e6);
  return text;
}

// Seconds, or "-" for a selection not pressed with.
std::string Time(const Sample& sample, bool measured) {
  if (!measured) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.3fs", sample.seconds);
  return text;
}

class Samples {
 public:
  explicit Samples(bool cpu) : cpu_(cpu) {}
  template <typename Work>
  void take(const InstructionCounter& counter, Work&& work) {
    const long long before = counter.read();
    const Clock::time_point start = Clock::now();
    const double cpuStart = cpu_ ? ProcessSeconds() : 0.0;
    work();
    seconds_.push_back(cpu_ ? ProcessSeconds() - cpuStart : Seconds(start));
    if (counter.available()) instructions_.push_back(counter.read() - before);
  }
  Sample median() const {
    Sample sample;
    if (!seconds_.empty()) sample.seconds = Median(seconds_);
    if (!instructions_.empty()) sample.instructions = Median(instructions_);
    return sample;
  }

 private:
  bool cpu_;
  std::vector<double> seconds_;
  std::vector<long long> instructions_;
};

enum class Selection { kAll, kQuarter, kHalfFaces };

class Bench {
 public:
  explicit Bench(const Options& options) : options_(options) {}

  void run() {
    const std::string gridPath = (folder_.path / "grid.obj").string();
    {
      std::ofstream file(gridPath, std::ios::binary);
      file << pavlex::bench::MakeGridObj({options_.cells, 4, "grid"});
      if (!file) Fail("cannot write " + gridPath);
    }
    pavlex::host::HostSessionOptions sessionOptions;
    sessionOptions.persistSettings = false;
    sessionOptions.modalDriver = &answers_;
    session_ = std::make_unique<HostSession>(sessionOptions);
    std::string error;
    pavlex::host::LoadedPlugin* plugin = session_->loadPlugin(options_.plugin, &error);
    if (plugin == nullptr || !session_->activate(*plugin)) Fail("cannot start the plug-in: " + error);

    const long long openCount = counter_.read();
    const Clock::time_point openStart = Clock::now();
    if (!session_->openDocument(gridPath, &error)) Fail(error);
    const double open = Seconds(openStart);
    const long long openInstructions = counter_.available() ? counter_.read() - openCount : -1;
    const double resident = ResidentMB();
    grid_ = session_->document().object(0);
    if (grid_ == nullptr) Fail("the grid has no object");
    keepLoadedUVs();

    if (options_.cpu) std::printf("(process CPU seconds)\n");
    std::printf("%-34s %10s %10s %10s %10s\n", "median of repeats", "all UVs", "Minstr", "quarter", "Minstr");
    if (wanted("open")) std::printf("%-34s %9.3fs %10s\n", "OBJ open", open, Instructions(openInstructions).c_str());
    if (wanted("open")) std::printf("%-34s %8.0fMB\n", "resident after open", resident);
    fileRows();

    HostDriver driver(*session_);
    std::vector<pavlex::host::WidgetPathEntry> buttons;
    for (pavlex::host::WidgetPathEntry& entry : driver.listPaths()) {
      if (entry.window == "Pavlex" && entry.kind == pavlex::host::WidgetKind::kButton) buttons.push_back(entry);
    }
    for (const pavlex::host::WidgetPathEntry& button : buttons) {
      if (!wanted(button.path)) continue;
      const Sample all = options_.all ? timePress(button.path, Selection::kAll) : Sample{};
      const Sample quarter = options_.quarter ? timePress(button.path, Selection::kQuarter) : Sample{};
      std::printf("%-34s %10s %10s %10s %10s\n", button.path.c_str(), Time(all, options_.all).c_str(),
                  Instructions(all.instructions).c_str(), Time(quarter, options_.quarter).c_str(),
                  Instructions(quarter.instructions).c_str());
      std::fflush(stdout);
    }
  }

 private:
  bool wanted(const std::string& name) const {
    return options_.only.empty() || name.find(options_.only) != std::string::npos;
  }

  void keepLoadedUVs() {
    loadedUVs_.clear();
    const HostObject& grid = *grid_;
    for (int32_t f = 0; f < grid.faceCount(); ++f) {
      const MQCoordinate* uvs = grid.faceUVs(f);
      loadedUVs_.insert(loadedUVs_.end(), uvs, uvs + grid.cornerCount(f));
    }
  }

  void restore(Selection selection) {
    size_t next = 0;
    for (int32_t f = 0; f < grid_->faceCount(); ++f) {
      const int32_t n = grid_->cornerCount(f);
      for (int32_t c = 0; c < n; ++c) grid_->setUV(f, c, loadedUVs_[next++]);
    }
    grid_->clearSelection(MQCLEARSELECT_ALL);
    const int32_t cells = options_.cells;
    for (int32_t j = 0; j < cells; ++j) {
      for (int32_t i = 0; i < cells; ++i) {
        const bool on = selection == Selection::kAll || (selection == Selection::kQuarter && i < cells / 2 && j < cells / 2) ||
                        (selection == Selection::kHalfFaces && i < cells / 2);
        if (!on) continue;
        const int32_t face = j * cells + i;
        grid_->setFaceSelected(face, true);
        for (int32_t c = 0; c < grid_->cornerCount(face); ++c) grid_->setUVSelected(face, c, true);
      }
    }
  }

  // The pins of a memory lock react as the mouse goes down: Ctrl pins the
  // selected UVs. Shift empties the slot again afterwards (not timed), so
  // later presses do not pay for its pass at every redraw.
  static bool IsLock(const std::string& path) { return path.rfind("Memory/Lock/", 0) == 0; }

  Sample timePress(const std::string& path, Selection selection) {
    HostDriver driver(*session_);
    const std::string target = "Pavlex::" + path;
    Samples samples(options_.cpu);
    for (int r = 0; r < options_.repeat; ++r) {
      restore(selection);
      pavlex::host::CommandResult result;
      samples.take(counter_, [&] {
        result = IsLock(path) ? driver.click(target, pavlex::host::kCtrl) : driver.press(target);
      });
      if (!result.done) Fail(path + ": " + result.error);
      if (IsLock(path)) driver.click(target, pavlex::host::kShift);
    }
    return samples.median();
  }

  void fileRows() {
    std::string error;
    const std::string unchanged = (folder_.path / "unchanged.obj").string();
    const std::string edited = (folder_.path / "edited.obj").string();
    if (wanted("save unchanged")) {
      Samples samples(options_.cpu);
      for (int r = 0; r < options_.repeat; ++r) {
        bool saved = false;
        samples.take(counter_, [&] { saved = session_->saveDocument(unchanged, &error); });
        if (!saved) Fail(error);
      }
      const Sample save = samples.median();
      std::printf("%-34s %9.3fs %10s\n", "OBJ save unchanged", save.seconds, Instructions(save.instructions).c_str());
    }
    if (wanted("save after")) {
      // Half of the faces mirrored: their UVs change and the save patches them.
      Samples samples(options_.cpu);
      HostDriver driver(*session_);
      for (int r = 0; r < options_.repeat; ++r) {
        restore(Selection::kHalfFaces);
        if (!driver.press("Pavlex::Invert/H").done) Fail("Invert/H failed");
        bool saved = false;
        samples.take(counter_, [&] { saved = session_->saveDocument(edited, &error); });
        if (!saved) Fail(error);
      }
      const Sample save = samples.median();
      std::printf("%-34s %9.3fs %10s\n", "OBJ save after Invert/H (half)", save.seconds,
                  Instructions(save.instructions).c_str());
    }
    std::fflush(stdout);
  }

  Options options_;
  InstructionCounter counter_;
  WorkFolder folder_;
  AnswerOk answers_;
  std::unique_ptr<HostSession> session_;
  HostObject* grid_ = nullptr;
  std::vector<MQCoordinate> loadedUVs_;
};

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  Bench bench(options);
  bench.run();
  return 0;
}

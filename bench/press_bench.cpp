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
// With --calls, one more press of each button runs with the plug-in bound
// to the copy of the host functions that records its calls, and a line
// under the row gives how many host calls the press made, the time per
// call, and the functions called most.
//
//   pavlex_press_bench [--repeat N] [--only TEXT] [--cells N] [--selection all|quarter]
//                      [--plugin FILE] [--cpu] [--calls] [--hash]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#if defined(PAVLEX_TRACED_HOST_LIBRARY)
#include <dlfcn.h>
#endif

#if defined(__linux__)
#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "bench/grid_mesh.h"
#include "host/driver/host_driver.h"
#include "host/plugin/plugin_loader.h"
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
  bool calls = false;               // count the host calls of each press
  bool hash = false;                // print a hash of the result of each press
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
    } else if (arg == "--calls") {
      options.calls = true;
    } else if (arg == "--hash") {
      options.hash = true;
    } else {
      std::fprintf(stderr,
                   "usage: pavlex_press_bench [--repeat N] [--only TEXT] [--cells N] [--selection all|quarter]\n"
                   "                          [--plugin FILE] [--cpu] [--calls] [--hash]\n"
                   "Times every button of the Pavlex window pressed through the host driver on an\n"
                   "N x N quad grid (default 1000: 1,000,000 faces), every UV selected and a\n"
                   "quarter selected, plus OBJ open and save. --only keeps the rows whose name\n"
                   "holds TEXT; --repeat sets how many presses each median is taken over (3);\n"
                   "--selection presses with one of the two selections only; --plugin loads\n"
                   "another build of the plug-in; --cpu times by the process's CPU time instead\n"
                   "of the clock, a figure other load on the machine moves less; --calls counts\n"
                   "the host functions each press calls (one more press per row, with a recording\n"
                   "copy of them); --hash prints, for each press, a hash of every UV and selection\n"
                   "flag it left, to compare two builds bit for bit.\n");
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
  uint64_t hash = 0;  // of the result, with --hash
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

// The host functions one press called, by name, counted through the copy
// of them that records each call. The plug-in is bound to that copy only
// for the counted press, so the timed presses pay nothing for the record.
class CallCounter {
 public:
  CallCounter(const std::string& plugin, bool wanted) {
#if defined(PAVLEX_TRACED_HOST_LIBRARY)
    if (!wanted) return;
    traced_ = dlopen(PAVLEX_TRACED_HOST_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    void* module = dlopen(plugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (traced_ == nullptr || module == nullptr) Fail(std::string("--calls: ") + dlerror());
    setTrace_ = reinterpret_cast<SetTrace>(dlsym(traced_, "PavlexSetCallTrace"));
    init_ = reinterpret_cast<Init>(dlsym(module, "MQInit"));
    dlclose(module);  // still loaded by the session
    if (setTrace_ == nullptr || init_ == nullptr) Fail("--calls: the recording host copy or MQInit is missing");
#else
    if (wanted) Fail("--calls: this build has no recording copy of the host functions");
    (void)plugin;
#endif
  }
  CallCounter(const CallCounter&) = delete;
  CallCounter& operator=(const CallCounter&) = delete;

  // Runs `work` with every host call counted; the counts by function,
  // most called first.
  template <typename Work>
  std::vector<std::pair<std::string, long long>> count(Work&& work) {
    std::unordered_map<const char*, long long> byName;
#if defined(PAVLEX_TRACED_HOST_LIBRARY)
    if (!init_(PAVLEX_TRACED_HOST_LIBRARY)) Fail("--calls: the plug-in did not bind to the recording copy");
    setTrace_(&Note, &byName);
    work();
    setTrace_(nullptr, nullptr);
    if (!init_(pavlex::host::HostModulePath().c_str())) Fail("--calls: the plug-in did not bind back to the host");
#else
    work();
#endif
    std::vector<std::pair<std::string, long long>> counts;
    for (const auto& [name, n] : byName) counts.emplace_back(name, n);
    std::sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
      return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    return counts;
  }

 private:
#if defined(PAVLEX_TRACED_HOST_LIBRARY)
  using SetTrace = void (*)(void (*)(const char*, void*), void*);
  using Init = int32_t (*)(const char*);
  static void Note(const char* function, void* context) {
    ++(*static_cast<std::unordered_map<const char*, long long>*>(context))[function];
  }
  void* traced_ = nullptr;
  SetTrace setTrace_ = nullptr;
  Init init_ = nullptr;
#endif
};

// "12.3M calls, 9.1 ns each: MQDoc_IsSelectUVVertex 8.0M, ..." for one press.
std::string CallSummary(const std::vector<std::pair<std::string, long long>>& counts, double seconds) {
  long long total = 0;
  for (const auto& entry : counts) total += entry.second;
  char text[160];
  std::snprintf(text, sizeof text, "%.2fM calls, %.1f ns each", static_cast<double>(total) / 1e6,
                total > 0 ? seconds * 1e9 / static_cast<double>(total) : 0.0);
  std::string line = text;
  for (size_t i = 0; i < counts.size() && i < 4; ++i) {
    std::snprintf(text, sizeof text, "%s %s %.2fM", i == 0 ? ":" : ",", counts[i].first.c_str(),
                  static_cast<double>(counts[i].second) / 1e6);
    line += text;
  }
  return line;
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
    calls_ = std::make_unique<CallCounter>(options_.plugin, options_.calls);

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
      if (options_.calls) {
        if (options_.all) std::printf("    all: %s\n", countCalls(button.path, Selection::kAll, all.seconds).c_str());
        if (options_.quarter)
          std::printf("    quarter: %s\n", countCalls(button.path, Selection::kQuarter, quarter.seconds).c_str());
      }
      if (options_.hash)
        std::printf("%-34s %016llx %016llx\n", "  result hash", static_cast<unsigned long long>(all.hash),
                    static_cast<unsigned long long>(quarter.hash));
      std::fflush(stdout);
    }
    // What the presses left resident: the slots' contents and whatever the
    // plug-in keeps for the next press.
    std::printf("%-34s %8.0fMB\n", "resident after the presses", ResidentMB());
  }

 private:
  // FNV-1a over every UV's bits and every selection flag of the grid.
  uint64_t ResultHash() const {
    uint64_t value = 1469598103934665603ull;
    auto add = [&](const void* data, size_t size) {
      const auto* bytes = static_cast<const unsigned char*>(data);
      for (size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
    };
    const HostObject& grid = *grid_;
    for (int32_t f = 0; f < grid.faceCount(); ++f) {
      const int32_t n = grid.cornerCount(f);
      add(grid.faceUVs(f), sizeof(MQCoordinate) * static_cast<size_t>(n));
      const uint8_t face = grid.isFaceSelected(f) ? 1 : 0;
      add(&face, 1);
      for (int32_t c = 0; c < n; ++c) {
        const uint8_t flags = static_cast<uint8_t>((grid.isUVSelected(f, c) ? 1 : 0) | (grid.isLineSelected(f, c) ? 2 : 0));
        add(&flags, 1);
      }
    }
    return value;
  }

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
    Sample sample = samples.median();
    if (options_.hash) sample.hash = ResultHash();
    return sample;
  }

  // The host calls of one more press, against the timed presses' median.
  std::string countCalls(const std::string& path, Selection selection, double seconds) {
    HostDriver driver(*session_);
    const std::string target = "Pavlex::" + path;
    restore(selection);
    pavlex::host::CommandResult result;
    const auto counts = calls_->count(
        [&] { result = IsLock(path) ? driver.click(target, pavlex::host::kCtrl) : driver.press(target); });
    if (!result.done) Fail(path + ": " + result.error);
    if (IsLock(path)) driver.click(target, pavlex::host::kShift);
    return CallSummary(counts, seconds);
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
  std::unique_ptr<CallCounter> calls_;
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

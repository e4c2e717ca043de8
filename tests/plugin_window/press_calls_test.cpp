// Every button of the Pavlex window pressed on a small grid, with the
// exported host functions it calls recorded in order: the plug-in is bound
// (through its MQInit, as a host binds it) to the copy of those functions
// built with the call record, pavlexhost_calltrace. The calls of a press
// (and of the redraw after it) and the document it leaves are fixed: making
// the host or the plug-in faster must not change either. The expected
// figures live in tests/data/press_calls.txt, one line per button:
//   PATH <TAB> CALLS <TAB> FNV-1a OF THE CALL NAMES <TAB> FNV-1a OF THE RESULT
// A mismatch prints the whole table as this build gives it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/grid_mesh.h"
#include "host/obj/obj_file.h"
#include "host/plugin/plugin_loader.h"
#include "host/session/modal_driver.h"
#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {
namespace {

constexpr int32_t kCells = 6;

struct Fnv {
  uint64_t value = 1469598103934665603ull;
  void add(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
  }
};

struct CallRecord {
  uint64_t count = 0;
  Fnv names;
};

void Record(const char* function, void* context) {
  auto* record = static_cast<CallRecord*>(context);
  ++record->count;
  record->names.add(function, std::strlen(function) + 1);
}

using SetCallTraceFunction = void (*)(void (*)(const char*, void*), void*);
using InitFunction = MQBOOL (*)(const char*);

// Every UV and every selection flag of the object.
uint64_t ResultHash(const host::HostObject& grid) {
  Fnv hash;
  for (int32_t f = 0; f < grid.faceCount(); ++f) {
    const int32_t n = grid.cornerCount(f);
    hash.add(grid.faceUVs(f), sizeof(MQCoordinate) * static_cast<size_t>(n));
    const uint8_t face = grid.isFaceSelected(f) ? 1 : 0;
    hash.add(&face, 1);
    for (int32_t c = 0; c < n; ++c) {
      const uint8_t flags = static_cast<uint8_t>((grid.isUVSelected(f, c) ? 1 : 0) | (grid.isLineSelected(f, c) ? 2 : 0));
      hash.add(&flags, 1);
    }
  }
  for (int32_t v = 0; v < grid.vertexCount(); ++v) {
    const uint8_t on = grid.isVertexSelected(v) ? 1 : 0;
    hash.add(&on, 1);
  }
  return hash.value;
}

std::map<std::string, std::string> ExpectedLines() {
  std::map<std::string, std::string> lines;
  std::ifstream file(std::string(PAVLEX_TEST_DATA_DIR) + "/press_calls.txt");
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line[0] != '#') lines[line.substr(0, line.find('\t'))] = line;
  }
  return lines;
}

// The Store before a Restore row finds its slot filled by the Store row and
// asks "Overwrite?"; answered OK, the Restore has this document's faces to
// select rather than the faces of the document the Store row saw.
class OverwriteAnswers : public host::ModalDriver {
 public:
  int32_t messageBox(host::HostSession&, const host::MessageBoxRequest&) override { return MQMODALRESULT_OK; }
};

class PressCallsTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    host::HostSessionOptions options = InMemory();
    options.modalDriver = &answers_;
    Start(std::move(options));
    traced_ = dlopen(PAVLEX_TRACED_HOST_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(traced_, nullptr) << dlerror();
    plugin_module_ = dlopen(PAVLEX_PLUGIN_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(plugin_module_, nullptr) << dlerror();
    setTrace_ = reinterpret_cast<SetCallTraceFunction>(dlsym(traced_, "PavlexSetCallTrace"));
    init_ = reinterpret_cast<InitFunction>(dlsym(plugin_module_, "MQInit"));
    ASSERT_NE(setTrace_, nullptr);
    ASSERT_NE(init_, nullptr);
    ASSERT_TRUE(init_(PAVLEX_TRACED_HOST_LIBRARY));
  }
  void TearDown() override {
    if (init_ != nullptr) init_(host::HostModulePath().c_str());
    PavlexSessionTest::TearDown();
    if (plugin_module_ != nullptr) dlclose(plugin_module_);
    if (traced_ != nullptr) dlclose(traced_);
  }

  OverwriteAnswers answers_;
  void* traced_ = nullptr;
  void* plugin_module_ = nullptr;
  SetCallTraceFunction setTrace_ = nullptr;
  InitFunction init_ = nullptr;

  // A fresh grid (2 x 2 islands) with a mixed selection: the left half's
  // UVs, the lower two rows of faces, a few vertices and one line.
  host::HostObject& FreshGrid() {
    host::ObjImport import;
    std::string error;
    EXPECT_TRUE(host::LoadObjText(bench::MakeGridObj({kCells, 2, "grid"}), "grid.obj", "", &import, &error)) << error;
    session().replaceDocument(std::move(import), "");
    host::HostObject& grid = *session().document().object(0);
    for (int32_t j = 0; j < kCells; ++j) {
      for (int32_t i = 0; i < kCells; ++i) {
        const int32_t face = j * kCells + i;
        if (i < kCells / 2) {
          for (int32_t c = 0; c < 4; ++c) grid.setUVSelected(face, c, true);
        }
        if (j < 2) grid.setFaceSelected(face, true);
      }
    }
    for (int32_t v : {0, 1, 8, 9}) grid.setVertexSelected(v, true);
    grid.setLineSelected(kCells + 1, 0, true);
    return grid;
  }
};

TEST_F(PressCallsTest, EveryButtonMakesTheSameHostCallsAndLeavesTheSameDocument) {
  ASSERT_TRUE(session().activate(plugin()));
  const std::map<std::string, std::string> expected = ExpectedLines();
  ASSERT_FALSE(expected.empty()) << "no tests/data/press_calls.txt";

  std::ostringstream actual;
  int mismatches = 0;
  int buttons = 0;
  for (const host::WidgetPathEntry& entry : driver().listPaths()) {
    if (entry.window != "Pavlex" || entry.kind != host::WidgetKind::kButton) continue;
    ++buttons;
    host::HostObject& grid = FreshGrid();
    // A restore needs something stored for this document's faces.
    if (entry.path.rfind("Memory/Restore/", 0) == 0) {
      const std::string slot = entry.path.substr(std::strlen("Memory/Restore/"));
      ASSERT_TRUE(driver().press("Pavlex::Memory/Store/" + slot).done);
      grid.clearSelection(MQCLEARSELECT_UVVERTEX);
    }
    CallRecord record;
    {
      setTrace_(&Record, &record);
      // A memory lock pins on Ctrl as the mouse goes down; the redraw of
      // the click then runs the lock pass.
      const bool lock = entry.path.rfind("Memory/Lock/", 0) == 0;
      const host::CommandResult result =
          lock ? driver().click("Pavlex::" + entry.path, host::kCtrl) : driver().press("Pavlex::" + entry.path);
      setTrace_(nullptr, nullptr);
      ASSERT_TRUE(result.done) << entry.path << ": " << result.error;
    }
    char line[256];
    std::snprintf(line, sizeof line, "%s\t%llu\t%016llx\t%016llx", entry.path.c_str(),
                  static_cast<unsigned long long>(record.count), static_cast<unsigned long long>(record.names.value),
                  static_cast<unsigned long long>(ResultHash(grid)));
    actual << line << "\n";
    const auto found = expected.find(entry.path);
    if (found == expected.end() || found->second != line) {
      ++mismatches;
      ADD_FAILURE() << "expected  " << (found == expected.end() ? entry.path + " (missing)" : found->second)
                    << "\nthis build " << line;
    }
  }
  EXPECT_EQ(buttons, static_cast<int>(expected.size()));
  if (mismatches > 0) std::printf("The table as this build gives it:\n%s", actual.str().c_str());
}

}  // namespace
}  // namespace pavlex::testing

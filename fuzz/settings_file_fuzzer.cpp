// Fuzzes the settings file as the host reads it at start: the input is the
// file's bytes, in the scratch folder.
// 1. LoadSettingsFile on its own: a document it loads writes out as text
//    that loads back to the same text; a damaged file is kept aside byte
//    for byte with one line of report; anything but a load or a missing
//    file is reported.
// 2. A real host session started on the file, with the real plug-in loaded
//    and activated (it reads its own element) and then unloaded and the
//    session ended (the plug-in writes its settings, the host saves them):
//    the settings file it leaves must load again.
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "fuzz/fuzz_support.h"
#include "host/session/host_session.h"
#include "host/settings/settings_file.h"
#include "host/settings/settings_service.h"

namespace {

using pavlex::host::SettingsFileState;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
  }
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  Check(static_cast<bool>(out), "the scratch file is written");
}

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

size_t Lines(const std::string& text) {
  size_t count = 0;
  for (char c : text) count += c == '\n';
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pavlex::fuzz::ScratchFolder();
  pavlex::fuzz::KeepPluginMapped();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 65536) return -1;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string path = pavlex::fuzz::ScratchFolder() + "/settings.xml";

  WriteFile(path, input);
  SettingsFileState state;
  {
    pavlex::host::SettingsService settings;
    std::ostringstream report;
    state = pavlex::host::LoadSettingsFile(path, settings, report);
    switch (state) {
      case SettingsFileState::kLoaded: {
        Check(report.str().empty(), "a loaded file is not reported");
        const std::string text = settings.text();
        pavlex::host::SettingsService again;
        std::string problem;
        Check(again.load(text, &problem), "the written text loads again");
        Check(again.text() == text, "the written text loads to itself");
        Check(!settings.changed(), "a loaded document is unchanged");
        break;
      }
      case SettingsFileState::kReplaced: {
        Check(Lines(report.str()) == 1, "one line reports a damaged file");
        std::string kept;
        Check(ReadFile(path + ".damaged", &kept) && kept == input, "the damaged file is kept byte for byte");
        std::string ignored;
        Check(!ReadFile(path, &ignored), "the damaged file is moved away");
        break;
      }
      case SettingsFileState::kMissing:
      case SettingsFileState::kBlocked:
        Check(false, "a regular file in the scratch folder is read");
    }
  }

  WriteFile(path, input);
  {
    std::ostringstream diagnostics;
    pavlex::host::HostSessionOptions options;
    options.settingsPath = path;
    options.diagnostics = &diagnostics;
    pavlex::host::HostSession session(options);
    std::string error;
    pavlex::host::LoadedPlugin* plugin = session.loadPlugin(pavlex::host::DefaultPluginPath(), &error);
    Check(plugin != nullptr, "the plug-in loads");
    session.activate(*plugin);
    session.deactivate(*plugin);
  }
  std::string written;
  if (ReadFile(path, &written)) {
    pavlex::host::SettingsService settings;
    std::string problem;
    Check(settings.load(written, &problem), "the settings file the session left loads again");
  }
  pavlex::fuzz::ClearScratchFolder();
  return 0;
}

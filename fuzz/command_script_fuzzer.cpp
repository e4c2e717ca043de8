// Fuzzes the host command language end to end, as `pavlex -c TEXT` runs
// it: the script is split and checked, then run against the built-in
// sample in a real host session, in the scratch folder, with the real plug-in loaded and
// activated. Every input gets a fresh session.
//
// Bounds, so an input costs little time and memory and writes nothing
// outside the scratch folder (the working directory):
// - at most kMaxInputBytes of text and kMaxCommands commands;
// - no word that is an absolute path, starts with '~' or holds "..";
// - no number above kMaxNumber anywhere in a word (picture sizes and
//   counts stay small).
// Any input may fail; a failed run must say why.
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/builtin_sample.h"
#include "fuzz/fuzz_support.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/command_script.h"
#include "host/session/host_session.h"

namespace {

using pavlex::commands::ScriptLine;

constexpr size_t kMaxInputBytes = 2048;
constexpr size_t kMaxCommands = 48;
constexpr double kMaxNumber = 512;

bool NumberTooLarge(const std::string& word) {
  for (size_t i = 0; i < word.size(); ++i) {
    const bool startsNumber =
        std::isdigit(static_cast<unsigned char>(word[i])) &&
        (i == 0 || !std::isdigit(static_cast<unsigned char>(word[i - 1])));
    if (!startsNumber) continue;
    const char* begin = word.c_str() + i;
    char* end = nullptr;
    const double real = std::strtod(begin, &end);
    if (!std::isfinite(real) || std::fabs(real) > kMaxNumber) return true;
    const long long whole = std::strtoll(begin, &end, 0);
    if (whole > static_cast<long long>(kMaxNumber) || whole < 0) return true;
  }
  return false;
}

bool Acceptable(const std::vector<ScriptLine>& lines) {
  if (lines.size() > kMaxCommands) return false;
  for (const ScriptLine& line : lines) {
    std::vector<std::string> words;
    try {
      words = pavlex::commands::TokenizeCommand(line.text);
    } catch (const pavlex::commands::CommandError&) {
      continue;  // the check reports it; nothing runs
    }
    for (const std::string& word : words) {
      if (word.empty()) continue;
      if (word[0] == '/' || word[0] == '~' || word[0] == '\\' || word.find("..") != std::string::npos) return false;
      if (NumberTooLarge(word)) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pavlex::fuzz::ScratchFolder();
  pavlex::fuzz::KeepPluginMapped();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxInputBytes) return -1;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<ScriptLine> lines = pavlex::commands::SplitScript(text, "-c");
  if (!Acceptable(lines)) return -1;

  std::string messages;
  const pavlex::fuzz::InScratchFolder inScratch;
  {
    pavlex::host::HostSessionOptions options;
    options.persistSettings = false;
    pavlex::host::HostSession session(options);
    std::string error;
    pavlex::host::LoadedPlugin* plugin = session.loadPlugin(pavlex::host::DefaultPluginPath(), &error);
    if (plugin == nullptr) {
      std::fprintf(stderr, "cannot load the plug-in: %s\n", error.c_str());
      std::abort();
    }
    session.activate(*plugin);

    pavlex::commands::CommandFrontEnd frontEnd{pavlex::commands::TextSink([](std::string_view) {}),
                                               pavlex::commands::TextSink(
                                                   [&messages](std::string_view part) { messages.append(part); }),
                                               "pavlex: ",
                                               {},
                                               {},
                                               nullptr,
                                               {}};
    pavlex::commands::CommandInterpreter runner(session, *plugin, frontEnd);
    session.setModalDriver(&runner);
    if (!runner.check(lines)) {
      session.replaceDocument(pavlex::app::LoadBuiltinSample(), std::string());
      pavlex::commands::ScriptQueue queue(std::move(lines));
      if (!runner.run(queue) && messages.empty()) {
        std::fprintf(stderr, "a run failed without a message\n");
        std::abort();
      }
    }
    session.setModalDriver(nullptr);
  }
  pavlex::fuzz::ClearScratchFolder();
  return 0;
}

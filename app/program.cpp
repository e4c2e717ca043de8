#include "app/program.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/builtin_sample.h"
#include "app/command_runner.h"
#include "app/console.h"
#include "app/printers.h"
#include "app/script_source.h"
#include "host/app/host_session.h"
#include "host/plugin/plugin_loader.h"

namespace pavlex::app {
namespace {

bool ReadScript(const std::string& path, std::string* text, std::string* error) {
  if (path == "-") {
    *text = std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return true;
  }
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  if (!in) {
    *error = path + ": cannot read the script";
    return false;
  }
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return true;
}

}  // namespace

int RunProgram(const ProgramOptions& options) {
  // Every command is read and checked before the host starts: a typo on
  // the last line must not leave half a script applied.
  std::vector<ScriptLine> lines;
  int inlineCount = 0;
  for (const CommandOption& option : options.commands) {
    std::string text = option.text, origin, error;
    if (!option.isScript) {
      origin = ++inlineCount == 1 ? "-c" : "-c#" + std::to_string(inlineCount);
    } else if (ReadScript(option.text, &text, &error)) {
      origin = option.text == "-" ? "<stdin>" : option.text;
    } else {
      std::fprintf(stderr, "pavlex: %s\n", error.c_str());
      return kExitFailed;
    }
    for (ScriptLine& line : SplitScript(text, origin)) lines.push_back(std::move(line));
  }
  const bool interactive =
      options.commands.empty() && !options.listWidgets && IsTerminal(stdin);

  host::HostSessionOptions sessionOptions;
  sessionOptions.settingsPath = options.settingsPath;
  // Listing the widgets is a question, not a session: it leaves the
  // settings file alone.
  sessionOptions.persistSettings = !options.listWidgets;
  host::HostSession session(sessionOptions);

  std::string error;
  const std::string pluginPath = options.pluginPath.empty() ? host::DefaultPluginPath() : options.pluginPath;
  host::LoadedPlugin* plugin = session.loadPlugin(pluginPath, &error);
  if (plugin == nullptr) {
    std::fprintf(stderr, "pavlex: %s\n", error.c_str());
    return kExitFailed;
  }
  session.activate(*plugin);

  if (options.listWidgets) {
    std::vector<host::WidgetPathEntry> entries;
    for (host::WidgetPathEntry& entry : session.listPaths()) {
      if (entry.window == "Pavlex") entries.push_back(std::move(entry));
    }
    PrintWidgetPaths(stdout, entries);
    return kExitOk;
  }

  CommandRunner runner(session, *plugin, stdout);
  session.setModalDriver(&runner);
  // Unset before the runner goes: the session outlives it and unloads the
  // plug-in at its end.
  struct DriverReset {
    host::HostSession& session;
    ~DriverReset() { session.setModalDriver(nullptr); }
  } reset{session};

  if (const std::optional<std::string> problem = runner.check(lines)) {
    std::fprintf(stderr, "pavlex: %s\n", problem->c_str());
    return kExitFailed;
  }
  if (options.model.empty()) {
    runner.takeDocument(LoadBuiltinSample(), std::string());
  } else if (!runner.openFile(options.model, &error)) {
    std::fprintf(stderr, "pavlex: %s\n", error.c_str());
    return kExitFailed;
  }

  bool ok = true;
  if (interactive) {
    std::printf("%s on %s. `help` lists the commands, `print widgets` the buttons; Ctrl-D ends.\n",
                plugin->name().c_str(), options.model.empty() ? "the built-in sample" : options.model.c_str());
    TerminalSource terminal(stdin, stdout);
    ok = runner.run(terminal);
  } else {
    ScriptQueue queue(std::move(lines));
    ok = runner.run(queue);
  }
  std::fflush(stdout);
  if (!ok) return kExitFailed;  // nothing is saved after an error

  if (!options.savePath.empty() && !runner.saveFile(options.savePath, &error)) {
    std::fprintf(stderr, "pavlex: %s\n", error.c_str());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace pavlex::app

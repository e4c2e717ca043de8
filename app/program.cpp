#include "app/program.h"

#include <cstdio>
#include <iostream>
#include <memory>

#include "app/builtin_sample.h"
#include "app/completion.h"
#include "app/console.h"
#ifdef PAVLEX_HAVE_LINE_EDITOR
#include "app/line_editor.h"
#endif
#include "app/many_models.h"
#include "app/model_names.h"
#include "app/progress_notice.h"
#include "app/prompt_history.h"
#include "app/terminal_source.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/command_script.h"
#include "host/commands/command_table.h"
#include "host/commands/printers.h"
#include "host/driver/host_driver.h"
#include "host/io/file_read.h"
#include "host/plugin/plugin_loader.h"
#include "host/session/host_session.h"
#include "host/settings/settings_file.h"
#include "host/widgets/widget_types.h"
#ifdef PAVLEX_HAVE_GUI
#include "gui/gui_window.h"
#endif

namespace pavlex::app {
namespace {

using commands::ScriptLine;

// Scripts are read whole before anything runs, so they are bounded like
// every other file the host reads: `-s /dev/zero` must not fill memory.
bool ReadScript(const std::string& path, std::string* text, std::string* error) {
  if (path == "-") {
    text->clear();
    char buffer[65536];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
      text->append(buffer, static_cast<size_t>(std::cin.gcount()));
      if (text->size() > host::io::kMaxScriptBytes) {
        *error = "<stdin>: cannot read the script: larger than " + host::io::LimitText(host::io::kMaxScriptBytes);
        return false;
      }
    }
    return true;
  }
  std::string reason;
  if (host::io::ReadRegularFile(path, text, &reason, host::io::kMaxScriptBytes) != host::io::RegularFileRead::kOk) {
    *error = path + ": cannot read the script: " + reason;
    return false;
  }
  return true;
}

}  // namespace

int RunProgram(const ProgramOptions& options) {
  // Every command is read and checked before the host starts: a typo on
  // the last line must not leave half a script applied.
  std::vector<ScriptLine> lines;
  std::string stdinScript;
  int inlineCount = 0;
  for (const CommandOption& option : options.commands) {
    std::string text = option.text, origin, error;
    if (!option.isScript) {
      origin = ++inlineCount == 1 ? "-c" : "-c#" + std::to_string(inlineCount);
    } else if (ReadScript(option.text, &text, &error)) {
      origin = option.text == "-" ? "<stdin>" : option.text;
      if (option.text == "-") stdinScript += text;
    } else {
      std::fprintf(stderr, "pavlex: %s\n", error.c_str());
      return kExitFailed;
    }
    for (ScriptLine& line : commands::SplitScript(text, origin)) lines.push_back(std::move(line));
  }
  const std::string model = options.models.empty() ? std::string() : options.models.front();
  const bool many = options.models.size() > 1;
  // Names are settled before anything runs: no model may be saved where a
  // second one would be saved again.
  if (const std::optional<std::string> problem = CheckOutputNames(
          options.savePath, LayoutFileNames(lines), many ? options.models : std::vector<std::string>{model})) {
    std::fprintf(stderr, "pavlex: %s\nRun 'pavlex --help' for the options.\n", problem->c_str());
    return kExitUsage;
  }
  const ModelNameParts modelParts = SplitModelName(model);
  std::string savePath;
  if (!options.savePath.empty()) {
    std::string error;
    ExpandNamePattern(options.savePath, modelParts, &savePath, &error);
  }
  const bool interactive =
      options.commands.empty() && !options.listWidgets && IsTerminal(stdin);
#ifndef PAVLEX_HAVE_GUI
  if (options.gui) {
    std::fprintf(stderr, "pavlex: --gui is not available in this build (the window needs Linux with X11)\n");
    return kExitFailed;
  }
#endif

  host::HostSessionOptions sessionOptions;
  sessionOptions.settingsPath = options.settingsPath;
  // Listing the widgets is a question, not a session: it leaves the
  // settings file alone.
  sessionOptions.persistSettings = !options.listWidgets && !options.oneOfMany && !many;
  host::HostSession session(sessionOptions);
#ifdef PAVLEX_HAVE_GUI
  // The window opens before anything slow, so a missing display is said at once.
  std::unique_ptr<gui::GuiWindow> window;
  if (options.gui) {
    gui::GuiConfig config;
    config.recordPath = options.recordPath;
    config.saveOnExit = !options.savePath.empty();
    window = std::make_unique<gui::GuiWindow>(session, config);
    std::string problem;
    if (!window->open(&problem)) {
      std::fprintf(stderr, "pavlex: %s\n", problem.c_str());
      return kExitFailed;
    }
  }
#endif

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
    for (host::WidgetPathEntry& entry : host::HostDriver(session).listPaths()) {
      if (entry.window == "Pavlex") entries.push_back(std::move(entry));
    }
    commands::PrintWidgetPaths(commands::TextSink(stdout), entries);
    return kExitOk;
  }

  // Print output to stdout, messages to stderr, progress of slow work on
  // stderr when it is a terminal.
  std::unique_ptr<ProgressNotice> progress;
  commands::CommandFrontEnd frontEnd;
  frontEnd.workStarted = [&progress](const std::string& what) { progress = std::make_unique<ProgressNotice>(what); };
  frontEnd.workEnded = [&progress] { progress.reset(); };
#ifdef PAVLEX_HAVE_GUI
  if (window != nullptr) {
    // Print output goes to stdout as in batch mode, and to the console.
    gui::GuiWindow* console = window.get();
    frontEnd.out = commands::TextSink([console](std::string_view text) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      std::fflush(stdout);
      console->appendConsole(text);
    });
    frontEnd.messages = commands::TextSink([console](std::string_view text) {
      std::fwrite(text.data(), 1, text.size(), stderr);
      console->appendConsole(text);
    });
    frontEnd.window = console;
    frontEnd.commandRan = [console](const commands::ScriptLine& line, bool ok) { console->commandRan(line, ok); };
    frontEnd.workStarted = nullptr;
    frontEnd.workEnded = nullptr;
  }
#endif
  commands::CommandInterpreter runner(session, *plugin, frontEnd);
  runner.setOutputNameReading([modelParts](const std::string& name) {
    std::string expanded, problem;
    if (!ExpandNamePattern(name, modelParts, &expanded, &problem)) throw commands::CommandError(problem);
    return expanded;
  });
  session.setModalDriver(&runner);
#ifdef PAVLEX_HAVE_GUI
  if (window != nullptr) {
    // The window answers modal runs with frames, and hands the lines on.
    window->setInterpreter(&runner);
    session.setModalDriver(window.get());
  }
#endif
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
  if (many) return RunEachModel(options, stdinScript);
  if (model.empty()) {
    session.replaceDocument(LoadBuiltinSample(), std::string());
  } else {
    std::vector<std::string> warnings;
    bool opened = false;
    {
      ProgressNotice loading("loading " + model);
      opened = session.openDocument(model, &error, &warnings);
    }
    if (!opened) {
      std::fprintf(stderr, "pavlex: %s\n", error.c_str());
      return kExitFailed;
    }
    for (const std::string& warning : warnings) std::fprintf(stderr, "pavlex: warning: %s\n", warning.c_str());
  }

  bool ok = true;
#ifdef PAVLEX_HAVE_GUI
  if (window != nullptr) {
    window->queueScript(std::move(lines));
    runner.run(*window);
  } else
#endif
  if (interactive) {
    std::printf("%s on %s. `help` lists the commands, `print widgets` the buttons; Ctrl-D ends.\n",
                plugin->name().c_str(), model.empty() ? "the built-in sample" : model.c_str());
#ifdef PAVLEX_HAVE_LINE_EDITOR
    CompletionSources sources;
    sources.commands = commands::CommandNames();
    sources.widgetPaths = [&session] {
      std::vector<WidgetName> widgets;
      for (const host::WidgetPathEntry& entry : host::HostDriver(session).reachablePaths()) {
        widgets.push_back({entry.path, host::WidgetKindName(entry.kind)});
      }
      return widgets;
    };
    sources.listFolder = ListFolderEntries;
    LineEditorSource terminal(stdin, stdout,
                              HistoryPathBeside(options.settingsPath.empty() ? host::DefaultSettingsPath()
                                                                             : options.settingsPath),
                              std::move(sources));
#else
    TerminalSource terminal(stdin, stdout);
#endif
    ok = runner.run(terminal);
  } else {
    commands::ScriptQueue queue(std::move(lines));
    ok = runner.run(queue);
  }
  std::fflush(stdout);
  if (!ok) return kExitFailed;  // nothing is saved after an error

  if (!savePath.empty()) {
    bool saved = false;
    {
      ProgressNotice saving("saving " + savePath);
      saved = session.saveDocument(savePath, &error);
    }
    if (!saved) {
      std::fprintf(stderr, "pavlex: %s\n", error.c_str());
      return kExitFailed;
    }
  }
  return kExitOk;
}

}  // namespace pavlex::app

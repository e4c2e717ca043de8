// One run of the pavlex command: start the host, load and switch on the
// plug-in, open the model, run the commands, save.
#pragma once

#include <string>
#include <vector>

namespace pavlex::app {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a command, a file or the plug-in failed
constexpr int kExitUsage = 2;   // the command line is wrong

// One -c or -s of the command line.
struct CommandOption {
  bool isScript = false;  // -s: `text` names a file, "-" standard input
  std::string text;       // -c: the commands
};

struct ProgramOptions {
  std::vector<std::string> models;      // none: the built-in sample; several: each runs alone
  std::vector<CommandOption> commands;  // every -c and -s, in command-line order
  std::string savePath;               // -o; a pattern with {dir}, {stem}, {ext}
  std::string settingsPath;           // empty: the default under $XDG_CONFIG_HOME
  std::string pluginPath;             // empty: the plug-in beside the host library
  bool listWidgets = false;
  bool gui = false;        // --gui: the desktop window
  std::string recordPath;  // --record: every action of the window, as commands
  int jobs = 1;            // -j: models run at once when there are several
  bool oneOfMany = false;  // run by a pavlex over several models: leave the settings file as it was
};

// Runs pavlex; answers its exit status. Messages go to stderr, `print`
// output to stdout.
int RunProgram(const ProgramOptions& options);

}  // namespace pavlex::app

// The pavlex command line. The only file that includes CLI11 (it is slow
// to compile).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "app/console.h"
#include "app/program.h"
#include "host/commands/command_table.h"

namespace {

#ifdef _WIN32
#define PAVLEX_DEFAULT_SETTINGS "%APPDATA%\\pavlex\\settings.xml"
#else
#define PAVLEX_DEFAULT_SETTINGS "$XDG_CONFIG_HOME/pavlex/settings.xml"
#endif

std::string Footer() {
  std::string text =
      "\nWithout MODEL the document is a built-in sample. With no -c or -s and a terminal on\n"
      "standard input, commands are read interactively. On Linux the prompt edits lines:\n"
      "Up and Down recall earlier commands (kept in the file 'history' beside the settings\n"
      "file), Ctrl-R searches them, Tab completes command names, widget paths (the open\n"
      "dialog's too) and file names. Host commands:\n";
  text += pavlex::commands::CommandHelpText();
  text +=
      "\nSeveral models: pavlex runs the same -c and -s commands on each MODEL, every one in a\n"
      "process of its own and up to -j N at once. The -o name and the file names of `layout`\n"
      "are patterns: {dir} is the model's folder, {stem} its name without the extension, {ext}\n"
      "the extension ('{{' and '}}' write a brace). With several models each of them needs a\n"
      "placeholder, and names that would make two models write one file (or write over another\n"
      "model) are refused before anything runs; folders are not created. Output and messages\n"
      "of each model are printed together once it ends, every line after its name; a failing\n"
      "model does not stop the others. On a terminal, stderr shows a progress bar. Each model\n"
      "starts from the settings file as it is, and a run over several models leaves it unchanged.\n"
      "\nExamples:\n"
      "  pavlex model.obj -c 'select uv rect 0 0 0.5 1; press Select/group; press Snap/L' -o out.obj\n"
      "  pavlex -j 2 assets/*.obj -c 'select uv all; press Invert/H' -c \"layout 'png/{stem}.png' 1024x1024 wireframe\" \\\n"
      "      -o 'out/{stem}.obj'\n"
      "\nExit status: 0 success, 1 a command, a file or the plug-in failed (nothing is saved; with\n"
      "several models, any of them failed and the others were saved), 2 bad usage of the command line.\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  pavlex::app::PrepareStandardStreams();
  std::vector<std::string> arguments = pavlex::app::Utf8Arguments(argc, argv);
  std::vector<char*> utf8Argv;
  for (std::string& argument : arguments) utf8Argv.push_back(argument.data());
  utf8Argv.push_back(nullptr);
  pavlex::app::ProgramOptions options;
  std::vector<std::string> inlineCommands, scripts;
  CLI::App app("pavlex: UV editing with the Pavlex plug-in in the stand-in host.\n"
               "Opens MODEL (an OBJ file), runs host commands through the plug-in's window and\n"
               "dialogs, and saves the result.",
               "pavlex");
  app.set_version_flag("--version", std::string("pavlex ") + PAVLEX_VERSION);
  app.add_option("MODEL", options.models,
                 "the OBJ file to open (default: the built-in sample); with several, the same commands run on each");
  CLI::Option* commandOption = app.add_option("-c,--commands", inlineCommands,
                 "run host commands; ';' or newlines separate them; may be given several times")
      ->allow_extra_args(false);
  CLI::Option* scriptOption =
      app.add_option("-s,--script", scripts, "run host commands from a file ('-' reads standard input); may be repeated")
          ->allow_extra_args(false);
  app.add_option("-o,--save", options.savePath,
                 "save the document (OBJ, and its MTL) when the commands are done; {dir}, {stem} and {ext} stand "
                 "for the parts of the model's name");
  CLI::Option* jobsOption =
      app.add_option("-j,--jobs", options.jobs, "with several models, run up to N of them at once (default 1)")
          ->type_name("N");
  app.add_option("--settings", options.settingsPath,
                 "the settings file (default " PAVLEX_DEFAULT_SETTINGS ")");
  app.add_option("--plugin", options.pluginPath, "the plug-in library (default: the one installed beside pavlex)");
  app.add_flag("--list-widgets", options.listWidgets,
               "print the path of every widget of the Pavlex window, and exit");
  app.add_flag("--gui", options.gui,
               "open the desktop window: the UV and 3D views, the Pavlex window and a console (Linux)");
  CLI::Option* recordOption = app.add_option("--record", options.recordPath,
                 "with --gui: append every mouse and keyboard action to FILE as its command");
  // A run over several models starts one of these per model.
  app.add_flag("--one-of-many", options.oneOfMany)->group("");
  app.footer(Footer());
  try {
    app.parse(static_cast<int>(arguments.size()), utf8Argv.data());
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    std::fprintf(stderr, "pavlex: %s\nRun 'pavlex --help' for the options.\n", error.what());
    return pavlex::app::kExitUsage;
  }
  // An empty name would quietly mean "none" (no save, the default settings
  // file): a run that claims work it did not do.
  for (const auto& [name, value] : {std::pair<const char*, const std::string*>{"-o", &options.savePath},
                                    {"--settings", &options.settingsPath},
                                    {"--plugin", &options.pluginPath},
                                    {"--record", &options.recordPath}}) {
    if (app.count(name) > 0 && value->empty()) {
      std::fprintf(stderr, "pavlex: %s needs a file name\nRun 'pavlex --help' for the options.\n", name);
      return pavlex::app::kExitUsage;
    }
  }
  for (const std::string& script : scripts) {
    if (script.empty()) {
      std::fprintf(stderr, "pavlex: -s needs a file name ('-' reads standard input)\nRun 'pavlex --help' for the options.\n");
      return pavlex::app::kExitUsage;
    }
  }
  if (jobsOption->count() > 0 && options.jobs < 1) {
    std::fprintf(stderr, "pavlex: -j needs a number of models of at least 1\nRun 'pavlex --help' for the options.\n");
    return pavlex::app::kExitUsage;
  }
  if (options.models.size() > 1 && (options.gui || options.listWidgets)) {
    std::fprintf(stderr, "pavlex: %s takes at most one model\nRun 'pavlex --help' for the options.\n",
                 options.gui ? "--gui" : "--list-widgets");
    return pavlex::app::kExitUsage;
  }
  if (recordOption->count() > 0 && !options.gui) {
    std::fprintf(stderr, "pavlex: --record needs --gui\nRun 'pavlex --help' for the options.\n");
    return pavlex::app::kExitUsage;
  }
  // -c and -s run in the order they were given.
  size_t nextCommands = 0, nextScript = 0;
  for (const CLI::Option* option : app.parse_order()) {
    if (option == commandOption && nextCommands < inlineCommands.size()) {
      options.commands.push_back({false, inlineCommands[nextCommands++]});
    } else if (option == scriptOption && nextScript < scripts.size()) {
      options.commands.push_back({true, scripts[nextScript++]});
    }
  }
  try {
    return pavlex::app::RunProgram(options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "pavlex: %s\n", error.what());
    return pavlex::app::kExitFailed;
  }
}

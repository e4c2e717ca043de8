// Runs host commands against a running host session with a plug-in loaded,
// as a person at the host would: document and selection commands change
// the host's document directly; everything the plug-in does starts with a
// widget event, through the HostDriver. It also answers the host's modal
// runs (dialogs, message boxes, save-file dialogs) with the commands that
// follow the one that opened them, and an OK-only message box at once: such
// a box tells why the command did not do its work, so the command fails
// with the box's message.
//
// Every front end (the pavlex command, a window's console, a Python module)
// runs the language through this class and gives it a CommandFrontEnd.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <optional>
#include <string>
#include <vector>

#include "host/commands/command_script.h"
#include "host/commands/command_table.h"
#include "host/commands/text_sink.h"
#include "host/commands/window_commands.h"
#include "host/driver/host_driver.h"
#include "host/session/host_session.h"

namespace pavlex::commands {

// What a front end gives the language.
struct CommandFrontEnd {
  TextSink out{stdout};       // `print` and `help`
  TextSink messages{stderr};  // errors and warnings, one line each, after `messagePrefix`
  std::string messagePrefix = "pavlex: ";
  // Slow work (loading, saving, rendering) starts and ends; a front end may
  // show progress in between. Either may be empty.
  std::function<void(const std::string& what)> workStarted;
  std::function<void()> workEnded;
  // The desktop window, for the commands that need one; not owned. Null in
  // batch mode.
  WindowCommands* window = nullptr;
  // Called after every command that ran, with its text and whether it
  // succeeded (a window redraws, marks its document changed).
  std::function<void(const ScriptLine& line, bool ok)> commandRan;
};

class CommandInterpreter : public host::ModalDriver {
 public:
  // `session` and `plugin` must outlive the interpreter. The interpreter does
  // not install itself as the session's modal driver; the front end does
  // (and removes it before the interpreter goes).
  CommandInterpreter(host::HostSession& session, host::LoadedPlugin& plugin, CommandFrontEnd frontEnd = {});

  // Checks every command's words (command names, argument counts, numbers)
  // without running anything. Answers the first problem as
  // "script:line: message", or nothing.
  std::optional<std::string> check(const std::vector<ScriptLine>& lines);

  // Runs the commands `source` gives until it ends or a `quit`. From a
  // script the first error stops the run; from an interactive source errors
  // are reported and the next command is read. Every error goes to the
  // front end's messages as "script:line: message". False when a script
  // stopped on one.
  bool run(CommandSource& source);

  // host::ModalDriver: the commands after the one that opened the modal
  // run answer it. A script that ends inside it is an error.
  void runModal(host::HostSession& session, int32_t dialog) override;
  int32_t messageBox(host::HostSession& session, const host::MessageBoxRequest& box) override;
  bool saveFile(host::HostSession& session, host::SaveFileRequest& request) override;

  // --- for the command families ------------------------------------------------
  host::HostSession& session() { return session_; }
  host::HostDriver& driver() { return driver_; }
  host::LoadedPlugin& plugin() { return plugin_; }
  const TextSink& out() const { return frontEnd_.out; }
  WindowCommands* window() const { return frontEnd_.window; }
  // The file a command draws a picture into (`layout`) as the front end
  // means it: the pavlex command fills a model's name into a pattern such
  // as "png/{stem}.png". `reading` may throw CommandError; unset, names are
  // taken as written.
  using OutputNameReading = std::function<std::string(const std::string& name)>;
  void setOutputNameReading(OutputNameReading reading) { outputNameReading_ = std::move(reading); }
  std::string outputName(const std::string& name) const {
    return outputNameReading_ ? outputNameReading_(name) : name;
  }
  // A warning of a command that still succeeds: "warning: <message>".
  void warn(const std::string& message);
  // Brackets slow work for the front end's progress display.
  void workStarted(const std::string& what);
  void workEnded();
  // The command running now.
  const ScriptLine& currentLine() const { return current_; }
  // True while commands act inside a dialog.
  bool dialogOpen() const { return !modals_.empty(); }
  // The title of the innermost dialog commands act in; empty when none.
  std::string dialogTitle() const { return modals_.empty() ? std::string() : modals_.back().title; }
  // Commands a shorthand (`layout`) stands for: the next modal run takes
  // them, in order, before the source's next command. Located at the
  // current line.
  void inject(const std::vector<std::string>& commands);
  // Drops what no modal run took; true when something was left.
  bool dropInjected();
  // True once a script stopped on an error.
  bool failed() const { return failed_; }
  // True while a command runs (a nested one inside a dialog included).
  bool commandRunning() const { return running_ > 0; }
  // Stops reading commands after this one.
  void quit() { quit_ = true; }
  // True once the run stopped: a script failed, or `quit`.
  bool stopped() const { return failed_ || quit_; }
  // The next command for a modal run opened by `opener` (`what` names it in
  // messages); false (after recording an error) when the script ended or
  // moved on to another script.
  bool nextInside(const ScriptLine& opener, const std::string& what, ScriptLine* line);
  // Reports "where: message"; a script stops, an interactive source goes on.
  void fail(const ScriptLine& line, const std::string& message);
  // One line to the front end's messages, after its prefix.
  void report(const std::string& message);

 private:
  class HistoryStep;
  struct Modal {
    int32_t dialog = 0;
    std::string title;
    ScriptLine openedBy;
  };

  // Runs one command; reports or records its error.
  void runLine(const ScriptLine& line);
  // Checks `words` against the table and, unless `dry`, runs them. Throws
  // CommandError.
  void execute(const Words& words, bool dry);

  host::HostSession& session_;
  host::HostDriver driver_;
  host::LoadedPlugin& plugin_;
  CommandFrontEnd frontEnd_;
  OutputNameReading outputNameReading_;

  CommandSource* source_ = nullptr;
  ScriptLine current_;
  int running_ = 0;            // commands running now, nested ones included
  std::vector<Modal> modals_;  // innermost last
  std::vector<ScriptLine> injected_;
  bool failed_ = false;
  bool quit_ = false;
};

}  // namespace pavlex::commands

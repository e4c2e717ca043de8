#include "host/commands/command_interpreter.h"

#include <variant>

#include "host/commands/command_families.h"
#include "host/commands/command_parser.h"
#include "host/driver/path_suggestions.h"
#include "platform/text_conversion.h"

namespace pavlex::commands {
namespace {

// 'a', 'b' or 'c'
std::string QuotedChoice(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    out += (i == 0 ? "'" : (i + 1 == items.size() ? " or '" : ", '")) + items[i] + "'";
  }
  return out;
}

}  // namespace

CommandInterpreter::CommandInterpreter(host::HostSession& session, host::LoadedPlugin& plugin,
                                       CommandFrontEnd frontEnd)
    : session_(session), driver_(session), plugin_(plugin), frontEnd_(std::move(frontEnd)) {}

// --- the front end -------------------------------------------------------------------

void CommandInterpreter::report(const std::string& message) {
  frontEnd_.messages.printf("%s%s\n", frontEnd_.messagePrefix.c_str(), message.c_str());
  frontEnd_.messages.flush();
}

void CommandInterpreter::warn(const std::string& message) {
  report("warning: " + message);
}

void CommandInterpreter::workStarted(const std::string& what) {
  if (frontEnd_.workStarted) frontEnd_.workStarted(what);
}

void CommandInterpreter::workEnded() {
  if (frontEnd_.workEnded) frontEnd_.workEnded();
}

void CommandInterpreter::inject(const std::vector<std::string>& commands) {
  for (const std::string& text : commands) injected_.push_back({text, current_.origin, current_.line});
}

bool CommandInterpreter::dropInjected() {
  const bool unused = !injected_.empty();
  injected_.clear();
  return unused;
}

// --- running -----------------------------------------------------------------------

std::optional<std::string> CommandInterpreter::check(const std::vector<ScriptLine>& lines) {
  for (const ScriptLine& line : lines) {
    try {
      // A dry run checks exactly as the real one and changes nothing.
      execute(TokenizeCommand(line.text), true);
    } catch (const CommandError& error) {
      return line.where() + ": " + error.what();
    }
  }
  return std::nullopt;
}

bool CommandInterpreter::run(CommandSource& source) {
  CommandSource* outer = source_;
  source_ = &source;
  ScriptLine line;
  while (!stopped() && source.next(&line)) runLine(line);
  source_ = outer;
  return !failed_;
}

void CommandInterpreter::fail(const ScriptLine& line, const std::string& message) {
  report(line.where() + ": " + message);
  if (source_ == nullptr || !source_->interactive()) failed_ = true;
}

// Makes one command one undo step; nested commands (inside a dialog) join
// the step of the command that opened it.
class CommandInterpreter::HistoryStep {
 public:
  HistoryStep(CommandInterpreter& in, bool recorded) : in_(in), recorded_(recorded) {
    if (recorded_) in_.session_.beginCommand();
  }
  ~HistoryStep() {
    if (!recorded_) return;
    const std::string notice = in_.session_.endCommand();
    try {
      if (!notice.empty()) in_.warn(notice);
    } catch (...) {
      // A front end's sink failed; the step itself is settled.
    }
  }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  CommandInterpreter& in_;
  bool recorded_;
};

void CommandInterpreter::runLine(const ScriptLine& line) {
  const ScriptLine outer = current_;
  current_ = line;
  ++running_;
  bool ok = true;
  try {
    const Words words = TokenizeCommand(line.text);
    const HistoryStep step(*this, !words.empty() && !RecordsNoStep(words[0]));
    execute(words, false);
  } catch (const CommandError& error) {
    fail(line, error.what());
    ok = false;
  }
  --running_;
  if (frontEnd_.commandRan) frontEnd_.commandRan(line, ok);
  current_ = outer;
  frontEnd_.out.flush();
}

void CommandInterpreter::execute(const Words& words, bool dry) {
  if (words.empty()) return;
  const CommandRow* row = FindCommand(words[0]);
  if (row == nullptr) {
    throw CommandError("unknown command '" + words[0] + "' (did you mean " +
                       QuotedChoice(host::NearestPaths(words[0], CommandNames(), 1)) +
                       "? `help` lists the commands)");
  }
  NeedCount(words, row->leastArguments + 1, row->mostArguments == kAnyCount ? kAnyCount : row->mostArguments + 1);
  if (row->check != nullptr) row->check(words);
  if (dry) return;
  // `hide window` closes a dialog as its close box does; `hide object`
  // changes the document like any other edit.
  const bool inside = row->inDialog && !(words[0] == "hide" && words.size() > 1 && words[1] == "object");
  if (dialogOpen() && !inside) {
    throw CommandError("'" + words[0] + "' cannot run while the dialog '" + dialogTitle() +
                       "' is open; finish it with its buttons first");
  }
  row->run(*this, words);
}

// --- modal runs --------------------------------------------------------------------

bool CommandInterpreter::nextInside(const ScriptLine& opener, const std::string& what, ScriptLine* line) {
  if (!injected_.empty()) {
    *line = injected_.front();
    injected_.erase(injected_.begin());
    return true;
  }
  if (source_ == nullptr || !source_->next(line)) {
    const bool typed = source_ != nullptr && source_->interactive();
    fail(opener, std::string(typed ? "the input" : "the script") + " ended while " + what + " is open");
    // Even at a terminal: the dialog closes as cancelled, and nothing the
    // user meant to finish in it may be saved.
    failed_ = true;
    return false;
  }
  if (!source_->interactive() && line->origin != opener.origin) {
    fail(opener, "the script ended while " + what + " is open");
    return false;
  }
  return true;
}

void CommandInterpreter::runModal(host::HostSession& session, int32_t dialog) {
  if (stopped()) return;
  std::string title;
  for (const auto& [key, value] : driver_.snapshot(dialog).properties) {
    if (key == "title" && std::holds_alternative<std::u16string>(value)) {
      title = platform::Utf16ToUtf8(std::get<std::u16string>(value));
    }
  }
  modals_.push_back(Modal{dialog, title, current_});
  if (source_ != nullptr) source_->setContext(title);
  const std::string what = "the dialog '" + title + "'";
  ScriptLine line;
  // The session knows when a button with a modal result (or the close box)
  // ended the run.
  while (!stopped() && !session.runningDialogClosed() && nextInside(modals_.back().openedBy, what, &line)) {
    runLine(line);
  }
  modals_.pop_back();
  if (source_ != nullptr) source_->setContext(dialogTitle());
}

int32_t CommandInterpreter::messageBox(host::HostSession& session, const host::MessageBoxRequest& box) {
  const int32_t fallback = ModalDriver::messageBox(session, box);
  return stopped() ? fallback : AnswerMessageBox(*this, box, fallback);
}

bool CommandInterpreter::saveFile(host::HostSession&, host::SaveFileRequest& request) {
  return stopped() ? false : AnswerSaveFile(*this, request);
}

}  // namespace pavlex::commands

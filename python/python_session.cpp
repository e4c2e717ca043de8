#include "python/python_session.h"

#include <string_view>

#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"
#include "host/commands/command_script.h"
#include "host/commands/document_lookup.h"

namespace pavlex::python {
namespace {

// Collects what the interpreter reports, one line at a time.
struct MessageLines {
  std::string partial;
  std::vector<std::string> lines;
  void add(std::string_view text) {
    partial.append(text);
    for (size_t end; (end = partial.find('\n')) != std::string::npos;) {
      lines.push_back(partial.substr(0, end));
      partial.erase(0, end + 1);
    }
  }
};

// "origin:LINE: reason" split into its line and reason; false for a message
// that does not start with the origin.
bool SplitLocated(const std::string& message, const std::string& origin, int* line, std::string* reason) {
  if (message.compare(0, origin.size() + 1, origin + ":") != 0) return false;
  size_t at = origin.size() + 1;
  int number = 0;
  const size_t digits = at;
  while (at < message.size() && message[at] >= '0' && message[at] <= '9' && number < 100000000) {
    number = number * 10 + (message[at++] - '0');
  }
  if (at == digits || message.compare(at, 2, ": ") != 0) return false;
  *line = number;
  *reason = message.substr(at + 2);
  return true;
}

[[noreturn]] void ThrowScriptError(const std::vector<std::string>& errors, const std::string& origin) {
  std::string message;
  for (const std::string& error : errors) message += (message.empty() ? "" : "\n") + error;
  int line = 0;
  std::string reason = errors.empty() ? std::string() : errors.front();
  if (!errors.empty()) SplitLocated(errors.front(), origin, &line, &reason);
  if (message.empty()) message = origin + ": the commands failed";
  throw ScriptError(message, origin, line, reason);
}

}  // namespace

PythonSession::PythonSession(const PythonSessionOptions& options) {
  if (host::HostSession::Current() != nullptr) {
    throw std::runtime_error(
        "a pavlex.Session is already running in this process; end it (its exit() method, or leave "
        "its with-block) before starting another");
  }
  host::HostSessionOptions sessionOptions;
  sessionOptions.settingsPath = options.settingsPath;
  sessionOptions.persistSettings = options.persistSettings;
  session_ = std::make_unique<host::HostSession>(sessionOptions);
  const std::string pluginPath = options.pluginPath.empty() ? host::DefaultPluginPath() : options.pluginPath;
  std::string error;
  plugin_ = session_->loadPlugin(pluginPath, &error);
  if (plugin_ == nullptr) throw std::runtime_error(error);
  session_->activate(*plugin_);
}

PythonSession::~PythonSession() = default;

RunResult PythonSession::run(const std::string& script, const std::string& origin) {
  RunResult result;
  MessageLines messages;
  commands::CommandFrontEnd frontEnd;
  frontEnd.out = commands::TextSink([&result](std::string_view text) { result.printed.append(text); });
  frontEnd.messages = commands::TextSink([&messages](std::string_view text) { messages.add(text); });
  frontEnd.messagePrefix.clear();

  // A fresh interpreter for every call: a failed script leaves its
  // interpreter stopped, and the next call starts clean, as a new pavlex
  // run would. The undo history lives in the session and carries on.
  commands::CommandInterpreter interpreter(*session_, *plugin_, frontEnd);
  const std::vector<commands::ScriptLine> lines = commands::SplitScript(script, origin);
  if (const std::optional<std::string> problem = interpreter.check(lines)) ThrowScriptError({*problem}, origin);

  session_->setModalDriver(&interpreter);
  struct DriverReset {
    host::HostSession& session;
    ~DriverReset() { session.setModalDriver(nullptr); }
  } reset{*session_};
  commands::ScriptQueue queue(lines);
  const bool ok = interpreter.run(queue);

  std::vector<std::string> errors;
  for (const std::string& line : messages.lines) {
    if (line.rfind("warning: ", 0) == 0) {
      result.warnings.push_back(line.substr(9));
    } else if (line.compare(0, origin.size() + 1, origin + ":") == 0) {
      errors.push_back(line);
    } else {
      result.warnings.push_back(line);
    }
  }
  if (!ok) ThrowScriptError(errors, origin);
  return result;
}

host::HostObject& PythonSession::object(const std::string& name) {
  host::HostDocument& doc = session_->document();
  if (name.empty()) return commands::CurrentObject(doc);
  return *doc.object(commands::ObjectSlot(doc, name));
}

std::string PythonSession::edit(const std::function<void()>& write) {
  session_->beginCommand();
  try {
    write();
    session_->draw();
  } catch (...) {
    session_->endCommand();
    throw;
  }
  return session_->endCommand();
}

}  // namespace pavlex::python

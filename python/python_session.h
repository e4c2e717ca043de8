// The stand-in host as the Python module runs it: one HostSession with the
// Pavlex plug-in loaded and switched on, started the way the pavlex command
// starts it, and the host command language run against it one call at a
// time. Free of Python, so its rules read as plain C++; module.cpp turns
// its exceptions into Python's.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/document/host_object.h"
#include "host/plugin/plugin_loader.h"
#include "host/session/host_session.h"

namespace pavlex::python {

// A command line that failed. `what()` is the message as the pavlex command
// reports it: "where: reason", and further lines when a dialog it opened
// failed too.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(const std::string& message, std::string origin, int line, std::string reason)
      : std::runtime_error(message), origin_(std::move(origin)), line_(line), reason_(std::move(reason)) {}
  const std::string& origin() const { return origin_; }
  int line() const { return line_; }  // 1-based, in the script given to run()
  const std::string& reason() const { return reason_; }

 private:
  std::string origin_;
  int line_ = 0;
  std::string reason_;
};

struct PythonSessionOptions {
  std::string settingsPath;  // empty: the pavlex command's default file
  std::string pluginPath;    // empty: the plug-in beside the host library
  bool persistSettings = true;
};

// What one run printed, and the warnings it gave (one line each, without
// the "warning: " lead).
struct RunResult {
  std::string printed;
  std::vector<std::string> warnings;
};

class PythonSession {
 public:
  // Starts the host and loads and activates the plug-in. Throws
  // std::runtime_error when another session runs in this process or the
  // plug-in cannot be loaded (nothing then stays running).
  explicit PythonSession(const PythonSessionOptions& options);
  // Unloads the plug-in and exits the host; the settings file is written
  // when it changed.
  ~PythonSession();
  PythonSession(const PythonSession&) = delete;
  PythonSession& operator=(const PythonSession&) = delete;

  // Runs a script of host commands as `pavlex -c` does: every line is
  // checked before the first one runs, the first error stops the rest, a
  // dialog takes the lines after the one that opened it, and a message box
  // is answered by an `answer` line or, when it has only OK, at once (the
  // command then fails with its message). Nothing ever waits for a person.
  // `origin` names the script in messages. Throws ScriptError.
  RunResult run(const std::string& script, const std::string& origin);

  // The object `name` names (a slot number or an object name), or the
  // current one when `name` is empty. Throws commands::CommandError when
  // there is none.
  host::HostObject& object(const std::string& name);

  // Brackets direct writes to the document as one user command: one undo
  // step, then the redraw every command ends with (the plug-in's UV locks
  // apply again). Answers the history's notice, if any.
  std::string edit(const std::function<void()>& write);

  host::HostSession& session() { return *session_; }
  host::LoadedPlugin& plugin() { return *plugin_; }

 private:
  std::unique_ptr<host::HostSession> session_;
  host::LoadedPlugin* plugin_ = nullptr;
};

}  // namespace pavlex::python

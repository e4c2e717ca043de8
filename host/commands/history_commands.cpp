// undo, redo: the host's edit history (host/history/), one step per
// command that changed the document.
#include <string>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"

namespace pavlex::commands {
namespace {

void StepThroughHistory(CommandInterpreter& in, bool undoing) {
  const char* verb = undoing ? "undo" : "redo";
  // Inside a dialog the command that opened it is still running: its
  // changes are not a step yet.
  if (in.dialogOpen()) {
    throw CommandError(std::string("cannot ") + verb + " while the dialog '" + in.dialogTitle() +
                       "' is open; close it first");
  }
  std::string error;
  const bool done = undoing ? in.session().undo(&error) : in.session().redo(&error);
  if (!done) throw CommandError(error);
}

}  // namespace

bool RecordsNoStep(const std::string& name) {
  return name == "undo" || name == "redo";
}

void RunUndo(CommandInterpreter& in, const Words&) {
  StepThroughHistory(in, true);
}

void RunRedo(CommandInterpreter& in, const Words&) {
  StepThroughHistory(in, false);
}

}  // namespace pavlex::commands

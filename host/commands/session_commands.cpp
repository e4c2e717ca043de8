// help, quit: the command language itself.
#include <string>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"

namespace pavlex::commands {

void RunHelp(CommandInterpreter& in, const Words& words) {
  if (!PrintCommandHelp(in.out(), words.size() > 1 ? words[1] : std::string())) {
    throw CommandError("no command '" + words[1] + "'; `help` lists them");
  }
}

void RunQuit(CommandInterpreter& in, const Words&) {
  if (in.dialogOpen()) throw CommandError("the dialog '" + in.dialogTitle() + "' is open; close it first");
  in.quit();
}

}  // namespace pavlex::commands

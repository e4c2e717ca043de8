// activate, deactivate, press, click, check, set, minimize, restore, draw:
// the plug-in as a user reaches it, through the host driver.
#include <string>

#include "host/commands/command_families.h"
#include "host/commands/command_interpreter.h"
#include "host/commands/command_parser.h"

namespace pavlex::commands {
namespace {

uint32_t ClickModifiers(const Words& words) {
  if (words.size() < 3) return host::kNoModifier;
  if (words[2] == "ctrl") return host::kCtrl;
  if (words[2] == "shift") return host::kShift;
  throw CommandError("'" + words[2] + "' is not a key to hold (ctrl or shift)");
}

void Require(const host::CommandResult& result) {
  if (!result) throw CommandError(result.error);
}

}  // namespace

void RunActivate(CommandInterpreter& in, const Words&) {
  in.session().activate(in.plugin());
}

void RunDeactivate(CommandInterpreter& in, const Words&) {
  in.session().deactivate(in.plugin());
}

void RunDraw(CommandInterpreter& in, const Words&) {
  in.session().draw();
}

void RunPress(CommandInterpreter& in, const Words& words) {
  Require(in.driver().press(words[1]));
}

void CheckClick(const Words& words) {
  ClickModifiers(words);
}

void RunClick(CommandInterpreter& in, const Words& words) {
  Require(in.driver().click(words[1], ClickModifiers(words)));
}

void CheckCheck(const Words& words) {
  if (words[2] != "on" && words[2] != "off") throw CommandError("check takes on or off, not '" + words[2] + "'");
}

void RunCheck(CommandInterpreter& in, const Words& words) {
  Require(in.driver().check(words[1], words[2] == "on"));
}

void RunSet(CommandInterpreter& in, const Words& words) {
  Require(in.driver().set(words[1], std::string_view(words[2])));
}

void RunMinimize(CommandInterpreter& in, const Words& words) {
  Require(in.driver().minimize(words[1]));
}

void RunRestore(CommandInterpreter& in, const Words& words) {
  Require(in.driver().restore(words[1]));
}

}  // namespace pavlex::commands

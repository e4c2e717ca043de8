// The host command language: one table row per command. The interpreter
// runs a command through its row, the dry-run check before a script starts
// reads the same row, and `help` and `pavlex --help` print it, so a command
// cannot be known to one and not the others.
#pragma once

#include <string>
#include <vector>

#include "host/commands/text_sink.h"

namespace pavlex::commands {

class CommandInterpreter;
using Words = std::vector<std::string>;  // the command's words, its name first

constexpr int kAnyCount = -1;

struct CommandRow {
  const char* name;  // the first word
  int leastArguments;  // words after the name
  int mostArguments;   // kAnyCount: no limit
  // The whole command with its arguments, and what it does in one line.
  // A command with several forms has one line per form in each, separated
  // by '\n'; usage errors quote the first form.
  const char* usage;
  const char* help;
  // Checks the words beyond their count without touching the host (names of
  // kinds, numbers, options); throws CommandError. Null: the count says all.
  void (*check)(const Words& words);
  // Runs the checked command; throws CommandError.
  void (*run)(CommandInterpreter& interpreter, const Words& words);
  // True for the commands that act inside a running modal dialog (its
  // widgets, an answer) or only read (print, help). Everything else would
  // change the document under a dialog that is still working on it, and is
  // refused until the dialog closes.
  bool inDialog = false;
};

// Every command, in the order help lists them.
const std::vector<CommandRow>& CommandTable();
// The row of a first word (synonyms included: "exit" is "quit"); null when none.
const CommandRow* FindCommand(const std::string& name);
// Every first word the language knows, synonyms last.
std::vector<std::string> CommandNames();

// Throws CommandError("usage: ...") with the first form of `name`.
[[noreturn]] void ThrowUsage(const std::string& name);
// Throws the usage of words[0] unless it has `least`..`most` words in all
// (kAnyCount: no limit).
void NeedCount(const Words& words, int least, int most);

// Prints the forms of every command, or of those named `topic`, with the
// notes on paths and quoting after the full list; false when no command has
// that name.
bool PrintCommandHelp(const TextSink& out, const std::string& topic);
// The forms of every command as "  usage\n      help\n" pairs, for a
// program's --help.
std::string CommandHelpText();

}  // namespace pavlex::commands

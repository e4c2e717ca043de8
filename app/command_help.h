// What `help`, `--help` and the README say about each host command.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pavlex::app {

struct CommandHelp {
  const char* verb;      // the first word
  const char* synopsis;  // the whole command with its arguments
  const char* summary;   // one line
};

// Every command, in the order help lists them.
const std::vector<CommandHelp>& CommandHelpTable();
// The first words the runner knows.
std::vector<std::string> CommandVerbs();
// Prints the synopses of every command, or of those whose verb is `topic`;
// false when no command has that verb.
bool PrintCommandHelp(std::FILE* out, const std::string& topic);

}  // namespace pavlex::app

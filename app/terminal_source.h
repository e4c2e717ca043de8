// Host commands typed by a person at a terminal.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/commands/command_script.h"

namespace pavlex::app {

// A person at a terminal: prompts on `prompt`, reads `in` a line at a time;
// a line may hold several commands separated by ';'.
class TerminalSource : public commands::CommandSource {
 public:
  TerminalSource(std::FILE* in, std::FILE* prompt) : in_(in), prompt_(prompt) {}
  bool next(commands::ScriptLine* out) override;
  bool interactive() const override { return true; }
  void setContext(const std::string& context) override { context_ = context; }

 private:
  std::FILE* in_;
  std::FILE* prompt_;
  std::string context_;
  std::vector<commands::ScriptLine> pending_;
  size_t position_ = 0;
  int lineNumber_ = 0;
};

}  // namespace pavlex::app

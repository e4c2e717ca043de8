// Where host commands come from: script text split into one command each
// (the ';', newline and '#' rules of the command language), pulled one at a
// time by the interpreter. Front ends add their own sources (a terminal, a
// console pane).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pavlex::commands {

// One command and where it was written, for messages ("fix.txt:12").
struct ScriptLine {
  std::string text;    // the command, without its separator
  std::string origin;  // the script's name: a file name, "-c", "-c#2", "<stdin>"
  int line = 0;        // 1-based line of `text` in its script
  std::string where() const { return origin + ":" + std::to_string(line); }
};

// Splits a script into commands. Newlines and ';' outside quotes end a
// command; blank commands and lines whose first non-blank is '#' are
// dropped ('#' elsewhere belongs to the text: widget paths such as "Move#2"
// contain it). A quote left open runs to the end of its line, where the
// tokenizer reports it.
std::vector<ScriptLine> SplitScript(const std::string& text, const std::string& origin);

// The commands a run executes, pulled one at a time, so that a dialog a
// command opened can take the commands that follow it.
class CommandSource {
 public:
  virtual ~CommandSource() = default;
  // The next command; false at the end.
  virtual bool next(ScriptLine* out) = 0;
  // True when a person types the commands: errors are reported and the
  // run goes on, and `context` names what the prompt shows.
  virtual bool interactive() const { return false; }
  virtual void setContext(const std::string& /*context*/) {}
};

// Commands known in advance (every -c and -s of one run, in order).
class ScriptQueue : public CommandSource {
 public:
  explicit ScriptQueue(std::vector<ScriptLine> lines) : lines_(std::move(lines)) {}
  bool next(ScriptLine* out) override;
  const std::vector<ScriptLine>& lines() const { return lines_; }

 private:
  std::vector<ScriptLine> lines_;
  size_t position_ = 0;
};

}  // namespace pavlex::commands

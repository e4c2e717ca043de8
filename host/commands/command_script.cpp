#include "host/commands/command_script.h"

namespace pavlex::commands {

std::vector<ScriptLine> SplitScript(const std::string& text, const std::string& origin) {
  std::vector<ScriptLine> out;
  std::string current;
  int line = 1;
  int commandLine = 1;
  char quote = 0;
  auto flush = [&] {
    const size_t first = current.find_first_not_of(" \t\r\f\v");
    if (first != std::string::npos && current[first] != '#') {
      const size_t last = current.find_last_not_of(" \t\r\f\v");
      out.push_back({current.substr(first, last - first + 1), origin, commandLine});
    }
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      // A quote never spans lines: the tokenizer reports it unterminated.
      quote = 0;
      flush();
      ++line;
      commandLine = line;
      continue;
    }
    if (quote != 0) {
      if (c == '\\' && quote == '"' && i + 1 < text.size() && text[i + 1] != '\n') {
        current += c;
        current += text[++i];
        continue;
      }
      if (c == quote) quote = 0;
      current += c;
      continue;
    }
    if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      flush();
      commandLine = line;
      continue;
    } else if (c == '#' && current.find_first_not_of(" \t\r\f\v") == std::string::npos) {
      // A comment runs to the end of its line.
      while (i + 1 < text.size() && text[i + 1] != '\n') ++i;
      current.clear();
      continue;
    }
    current += c;
  }
  flush();
  return out;
}

bool ScriptQueue::next(ScriptLine* out) {
  if (position_ >= lines_.size()) return false;
  *out = lines_[position_++];
  return true;
}

}  // namespace pavlex::commands

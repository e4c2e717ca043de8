#include "app/script_source.h"

namespace pavlex::app {

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

bool TerminalSource::next(ScriptLine* out) {
  while (position_ >= pending_.size()) {
    std::fprintf(prompt_, "%s> ", context_.empty() ? "pavlex" : context_.c_str());
    std::fflush(prompt_);
    std::string text;
    int c = 0;
    while ((c = std::fgetc(in_)) != EOF && c != '\n') text += static_cast<char>(c);
    if (c == EOF && text.empty()) {
      std::fputc('\n', prompt_);
      return false;
    }
    ++lineNumber_;
    pending_ = SplitScript(text, "<stdin>");
    for (ScriptLine& line : pending_) line.line = lineNumber_;
    position_ = 0;
  }
  *out = pending_[position_++];
  return true;
}

}  // namespace pavlex::app

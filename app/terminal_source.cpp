#include "app/terminal_source.h"

#include <cstdio>

namespace pavlex::app {

bool TerminalSource::next(commands::ScriptLine* out) {
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
    pending_ = commands::SplitScript(text, "<stdin>");
    for (commands::ScriptLine& line : pending_) line.line = lineNumber_;
    position_ = 0;
  }
  *out = pending_[position_++];
  return true;
}

}  // namespace pavlex::app

#include "app/line_editor.h"

#include <histedit.h>

#include <algorithm>
#include <clocale>
#include <cstring>

#include "app/prompt_history.h"

namespace pavlex::app {

LineEditorSource::LineEditorSource(std::FILE* in, std::FILE* out, std::string historyPath, CompletionSources sources)
    : out_(out), historyPath_(std::move(historyPath)), sources_(std::move(sources)) {
  // libedit reads and writes characters in the locale's encoding: UTF-8
  // names must stay whole characters under the cursor.
  std::setlocale(LC_CTYPE, "");
  editor_ = el_init("pavlex", in, out, stderr);
  history_ = history_init();
  HistEvent event;
  history(history_, &event, H_SETSIZE, static_cast<int>(kHistoryEntries));
  for (const std::string& entry : ReadHistory(historyPath_)) history(history_, &event, H_ENTER, entry.c_str());
  el_set(editor_, EL_CLIENTDATA, this);
  el_set(editor_, EL_EDITOR, "emacs");
  el_set(editor_, EL_HIST, history, history_);
  el_set(editor_, EL_PROMPT, &LineEditorSource::Prompt);
  // Ctrl-C, Ctrl-Z and a resized window behave as the shell has them.
  el_set(editor_, EL_SIGNAL, 1);
  // The wide call keeps these static names as they are; the narrow one
  // copies them and never frees the copies.
  el_wset(editor_, EL_ADDFN, L"pavlex-complete", L"complete a command, widget path or file name",
          &LineEditorSource::Complete);
  el_set(editor_, EL_BIND, "^I", "pavlex-complete", nullptr);
  el_set(editor_, EL_BIND, "^R", "em-inc-search-prev", nullptr);
  // A person's own ~/.editrc has the last word on keys.
  el_source(editor_, nullptr);
}

LineEditorSource::~LineEditorSource() {
  el_end(editor_);
  history_end(history_);
}

char* LineEditorSource::Prompt(editline* editor) {
  void* data = nullptr;
  el_get(editor, EL_CLIENTDATA, &data);
  auto* self = static_cast<LineEditorSource*>(data);
  self->prompt_ = (self->context_.empty() ? std::string("pavlex") : self->context_) + "> ";
  return self->prompt_.data();
}

unsigned char LineEditorSource::Complete(editline* editor, int /*key*/) {
  void* data = nullptr;
  el_get(editor, EL_CLIENTDATA, &data);
  auto* self = static_cast<LineEditorSource*>(data);
  const LineInfo* line = el_line(editor);
  const std::string before(line->buffer, static_cast<size_t>(line->cursor - line->buffer));
  const Completion completion = CompleteAtCursor(before, self->sources_);
  const std::string typed = before.substr(completion.start);
  if (completion.replacement == typed) {
    if (completion.choices.empty()) return CC_REFRESH_BEEP;
    self->listChoices(completion.choices);
    return CC_REDISPLAY;
  }
  el_deletestr(editor, static_cast<int>(typed.size()));
  el_insertstr(editor, completion.replacement.c_str());
  return CC_REFRESH;
}

void LineEditorSource::listChoices(const std::vector<std::string>& choices) {
  // Columns as wide as the longest choice, as many as fit in 80.
  size_t width = 0;
  for (const std::string& choice : choices) width = std::max(width, choice.size() + 2);
  const size_t columns = std::max<size_t>(1, 80 / width);
  std::fputc('\n', out_);
  for (size_t i = 0; i < choices.size(); ++i) {
    const bool lineEnds = (i + 1) % columns == 0 || i + 1 == choices.size();
    std::fprintf(out_, "%-*s", lineEnds ? 0 : static_cast<int>(width), choices[i].c_str());
    if (lineEnds) std::fputc('\n', out_);
  }
  std::fflush(out_);
}

bool LineEditorSource::next(commands::ScriptLine* out) {
  while (position_ >= pending_.size()) {
    int count = 0;
    const char* read = el_gets(editor_, &count);
    if (read == nullptr || count <= 0) {
      std::fputc('\n', out_);
      std::fflush(out_);
      return false;
    }
    std::string text(read, static_cast<size_t>(count));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    ++lineNumber_;
    // The blank a completion leaves at the end is no part of the command.
    const std::string entry = text.substr(0, text.find_last_not_of(" \t") + 1);
    if (!entry.empty() && entry != lastEntry_) {
      HistEvent event;
      history(history_, &event, H_ENTER, entry.c_str());
      lastEntry_ = entry;
      std::string error;
      if (!historyPath_.empty() && !historyFailed_ && !AddToHistory(historyPath_, entry, &error)) {
        historyFailed_ = true;
        std::fprintf(stderr, "pavlex: warning: the history is not kept: %s\n", error.c_str());
      }
    }
    pending_ = commands::SplitScript(text, "<stdin>");
    for (commands::ScriptLine& line : pending_) line.line = lineNumber_;
    position_ = 0;
  }
  *out = pending_[position_++];
  return true;
}

}  // namespace pavlex::app

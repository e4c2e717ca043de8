// Host commands typed at a terminal with line editing (libedit): the arrow
// keys move and recall, Ctrl-R searches what was typed before, Tab
// completes, and every line typed goes into the history file for the next
// run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/completion.h"
#include "host/commands/command_script.h"

struct editline;
struct history;

namespace pavlex::app {

class LineEditorSource : public commands::CommandSource {
 public:
  // Reads `in` (a terminal), draws on `out`. `historyPath` may be empty (no
  // history kept across runs).
  LineEditorSource(std::FILE* in, std::FILE* out, std::string historyPath, CompletionSources sources);
  ~LineEditorSource() override;
  LineEditorSource(const LineEditorSource&) = delete;
  LineEditorSource& operator=(const LineEditorSource&) = delete;

  bool next(commands::ScriptLine* out) override;
  bool interactive() const override { return true; }
  void setContext(const std::string& context) override { context_ = context; }

 private:
  static char* Prompt(editline* editor);
  static unsigned char Complete(editline* editor, int key);
  void listChoices(const std::vector<std::string>& choices);

  std::FILE* out_;
  std::string historyPath_;
  CompletionSources sources_;
  editline* editor_ = nullptr;
  history* history_ = nullptr;
  std::string context_;
  std::string prompt_;
  std::string lastEntry_;
  bool historyFailed_ = false;  // said once; the prompt goes on without it
  std::vector<commands::ScriptLine> pending_;
  size_t position_ = 0;
  int lineNumber_ = 0;
};

}  // namespace pavlex::app

// Runs host commands against a running host session with the Pavlex
// plug-in loaded, as a person at the host would: document and selection
// commands change the host's document directly; everything the plug-in
// does starts with a widget event. It also answers the host's modal runs
// (dialogs, message boxes, save-file dialogs) with the commands that follow
// the one that opened them.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/script_source.h"
#include "host/app/host_session.h"
#include "host/obj/obj_file.h"

namespace pavlex::app {

class CommandRunner : public host::ModalDriver {
 public:
  // `session` and `plugin` must outlive the runner; `out` takes `print`.
  CommandRunner(host::HostSession& session, host::LoadedPlugin& plugin, std::FILE* out);

  // Makes `import` the host's document (event 201 for the old one, then a
  // redraw); `path` is where a plain `save` writes, empty for none.
  void takeDocument(host::ObjImport import, std::string path);
  // Reads an OBJ file into the host; false with a one-line reason.
  bool openFile(const std::string& path, std::string* error);
  // Writes the document as OBJ (+ MTL) atomically; false with a reason.
  bool saveFile(const std::string& path, std::string* error);

  // Checks every command's words (command names, argument counts, numbers)
  // without running anything. Answers the first problem as
  // "script:line: message", or nothing.
  std::optional<std::string> check(const std::vector<ScriptLine>& lines);

  // Runs the commands `source` gives until it ends or a `quit`. From a
  // script the first error stops the run; at a terminal errors are
  // reported and the next command is read. Every error goes to stderr as
  // "pavlex: script:line: message". False when a script stopped on one.
  bool run(CommandSource& source);

  // host::ModalDriver: the commands after the one that opened the modal
  // run answer it. A script that ends inside it is an error.
  void runModal(host::HostSession& session, int32_t dialog) override;
  int32_t messageBox(host::HostSession& session, const host::MessageBoxRequest& box) override;
  bool saveFile(host::HostSession& session, host::SaveFileRequest& request) override;

 private:
  struct Modal {
    int32_t dialog = 0;
    std::string title;
    ScriptLine openedBy;
    bool closed = false;
  };

  // Runs one command; reports or records its error.
  void runLine(const ScriptLine& line);
  // Parses `words` and, unless `dry`, runs them. Throws CommandError.
  void execute(const std::vector<std::string>& words, bool dry);
  void documentCommand(const std::vector<std::string>& words, bool dry);
  void visibilityCommand(const std::vector<std::string>& words, bool dry);
  void selectCommand(const std::vector<std::string>& words, bool dry);
  void widgetCommand(const std::vector<std::string>& words, bool dry);
  void printCommand(const std::vector<std::string>& words, bool dry);
  void answerCommand(const std::vector<std::string>& words, bool dry);
  void layoutCommand(const std::vector<std::string>& words, bool dry);

  // The next command for a modal run opened by `opener`; false (after
  // recording an error) when the script ended or moved on to another
  // script.
  bool nextInside(const ScriptLine& opener, const std::string& what, ScriptLine* line);
  void fail(const ScriptLine& line, const std::string& message);
  bool stopped() const { return failed_ || quit_; }

  host::HostObject& currentObject();
  int32_t objectSlot(const std::string& word);
  int32_t materialSlot(const std::string& word);
  // The session's reason, with the nearest paths the user can reach.
  std::string unknownPath(const std::string& path, const std::string& reason,
                          const std::vector<host::WidgetKind>& kinds) const;
  std::vector<host::WidgetPathEntry> reachablePaths() const;
  // After a press or click inside a dialog: did that button close it?
  void noteModalButton(int32_t button);

  host::HostSession& session_;
  host::LoadedPlugin& plugin_;
  std::FILE* out_;
  std::string documentPath_;
  std::unique_ptr<host::ObjSource> documentSource_;

  CommandSource* source_ = nullptr;
  ScriptLine current_;
  std::vector<Modal> modals_;  // innermost last
  // The dialog commands a shorthand (`layout`) stands for; a modal run
  // takes them before the source's next command.
  std::vector<ScriptLine> injected_;
  bool failed_ = false;
  bool quit_ = false;
};

}  // namespace pavlex::app

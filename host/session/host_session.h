// The running stand-in host: one per process at a time. It owns the current
// document, the loaded plug-ins, the widget service, the settings service
// and the modal driver, and it is what the exported service functions
// (MQWidget_Value, MQXmlElem_Value, MQ_SendMessage, MQ_RefreshView) reach.
// Without a session those functions answer 0 and touch nothing.
//
// Driving it as a user does (press, click, check, set by widget path) is
// the HostDriver's job (host/driver/); the session offers the driver the
// modal stack and the end of a user's command.
//
// Events the session sends to plug-ins (MQOnEvent):
//   1   after a plug-in is loaded;     2   before it is unloaded;
//   100 (int flag) then 101 on activation and deactivation;
//   110 after every command that ran a plug-in handler (it may have changed
//       the document), after draw(), after MQ_RefreshView, after the
//       document was replaced and after an undo or redo;
//   201 before the document is closed or replaced.
// Nothing else is sent.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/document/host_document.h"
#include "host/history/edit_history.h"
#include "host/obj/obj_file.h"
#include "host/plugin/plugin_loader.h"
#include "host/session/modal_driver.h"
#include "host/settings/settings_file.h"
#include "host/widgets/widget_types.h"
#include "hostapi/mq_types.h"

namespace pavlex::host {

class WidgetService;
class SettingsService;

struct HostSessionOptions {
  // The settings file read at start and written at exit; empty means
  // DefaultSettingsPath() ($XDG_CONFIG_HOME/pavlex/settings.xml, else
  // ~/.config/pavlex/settings.xml).
  std::string settingsPath;
  // False keeps the settings in memory only: nothing is read or written.
  // Tests that do not test the settings file use this.
  bool persistSettings = true;
  // Answers modal runs; not owned, must outlive the session. Null: the
  // ModalDriver defaults (close, cancel).
  ModalDriver* modalDriver = nullptr;
  // Where the host reports problems people should know of (a damaged
  // settings file, a failed save); not owned. Null: stderr.
  std::ostream* diagnostics = nullptr;
  // False stands in for a host without a plug-in settings service: message
  // 505 is answered but leaves the "pluginsettings" slot null.
  bool offerPluginSettings = true;
  // The most the undo history keeps, in bytes; the oldest steps go first.
  // 0 switches the history off.
  size_t historyByteLimit = EditHistory::kDefaultByteLimit;
};

class HostSession {
 public:
  // Starts the host: reads the settings file (a damaged one is reported once
  // on stderr, kept beside it as <file>.damaged, and replaced by fresh
  // settings), creates the host's main window and an empty document. Throws
  // std::logic_error when another session is running.
  explicit HostSession(HostSessionOptions options = {});
  // Exits the host: unloads every plug-in (event 2 first, newest first),
  // then saves the settings when they changed (errors go to stderr).
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  // The running session, null when none.
  static HostSession* Current();

  // --- the document ----------------------------------------------------------
  HostDocument& document() { return *document_; }
  MQDocument documentHandle();
  // Sends 201 for the current document, takes `document` in its place (a
  // null one means a new empty document) and redraws (110). The new
  // document came from no file: a save needs a path, and writes it afresh.
  void replaceDocument(std::unique_ptr<HostDocument> document);
  // Inside a user command the old document goes into the command's undo
  // step; outside one nothing could undo to it, so the history is cleared.
  //
  // The same for a document read from OBJ text: its source image is kept
  // beside it, so saves stay lossless. `path` is where a save without a
  // path writes; empty for none.
  void replaceDocument(ObjImport import, std::string path);
  void closeDocument() { replaceDocument(nullptr); }
  // Reads an OBJ file (and its MTL libraries) and makes it the document.
  // False with a one-line reason, the old document untouched, when it
  // cannot be read. Warnings of a successful read go to `warnings` (may be
  // null).
  bool openDocument(const std::string& path, std::string* error, std::vector<std::string>* warnings = nullptr);
  // Writes the document as OBJ (+ MTL) atomically, patching the file it was
  // read from while only UVs changed. An empty `path` means documentPath().
  // On success `path` becomes documentPath(); on failure the old files stay
  // and `error` holds one line.
  bool saveDocument(const std::string& path, std::string* error);
  // Where the document was opened from or saved to last; empty for none.
  const std::string& documentPath() const { return documentPath_; }
  // The image of the OBJ file the document was read from; null when it
  // came from no file.
  const ObjSource* documentSource() const { return documentSource_.get(); }

  // --- plug-ins --------------------------------------------------------------
  // Loads the plug-in at `path` and initialises it (event 1). Null, with a
  // one-line reason in `error`, when it cannot be loaded or its
  // initialisation answers false (it is then unloaded again).
  LoadedPlugin* loadPlugin(const std::string& path, std::string* error);
  // Sends 2, removes every widget and event handler the plug-in left in
  // the host, and unloads it. False for a plug-in this session did not load,
  // and while the plug-in's own code is running (a modal driver inside one
  // of its dialogs): its library cannot go from under it.
  bool unloadPlugin(const LoadedPlugin* plugin);
  std::vector<LoadedPlugin*> plugins() const;

  // Switches the plug-in on or off as the user does from the host's command
  // list: event 100 with the flag, then 101, whose answer the host records.
  // Answers the recorded state.
  bool activate(const LoadedPlugin& plugin);
  bool deactivate(const LoadedPlugin& plugin);
  // The host's record: set by activate(), cleared by deactivate() and by
  // the plug-in's message 100.
  bool isActive(const LoadedPlugin& plugin) const;

  // Redraws the views: event 110 to every initialised plug-in.
  void draw();
  // The main window, the host-owned parent of plug-in windows.
  int32_t mainWindow() const;

  // --- modal runs and user commands, for drivers -------------------------------
  // The innermost dialog running modally, 0 when none. While it runs, a user
  // reaches nothing else.
  int32_t runningDialog() const;
  // True once the innermost dialog was closed and its run is about to end.
  bool runningDialogClosed() const;
  // Closes the innermost running dialog with `result` (MQMODALRESULT_*), as
  // a button with that "modalresult" or its close box does. Nothing when no
  // dialog runs or it was closed already.
  void closeRunningDialog(int32_t result);
  // A driver calls this after every user command it performed: the views
  // redraw (110) when a plug-in handler ran or a redraw waits, and
  // documents replaced during the command are freed once no plug-in is
  // being called.
  void finishCommand(bool handlersRan);

  // --- the history -------------------------------------------------------------
  // Brackets one user command, and may nest (a press inside a dialog that a
  // command opened): the outermost pair records at most one undo step,
  // kept when the document changed. endCommand() answers a notice for the
  // user when the history had to be cleared, else nothing.
  void beginCommand();
  std::string endCommand();
  // beginCommand() and endCommand() around a scope; a notice goes to the
  // diagnostics stream.
  class CommandScope {
   public:
    explicit CommandScope(HostSession& session) : session_(session) { session_.beginCommand(); }
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

   private:
    HostSession& session_;
  };
  // Puts back the document as it was before the last recorded command (or
  // after the last undone one), then redraws (110), so the plug-ins' UV
  // locks apply again as after any command. False with a reason ("nothing to
  // undo") when there is none, or while a command or dialog is running.
  bool undo(std::string* error);
  bool redo(std::string* error);
  EditHistory& history() { return *history_; }

  // --- services --------------------------------------------------------------
  // The exported service functions arrive here. MQ_RefreshView redraws at
  // once, or, while a plug-in is being called, when the command ends.
  static void RefreshView();
  static MQBOOL SendMessage(int32_t message, void* record);
  // How many MQ_SendMessage calls with `code` reached this session, whatever
  // their answer: a flag cannot tell one message from two.
  int32_t messageCount(int32_t code) const;
  WidgetService& widgets() { return *widgets_; }
  const WidgetService& widgets() const { return *widgets_; }
  SettingsService& settings() { return *settings_; }
  // Replaces the modal driver (not owned; null: the defaults).
  void setModalDriver(ModalDriver* driver);
  // Writes the settings file now (atomically). False with a reason when it
  // could not; the old file is then untouched.
  bool saveSettings(std::string* error);

 private:
  struct PluginRecord;
  struct ModalRun;
  class Services;
  class Holder;
  bool stepThroughHistory(bool undoing, std::string* error);

  PluginRecord* recordOf(const LoadedPlugin* plugin) const;
  MQBOOL sendEvent(PluginRecord& record, int32_t code, void* option);
  void sendToAll(int32_t code);
  int32_t runModal(int32_t dialog);
  void refreshView();
  MQBOOL receiveMessage(int32_t code, void* record);
  ModalDriver& driver();
  std::ostream& diagnostics();

  HostSessionOptions options_;
  std::string settingsPath_;  // empty: settings in memory only
  bool settingsBlocked_ = false;
  std::unique_ptr<HostDocument> document_;
  // The image of the file the document was read from, for lossless saves;
  // null for a document from no file.
  std::unique_ptr<ObjSource> documentSource_;
  std::string documentPath_;
  // Documents replaced while a plug-in was being called: it may still hold
  // their handle until its call returns.
  std::vector<std::unique_ptr<HostDocument>> retired_;
  std::unique_ptr<Services> services_;
  std::unique_ptr<WidgetService> widgets_;
  std::unique_ptr<SettingsService> settings_;
  std::vector<std::unique_ptr<PluginRecord>> plugins_;
  std::vector<const void*> callStack_;  // the plug-ins being called, innermost last
  std::vector<ModalRun> modalRuns_;     // innermost last
  bool drawing_ = false;
  bool redrawPending_ = false;
  std::map<int32_t, int32_t> messageCounts_;  // message code -> calls
  std::unique_ptr<EditHistory> history_;
  int commandDepth_ = 0;  // user commands running, nested ones included
};

}  // namespace pavlex::host

// The running stand-in host: one per process at a time. It owns the current
// document, the loaded plug-ins, the widget service, the settings service
// and the modal driver, and it is what the exported service functions
// (MQWidget_Value, MQXmlElem_Value, MQ_SendMessage, MQ_RefreshView) reach.
// Without a session those functions answer 0 and touch nothing.
//
// It is also the driving API of the host: tests, scripts and the command
// line press buttons, tick boxes, type values and redraw through it, and
// the host raises the widget events and host events a real modeller would.
//
// Events the session sends to plug-ins (MQOnEvent):
//   1   after a plug-in is loaded;     2   before it is unloaded;
//   100 (int flag) then 101 on activation and deactivation;
//   110 after every command that ran a plug-in handler (it may have changed
//       the document), after draw(), after MQ_RefreshView and after the
//       document was replaced;
//   201 before the document is closed or replaced.
// Nothing else is sent.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "host/app/modal_driver.h"
#include "host/document/host_document.h"
#include "host/plugin/plugin_loader.h"
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
};

// Modifier bits of click(), as the "button_state" of mouse events has them.
enum ClickModifier : uint32_t {
  kNoModifier = 0,
  kShift = 0x04,
  kCtrl = 0x08,
};

// The outcome of one driving command.
struct CommandResult {
  bool done = false;     // the path named a widget that could take the command, and it did
  bool handled = false;  // a plug-in handler answered true
  std::string error;     // why not done: one line for people, naming the path
  explicit operator bool() const { return done; }
};

// One named widget of listPaths().
struct WidgetPathEntry {
  std::string window;  // the title of its window or dialog, UTF-8
  std::string path;
  int32_t id = 0;
  WidgetKind kind = WidgetKind::kFrame;
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
  // null one means a new empty document) and redraws (110).
  void replaceDocument(std::unique_ptr<HostDocument> document);
  void closeDocument() { replaceDocument(nullptr); }

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

  // --- driving, as a user does -----------------------------------------------
  // A path names a widget inside one window or dialog (see the README,
  // "Widget paths"): "Grab/Gather". It may start with the window's title and
  // "::" ("Pavlex::Grab/Gather"). Without a title, a running modal dialog is
  // the only place a user can reach; otherwise every shown window is
  // searched and the path must name a widget in exactly one of them.
  // Hidden windows cannot be driven.
  //
  // When one path names several widgets (a button and the spin box after
  // it), each command takes the kind it acts on: press and click a button,
  // check a check box, set a spin box or an edit, minimize and restore a
  // group box.

  // Activates a button as the keyboard does: its "execute" event.
  CommandResult press(std::string_view path);
  // A left click on a button or check box: "leftdown" (button_state 0x01 |
  // modifiers), "leftup" (modifiers), then, unless a handler answered true
  // to either, what the click does: "execute" on a button, or toggling
  // "checked" and "execute" on a check box.
  CommandResult click(std::string_view path, uint32_t modifiers = kNoModifier);
  // Ticks or clears a check box as a click would ("execute"); nothing
  // happens when it is already in that state.
  CommandResult check(std::string_view path, bool on);
  // Types a value into a spin box or an edit and commits it: the value is
  // parsed for the widget's type, clamped to its "min".."max" and rounded to
  // its "decimaldigit" (when set) on spin boxes, then "changing" and
  // "execute" are raised.
  CommandResult set(std::string_view path, std::string_view value);
  CommandResult set(std::string_view path, double value);
  // Folds or unfolds a group box whose "canminimize" is set; raises
  // "resize" when its state changed.
  CommandResult minimize(std::string_view path);
  CommandResult restore(std::string_view path);
  // Closes a shown window or dialog as the user does: "visible" becomes
  // false and its "hide" event is raised. Takes the window's title.
  CommandResult hideWindow(std::string_view title);
  // Redraws the views: event 110 to every initialised plug-in.
  void draw();

  // --- looking at the widgets ------------------------------------------------
  // The main window, the host-owned parent of plug-in windows.
  int32_t mainWindow() const;
  // The newest window or dialog with that title (UTF-8), 0 when none.
  int32_t findWindow(std::string_view title) const;
  // The widget a path names for `kind`, as the commands resolve it; 0 with
  // a reason in `error` when none.
  int32_t findWidget(std::string_view path, WidgetKind kind, std::string* error = nullptr) const;
  // Every named widget of every window and dialog, in window creation order
  // and then tree order.
  std::vector<WidgetPathEntry> listPaths() const;
  // The widget and its descendants; a snapshot of id 0 when the id is unknown.
  WidgetSnapshot snapshot(int32_t widget) const;
  // The same as indented text, one widget a line:
  //   groupbox #7 "Grab" {text="Grab", canminimize=true} [resize]
  std::string dumpTree(int32_t widget) const;

  // --- services --------------------------------------------------------------
  // The exported service functions arrive here. MQ_RefreshView redraws at
  // once, or, while a plug-in is being called, when the command ends.
  static void RefreshView();
  static MQBOOL SendMessage(int32_t message, void* record);
  WidgetService& widgets() { return *widgets_; }
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

  PluginRecord* recordOf(const LoadedPlugin* plugin) const;
  MQBOOL sendEvent(PluginRecord& record, int32_t code, void* option);
  void sendToAll(int32_t code);
  // Ends a driving command: redraws when a handler ran or a redraw waits.
  void finishCommand(bool handlersRan);
  int32_t runModal(int32_t dialog);
  void refreshView();
  MQBOOL receiveMessage(int32_t code, void* record);
  void closeModalWith(int32_t button);
  int32_t resolve(std::string_view path, std::initializer_list<WidgetKind> kinds, std::string* error) const;
  CommandResult setValue(std::string_view path, std::string_view text, const double* number);
  CommandResult fold(std::string_view path, bool minimized);
  ModalDriver& driver();
  std::ostream& diagnostics();

  HostSessionOptions options_;
  std::string settingsPath_;  // empty: settings in memory only
  bool settingsBlocked_ = false;
  std::unique_ptr<HostDocument> document_;
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
};

}  // namespace pavlex::host

// Drives the running host as a user does: names widgets by the texts a user
// sees (see the README, "Widget paths"), presses, clicks, ticks, types and
// folds them, and closes windows. Tests, the pavlex command and every
// other front end drive the host through this one class, so a widget path
// means the same thing everywhere.
//
// A driver holds no state of its own beyond the session it drives: any
// number may drive one session, and each command is complete when it
// returns (the session redraws as a modeller would after a user's action).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "host/session/host_session.h"
#include "host/widgets/widget_types.h"

namespace pavlex::host {

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

class HostDriver {
 public:
  // `session` must outlive the driver.
  explicit HostDriver(HostSession& session) : session_(session) {}

  HostSession& session() { return session_; }

  // --- driving, as a user does -----------------------------------------------
  // A path names a widget inside one window or dialog: "Grab/Gather". It
  // may start with the window's title and "::" ("Pavlex::Grab/Gather").
  // Without a title, a running modal dialog is the only place a user can
  // reach; otherwise every shown window is searched and the path must name
  // a widget in exactly one of them. Hidden windows cannot be driven.
  //
  // When one path names several widgets (a button and the spin box after
  // it), each command takes the kind it acts on: press and click a button,
  // check a check box, set a spin box or an edit, minimize and restore a
  // group box. A path that names nothing fails with the nearest paths of
  // that kind the user can reach: "no button named 'Snap/Q' (not in
  // 'Pavlex'); nearest: 'Snap/T', 'Snap/B' or 'Snap/L'".

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

  // --- looking at the widgets ------------------------------------------------
  // The newest window or dialog with that title (UTF-8), 0 when none.
  int32_t findWindow(std::string_view title) const;
  // The widget a path names for `kind`, as the commands resolve it; 0 with
  // a reason in `error` when none.
  int32_t findWidget(std::string_view path, WidgetKind kind, std::string* error = nullptr) const;
  // Every named widget of every window and dialog, in window creation order
  // and then tree order.
  std::vector<WidgetPathEntry> listPaths() const;
  // The named widgets a path without a title reaches now: those of the
  // running dialog, else of every shown window.
  std::vector<WidgetPathEntry> reachablePaths() const;
  // The widget and its descendants; a snapshot of id 0 when the id is unknown.
  WidgetSnapshot snapshot(int32_t widget) const;
  // The same as indented text, one widget a line:
  //   groupbox #7 "Grab" {text="Grab", canminimize=true} [resize]
  std::string dumpTree(int32_t widget) const;

 private:
  int32_t resolve(std::string_view path, std::initializer_list<WidgetKind> kinds, std::string* error) const;
  // The windows a path without a title reaches.
  std::vector<int32_t> reachableWindows() const;
  // After a button of the running dialog went: its "modalresult" closes it.
  void closeDialogBy(int32_t button);
  CommandResult setValue(std::string_view path, std::string_view text, const double* number);
  CommandResult fold(std::string_view path, bool minimized);

  HostSession& session_;
};

}  // namespace pavlex::host

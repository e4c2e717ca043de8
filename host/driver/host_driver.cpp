#include "host/driver/host_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "host/driver/path_suggestions.h"
#include "host/widgets/widget_dump.h"
#include "host/widgets/widget_paths.h"
#include "host/widgets/widget_properties.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"
#include "platform/text_conversion.h"

namespace pavlex::host {
namespace {

std::string KindList(std::initializer_list<WidgetKind> kinds) {
  std::string out;
  for (WidgetKind kind : kinds) out += (out.empty() ? "" : " or ") + std::string(WidgetKindName(kind));
  return out;
}

std::string TitleOf(const Widget& window) {
  return platform::Utf16ToUtf8(TextProperty(window, "title"));
}

// 'a', 'b' or 'c'
std::string QuotedChoice(const std::vector<std::string>& items) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    out += (i == 0 ? "'" : (i + 1 == items.size() ? " or '" : ", '")) + items[i] + "'";
  }
  return out;
}

// Parses all of `text` (blanks around allowed) as a number.
bool ParseNumber(std::string_view text, bool integral, double* out) {
  const std::string copy(text);
  const char* begin = copy.c_str();
  char* end = nullptr;
  const double value =
      integral ? static_cast<double>(std::strtol(begin, &end, 10)) : std::strtod(begin, &end);
  if (end == begin) return false;
  while (*end == ' ' || *end == '\t') ++end;
  if (*end != '\0' || !std::isfinite(value)) return false;
  *out = value;
  return true;
}

}  // namespace

// --- naming and resolving ----------------------------------------------------------

int32_t HostDriver::findWindow(std::string_view title) const {
  const WidgetTree& tree = session_.widgets().tree();
  const std::vector<int32_t> windows = tree.windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (TitleOf(*tree.find(*it)) == title) return *it;
  }
  return 0;
}

std::vector<WidgetPathEntry> HostDriver::listPaths() const {
  std::vector<WidgetPathEntry> out;
  const WidgetTree& tree = session_.widgets().tree();
  for (int32_t window : tree.windows()) {
    const std::string title = TitleOf(*tree.find(window));
    for (NamedWidget& named : NameWidgets(tree, window))
      out.push_back({title, named.path, named.id, named.kind});
  }
  return out;
}

std::vector<int32_t> HostDriver::reachableWindows() const {
  if (const int32_t dialog = session_.runningDialog()) return {dialog};
  const WidgetTree& tree = session_.widgets().tree();
  std::vector<int32_t> windows;
  for (int32_t window : tree.windows()) {
    if (window != session_.mainWindow() && BoolProperty(*tree.find(window), "visible")) windows.push_back(window);
  }
  return windows;
}

std::vector<WidgetPathEntry> HostDriver::reachablePaths() const {
  std::vector<WidgetPathEntry> out;
  const WidgetTree& tree = session_.widgets().tree();
  for (int32_t window : reachableWindows()) {
    const Widget* shown = tree.find(window);
    if (shown == nullptr || !BoolProperty(*shown, "visible")) continue;
    const std::string title = TitleOf(*shown);
    for (NamedWidget& named : NameWidgets(tree, window)) out.push_back({title, named.path, named.id, named.kind});
  }
  return out;
}

int32_t HostDriver::findWidget(std::string_view path, WidgetKind kind, std::string* error) const {
  return resolve(path, {kind}, error);
}

int32_t HostDriver::resolve(std::string_view path, std::initializer_list<WidgetKind> kinds,
                            std::string* error) const {
  const WidgetTree& tree = session_.widgets().tree();
  auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return 0;
  };
  auto shown = [&](int32_t window) { return BoolProperty(*tree.find(window), "visible"); };
  const int32_t running = session_.runningDialog();

  // Where a user can reach: the running dialog alone, else shown windows.
  std::vector<int32_t> scope;
  std::string_view rest = path;
  if (const size_t split = path.find("::"); split != std::string_view::npos) {
    const int32_t titled = findWindow(path.substr(0, split));
    if (titled != 0) {
      rest = path.substr(split + 2);
      if (running != 0 && running != titled) {
        return fail("'" + std::string(path) + "': the dialog '" + TitleOf(*tree.find(running)) +
                    "' is running, nothing else can be reached");
      }
      if (!shown(titled)) return fail("'" + std::string(path) + "': the window is hidden");
      scope.push_back(titled);
    }
  }
  if (scope.empty()) scope = reachableWindows();
  if (session_.runningDialogClosed()) return fail("'" + std::string(path) + "': the dialog has been closed");

  std::vector<std::pair<int32_t, int32_t>> found;  // (window, widget)
  std::vector<std::string> known;                  // paths of the asked kinds, for suggestions
  for (int32_t window : scope) {
    if (tree.find(window) == nullptr) continue;
    for (const NamedWidget& named : NameWidgets(tree, window)) {
      if (std::find(kinds.begin(), kinds.end(), named.kind) == kinds.end()) continue;
      if (named.path == rest) found.emplace_back(window, named.id);
      if (shown(window)) known.push_back(named.path);
    }
  }
  if (found.empty()) {
    std::string where = scope.empty() ? "no window is shown" : "not in";
    for (size_t i = 0; i < scope.size(); ++i) {
      if (tree.find(scope[i]) != nullptr)
        where += (i > 0 ? ", '" : " '") + TitleOf(*tree.find(scope[i])) + "'";
    }
    std::string why = "no " + KindList(kinds) + " named '" + std::string(rest) + "' (" + where + ")";
    if (!known.empty()) why += "; nearest: " + QuotedChoice(NearestPaths(std::string(rest), known, 3));
    return fail(why);
  }
  if (found.size() > 1) {
    return fail("'" + std::string(rest) + "' names a " + KindList(kinds) +
                " in several windows; put the title and :: before it");
  }

  // Only what a user can see can be driven.
  const int32_t id = found.front().second;
  for (const Widget* w = tree.find(id); w != nullptr && !w->isWindow(); w = tree.find(w->parent)) {
    if (!BoolProperty(*w, "visible")) return fail("'" + std::string(rest) + "' is hidden");
    if (w->id != id && w->minimized) return fail("'" + std::string(rest) + "' is in a folded group");
  }
  return id;
}

// --- driving ----------------------------------------------------------------------

void HostDriver::closeDialogBy(int32_t button) {
  const int32_t running = session_.runningDialog();
  if (running == 0 || session_.runningDialogClosed()) return;
  const WidgetTree& tree = session_.widgets().tree();
  const Widget* widget = tree.find(button);
  if (widget == nullptr || tree.windowOf(button) != running) return;
  const int32_t result = IntProperty(*widget, "modalresult");
  if (result != MQMODALRESULT_NONE) session_.closeRunningDialog(result);
}

CommandResult HostDriver::press(std::string_view path) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kButton}, &result.error);
  if (id == 0) return result;
  HostSession::CommandScope step(session_);
  const EventDelivery delivery = session_.widgets().raise(id, "execute");
  closeDialogBy(id);
  result.done = true;
  result.handled = delivery.handled;
  session_.finishCommand(delivery.handlersRun > 0);
  return result;
}

CommandResult HostDriver::click(std::string_view path, uint32_t modifiers) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kButton, WidgetKind::kCheckBox}, &result.error);
  if (id == 0) return result;
  HostSession::CommandScope step(session_);
  WidgetService& widgets = session_.widgets();
  const auto keys = static_cast<int32_t>(modifiers & (kShift | kCtrl));
  int handlersRun = 0;
  EventDelivery delivery = widgets.raiseMouse(id, "leftdown", 0x01 | keys, 1.0f);
  handlersRun += delivery.handlersRun;
  bool handled = delivery.handled;
  if (widgets.tree().find(id) != nullptr) {
    delivery = widgets.raiseMouse(id, "leftup", keys, 0.0f);
    handlersRun += delivery.handlersRun;
    handled = handled || delivery.handled;
  }
  // A handler that answered true took the click; otherwise it does what a
  // click does.
  Widget* widget = widgets.tree().find(id);
  if (!handled && widget != nullptr) {
    if (widget->kind == WidgetKind::kCheckBox) widget->store("checked", !BoolProperty(*widget, "checked"));
    const bool isButton = widget->kind == WidgetKind::kButton;
    delivery = widgets.raise(id, "execute");
    handlersRun += delivery.handlersRun;
    handled = delivery.handled;
    if (isButton) closeDialogBy(id);
  }
  result.done = true;
  result.handled = handled;
  session_.finishCommand(handlersRun > 0);
  return result;
}

CommandResult HostDriver::check(std::string_view path, bool on) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kCheckBox}, &result.error);
  if (id == 0) return result;
  HostSession::CommandScope step(session_);
  result.done = true;
  Widget* widget = session_.widgets().tree().find(id);
  if (BoolProperty(*widget, "checked") == on) return result;
  widget->store("checked", on);
  const EventDelivery delivery = session_.widgets().raise(id, "execute");
  result.handled = delivery.handled;
  session_.finishCommand(delivery.handlersRun > 0);
  return result;
}

CommandResult HostDriver::set(std::string_view path, std::string_view value) {
  return setValue(path, value, nullptr);
}

CommandResult HostDriver::set(std::string_view path, double value) {
  return setValue(path, std::string_view(), &value);
}

CommandResult HostDriver::setValue(std::string_view path, std::string_view text, const double* number) {
  CommandResult result;
  const int32_t id =
      resolve(path, {WidgetKind::kSpinBox, WidgetKind::kDoubleSpinBox, WidgetKind::kEdit}, &result.error);
  if (id == 0) return result;
  HostSession::CommandScope step(session_);
  WidgetService& widgets = session_.widgets();
  Widget* widget = widgets.tree().find(id);

  if (widget->kind == WidgetKind::kEdit) {
    if (number != nullptr) {
      result.error = "'" + std::string(path) + "' is an edit: give it text";
      return result;
    }
    widget->store("text", platform::Utf8ToUtf16(text));
  } else {
    const bool integral = widget->kind == WidgetKind::kSpinBox;
    double typed = 0;
    if (number != nullptr) {
      typed = *number;
      if (!std::isfinite(typed)) {
        result.error = "'" + std::string(path) + "' takes a finite number";
        return result;
      }
    } else if (!ParseNumber(text, integral, &typed)) {
      result.error = "'" + std::string(text) + "' is not " + (integral ? "a whole number" : "a number") +
                     " for '" + std::string(path) + "'";
      return result;
    }
    // What the spin box's editor lets a user commit.
    const double low = NumberProperty(*widget, "min"), high = NumberProperty(*widget, "max");
    typed = std::fmin(std::fmax(typed, low), std::fmax(low, high));
    if (integral) {
      widget->store("position", static_cast<int32_t>(std::lround(typed)));
    } else {
      const double scale = std::pow(10.0, IntProperty(*widget, "decimaldigit"));
      widget->store("position", std::round(typed * scale) / scale);
    }
  }
  int handlersRun = 0;
  EventDelivery delivery = widgets.raise(id, "changing");
  handlersRun += delivery.handlersRun;
  if (widgets.tree().find(id) != nullptr) {
    delivery = widgets.raise(id, "execute");
    handlersRun += delivery.handlersRun;
  }
  result.done = true;
  result.handled = delivery.handled;
  session_.finishCommand(handlersRun > 0);
  return result;
}

CommandResult HostDriver::minimize(std::string_view path) {
  return fold(path, true);
}

CommandResult HostDriver::restore(std::string_view path) {
  return fold(path, false);
}

CommandResult HostDriver::fold(std::string_view path, bool minimized) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kGroupBox}, &result.error);
  if (id == 0) return result;
  Widget* group = session_.widgets().tree().find(id);
  if (!BoolProperty(*group, "canminimize")) {
    result.error = "the group '" + std::string(path) + "' cannot be folded";
    return result;
  }
  result.done = true;
  if (group->minimized == minimized) return result;
  HostSession::CommandScope step(session_);
  group->minimized = minimized;
  const EventDelivery delivery = session_.widgets().raise(id, "resize");
  result.handled = delivery.handled;
  session_.finishCommand(delivery.handlersRun > 0);
  return result;
}

CommandResult HostDriver::hideWindow(std::string_view title) {
  CommandResult result;
  const int32_t id = findWindow(title);
  Widget* window = session_.widgets().tree().find(id);
  if (window == nullptr || id == session_.mainWindow()) {
    result.error = "no window titled '" + std::string(title) + "'";
    return result;
  }
  if (!BoolProperty(*window, "visible")) {
    result.error = "the window '" + std::string(title) + "' is not shown";
    return result;
  }
  const int32_t running = session_.runningDialog();
  if (running != 0 && running != id) {
    result.error = "a dialog is running; '" + std::string(title) + "' cannot be reached";
    return result;
  }
  HostSession::CommandScope step(session_);
  window->store("visible", false);
  if (running != 0) session_.closeRunningDialog(MQMODALRESULT_CANCEL);  // as its close box
  const EventDelivery delivery = session_.widgets().raise(id, "hide");
  result.done = true;
  result.handled = delivery.handled;
  session_.finishCommand(delivery.handlersRun > 0);
  return result;
}

// --- looking ------------------------------------------------------------------------

WidgetSnapshot HostDriver::snapshot(int32_t widget) const {
  return SnapshotWidget(session_.widgets().tree(), widget);
}

std::string HostDriver::dumpTree(int32_t widget) const {
  return FormatSnapshot(snapshot(widget));
}

}  // namespace pavlex::host

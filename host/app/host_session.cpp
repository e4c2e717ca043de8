#include "host/app/host_session.h"

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "host/api/handles.h"
#include "optionlist/option_list.h"
#include "host/widgets/widget_dump.h"
#include "host/widgets/widget_paths.h"
#include "host/widgets/widget_properties.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"
#include "platform/text_conversion.h"

namespace pavlex::host {
namespace {

HostSession* g_current = nullptr;

// The size of the view the host reports with each redraw.
constexpr int32_t kViewWidth = 640;
constexpr int32_t kViewHeight = 480;

// Restores a vector's size on every way out of a call that pushed to it.
template <typename T>
class PushGuard {
 public:
  PushGuard(std::vector<T>& stack, T value) : stack_(stack) { stack_.push_back(std::move(value)); }
  ~PushGuard() { stack_.pop_back(); }
  PushGuard(const PushGuard&) = delete;
  PushGuard& operator=(const PushGuard&) = delete;

 private:
  std::vector<T>& stack_;
};

std::string KindList(std::initializer_list<WidgetKind> kinds) {
  std::string out;
  for (WidgetKind kind : kinds) out += (out.empty() ? "" : " or ") + std::string(WidgetKindName(kind));
  return out;
}

std::string TitleOf(const Widget& window) {
  return platform::Utf16ToUtf8(TextProperty(window, "title"));
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

struct HostSession::PluginRecord {
  std::unique_ptr<LoadedPlugin> plugin;
  bool initialized = false;
  bool active = false;
};

struct HostSession::ModalRun {
  int32_t dialog = 0;
  bool closed = false;
  int32_t result = 2;  // a dialog closed by its close box answers cancel
};

class HostSession::Services : public WidgetHost {
 public:
  explicit Services(HostSession& session) : session_(session) {}

  const void* callingPlugin() const override {
    return session_.callStack_.empty() ? nullptr : session_.callStack_.back();
  }

  MQBOOL invokeHandler(const EventHandler& handler, MQOptionPair* options) override {
    PushGuard<const void*> calling(session_.callStack_, handler.owner);
    return handler.proc(session_.documentHandle(), options, handler.pointer);
  }

  int32_t runModal(int32_t dialog) override { return session_.runModal(dialog); }
  int32_t messageBox(const MessageBoxRequest& box) override {
    return session_.driver().messageBox(session_, box);
  }
  bool saveFile(SaveFileRequest& request) override { return session_.driver().saveFile(session_, request); }

 private:
  HostSession& session_;
};

HostSession::HostSession(HostSessionOptions options) : options_(std::move(options)) {
  if (g_current != nullptr) throw std::logic_error("a host session is already running");
  document_ = std::make_unique<HostDocument>();
  services_ = std::make_unique<Services>(*this);
  widgets_ = std::make_unique<WidgetService>(*services_);
  settings_ = std::make_unique<SettingsService>();
  if (options_.persistSettings) {
    settingsPath_ = options_.settingsPath.empty() ? DefaultSettingsPath() : options_.settingsPath;
    if (settingsPath_.empty()) {
      diagnostics() << "pavlex host: no home folder to keep settings in; settings will not be saved\n";
    } else {
      settingsBlocked_ =
          LoadSettingsFile(settingsPath_, *settings_, diagnostics()) == SettingsFileState::kBlocked;
    }
  }
  g_current = this;
}

HostSession::~HostSession() {
  try {
    while (!plugins_.empty()) unloadPlugin(plugins_.back()->plugin.get());
    if (!settingsPath_.empty() && !settingsBlocked_ && settings_->changed()) {
      std::string error;
      if (!SaveSettingsFile(settingsPath_, *settings_, &error)) {
        diagnostics() << "pavlex host: settings not saved: " << error << "\n";
      }
    }
  } catch (...) {
    // Exiting must not throw; whatever failed has been left as it was.
  }
  g_current = nullptr;
}

HostSession* HostSession::Current() {
  return g_current;
}

std::ostream& HostSession::diagnostics() {
  return options_.diagnostics != nullptr ? *options_.diagnostics : std::cerr;
}

ModalDriver& HostSession::driver() {
  static ModalDriver defaults;
  return options_.modalDriver != nullptr ? *options_.modalDriver : defaults;
}

void HostSession::setModalDriver(ModalDriver* driver) {
  options_.modalDriver = driver;
}

bool HostSession::saveSettings(std::string* error) {
  if (settingsPath_.empty()) {
    if (error != nullptr) *error = "the settings are kept in memory only";
    return false;
  }
  if (settingsBlocked_) {
    if (error != nullptr)
      *error = "the settings file '" + settingsPath_ + "' could not be read, so it is not replaced";
    return false;
  }
  return SaveSettingsFile(settingsPath_, *settings_, error);
}

// --- the document -------------------------------------------------------------

MQDocument HostSession::documentHandle() {
  return api::ToHandle(document_.get());
}

void HostSession::replaceDocument(std::unique_ptr<HostDocument> document) {
  sendToAll(MQEVENT_END_DOCUMENT);
  if (!callStack_.empty()) retired_.push_back(std::move(document_));
  document_ = document != nullptr ? std::move(document) : std::make_unique<HostDocument>();
  draw();
}

// --- plug-ins -----------------------------------------------------------------

HostSession::PluginRecord* HostSession::recordOf(const LoadedPlugin* plugin) const {
  for (const auto& record : plugins_) {
    if (record->plugin.get() == plugin) return record.get();
  }
  return nullptr;
}

std::vector<LoadedPlugin*> HostSession::plugins() const {
  std::vector<LoadedPlugin*> out;
  for (const auto& record : plugins_) out.push_back(record->plugin.get());
  return out;
}

MQBOOL HostSession::sendEvent(PluginRecord& record, int32_t code, void* option) {
  PushGuard<const void*> calling(callStack_, record.plugin.get());
  return record.plugin->sendEvent(documentHandle(), code, option);
}

void HostSession::sendToAll(int32_t code) {
  OptionListBuilder empty;
  for (size_t i = 0; i < plugins_.size(); ++i) {
    if (plugins_[i]->initialized) sendEvent(*plugins_[i], code, empty.list());
  }
}

LoadedPlugin* HostSession::loadPlugin(const std::string& path, std::string* error) {
  std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::Load(path, error);
  if (plugin == nullptr) return nullptr;
  auto record = std::make_unique<PluginRecord>();
  record->plugin = std::move(plugin);
  PluginRecord& added = *record;
  plugins_.push_back(std::move(record));

  OptionListBuilder empty;
  added.initialized = sendEvent(added, MQEVENT_INITIALIZE, empty.list()) != 0;
  if (!added.initialized) {
    if (error != nullptr) *error = "plug-in '" + path + "': its initialisation failed";
    unloadPlugin(added.plugin.get());
    return nullptr;
  }
  finishCommand(false);
  return added.plugin.get();
}

bool HostSession::unloadPlugin(const LoadedPlugin* plugin) {
  PluginRecord* record = recordOf(plugin);
  if (record == nullptr) return false;
  for (const void* calling : callStack_) {
    if (calling == plugin) return false;
  }
  if (record->initialized) {
    OptionListBuilder empty;
    sendEvent(*record, MQEVENT_EXIT, empty.list());
    record->initialized = false;
  }
  widgets_->removeOwnedBy(plugin);
  for (auto it = plugins_.begin(); it != plugins_.end(); ++it) {
    if (it->get() == record) {
      plugins_.erase(it);
      break;
    }
  }
  return true;
}

bool HostSession::activate(const LoadedPlugin& plugin) {
  PluginRecord* record = recordOf(&plugin);
  if (record == nullptr || !record->initialized) return false;
  int32_t flag = 1;
  sendEvent(*record, MQEVENT_ACTIVATE, &flag);
  OptionListBuilder empty;
  record->active = sendEvent(*record, MQEVENT_IS_ACTIVATED, empty.list()) != 0;
  finishCommand(false);
  return record->active;
}

bool HostSession::deactivate(const LoadedPlugin& plugin) {
  PluginRecord* record = recordOf(&plugin);
  if (record == nullptr || !record->initialized) return false;
  int32_t flag = 0;
  sendEvent(*record, MQEVENT_ACTIVATE, &flag);
  OptionListBuilder empty;
  record->active = sendEvent(*record, MQEVENT_IS_ACTIVATED, empty.list()) != 0;
  finishCommand(false);
  return record->active;
}

bool HostSession::isActive(const LoadedPlugin& plugin) const {
  const PluginRecord* record = recordOf(&plugin);
  return record != nullptr && record->active;
}

// --- messages and redraws -------------------------------------------------------

MQBOOL HostSession::SendMessage(int32_t message, void* record) {
  return g_current != nullptr ? g_current->receiveMessage(message, record) : 0;
}

void HostSession::RefreshView() {
  if (g_current != nullptr) g_current->refreshView();
}

MQBOOL HostSession::receiveMessage(int32_t code, void* record) {
  auto* info = static_cast<MQSendMessageInfo*>(record);
  if (info == nullptr) return 0;
  switch (code) {
    case MQMESSAGE_SWITCHED_OFF:
      for (const auto& plugin : plugins_) {
        if (plugin->plugin->product() == info->product && plugin->plugin->id() == info->id) {
          plugin->active = false;
          return 1;
        }
      }
      return 0;
    case MQMESSAGE_GET_SETTINGS: {
      MQOptionPair* slot = OptionListView(info->option).find("pluginsettings");
      if (slot == nullptr) return 0;
      slot->value = settings_->pluginSettings();
      return 1;
    }
    default:
      return 0;
  }
}

void HostSession::refreshView() {
  if (drawing_) return;  // the view is being drawn right now
  if (!callStack_.empty()) {
    redrawPending_ = true;
    return;
  }
  draw();
}

void HostSession::draw() {
  if (drawing_) return;
  drawing_ = true;
  redrawPending_ = false;
  OptionListBuilder options;
  options.add("scene", api::ToHandle(&document_->scene()));
  options.addInt("width", kViewWidth);
  options.addInt("height", kViewHeight);
  for (size_t i = 0; i < plugins_.size(); ++i) {
    if (plugins_[i]->initialized) sendEvent(*plugins_[i], MQEVENT_DRAW, options.list());
  }
  drawing_ = false;
}

void HostSession::finishCommand(bool handlersRan) {
  if (handlersRan || (redrawPending_ && callStack_.empty())) draw();
  if (callStack_.empty()) retired_.clear();
}

// --- modal runs -------------------------------------------------------------------

int32_t HostSession::runModal(int32_t dialog) {
  for (const ModalRun& run : modalRuns_) {
    if (run.dialog == dialog) return 0;
  }
  modalRuns_.push_back(ModalRun{dialog});
  struct Pop {
    std::vector<ModalRun>& runs;
    ~Pop() { runs.pop_back(); }
  } pop{modalRuns_};

  if (Widget* shown = widgets_->tree().find(dialog)) shown->store("visible", true);
  try {
    driver().runModal(*this, dialog);
  } catch (...) {
    // The plug-in waits in its request below us: nothing may unwind into it.
    diagnostics() << "pavlex host: the modal driver failed; the dialog closes as cancelled\n";
    modalRuns_.back().closed = true;
    modalRuns_.back().result = 2;
  }
  if (Widget* hidden = widgets_->tree().find(dialog)) hidden->store("visible", false);
  const ModalRun& run = modalRuns_.back();
  return run.closed ? run.result : 2;
}

void HostSession::closeModalWith(int32_t button) {
  if (modalRuns_.empty() || modalRuns_.back().closed) return;
  const WidgetTree& tree = widgets_->tree();
  const Widget* widget = tree.find(button);
  if (widget == nullptr || tree.windowOf(button) != modalRuns_.back().dialog) return;
  const int32_t result = IntProperty(*widget, "modalresult");
  if (result == 0) return;
  modalRuns_.back().closed = true;
  modalRuns_.back().result = result;
}

// --- naming and resolving ----------------------------------------------------------

int32_t HostSession::mainWindow() const {
  return widgets_->mainWindow();
}

int32_t HostSession::findWindow(std::string_view title) const {
  const WidgetTree& tree = widgets_->tree();
  const std::vector<int32_t> windows = tree.windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (TitleOf(*tree.find(*it)) == title) return *it;
  }
  return 0;
}

std::vector<WidgetPathEntry> HostSession::listPaths() const {
  std::vector<WidgetPathEntry> out;
  const WidgetTree& tree = widgets_->tree();
  for (int32_t window : tree.windows()) {
    const std::string title = TitleOf(*tree.find(window));
    for (NamedWidget& named : NameWidgets(tree, window))
      out.push_back({title, named.path, named.id, named.kind});
  }
  return out;
}

int32_t HostSession::findWidget(std::string_view path, WidgetKind kind, std::string* error) const {
  return resolve(path, {kind}, error);
}

int32_t HostSession::resolve(std::string_view path, std::initializer_list<WidgetKind> kinds,
                             std::string* error) const {
  const WidgetTree& tree = widgets_->tree();
  auto fail = [&](const std::string& why) {
    if (error != nullptr) *error = why;
    return 0;
  };
  auto shown = [&](int32_t window) { return BoolProperty(*tree.find(window), "visible"); };

  // Where a user can reach: the running dialog alone, else shown windows.
  std::vector<int32_t> scope;
  std::string_view rest = path;
  if (const size_t split = path.find("::"); split != std::string_view::npos) {
    const int32_t titled = findWindow(path.substr(0, split));
    if (titled != 0) {
      rest = path.substr(split + 2);
      if (!modalRuns_.empty() && modalRuns_.back().dialog != titled) {
        return fail("'" + std::string(path) + "': the dialog '" +
                    TitleOf(*tree.find(modalRuns_.back().dialog)) +
                    "' is running, nothing else can be reached");
      }
      if (!shown(titled)) return fail("'" + std::string(path) + "': the window is hidden");
      scope.push_back(titled);
    }
  }
  if (scope.empty()) {
    if (!modalRuns_.empty()) {
      scope.push_back(modalRuns_.back().dialog);
    } else {
      for (int32_t window : tree.windows()) {
        if (window != mainWindow() && shown(window)) scope.push_back(window);
      }
    }
  }
  if (!modalRuns_.empty() && modalRuns_.back().closed) {
    return fail("'" + std::string(path) + "': the dialog has been closed");
  }

  std::vector<std::pair<int32_t, int32_t>> found;  // (window, widget)
  for (int32_t window : scope) {
    if (tree.find(window) == nullptr) continue;
    for (const NamedWidget& named : NameWidgets(tree, window)) {
      if (named.path != rest) continue;
      for (WidgetKind kind : kinds) {
        if (named.kind == kind) found.emplace_back(window, named.id);
      }
    }
  }
  if (found.empty()) {
    std::string where = scope.empty() ? "no window is shown" : "not in";
    for (size_t i = 0; i < scope.size(); ++i) {
      if (tree.find(scope[i]) != nullptr)
        where += (i > 0 ? ", '" : " '") + TitleOf(*tree.find(scope[i])) + "'";
    }
    return fail("no " + KindList(kinds) + " named '" + std::string(rest) + "' (" + where + ")");
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

CommandResult HostSession::press(std::string_view path) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kButton}, &result.error);
  if (id == 0) return result;
  const EventDelivery delivery = widgets_->raise(id, "execute");
  closeModalWith(id);
  result.done = true;
  result.handled = delivery.handled;
  finishCommand(delivery.handlersRun > 0);
  return result;
}

CommandResult HostSession::click(std::string_view path, uint32_t modifiers) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kButton, WidgetKind::kCheckBox}, &result.error);
  if (id == 0) return result;
  const auto keys = static_cast<int32_t>(modifiers & (kShift | kCtrl));
  int handlersRun = 0;
  EventDelivery delivery = widgets_->raiseMouse(id, "leftdown", 0x01 | keys, 1.0f);
  handlersRun += delivery.handlersRun;
  bool handled = delivery.handled;
  if (widgets_->tree().find(id) != nullptr) {
    delivery = widgets_->raiseMouse(id, "leftup", keys, 0.0f);
    handlersRun += delivery.handlersRun;
    handled = handled || delivery.handled;
  }
  // A handler that answered true took the click; otherwise it does what a
  // click does.
  Widget* widget = widgets_->tree().find(id);
  if (!handled && widget != nullptr) {
    if (widget->kind == WidgetKind::kCheckBox) widget->store("checked", !BoolProperty(*widget, "checked"));
    delivery = widgets_->raise(id, "execute");
    handlersRun += delivery.handlersRun;
    handled = delivery.handled;
    if (widget->kind == WidgetKind::kButton) closeModalWith(id);
  }
  result.done = true;
  result.handled = handled;
  finishCommand(handlersRun > 0);
  return result;
}

CommandResult HostSession::check(std::string_view path, bool on) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kCheckBox}, &result.error);
  if (id == 0) return result;
  result.done = true;
  Widget* widget = widgets_->tree().find(id);
  if (BoolProperty(*widget, "checked") == on) return result;
  widget->store("checked", on);
  const EventDelivery delivery = widgets_->raise(id, "execute");
  result.handled = delivery.handled;
  finishCommand(delivery.handlersRun > 0);
  return result;
}

CommandResult HostSession::set(std::string_view path, std::string_view value) {
  return setValue(path, value, nullptr);
}

CommandResult HostSession::set(std::string_view path, double value) {
  return setValue(path, std::string_view(), &value);
}

CommandResult HostSession::setValue(std::string_view path, std::string_view text, const double* number) {
  CommandResult result;
  const int32_t id =
      resolve(path, {WidgetKind::kSpinBox, WidgetKind::kDoubleSpinBox, WidgetKind::kEdit}, &result.error);
  if (id == 0) return result;
  Widget* widget = widgets_->tree().find(id);

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
  EventDelivery delivery = widgets_->raise(id, "changing");
  handlersRun += delivery.handlersRun;
  if (widgets_->tree().find(id) != nullptr) {
    delivery = widgets_->raise(id, "execute");
    handlersRun += delivery.handlersRun;
  }
  result.done = true;
  result.handled = delivery.handled;
  finishCommand(handlersRun > 0);
  return result;
}

CommandResult HostSession::minimize(std::string_view path) {
  return fold(path, true);
}

CommandResult HostSession::restore(std::string_view path) {
  return fold(path, false);
}

CommandResult HostSession::fold(std::string_view path, bool minimized) {
  CommandResult result;
  const int32_t id = resolve(path, {WidgetKind::kGroupBox}, &result.error);
  if (id == 0) return result;
  Widget* group = widgets_->tree().find(id);
  if (!BoolProperty(*group, "canminimize")) {
    result.error = "the group '" + std::string(path) + "' cannot be folded";
    return result;
  }
  result.done = true;
  if (group->minimized == minimized) return result;
  group->minimized = minimized;
  const EventDelivery delivery = widgets_->raise(id, "resize");
  result.handled = delivery.handled;
  finishCommand(delivery.handlersRun > 0);
  return result;
}

CommandResult HostSession::hideWindow(std::string_view title) {
  CommandResult result;
  const int32_t id = findWindow(title);
  Widget* window = widgets_->tree().find(id);
  if (window == nullptr || id == mainWindow()) {
    result.error = "no window titled '" + std::string(title) + "'";
    return result;
  }
  if (!BoolProperty(*window, "visible")) {
    result.error = "the window '" + std::string(title) + "' is not shown";
    return result;
  }
  if (!modalRuns_.empty() && modalRuns_.back().dialog != id) {
    result.error = "a dialog is running; '" + std::string(title) + "' cannot be reached";
    return result;
  }
  window->store("visible", false);
  if (!modalRuns_.empty()) modalRuns_.back().closed = true;  // as its close box: cancel
  const EventDelivery delivery = widgets_->raise(id, "hide");
  result.done = true;
  result.handled = delivery.handled;
  finishCommand(delivery.handlersRun > 0);
  return result;
}

// --- looking ------------------------------------------------------------------------

WidgetSnapshot HostSession::snapshot(int32_t widget) const {
  return SnapshotWidget(widgets_->tree(), widget);
}

std::string HostSession::dumpTree(int32_t widget) const {
  return FormatSnapshot(snapshot(widget));
}

}  // namespace pavlex::host

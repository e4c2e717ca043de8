#include "host/session/host_session.h"

#include <iostream>
#include <new>
#include <stdexcept>
#include <utility>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "host/api/handles.h"
#include "optionlist/option_list.h"
#include "host/widgets/widget_properties.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"

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

}  // namespace

struct HostSession::PluginRecord {
  std::unique_ptr<LoadedPlugin> plugin;
  bool initialized = false;
  bool active = false;
};

struct HostSession::ModalRun {
  int32_t dialog = 0;
  bool closed = false;
  int32_t result = MQMODALRESULT_CANCEL;  // as the close box answers
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

// What undo and redo exchange documents through.
class HostSession::Holder final : public DocumentHolder {
 public:
  explicit Holder(HostSession& session) : session_(session) {}
  virtual ~Holder() = default;
  HostDocument& currentDocument() override { return *session_.document_; }
  void exchangeDocument(DocumentImage& image) override {
    session_.sendToAll(MQEVENT_END_DOCUMENT);
    std::swap(session_.document_, image.document);
    std::swap(session_.documentSource_, image.source);
    std::swap(session_.documentPath_, image.path);
  }

 private:
  HostSession& session_;
};

HostSession::HostSession(HostSessionOptions options) : options_(std::move(options)) {
  if (g_current != nullptr) throw std::logic_error("a host session is already running");
  document_ = std::make_unique<HostDocument>();
  history_ = std::make_unique<EditHistory>(options_.historyByteLimit);
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
  DocumentImage old{std::move(document_), std::move(documentSource_), std::move(documentPath_)};
  document_ = document != nullptr ? std::move(document) : std::make_unique<HostDocument>();
  documentSource_.reset();
  documentPath_.clear();
  if (history_->recording()) {
    // The step keeps the old document (and so keeps it alive for a plug-in
    // that still holds its handle).
    history_->documentReplaced(std::move(old), *document_);
  } else {
    // The steps refer to the old document's objects.
    history_->clear();
    if (!callStack_.empty()) retired_.push_back(std::move(old.document));
  }
  draw();
}

void HostSession::replaceDocument(ObjImport import, std::string path) {
  replaceDocument(std::move(import.document));
  // After the replacement: its redraw may not see the old file's image.
  documentSource_ = std::move(import.source);
  documentPath_ = std::move(path);
}

bool HostSession::openDocument(const std::string& path, std::string* error, std::vector<std::string>* warnings) {
  ObjImport import;
  if (!LoadObjFile(path, &import, error)) return false;
  if (warnings != nullptr) *warnings = std::move(import.warnings);
  replaceDocument(std::move(import), path);
#if defined(__GLIBC__)
  // The reader's scratch and the old document are freed by now; their pages
  // go back to the system instead of staying resident beside a large model.
  malloc_trim(0);
#endif
  return true;
}

bool HostSession::saveDocument(const std::string& path, std::string* error) {
  const std::string target = path.empty() ? documentPath_ : path;
  if (target.empty()) {
    if (error != nullptr) *error = "the document came from no file";
    return false;
  }
  if (!SaveObjFile(*document_, documentSource_.get(), target, error)) return false;
  documentPath_ = target;
  return true;
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

int32_t HostSession::messageCount(int32_t code) const {
  const auto found = messageCounts_.find(code);
  return found != messageCounts_.end() ? found->second : 0;
}

MQBOOL HostSession::receiveMessage(int32_t code, void* record) {
  ++messageCounts_[code];
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
      if (!options_.offerPluginSettings) return 1;
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

// --- the history -----------------------------------------------------------------

void HostSession::beginCommand() {
  if (commandDepth_++ > 0) return;
  try {
    history_->begin(*document_);
  } catch (const std::bad_alloc&) {
    // The command runs unrecorded; earlier steps would no longer fit it.
    history_->clear();
    diagnostics() << "pavlex host: not enough memory to record the command; the history was cleared\n";
  }
}

std::string HostSession::endCommand() {
  if (commandDepth_ == 0 || --commandDepth_ > 0) return std::string();
  return history_->end();
}

HostSession::CommandScope::~CommandScope() {
  const std::string notice = session_.endCommand();
  if (!notice.empty()) session_.diagnostics() << "pavlex host: " << notice << "\n";
}

bool HostSession::undo(std::string* error) {
  return stepThroughHistory(true, error);
}

bool HostSession::redo(std::string* error) {
  return stepThroughHistory(false, error);
}

bool HostSession::stepThroughHistory(bool undoing, std::string* error) {
  if (commandDepth_ > 0 || !callStack_.empty() || !modalRuns_.empty()) {
    if (error != nullptr) *error = std::string("cannot ") + (undoing ? "undo" : "redo") + " while a command is running";
    return false;
  }
  Holder holder(*this);
  if (!(undoing ? history_->undo(holder, error) : history_->redo(holder, error))) return false;
  history_->beginSettle(*document_);
  finishCommand(true);
  history_->endSettle();
  return true;
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
    modalRuns_.back().result = MQMODALRESULT_CANCEL;
  }
  if (Widget* hidden = widgets_->tree().find(dialog)) hidden->store("visible", false);
  const ModalRun& run = modalRuns_.back();
  return run.closed ? run.result : MQMODALRESULT_CANCEL;
}

int32_t HostSession::runningDialog() const {
  return modalRuns_.empty() ? 0 : modalRuns_.back().dialog;
}

bool HostSession::runningDialogClosed() const {
  return !modalRuns_.empty() && modalRuns_.back().closed;
}

void HostSession::closeRunningDialog(int32_t result) {
  if (modalRuns_.empty() || modalRuns_.back().closed) return;
  modalRuns_.back().closed = true;
  modalRuns_.back().result = result;
}

int32_t HostSession::mainWindow() const {
  return widgets_->mainWindow();
}

}  // namespace pavlex::host

#include "plugin/shell/pavlex_plugin.h"

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/plugin_identity.h"
#include "plugin/shell/plugin_settings.h"
#include "plugin/tools/select/uv_locks.h"
#include "plugin/widgets/widget_registry.h"
#include "plugin/widgets/widget_request.h"
#include "plugin/window/pavlex_window.h"

namespace pavlex {

namespace {

// Defaults of the four settings, used when a key is absent or empty.
constexpr int32_t kNoPosition = -1;
constexpr int32_t kDefaultTextureSize = 1024;
// Window positions beyond this lie off every screen, and adding a size to
// them could overflow.
constexpr int32_t kMaxWindowPosition = 32767;

}  // namespace

Pavlex::Pavlex() {
  // Made now so that it outlives this object: the window it may still own
  // at unload unregisters its widgets there.
  WidgetRegistry::Instance();
}

Pavlex::~Pavlex() {
  window_.reset();
}

void Pavlex::GetPlugInID(uint32_t* product, uint32_t* id) const {
  if (product != nullptr) *product = kPlugInProduct;
  if (id != nullptr) *id = kPlugInId;
}

const char* Pavlex::GetPlugInName() const {
  return kPlugInName;
}

int32_t Pavlex::GetPlugInType() const {
  return MQPLUGIN_TYPE_STATION;
}

const MQWChar* Pavlex::EnumString() const {
  return kCommandName;
}

bool Pavlex::Initialize() {
  int32_t posX = kNoPosition, posY = kNoPosition;
  int32_t texWidth = kDefaultTextureSize, texHeight = kDefaultTextureSize;
  if (std::unique_ptr<MQSetting> settings = OpenSettings(*this)) {
    settings->ReadIntSetting("PosX", posX, kNoPosition);
    settings->ReadIntSetting("PosY", posY, kNoPosition);
    settings->ReadIntSetting("TexWidth", texWidth, kDefaultTextureSize);
    settings->ReadIntSetting("TexHeight", texHeight, kDefaultTextureSize);
  }
  // A stored value the controls cannot hold (a damaged or hand-edited file)
  // counts as no value at all, as a missing key does.
  if (posX > kMaxWindowPosition || posY > kMaxWindowPosition) posX = posY = kNoPosition;
  for (int32_t* size : {&texWidth, &texHeight}) {
    if (*size < kOutputSizeMin || *size > kOutputSizeMax) *size = kDefaultTextureSize;
  }

  // A second initialization keeps the window where the user has it and the
  // output size of this run.
  if (window_ == nullptr) {
    const std::unique_ptr<MQWindow> mainWindow = MQWindow::Wrap(GetSystemWidget("main_window"));
    window_ = std::make_unique<PavlexWindow>(state_, *mainWindow);
    if (posX >= 0 && posY >= 0) {
      window_->SetInt("pos_x", posX);
      window_->SetInt("pos_y", posY);
    }
    state_.output.width = texWidth;
    state_.output.height = texHeight;
  }

  Activate(nullptr, state_.activated);
  return true;
}

void Pavlex::Exit() {
  // Without a window no initialization has applied the settings, so the
  // size here is still unset (-1) and writing it would lose the stored one.
  if (window_ != nullptr) {
    if (std::unique_ptr<MQSetting> settings = OpenSettings(*this)) {
      settings->WriteIntSetting("PosX", window_->GetInt("pos_x", kNoPosition));
      settings->WriteIntSetting("PosY", window_->GetInt("pos_y", kNoPosition));
      settings->WriteIntSetting("TexWidth", state_.output.width);
      settings->WriteIntSetting("TexHeight", state_.output.height);
    }
  }
  window_.reset();
}

bool Pavlex::Activate(MQDocument, bool flag) {
  if (window_ == nullptr) return false;
  state_.activated = flag;
  window_->SetBool("visible", state_.activated);
  window_->FitToContent();
  return state_.activated;
}

bool Pavlex::IsActivated(MQDocument) {
  return window_ != nullptr && state_.activated;
}

// Locked UVs are put back at every draw, so whatever moved them since the
// last draw is undone before the user sees it.
void Pavlex::OnDraw(MQDocument document, MQScene, int32_t, int32_t) {
  ApplyUVLocks(state_, document);
}

void Pavlex::OnDocumentEnd(MQDocument) {
  // The lock slots are keyed by this document's unique IDs and end with it.
  ClearAllUVLocks(state_);
  if (window_ != nullptr) window_->ReleaseLockButtons();
}

}  // namespace pavlex

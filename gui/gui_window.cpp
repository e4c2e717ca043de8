#include "gui/gui_window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <imgui.h>
#include <imgui_impl_glfw.h>
#include <imgui_impl_opengl3.h>

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "host/commands/command_parser.h"
#include "host/document/host_document.h"
#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "host/widgets/widget_layout.h"
#include "host/widgets/widget_properties.h"
#include "host/widgets/widget_service.h"
#include "hostapi/mq_codes.h"
#include "platform/atomic_file.h"
#include "platform/image_encoders.h"
#include "platform/text_conversion.h"

namespace pavlex::gui {

// Something modal the window shows over everything else.
struct GuiWindow::Overlay {
  enum Kind { kPluginBox, kPluginSave, kChooser, kUnsaved, kNotice } kind = kNotice;
  std::string title;
  std::string message;
  std::string boxType;  // a plug-in box's "messagetype"
  bool done = false;    // an OK-only box was acknowledged
  // The file chooser.
  enum Purpose { kAnswer, kOpen, kSaveAs } purpose = kAnswer;
  bool saving = true;
  std::string folder;
  char name[512] = {};
  bool confirmOverwrite = false;
  // The unsaved-changes prompt: what follows a Save or a Discard.
  bool thenExit = true;
  bool placed = false;
  // Enter and Escape, as the default and the cancel button.
  bool acceptKey = false;
  bool cancelKey = false;
  bool focusName = true;  // the chooser's name field takes the keyboard when it opens
};

namespace {

std::string GlfwError() {
  const char* description = nullptr;
  glfwGetError(&description);
  return description != nullptr ? description : "unknown error";
}

// Keeps the OpenGL driver module loaded until the process ends. Mesa's
// driver leaves a few allocations at exit; once it is unloaded a leak
// checker can no longer say whose they are, and would blame the program.
void PinGlDriver() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
        if (name.size() > 7 && name.compare(name.size() - 7, 7, "_dri.so") == 0) {
          dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
      },
      nullptr);
}

// Lines that read or look and change nothing a save would write.
bool ChangesNothing(const std::string& text) {
  std::vector<std::string> words;
  try {
    words = commands::TokenizeCommand(text);
  } catch (const commands::CommandError&) {
    return true;
  }
  if (words.empty()) return true;
  static const char* const kQuiet[] = {"print", "help", "screenshot", "view", "draw", "save", "open", "quit", "exit",
                                       "layout"};
  for (const char* quiet : kQuiet) {
    if (words[0] == quiet) return true;
  }
  return false;
}

std::string Utf8(const std::u16string& text) {
  return platform::Utf16ToUtf8(text);
}

std::string FormatNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

constexpr float kMenuHeight = 20;
constexpr float kObjectsWidth = 170;
constexpr float kConsoleHeight = 150;
constexpr float kPickPixels = 6;

}  // namespace

GuiWindow::GuiWindow(host::HostSession& session, GuiConfig config) : session_(session), config_(std::move(config)) {}

GuiWindow::~GuiWindow() {
  if (record_ != nullptr) std::fclose(record_);
  if (imguiReady_) {
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
  }
  if (window_ != nullptr) glfwDestroyWindow(window_);
  glfwTerminate();
}

bool GuiWindow::open(std::string* error) {
  if (!config_.recordPath.empty()) {
    record_ = std::fopen(config_.recordPath.c_str(), "a");
    if (record_ == nullptr) {
      *error = config_.recordPath + ": cannot write the record: " + std::strerror(errno);
      return false;
    }
  }
  if (glfwInit() != GLFW_TRUE) {
    *error = "cannot open the window: " + GlfwError() +
             (std::getenv("DISPLAY") == nullptr || *std::getenv("DISPLAY") == '\0'
                  ? " (DISPLAY is not set: run it on a desktop, or under xvfb-run)"
                  : "");
    return false;
  }
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
  window_ = glfwCreateWindow(config_.width, config_.height, "Pavlex", nullptr, nullptr);
  if (window_ == nullptr) {
    *error = "cannot open the window: " + GlfwError();
    return false;
  }
  glfwMakeContextCurrent(window_);
  glfwSwapInterval(0);
  PinGlDriver();
  // Shortcuts come from GLFW's key events, not from ImGui's key state: a
  // press and its release can arrive in one wake-up, and the state alone
  // would never show the key down. ImGui's own callback chains to this one.
  glfwSetWindowUserPointer(window_, this);
  glfwSetKeyCallback(window_, [](GLFWwindow* window, int key, int, int action, int mods) {
    if (action != GLFW_PRESS) return;
    auto* self = static_cast<GuiWindow*>(glfwGetWindowUserPointer(window));
    if (self != nullptr) self->keyPresses_.push_back({key, mods});
  });
  IMGUI_CHECKVERSION();
  ImGui::CreateContext();
  ImGui::GetIO().IniFilename = nullptr;  // the layout is the program's, not a file's
  ImGui::StyleColorsDark();
  ImGui::GetStyle().WindowRounding = 0;
  ImGui_ImplGlfw_InitForOpenGL(window_, true);
  ImGui_ImplOpenGL3_Init("#version 130");
  imguiReady_ = true;
  return true;
}

void GuiWindow::queueScript(std::vector<commands::ScriptLine> lines) {
  for (commands::ScriptLine& line : lines) pending_.push_back(std::move(line));
}

void GuiWindow::appendConsole(std::string_view text) {
  consolePartial_.append(text);
  size_t end = 0;
  while ((end = consolePartial_.find('\n')) != std::string::npos) {
    console_.push_back(consolePartial_.substr(0, end));
    consolePartial_.erase(0, end + 1);
  }
  // A million `uv` lines must not become a million console lines.
  constexpr size_t kKeep = 4000;
  if (console_.size() > kKeep) console_.erase(console_.begin(), console_.begin() + (console_.size() - kKeep));
  scrollConsole_ = true;
}

void GuiWindow::commandRan(const commands::ScriptLine& line, bool ok) {
  if (!ChangesNothing(line.text)) {
    uvView_.markDirty();
    if (ok) modified_ = true;
  }
  std::vector<std::string> words;
  try {
    words = commands::TokenizeCommand(line.text);
  } catch (const commands::CommandError&) {
  }
  if (words.empty()) return;
  if (words[0] == "open" || words[0] == "close") {
    uvView_.markDirty();
    if (ok) modified_ = false;
    if (ok) viewFrame(true);
  }
  if (words[0] == "save" && ok) {
    modified_ = false;
    if (exitAfterSave_) finished_ = true;
  }
  if (words[0] == "save") exitAfterSave_ = false;
  // A file that could not be opened or saved is said in a box as well as
  // in the console, wherever the command came from.
  if (!ok && (words[0] == "open" || words[0] == "save")) {
    auto notice = std::make_unique<Overlay>();
    notice->kind = Overlay::kNotice;
    notice->title = words[0] == "open" ? "Cannot open" : "Cannot save";
    notice->message = console_.empty() ? std::string() : console_.back();
    pushOverlay(std::move(notice));
  }
}

void GuiWindow::act(const std::string& text) {
  pending_.push_back({text, "gui", ++actionLine_});
  appendConsole("> " + text + "\n");
  if (record_ != nullptr) {
    std::fprintf(record_, "%s\n", text.c_str());
    std::fflush(record_);
  }
}

void GuiWindow::pushOverlay(std::unique_ptr<Overlay> overlay) {
  overlays_.push_back(std::move(overlay));
}

bool GuiWindow::modalActive() const {
  return !overlays_.empty() || session_.runningDialog() != 0;
}

// --- the command source --------------------------------------------------------

bool GuiWindow::next(commands::ScriptLine* out) {
  // Commands run once the window is up: the first frame lays it out and
  // frames the document, and a `view` or `print geometry` acts on that.
  if (frames_ == 0) frame();
  for (;;) {
    if (finished_) return false;
    if (!pending_.empty()) {
      *out = std::move(pending_.front());
      // Scripted lines show in the console as if typed there.
      if (out->origin != "gui" && out->origin != "menu") appendConsole("> " + out->text + "\n");
      pending_.pop_front();
      return true;
    }
    if (closing_) {
      // Whatever waits for an answer is cancelled first, innermost first,
      // as its close box would; the window's own boxes simply go.
      while (!overlays_.empty() && overlays_.back()->kind != Overlay::kPluginBox &&
             overlays_.back()->kind != Overlay::kPluginSave) {
        overlays_.pop_back();
      }
      if (!overlays_.empty() && overlays_.back()->kind == Overlay::kPluginBox) {
        const std::string& type = overlays_.back()->boxType;
        act(type.find("yes") != std::string::npos ? "answer no"
            : type.empty() || type == "ok"      ? "answer ok"
                                                : "answer cancel");
        continue;
      }
      if (!overlays_.empty() && overlays_.back()->kind == Overlay::kPluginSave) {
        act("answer cancel");
        continue;
      }
      if (const int32_t dialog = session_.runningDialog()) {
        act("hide window " + commands::QuoteWord(Utf8(host::TextProperty(*session_.widgets().tree().find(dialog),
                                                                          "title"))));
        continue;
      }
      overlays_.clear();
      closing_ = false;
      if (modified_ && !config_.saveOnExit) {
        auto prompt = std::make_unique<Overlay>();
        prompt->kind = Overlay::kUnsaved;
        prompt->title = "Unsaved changes";
        prompt->message = "The document has changes that are not saved.";
        pushOverlay(std::move(prompt));
      } else {
        finished_ = true;
        return false;
      }
    }
    frame();
    if (glfwWindowShouldClose(window_)) {
      glfwSetWindowShouldClose(window_, GLFW_FALSE);
      requestClose();
    }
    if (pending_.empty() && !closing_) waitForEvents();
  }
}

void GuiWindow::waitForEvents() {
  // A press and its release often arrive in one wake-up; ImGui sees them
  // in successive frames, so a few frames follow every wake-up before the
  // window sleeps again.
  if (settleFrames_ > 0) {
    --settleFrames_;
    return;
  }
  // A picture that lags the view is drawn again once the view rests.
  glfwWaitEventsTimeout(uvView_.needsRefine() ? UvView::kRefineDelay : 1.0);
  settleFrames_ = 2;
}

void GuiWindow::requestClose() {
  closing_ = true;
}

// --- modal runs ----------------------------------------------------------------

void GuiWindow::runModal(host::HostSession& session, int32_t dialog) {
  // The dialog is in the widget tree and the session knows it runs; the
  // frames inside next() draw it and take its clicks.
  if (interpreter_ != nullptr) interpreter_->runModal(session, dialog);
}

int32_t GuiWindow::messageBox(host::HostSession& session, const host::MessageBoxRequest& box) {
  auto overlay = std::make_unique<Overlay>();
  overlay->kind = Overlay::kPluginBox;
  overlay->title = Utf8(box.title);
  overlay->message = Utf8(box.message);
  overlay->boxType = box.type;
  Overlay* shown = overlay.get();
  pushOverlay(std::move(overlay));
  int32_t result = MQMODALRESULT_OK;
  if (box.type.empty() || box.type == "ok") {
    // Nothing to choose: the person reads it and presses OK; the
    // interpreter then fails the command with its message.
    // Closing the window acknowledges it too.
    while (!shown->done && !finished_ && !closing_ && !glfwWindowShouldClose(window_)) {
      if (!pending_.empty()) {
        const commands::ScriptLine& line = pending_.front();
        if (line.text == "answer ok") {
          pending_.pop_front();
          break;
        }
      }
      frame();
      if (!shown->done) waitForEvents();
    }
    removeOverlay(shown);
    if (interpreter_ != nullptr) interpreter_->messageBox(session, box);
    return MQMODALRESULT_OK;
  }
  if (interpreter_ != nullptr) result = interpreter_->messageBox(session, box);
  else result = ModalDriver::messageBox(session, box);
  removeOverlay(shown);
  return result;
}

bool GuiWindow::saveFile(host::HostSession& session, host::SaveFileRequest& request) {
  auto overlay = std::make_unique<Overlay>();
  overlay->kind = Overlay::kPluginSave;
  overlay->purpose = Overlay::kAnswer;
  overlay->title = Utf8(request.title);
  std::error_code ignored;
  overlay->folder = std::filesystem::current_path(ignored).string();
  std::snprintf(overlay->name, sizeof overlay->name, "%s", Utf8(request.fileName).c_str());
  Overlay* shown = overlay.get();
  pushOverlay(std::move(overlay));
  const bool confirmed = interpreter_ != nullptr ? interpreter_->saveFile(session, request) : false;
  removeOverlay(shown);
  return confirmed;
}

void GuiWindow::removeOverlay(const Overlay* overlay) {
  const auto at = std::find_if(overlays_.begin(), overlays_.end(),
                               [overlay](const std::unique_ptr<Overlay>& o) { return o.get() == overlay; });
  if (at != overlays_.end()) overlays_.erase(at);
}

void GuiWindow::openChooser(int purpose, const std::string& title) {
  auto overlay = std::make_unique<Overlay>();
  overlay->kind = Overlay::kChooser;
  overlay->purpose = static_cast<Overlay::Purpose>(purpose);
  overlay->saving = purpose != Overlay::kOpen;
  overlay->title = title;
  std::error_code ignored;
  const std::string& current = session_.documentPath();
  overlay->folder = current.empty() ? std::filesystem::current_path(ignored).string()
                                    : std::filesystem::absolute(current, ignored).parent_path().string();
  if (purpose == Overlay::kSaveAs && !current.empty()) {
    std::snprintf(overlay->name, sizeof overlay->name, "%s",
                  std::filesystem::path(current).filename().string().c_str());
  }
  pushOverlay(std::move(overlay));
}

// --- window commands -------------------------------------------------------------

bool GuiWindow::screenshot(const std::string& path, std::string* error) {
  // Two frames: a layout change of the last command settles in the first;
  // the second is read back before it is presented.
  uvView_.refineNow();
  frame();
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  frame(&pixels, &width, &height);
  // GL rows run bottom-up.
  for (int y = 0; y < height / 2; ++y) {
    std::swap_ranges(pixels.begin() + static_cast<ptrdiff_t>(y) * width,
                     pixels.begin() + static_cast<ptrdiff_t>(y + 1) * width,
                     pixels.begin() + static_cast<ptrdiff_t>(height - 1 - y) * width);
  }
  platform::FileFailure failure;
  const bool written = platform::WriteFileAtomically(
      path, [&](platform::ByteSink& sink) { return platform::EncodePngOpaque(pixels.data(), width, height, sink); },
      &failure);
  if (!written) *error = failure.Message();
  return written;
}

bool GuiWindow::geometry(const std::string& path, commands::WindowRect* rect, std::string* error) {
  // Two frames: a window that sizes itself to its content does so in the first.
  frame();
  frame();
  if (const auto pane = paneRects_.find(path); pane != paneRects_.end()) {
    *rect = pane->second;
    return true;
  }
  host::HostDriver driver(session_);
  std::string reason;
  for (const host::WidgetKind kind :
       {host::WidgetKind::kButton, host::WidgetKind::kCheckBox, host::WidgetKind::kGroupBox,
        host::WidgetKind::kDoubleSpinBox, host::WidgetKind::kSpinBox, host::WidgetKind::kEdit,
        host::WidgetKind::kLabel}) {
    const int32_t id = driver.findWidget(path, kind, reason.empty() ? &reason : nullptr);
    if (id == 0) continue;
    const auto found = widgetRects_.find(id);
    if (found == widgetRects_.end()) {
      *error = "'" + path + "' is not shown now";
      return false;
    }
    *rect = found->second;
    return true;
  }
  const int32_t window = driver.findWindow(path);
  if (const auto found = widgetRects_.find(window); window != 0 && found != widgetRects_.end()) {
    *rect = found->second;
    return true;
  }
  *error = reason.empty() ? "nothing shown is called '" + path + "'" : reason;
  return false;
}

void GuiWindow::pointOf(double u, double v, int* x, int* y) {
  frame();
  float px = 0, py = 0;
  uvView_.pixelOf(u, v, &px, &py);
  *x = static_cast<int>(std::lround(px));
  *y = static_cast<int>(std::lround(py));
}

void GuiWindow::viewFrame(bool all) {
  uvView_.frame(session_.document(), all);
}

void GuiWindow::viewZoom(double zoom) {
  uvView_.setZoom(zoom);
}

// --- one frame ----------------------------------------------------------------------

void GuiWindow::frame(std::vector<uint32_t>* capture, int* captureWidth, int* captureHeight) {
  if (window_ == nullptr) return;
  glfwPollEvents();
  ImGui_ImplOpenGL3_NewFrame();
  ImGui_ImplGlfw_NewFrame();
  ImGui::NewFrame();
  widgetRects_.clear();
  paneRects_.erase("box");

  int width = 0, height = 0;
  glfwGetFramebufferSize(window_, &width, &height);
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  paneRects_["menu"] = {0, 0, width, static_cast<int>(kMenuHeight)};
  paneRects_["objects"] = {0, static_cast<int>(kMenuHeight), static_cast<int>(kObjectsWidth),
                           static_cast<int>(h - kMenuHeight - kConsoleHeight)};
  paneRects_["console"] = {0, static_cast<int>(h - kConsoleHeight), width, static_cast<int>(kConsoleHeight)};
  // The plug-in's main window docks in a column on the right unless it was
  // placed; the UV view takes what is left.
  dockWidth_ = 0;
  const host::WidgetTree& tree = session_.widgets().tree();
  for (const int32_t id : tree.windows()) {
    const host::Widget* window = tree.find(id);
    if (window != nullptr && window->owner != nullptr && window->kind == host::WidgetKind::kWindow &&
        host::BoolProperty(*window, "visible")) {
      dockWidth_ = static_cast<float>(host::FittedSize(tree, id).width) + 4;
      break;
    }
  }
  uvView_.setRect({kObjectsWidth, kMenuHeight, std::max(1.0f, w - kObjectsWidth - dockWidth_),
                   std::max(1.0f, h - kMenuHeight - kConsoleHeight)});
  const PixelRect& view = uvView_.rect();
  paneRects_["uv-view"] = {static_cast<int>(view.x), static_cast<int>(view.y), static_cast<int>(view.width),
                           static_cast<int>(view.height)};

  // A click acts on release; the keys it holds are those of its press.
  if (ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
    pressCtrl_ = ImGui::GetIO().KeyCtrl;
    pressShift_ = ImGui::GetIO().KeyShift;
  }
  const bool modal = modalActive();
  if (modal) ImGui::BeginDisabled();
  drawMenus();
  drawObjectsPane();
  drawUvPane();
  drawConsolePane();
  if (modal) ImGui::EndDisabled();
  drawPluginWindows(overlays_.empty());
  for (size_t i = 0; i < overlays_.size(); ++i) {
    // Drawing an overlay may open another (Save opens the chooser): the
    // question is asked once, before.
    const bool covered = i + 1 < overlays_.size();
    if (covered) ImGui::BeginDisabled();
    drawOverlay(*overlays_[i]);
    if (covered) ImGui::EndDisabled();
  }
  overlays_.erase(std::remove_if(overlays_.begin(), overlays_.end(),
                                 [](const std::unique_ptr<Overlay>& o) {
                                   return o->done && o->kind != Overlay::kPluginBox;
                                 }),
                  overlays_.end());
  handleKeys();
  ImGui::Render();

  glViewport(0, 0, width, height);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.1f, 0.1f, 0.11f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  uvView_.draw(session_.document(), height, glfwGetTime());
  glViewport(0, 0, width, height);
  ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
  if (capture != nullptr) {
    capture->assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, capture->data());
    *captureWidth = width;
    *captureHeight = height;
  }
  glfwSwapBuffers(window_);
  ++frames_;
}

void GuiWindow::handleKeys() {
  const ImGuiIO& io = ImGui::GetIO();
  std::vector<std::pair<int, int>> presses;
  presses.swap(keyPresses_);
  for (const auto& [key, mods] : presses) {
    const bool ctrl = (mods & GLFW_MOD_CONTROL) != 0, shift = (mods & GLFW_MOD_SHIFT) != 0;
    if (ctrl && key == GLFW_KEY_Q) {
      requestClose();
      return;
    }
    if (!overlays_.empty() && (key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER)) overlays_.back()->acceptKey = true;
    if (!overlays_.empty() && key == GLFW_KEY_ESCAPE) overlays_.back()->cancelKey = true;
    if (modalActive() || io.WantTextInput) continue;
    if (ctrl && key == GLFW_KEY_Z) act(shift ? "redo" : "undo");
    if (ctrl && key == GLFW_KEY_Y) act("redo");
    if (ctrl && key == GLFW_KEY_S) {
      if (session_.documentPath().empty()) openChooser(Overlay::kSaveAs, "Save As");
      else act("save");
    }
    if (ctrl && key == GLFW_KEY_A) act(shift ? "select uv none" : "select uv all");
    if (!ctrl && key == GLFW_KEY_F) act("view frame");
    if (key == GLFW_KEY_HOME) act("view all");
  }
}

void GuiWindow::drawMenus() {
  if (!ImGui::BeginMainMenuBar()) return;
  if (ImGui::BeginMenu("File")) {
    if (ImGui::MenuItem("Open...")) {
      if (modified_) {
        auto prompt = std::make_unique<Overlay>();
        prompt->kind = Overlay::kUnsaved;
        prompt->title = "Unsaved changes";
        prompt->message = "The document has changes that are not saved.";
        prompt->thenExit = false;
        pushOverlay(std::move(prompt));
      } else {
        openChooser(Overlay::kOpen, "Open");
      }
    }
    if (ImGui::MenuItem("Save", "Ctrl+S")) {
      if (session_.documentPath().empty()) openChooser(Overlay::kSaveAs, "Save As");
      else act("save");
    }
    if (ImGui::MenuItem("Save As...")) openChooser(Overlay::kSaveAs, "Save As");
    ImGui::Separator();
    if (ImGui::MenuItem("Quit", "Ctrl+Q")) requestClose();
    ImGui::EndMenu();
  }
  if (ImGui::BeginMenu("Edit")) {
    if (ImGui::MenuItem("Undo", "Ctrl+Z")) act("undo");
    if (ImGui::MenuItem("Redo", "Ctrl+Y")) act("redo");
    ImGui::Separator();
    if (ImGui::MenuItem("Select all", "Ctrl+A")) act("select uv all");
    if (ImGui::MenuItem("Select none", "Ctrl+Shift+A")) act("select uv none");
    ImGui::EndMenu();
  }
  if (ImGui::BeginMenu("View")) {
    if (ImGui::MenuItem("Frame selection", "F")) act("view frame");
    if (ImGui::MenuItem("Frame all", "Home")) act("view all");
    if (ImGui::MenuItem("Pavlex window")) act("activate");
    ImGui::EndMenu();
  }
  ImGui::EndMainMenuBar();
}

void GuiWindow::drawObjectsPane() {
  const commands::WindowRect& r = paneRects_["objects"];
  ImGui::SetNextWindowPos(ImVec2(static_cast<float>(r.x), static_cast<float>(r.y)));
  ImGui::SetNextWindowSize(ImVec2(static_cast<float>(r.width), static_cast<float>(r.height)));
  ImGui::Begin("Objects", nullptr,
               ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  host::HostDocument& document = session_.document();
  for (int32_t slot = 0; slot < document.objectSlotCount(); ++slot) {
    const host::HostObject* object = document.object(slot);
    if (object == nullptr) continue;
    ImGui::PushID(slot);
    bool visible = object->visible, locked = object->locked;
    if (ImGui::Checkbox("##visible", &visible)) {
      act(std::string(visible ? "show" : "hide") + " object " + std::to_string(slot));
    }
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("visible");
    ImGui::SameLine();
    if (ImGui::Checkbox("##locked", &locked)) {
      act(std::string(locked ? "lock" : "unlock") + " object " + std::to_string(slot));
    }
    if (ImGui::IsItemHovered()) ImGui::SetTooltip("locked");
    ImGui::SameLine();
    if (ImGui::Selectable(object->name().c_str(), slot == document.currentObject())) {
      if (slot != document.currentObject()) act("object " + std::to_string(slot));
    }
    ImGui::PopID();
  }
  ImGui::Separator();
  ImGui::TextUnformatted("Material");
  const host::HostMaterial* current = document.material(document.currentMaterial());
  ImGui::SetNextItemWidth(-1);
  if (ImGui::BeginCombo("##material", current != nullptr ? current->name.c_str() : "(none)")) {
    for (int32_t slot = 0; slot < document.materialSlotCount(); ++slot) {
      const host::HostMaterial* material = document.material(slot);
      if (material == nullptr) continue;
      ImGui::PushID(slot);
      if (ImGui::Selectable(material->name.c_str(), slot == document.currentMaterial())) {
        act("material " + std::to_string(slot));
      }
      ImGui::PopID();
    }
    ImGui::EndCombo();
  }
  ImGui::Separator();
  ImGui::Text("%zu faces drawn", uvView_.faceCount());
  ImGui::End();
}

void GuiWindow::drawUvPane() {
  const PixelRect& view = uvView_.rect();
  ImGui::SetNextWindowPos(ImVec2(view.x, view.y));
  ImGui::SetNextWindowSize(ImVec2(view.width, view.height));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::Begin("UV view", nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoMove |
                   ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoSavedSettings);
  ImGui::PopStyleVar();
  ImGui::SetCursorScreenPos(ImVec2(view.x, view.y));
  ImGui::InvisibleButton("canvas", ImVec2(view.width, view.height),
                         ImGuiButtonFlags_MouseButtonLeft | ImGuiButtonFlags_MouseButtonMiddle);
  const ImGuiIO& io = ImGui::GetIO();
  const bool hovered = ImGui::IsItemHovered();
  const bool panning = ImGui::IsItemActive() && (ImGui::IsMouseDown(ImGuiMouseButton_Middle) ||
                                                 (ImGui::IsKeyDown(GLFW_KEY_SPACE) && !io.WantTextInput));
  if (panning) {
    uvView_.pan(io.MouseDelta.x, io.MouseDelta.y);
    boxActive_ = false;
  } else if (ImGui::IsItemActivated() && ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
    // Where and with which keys the press happened: a press, a move and a
    // release can all arrive in one wake-up.
    boxActive_ = true;
    boxStartX_ = io.MouseClickedPos[ImGuiMouseButton_Left].x;
    boxStartY_ = io.MouseClickedPos[ImGuiMouseButton_Left].y;
    boxShift_ = io.KeyShift;
    boxCtrl_ = io.KeyCtrl;
    boxAlt_ = io.KeyAlt;
  }
  if (hovered && ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left) && !io.KeyAlt) {
    // The first click selected the corner; its island is the plug-in's.
    // The second press ends there: its release selects nothing again.
    boxActive_ = false;
    if (uvView_.nearestCorner(io.MousePos.x, io.MousePos.y, kPickPixels).face >= 0) act("press Select/group");
  }
  if (hovered && io.MouseWheel != 0) uvView_.zoomAbout(io.MousePos.x, io.MousePos.y, std::pow(1.2, io.MouseWheel));
  if (boxActive_) {
    const float dx = io.MousePos.x - boxStartX_, dy = io.MousePos.y - boxStartY_;
    const bool dragged = std::fabs(dx) > 3 || std::fabs(dy) > 3;
    if (dragged) {
      ImGui::GetWindowDrawList()->AddRect(ImVec2(std::min(boxStartX_, io.MousePos.x), std::min(boxStartY_, io.MousePos.y)),
                                          ImVec2(std::max(boxStartX_, io.MousePos.x), std::max(boxStartY_, io.MousePos.y)),
                                          IM_COL32(255, 200, 60, 255));
    }
    if (ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
      boxActive_ = false;
      const bool add = io.KeyShift || boxShift_, remove = io.KeyCtrl || boxCtrl_;
      const std::string verb = remove ? "deselect" : "select";
      if (!add && !remove) act("select uv none");
      if (dragged) {
        double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
        uvView_.uvOf(std::min(boxStartX_, io.MousePos.x), std::max(boxStartY_, io.MousePos.y), &u0, &v0);
        uvView_.uvOf(std::max(boxStartX_, io.MousePos.x), std::min(boxStartY_, io.MousePos.y), &u1, &v1);
        act(verb + " uv rect " + FormatNumber(u0) + " " + FormatNumber(v0) + " " + FormatNumber(u1) + " " +
            FormatNumber(v1));
      } else if (io.KeyAlt || boxAlt_) {
        const CornerRef edge = uvView_.nearestEdge(io.MousePos.x, io.MousePos.y, kPickPixels);
        if (edge.face >= 0) {
          const int32_t n = uvView_.cornerCountOfFace(edge.face);
          act(verb + " uv " + std::to_string(edge.face) + ":" + std::to_string(edge.corner) + " " +
              std::to_string(edge.face) + ":" + std::to_string((edge.corner + 1) % std::max(1, n)));
        }
      } else {
        const CornerRef corner = uvView_.nearestCorner(io.MousePos.x, io.MousePos.y, kPickPixels);
        if (corner.face >= 0) {
          act(verb + " uv " + std::to_string(corner.face) + ":" + std::to_string(corner.corner));
        }
      }
    }
  }
  ImGui::End();
}

void GuiWindow::drawConsolePane() {
  const commands::WindowRect& r = paneRects_["console"];
  ImGui::SetNextWindowPos(ImVec2(static_cast<float>(r.x), static_cast<float>(r.y)));
  ImGui::SetNextWindowSize(ImVec2(static_cast<float>(r.width), static_cast<float>(r.height)));
  ImGui::Begin("Console", nullptr,
               ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                   ImGuiWindowFlags_NoBringToFrontOnFocus);
  const float inputHeight = ImGui::GetFrameHeightWithSpacing();
  ImGui::BeginChild("lines", ImVec2(0, -inputHeight));
  ImGuiListClipper clipper;
  clipper.Begin(static_cast<int>(console_.size()));
  while (clipper.Step()) {
    for (int i = clipper.DisplayStart; i < clipper.DisplayEnd; ++i) ImGui::TextUnformatted(console_[i].c_str());
  }
  if (scrollConsole_) ImGui::SetScrollHereY(1.0f);
  scrollConsole_ = false;
  ImGui::EndChild();
  ImGui::SetNextItemWidth(-1);
  auto callback = [](ImGuiInputTextCallbackData* data) -> int {
    auto* self = static_cast<GuiWindow*>(data->UserData);
    if (data->EventFlag == ImGuiInputTextFlags_CallbackHistory && !self->history_.empty()) {
      const int count = static_cast<int>(self->history_.size());
      int& at = self->historyPosition_;
      if (data->EventKey == ImGuiKey_UpArrow) at = at < 0 ? count - 1 : std::max(0, at - 1);
      if (data->EventKey == ImGuiKey_DownArrow) at = at < 0 ? -1 : (at + 1 < count ? at + 1 : -1);
      data->DeleteChars(0, data->BufTextLen);
      if (at >= 0) data->InsertChars(0, self->history_[static_cast<size_t>(at)].c_str());
    } else if (data->EventFlag == ImGuiInputTextFlags_CallbackCompletion) {
      // Completes the word under the cursor: a command name first, then
      // a widget path the user can reach now.
      const std::string text(data->Buf, static_cast<size_t>(data->CursorPos));
      const size_t start = text.find_last_of(" \"") == std::string::npos ? 0 : text.find_last_of(" \"") + 1;
      const std::string word = text.substr(start);
      std::vector<std::string> candidates;
      if (start == 0) {
        for (const std::string& name : commands::CommandNames()) {
          if (name.rfind(word, 0) == 0) candidates.push_back(name);
        }
      } else {
        for (const host::WidgetPathEntry& entry : host::HostDriver(self->session_).reachablePaths()) {
          if (entry.path.rfind(word, 0) == 0) candidates.push_back(entry.path);
        }
      }
      if (candidates.empty()) return 0;
      std::string common = candidates.front();
      for (const std::string& c : candidates) {
        size_t n = 0;
        while (n < common.size() && n < c.size() && common[n] == c[n]) ++n;
        common.resize(n);
      }
      if (candidates.size() > 1) {
        std::string list;
        for (size_t i = 0; i < candidates.size() && i < 12; ++i) list += candidates[i] + "  ";
        self->appendConsole(list + "\n");
      }
      data->DeleteChars(static_cast<int>(start), static_cast<int>(word.size()));
      data->InsertChars(static_cast<int>(start), common.c_str());
    }
    return 0;
  };
  if (focusConsole_) ImGui::SetKeyboardFocusHere();
  focusConsole_ = false;
  if (ImGui::InputText("##command", consoleInput_, sizeof consoleInput_,
                       ImGuiInputTextFlags_EnterReturnsTrue | ImGuiInputTextFlags_CallbackHistory |
                           ImGuiInputTextFlags_CallbackCompletion,
                       callback, this)) {
    const std::string typed = consoleInput_;
    consoleInput_[0] = '\0';
    focusConsole_ = true;
    if (!typed.empty()) {
      history_.push_back(typed);
      historyPosition_ = -1;
      for (commands::ScriptLine& line : commands::SplitScript(typed, "console")) act(line.text);
    }
  }
  ImGui::End();
}

void GuiWindow::drawOverlay(Overlay& overlay) {
  const ImGuiViewport* viewport = ImGui::GetMainViewport();
  if (!overlay.placed) {
    ImGui::SetNextWindowPos(ImVec2(viewport->Size.x / 2, viewport->Size.y / 2), ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    overlay.placed = true;
  }
  ImGui::SetNextWindowFocus();
  const std::string title = overlay.title + "###overlay" + std::to_string(reinterpret_cast<uintptr_t>(&overlay));
  ImGui::Begin(title.c_str(), nullptr,
               ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings);
  // `print geometry box`: the innermost box, prompt or chooser.
  paneRects_["box"] = {static_cast<int>(ImGui::GetWindowPos().x), static_cast<int>(ImGui::GetWindowPos().y),
                       static_cast<int>(ImGui::GetWindowSize().x), static_cast<int>(ImGui::GetWindowSize().y)};
  const bool accept = std::exchange(overlay.acceptKey, false);
  const bool cancel = std::exchange(overlay.cancelKey, false);
  // A plug-in box that already answered waits for its request to return.
  const bool answered = overlay.kind == Overlay::kPluginBox && !pending_.empty();
  switch (overlay.kind) {
    case Overlay::kPluginBox: {
      ImGui::TextUnformatted(overlay.message.c_str());
      const std::string& type = overlay.boxType;
      if (type.empty() || type == "ok") {
        if (ImGui::Button("OK", ImVec2(80, 0)) || accept || cancel) overlay.done = true;
      } else if (type.find("yes") != std::string::npos) {
        if ((ImGui::Button("Yes", ImVec2(80, 0)) || accept) && !answered) act("answer yes");
        ImGui::SameLine();
        if ((ImGui::Button("No", ImVec2(80, 0)) || cancel) && !answered) act("answer no");
      } else {
        if ((ImGui::Button("OK", ImVec2(80, 0)) || accept) && !answered) act("answer ok");
        ImGui::SameLine();
        if ((ImGui::Button("Cancel", ImVec2(80, 0)) || cancel) && !answered) act("answer cancel");
      }
      break;
    }
    case Overlay::kNotice:
      ImGui::TextUnformatted(overlay.message.c_str());
      if (ImGui::Button("OK", ImVec2(80, 0)) || accept || cancel) overlay.done = true;
      break;
    case Overlay::kUnsaved:
      ImGui::TextUnformatted(overlay.message.c_str());
      if (ImGui::Button("Save", ImVec2(80, 0)) || accept) {
        overlay.done = true;
        if (session_.documentPath().empty()) {
          exitAfterSaveAs_ = overlay.thenExit;
          openChooser(Overlay::kSaveAs, "Save As");
        } else {
          act("save");
          exitAfterSave_ = overlay.thenExit;
        }
        if (!overlay.thenExit && !session_.documentPath().empty()) openChooser(Overlay::kOpen, "Open");
      }
      ImGui::SameLine();
      if (ImGui::Button("Discard", ImVec2(80, 0))) {
        overlay.done = true;
        if (overlay.thenExit) {
          modified_ = false;
          finished_ = true;
        } else {
          openChooser(Overlay::kOpen, "Open");
        }
      }
      ImGui::SameLine();
      if (ImGui::Button("Cancel", ImVec2(80, 0)) || cancel) overlay.done = true;
      break;
    case Overlay::kPluginSave:
    case Overlay::kChooser: {
      ImGui::Text("Folder: %s", overlay.folder.c_str());
      ImGui::BeginChild("files", ImVec2(360, 180), true);
      std::error_code error;
      std::filesystem::path folder(overlay.folder);
      if (ImGui::Selectable("..")) {
        overlay.folder = folder.parent_path().string();
      }
      std::vector<std::filesystem::directory_entry> entries;
      for (const auto& entry : std::filesystem::directory_iterator(folder, error)) entries.push_back(entry);
      std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.path() < b.path(); });
      for (const auto& entry : entries) {
        std::error_code kindError;
        const bool isFolder = entry.is_directory(kindError);
        const std::string name = entry.path().filename().string() + (isFolder ? "/" : "");
        if (ImGui::Selectable(name.c_str())) {
          if (isFolder) overlay.folder = entry.path().string();
          else std::snprintf(overlay.name, sizeof overlay.name, "%s", entry.path().filename().string().c_str());
        }
      }
      ImGui::EndChild();
      ImGui::SetNextItemWidth(360);
      if (std::exchange(overlay.focusName, false)) ImGui::SetKeyboardFocusHere();
      const bool entered = ImGui::InputText("##name", overlay.name, sizeof overlay.name,
                                            ImGuiInputTextFlags_EnterReturnsTrue) ||
                           accept;
      const std::string chosen = overlay.name[0] == '\0' ? std::string()
                                 : std::filesystem::path(overlay.name).is_absolute()
                                     ? std::string(overlay.name)
                                     : (folder / overlay.name).string();
      auto finish = [&](bool confirmed) {
        if (overlay.kind == Overlay::kPluginSave) {
          act(confirmed ? "answer " + commands::QuoteWord(chosen) : std::string("answer cancel"));
          return;
        }
        overlay.done = true;
        if (!confirmed) return;
        act(std::string(overlay.purpose == Overlay::kOpen ? "open " : "save ") + commands::QuoteWord(chosen));
        pending_.back().origin = "menu";
        if (overlay.purpose == Overlay::kSaveAs) exitAfterSave_ = exitAfterSaveAs_;
        exitAfterSaveAs_ = false;
      };
      if (overlay.confirmOverwrite) {
        ImGui::Text("'%s' exists. Overwrite it?", chosen.c_str());
        if (ImGui::Button("Overwrite", ImVec2(90, 0)) || accept) {
          overlay.confirmOverwrite = false;
          finish(true);
        }
        ImGui::SameLine();
        if (ImGui::Button("Back", ImVec2(90, 0)) || cancel) overlay.confirmOverwrite = false;
      } else {
        if ((ImGui::Button(overlay.saving ? "Save" : "Open", ImVec2(90, 0)) || entered) && !chosen.empty()) {
          std::error_code existsError;
          if (overlay.saving && std::filesystem::exists(chosen, existsError)) overlay.confirmOverwrite = true;
          else finish(true);
        }
        ImGui::SameLine();
        if ((ImGui::Button("Cancel", ImVec2(90, 0)) || cancel) && !(overlay.kind == Overlay::kPluginSave && !pending_.empty())) {
          finish(false);
        }
      }
      break;
    }
  }
  ImGui::End();
}

}  // namespace pavlex::gui

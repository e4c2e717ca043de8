#include "gui/gui_window.h"
#include "gui/overlay.h"

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
  static const char* const kQuiet[] = {"print", "help", "screenshot", "view",   "draw",   "save",
                                       "open",  "quit", "exit",       "layout", "texture", "stretch"};
  for (const char* quiet : kQuiet) {
    if (words[0] == quiet) return true;
  }
  return false;
}

std::string Utf8(const std::u16string& text) {
  return platform::Utf16ToUtf8(text);
}

// The panes around the UV view, in pixels.
constexpr float kMenuHeight = 20;
constexpr float kObjectsWidth = 170;
constexpr float kConsoleHeight = 150;

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
    modelView_.markDirty();
    if (ok) modified_ = true;
    refreshTexture();
    refreshStretch();
  }
  std::vector<std::string> words;
  try {
    words = commands::TokenizeCommand(line.text);
  } catch (const commands::CommandError&) {
  }
  if (words.empty()) return;
  if (words[0] == "open" || words[0] == "close") {
    uvView_.markDirty();
    refreshTexture();
    refreshStretch();
    modelView_.markDirty();
    if (ok) modified_ = false;
    if (ok) viewFrame(true);
    if (ok) modelView_.frame(session_.document(), true);
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
  // So is the 3D view's full model, and a wheel step is said once it rests.
  const bool soon = uvView_.needsRefine() || modelView_.needsRefine() || wheelMovedAt_ >= 0;
  glfwWaitEventsTimeout(soon ? UvView::kRefineDelay : 1.0);
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

bool GuiWindow::screenshot(const std::string& path, std::string* error) {
  // Two frames: a layout change of the last command settles in the first;
  // the second is read back before it is presented.
  uvView_.refineNow();
  modelView_.refineNow();
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

void GuiWindow::modelFrame(bool all) {
  modelView_.frame(session_.document(), all);
}

void GuiWindow::modelProjection(bool orthographic) {
  Camera camera = modelView_.camera();
  camera.orthographic = orthographic;
  modelView_.setCamera(camera);
}

void GuiWindow::modelOrbit(double yaw, double pitch) {
  Camera camera = modelView_.camera();
  // Any yaw names a direction; the camera keeps it in [0, 360). The
  // pitch is held short of straight up or down by setCamera.
  const double turned = std::fmod(std::fmod(yaw, 360.0) + 360.0, 360.0);
  camera.yaw = turned >= 360.0 ? 0.0f : static_cast<float>(turned);
  camera.pitch = static_cast<float>(pitch);
  modelView_.setCamera(camera);
}

void GuiWindow::modelDistance(double distance) {
  Camera camera = modelView_.camera();
  camera.distance = static_cast<float>(distance);
  modelView_.setCamera(camera);
}

void GuiWindow::modelTarget(double x, double y, double z) {
  Camera camera = modelView_.camera();
  camera.target = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  modelView_.setCamera(camera);
}

void GuiWindow::modelMode(const std::string& mode) {
  modelView_.setMode(mode == "vertex" ? ModelPickMode::kVertex
                     : mode == "line" ? ModelPickMode::kLine
                                      : ModelPickMode::kFace);
}

bool GuiWindow::modelPointOf(double x, double y, double z, int* px, int* py, std::string* error) {
  frame();
  float fx = 0, fy = 0;
  if (!modelView_.pixelOf({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)}, &fx, &fy)) {
    *error = "the 3D view does not show that point: it lies behind the eye";
    return false;
  }
  *px = static_cast<int>(std::lround(fx));
  *py = static_cast<int>(std::lround(fy));
  return true;
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
  // The UV view on the left of what is left, the 3D view beside it.
  const float middle = std::max(2.0f, w - kObjectsWidth - dockWidth_);
  const float uvWidth = std::floor(middle / 2), paneHeight = std::max(1.0f, h - kMenuHeight - kConsoleHeight);
  uvView_.setRect({kObjectsWidth, kMenuHeight, std::max(1.0f, uvWidth - 2), paneHeight});
  modelView_.setRect({kObjectsWidth + uvWidth, kMenuHeight, std::max(1.0f, middle - uvWidth), paneHeight});
  const PixelRect& view = uvView_.rect();
  paneRects_["uv-view"] = {static_cast<int>(view.x), static_cast<int>(view.y), static_cast<int>(view.width),
                           static_cast<int>(view.height)};
  const Viewport& model = modelView_.rect();
  paneRects_["model-view"] = {static_cast<int>(model.x), static_cast<int>(model.y), static_cast<int>(model.width),
                              static_cast<int>(model.height)};

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
  drawModelPane();
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
  modelView_.draw(session_.document(), height, glfwGetTime());
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
    // F and Home act on the view under the mouse.
    const Viewport& model = modelView_.rect();
    const bool overModel = io.MousePos.x >= model.x && io.MousePos.x < model.x + model.width &&
                           io.MousePos.y >= model.y && io.MousePos.y < model.y + model.height;
    if (!ctrl && key == GLFW_KEY_F) act(overModel ? "view 3d frame" : "view frame");
    if (key == GLFW_KEY_HOME) act(overModel ? "view 3d all" : "view all");
  }
}

}  // namespace pavlex::gui

// The panes around the plug-in's windows: menus, objects and materials,
// the UV view's mouse (pick, box, pan, zoom) and the console with its
// history and completion. Everything a person does here becomes a command
// line through act().
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gui/gui_window.h"
#include "gui/overlay.h"
#include "host/document/host_document.h"
#include "host/driver/host_driver.h"
#include "host/session/host_session.h"

namespace pavlex::gui {
namespace {

constexpr float kPickPixels = 6;  // how far from a corner or edge a click still picks it

std::string FormatNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

}  // namespace

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
    ImGui::Separator();
    if (ImGui::MenuItem("3D: frame selection")) act("view 3d frame");
    if (ImGui::MenuItem("3D: frame all")) act("view 3d all");
    if (ImGui::MenuItem("3D: orthographic", nullptr, modelView_.camera().orthographic)) {
      act(modelView_.camera().orthographic ? "view 3d persp" : "view 3d ortho");
    }
    ImGui::Separator();
    if (ImGui::MenuItem("Pavlex window")) act("activate");
    ImGui::Separator();
    if (ImGui::MenuItem("Texture: checker", nullptr, textureMode_ == TextureMode::kChecker)) act("texture checker");
    if (ImGui::MenuItem("Texture: material image", nullptr, textureMode_ == TextureMode::kImage)) act("texture image");
    if (ImGui::MenuItem("Texture: off", nullptr, textureMode_ == TextureMode::kOff)) act("texture off");
    if (ImGui::MenuItem("Stretch", nullptr, stretchOn_)) act(stretchOn_ ? "stretch off" : "stretch on");
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
  drawStretchLegend();
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

}  // namespace pavlex::gui

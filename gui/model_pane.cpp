// The 3D view's mouse and toolbar. Everything becomes a command line
// through act(): picks and boxes become `select`/`deselect` of vertices,
// lines or faces of the current object (a click on another object makes
// it current first), camera drags become one `view 3d` line on release.
//
//   left click / drag   select the element under the cursor / in the box
//                       (Shift adds, Ctrl removes, neither replaces)
//   right drag          orbit (also Alt + left drag)
//   middle drag         pan
//   wheel               move closer or away
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/gui_window.h"
#include "host/document/host_document.h"
#include "host/session/host_session.h"

namespace pavlex::gui {
namespace {

constexpr float kPickPixels = 6;     // how far from a vertex or line a click still picks it
constexpr double kWheelRest = 0.35;  // seconds without a wheel step before the distance is said

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

const char* KindWord(ModelPickMode mode) {
  switch (mode) {
    case ModelPickMode::kVertex:
      return "vertex";
    case ModelPickMode::kLine:
      return "line";
    case ModelPickMode::kFace:
      break;
  }
  return "face";
}

// Sorted indices as words, runs of three or more as FIRST-LAST, in lines
// of at most `perLine` words so no command grows without bound.
std::vector<std::string> IndexLines(std::vector<int32_t> indices, size_t perLine) {
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  std::vector<std::string> lines;
  std::string line;
  size_t words = 0;
  for (size_t i = 0; i < indices.size();) {
    size_t j = i;
    while (j + 1 < indices.size() && indices[j + 1] == indices[j] + 1) ++j;
    std::string word = std::to_string(indices[i]);
    if (j >= i + 2) {
      word += "-" + std::to_string(indices[j]);
    } else {
      j = i;
    }
    line += (line.empty() ? "" : " ") + word;
    if (++words == perLine) {
      lines.push_back(line);
      line.clear();
      words = 0;
    }
    i = j + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

void GuiWindow::selectInModel(bool dragged, float x, float y, bool add, bool remove) {
  const host::HostDocument& document = session_.document();
  const ModelPickMode mode = modelView_.mode();
  const std::string kind = KindWord(mode), verb = remove ? "deselect" : "select";
  int32_t object = document.currentObject();
  std::vector<int32_t> indices;                       // vertex, face
  std::vector<std::pair<int32_t, int32_t>> lines;      // line
  if (dragged) {
    const PixelBox box{modelBoxStartX_, modelBoxStartY_, x, y};
    if (mode == ModelPickMode::kVertex) indices = modelView_.verticesInBox(object, box);
    if (mode == ModelPickMode::kFace) indices = modelView_.facesInBox(object, box);
    if (mode == ModelPickMode::kLine) lines = modelView_.linesInBox(object, box);
  } else {
    const ModelHit hit = modelView_.pick(x, y, kPickPixels);
    if (hit.object >= 0 && hit.object != object) {
      // A click on another object makes it the current one, as a click on
      // its name does.
      act("object " + std::to_string(hit.object));
      object = hit.object;
    }
    if (hit.object >= 0 && mode == ModelPickMode::kVertex) indices.push_back(hit.vertex);
    if (hit.object >= 0 && mode == ModelPickMode::kFace) indices.push_back(hit.face);
    if (hit.object >= 0 && mode == ModelPickMode::kLine) lines.emplace_back(hit.face, hit.corner);
  }
  if (document.object(object) == nullptr) return;
  if (!add && !remove) act("select " + kind + " none");
  constexpr size_t kWordsPerLine = 2000;
  if (mode == ModelPickMode::kLine) {
    std::string line;
    size_t words = 0;
    for (const auto& [face, corner] : lines) {
      line += " " + std::to_string(face) + ":" + std::to_string(corner);
      if (++words == kWordsPerLine) {
        act(verb + " line" + line);
        line.clear();
        words = 0;
      }
    }
    if (!line.empty()) act(verb + " line" + line);
    return;
  }
  for (const std::string& words : IndexLines(std::move(indices), kWordsPerLine)) act(verb + " " + kind + " " + words);
}

void GuiWindow::drawModelPane() {
  const Viewport& view = modelView_.rect();
  ImGui::SetNextWindowPos(ImVec2(view.x, view.y));
  ImGui::SetNextWindowSize(ImVec2(view.width, view.height));
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::Begin("3D view", nullptr,
               ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoBackground | ImGuiWindowFlags_NoMove |
                   ImGuiWindowFlags_NoBringToFrontOnFocus | ImGuiWindowFlags_NoSavedSettings);
  ImGui::PopStyleVar();
  // The toolbar: what the mouse selects, and the projection. Before the
  // canvas, so its buttons take the clicks over it.
  ImGui::SetCursorScreenPos(ImVec2(view.x + 4, view.y + 4));
  static const ModelPickMode kModes[] = {ModelPickMode::kVertex, ModelPickMode::kLine, ModelPickMode::kFace};
  for (const ModelPickMode mode : kModes) {
    const bool current = modelView_.mode() == mode;
    if (current) ImGui::PushStyleColor(ImGuiCol_Button, ImGui::GetStyleColorVec4(ImGuiCol_ButtonActive));
    if (ImGui::SmallButton(KindWord(mode)) && !current) act(std::string("view 3d mode ") + KindWord(mode));
    if (current) ImGui::PopStyleColor();
    ImGui::SameLine();
  }
  const bool ortho = modelView_.camera().orthographic;
  if (ImGui::SmallButton(ortho ? "ortho" : "persp")) act(ortho ? "view 3d persp" : "view 3d ortho");
  if (modelView_.needsRefine()) {
    ImGui::SameLine();
    ImGui::TextDisabled("(coarse while moving)");
  }
  ImGui::SetCursorScreenPos(ImVec2(view.x, view.y));
  ImGui::InvisibleButton("canvas", ImVec2(view.width, view.height),
                         ImGuiButtonFlags_MouseButtonLeft | ImGuiButtonFlags_MouseButtonMiddle |
                             ImGuiButtonFlags_MouseButtonRight);
  const ImGuiIO& io = ImGui::GetIO();
  const bool hovered = ImGui::IsItemHovered(), active = ImGui::IsItemActive();
  const double now = ImGui::GetTime();

  // Camera drags move the view at once and are said once, on release.
  const bool rightDown = active && ImGui::IsMouseDown(ImGuiMouseButton_Right);
  const bool altLeft = active && ImGui::IsMouseDown(ImGuiMouseButton_Left) && io.KeyAlt && !modelBoxActive_;
  if (rightDown || altLeft) {
    modelView_.orbit(io.MouseDelta.x, io.MouseDelta.y);
    orbiting_ = true;
  } else if (orbiting_) {
    orbiting_ = false;
    act("view 3d orbit " + Number(modelView_.camera().yaw) + " " + Number(modelView_.camera().pitch));
  }
  if (active && ImGui::IsMouseDown(ImGuiMouseButton_Middle)) {
    modelView_.pan(io.MouseDelta.x, io.MouseDelta.y);
    panningModel_ = true;
  } else if (panningModel_) {
    panningModel_ = false;
    const Vec3 t = modelView_.camera().target;
    act("view 3d target " + Number(t.x) + " " + Number(t.y) + " " + Number(t.z));
  }
  if (hovered && io.MouseWheel != 0) {
    modelView_.dolly(static_cast<float>(std::pow(1.15, -io.MouseWheel)));
    wheelMovedAt_ = now;
  } else if (wheelMovedAt_ >= 0 && now - wheelMovedAt_ >= kWheelRest) {
    wheelMovedAt_ = -1;
    act("view 3d distance " + Number(modelView_.camera().distance));
  }

  if (ImGui::IsItemActivated() && ImGui::IsMouseClicked(ImGuiMouseButton_Left) && !io.KeyAlt) {
    // Where and with which keys the press happened: a press, a move and a
    // release can all arrive in one wake-up.
    modelBoxActive_ = true;
    modelBoxStartX_ = io.MouseClickedPos[ImGuiMouseButton_Left].x;
    modelBoxStartY_ = io.MouseClickedPos[ImGuiMouseButton_Left].y;
    modelBoxShift_ = io.KeyShift;
    modelBoxCtrl_ = io.KeyCtrl;
  }
  if (modelBoxActive_) {
    const float dx = io.MousePos.x - modelBoxStartX_, dy = io.MousePos.y - modelBoxStartY_;
    const bool dragged = std::fabs(dx) > 3 || std::fabs(dy) > 3;
    if (dragged) {
      ImGui::GetWindowDrawList()->AddRect(
          ImVec2(std::min(modelBoxStartX_, io.MousePos.x), std::min(modelBoxStartY_, io.MousePos.y)),
          ImVec2(std::max(modelBoxStartX_, io.MousePos.x), std::max(modelBoxStartY_, io.MousePos.y)),
          IM_COL32(255, 200, 60, 255));
    }
    if (ImGui::IsMouseReleased(ImGuiMouseButton_Left)) {
      modelBoxActive_ = false;
      selectInModel(dragged, io.MousePos.x, io.MousePos.y, io.KeyShift || modelBoxShift_, io.KeyCtrl || modelBoxCtrl_);
    }
  }

  ImGui::End();
}

}  // namespace pavlex::gui

// The plug-in's windows and dialogs, drawn from the host's retained widget
// tree at the places the host's layout gives them. A click becomes the
// command that does the same through the host driver.
#include <imgui.h>

#include <algorithm>
#include <cstdio>

#include "gui/gui_window.h"
#include "host/commands/command_parser.h"
#include "host/driver/host_driver.h"
#include "host/session/host_session.h"
#include "host/widgets/widget_layout.h"
#include "host/widgets/widget_properties.h"
#include "host/widgets/widget_service.h"
#include "platform/text_conversion.h"

namespace pavlex::gui {
namespace {

std::string Text(const host::Widget& widget, const char* property) {
  return platform::Utf16ToUtf8(host::TextProperty(widget, property));
}

std::string SpinText(const host::Widget& widget) {
  char text[64];
  if (widget.kind == host::WidgetKind::kDoubleSpinBox) {
    std::snprintf(text, sizeof text, "%.*f", std::clamp(host::IntProperty(widget, "decimaldigit"), 0, 12),
                  host::NumberProperty(widget, "position"));
  } else {
    std::snprintf(text, sizeof text, "%d", host::IntProperty(widget, "position"));
  }
  return text;
}

ImU32 BackColour(const host::Widget& widget) {
  const host::PropertyValue* stored = widget.stored("backcolor.rgba");
  if (stored == nullptr || !std::holds_alternative<host::Int4>(*stored)) return 0;
  const host::Int4& c = std::get<host::Int4>(*stored);
  return c[3] == 0 ? 0 : IM_COL32(c[0], c[1], c[2], c[3]);
}

}  // namespace

std::string GuiWindow::clickKeys() const {
  const ImGuiIO& io = ImGui::GetIO();
  if (io.KeyCtrl || pressCtrl_) return " ctrl";
  if (io.KeyShift || pressShift_) return " shift";
  return "";
}

std::string GuiWindow::pathOf(int32_t widget) const {
  host::HostDriver driver(session_);
  for (const host::WidgetPathEntry& entry : driver.listPaths()) {
    if (entry.id != widget) continue;
    // A path that could name another widget of that kind gets its window.
    if (driver.findWidget(entry.path, entry.kind) == widget) return commands::QuoteWord(entry.path);
    return commands::QuoteWord(entry.window + "::" + entry.path);
  }
  return std::string();
}

void GuiWindow::drawPluginWindows(bool inputAllowed) {
  const host::WidgetTree& tree = session_.widgets().tree();
  const int32_t running = session_.runningDialog();
  std::vector<int32_t> shown;
  for (const int32_t id : tree.windows()) {
    const host::Widget* window = tree.find(id);
    if (window == nullptr || window->owner == nullptr || !host::BoolProperty(*window, "visible")) continue;
    if (id != running) shown.push_back(id);
  }
  // The running dialog last, so it is drawn over the rest.
  if (running != 0) shown.push_back(running);
  for (const int32_t id : shown) drawPluginWindow(id, inputAllowed && (running == 0 || id == running));
}

void GuiWindow::drawPluginWindow(int32_t windowId, bool inputAllowed) {
  host::WidgetTree& tree = session_.widgets().tree();
  host::Widget* window = tree.find(windowId);
  if (window == nullptr) return;
  const std::vector<host::PlacedWidget> placed = host::PlaceWindow(tree, windowId);
  if (placed.empty()) return;
  const std::string title = Text(*window, "title");

  ImVec2 stored(static_cast<float>(host::IntProperty(*window, "pos_x")),
                static_cast<float>(host::IntProperty(*window, "pos_y")));
  if (window->stored("pos_x") == nullptr && window->stored("pos_y") == nullptr) {
    // Nobody placed it: a window docks in the right column, a dialog sits
    // in the middle.
    const ImVec2 size = ImGui::GetMainViewport()->Size;
    if (window->kind == host::WidgetKind::kWindow) {
      stored = ImVec2(std::max(0.0f, size.x - dockWidth_), 24);
    } else {
      stored = ImVec2(std::max(0.0f, (size.x - static_cast<float>(placed.front().width)) / 2),
                      std::max(24.0f, (size.y - static_cast<float>(placed.front().height)) / 2));
    }
  }
  const auto known = windowPositions_.find(windowId);
  if (known == windowPositions_.end() || known->second != std::make_pair(stored.x, stored.y)) {
    // Kept inside this window, whatever screen the position came from.
    const ImVec2 size = ImGui::GetMainViewport()->Size;
    const ImVec2 at(std::clamp(stored.x, 0.0f, std::max(0.0f, size.x - 60)),
                    std::clamp(stored.y, 20.0f, std::max(20.0f, size.y - 40)));
    ImGui::SetNextWindowPos(at, ImGuiCond_Always);
  }
  if (windowId == session_.runningDialog()) ImGui::SetNextWindowFocus();
  ImGui::SetNextWindowBgAlpha(1.0f);  // what lies behind must not show through a dialog
  bool open = true;
  const bool closable = host::BoolProperty(*window, "closebutton");
  if (!inputAllowed) ImGui::BeginDisabled();
  ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
  ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(4, 4));
  const std::string label = title + "###plugin" + std::to_string(windowId);
  ImGui::Begin(label.c_str(), closable ? &open : nullptr,
               ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoSavedSettings |
                   ImGuiWindowFlags_NoScrollbar);
  const ImVec2 position = ImGui::GetWindowPos();
  if (position.x != stored.x || position.y != stored.y) {
    // Moved by the person (or placed inside): the plug-in stores where.
    window->store("pos_x", static_cast<int32_t>(position.x));
    window->store("pos_y", static_cast<int32_t>(position.y));
  }
  windowPositions_[windowId] = {position.x, position.y};
  const ImVec2 origin = ImGui::GetCursorScreenPos();
  ImDrawList* draw = ImGui::GetWindowDrawList();
  widgetRects_[windowId] = {static_cast<int>(origin.x), static_cast<int>(origin.y), placed.front().width,
                            placed.front().height};
  if (const ImU32 colour = BackColour(*window)) {
    draw->AddRectFilled(origin, ImVec2(origin.x + placed.front().width, origin.y + placed.front().height), colour);
  }

  for (size_t i = 1; i < placed.size(); ++i) {
    const host::PlacedWidget& p = placed[i];
    host::Widget* widget = tree.find(p.id);
    if (widget == nullptr) continue;
    const ImVec2 a(origin.x + static_cast<float>(p.x), origin.y + static_cast<float>(p.y));
    const ImVec2 b(a.x + static_cast<float>(p.width), a.y + static_cast<float>(p.height));
    const ImVec2 size(static_cast<float>(p.width), static_cast<float>(p.height));
    widgetRects_[p.id] = {static_cast<int>(a.x), static_cast<int>(a.y), p.width, p.height};
    ImGui::PushID(p.id);
    switch (widget->kind) {
      case host::WidgetKind::kFrame:
        if (const ImU32 colour = BackColour(*widget)) draw->AddRectFilled(a, b, colour);
        break;
      case host::WidgetKind::kGroupBox: {
        if (const ImU32 colour = BackColour(*widget)) draw->AddRectFilled(a, b, colour);
        draw->AddRectFilled(a, ImVec2(b.x, a.y + 20), IM_COL32(60, 66, 80, 255));
        draw->AddRect(a, b, IM_COL32(110, 115, 130, 255));
        draw->AddText(ImVec2(a.x + 6, a.y + 3), IM_COL32(235, 235, 240, 255), Text(*widget, "text").c_str());
        if (host::BoolProperty(*widget, "canminimize")) {
          ImGui::SetCursorScreenPos(ImVec2(b.x - 18, a.y + 2));
          ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(0, 0));
          if (ImGui::Button(widget->minimized ? "+" : "-", ImVec2(16, 16))) {
            act(std::string(widget->minimized ? "restore " : "minimize ") + pathOf(p.id));
          }
          ImGui::PopStyleVar();
        }
        break;
      }
      case host::WidgetKind::kButton: {
        const bool down = host::BoolProperty(*widget, "down");
        if (down) {
          ImGui::PushStyleColor(ImGuiCol_Button, IM_COL32(205, 120, 30, 255));
          ImGui::PushStyleColor(ImGuiCol_ButtonHovered, IM_COL32(225, 140, 45, 255));
        }
        ImGui::SetCursorScreenPos(a);
        if (ImGui::Button(Text(*widget, "text").c_str(), size)) act("click " + pathOf(p.id) + clickKeys());
        if (down) ImGui::PopStyleColor(2);
        break;
      }
      case host::WidgetKind::kCheckBox: {
        bool checked = host::BoolProperty(*widget, "checked");
        ImGui::SetCursorScreenPos(ImVec2(a.x, a.y + 2));
        if (ImGui::Checkbox(Text(*widget, "text").c_str(), &checked)) {
          act("click " + pathOf(p.id) + clickKeys());
        }
        break;
      }
      case host::WidgetKind::kLabel:
        draw->AddText(ImVec2(a.x, a.y + 5), ImGui::GetColorU32(ImGuiCol_Text), Text(*widget, "text").c_str());
        break;
      case host::WidgetKind::kSpinBox:
      case host::WidgetKind::kDoubleSpinBox:
      case host::WidgetKind::kEdit: {
        const bool spin = widget->kind != host::WidgetKind::kEdit;
        // While typing, the text is the person's; otherwise the widget's.
        const auto editing = editTexts_.find(p.id);
        ImGui::SetCursorScreenPos(a);
        ImGui::SetNextItemWidth(static_cast<float>(p.width) - (spin ? 32.0f : 0.0f));
        char buffer[256];
        std::snprintf(buffer, sizeof buffer, "%s",
                      (editing != editTexts_.end() ? editing->second
                                                   : (spin ? SpinText(*widget) : Text(*widget, "text")))
                          .c_str());
        ImGui::InputText("##value", buffer, sizeof buffer);
        if (ImGui::IsItemActive()) {
          editTexts_[p.id] = buffer;
        } else {
          editTexts_.erase(p.id);
        }
        if (ImGui::IsItemDeactivatedAfterEdit()) {
          act("set " + pathOf(p.id) + " " + commands::QuoteWord(buffer));
        }
        if (spin) {
          const double step = host::NumberProperty(*widget, "increment");
          const double value = host::NumberProperty(*widget, "position");
          char number[64];
          ImGui::SetCursorScreenPos(ImVec2(b.x - 32, a.y));
          if (ImGui::Button("-", ImVec2(16, size.y))) {
            std::snprintf(number, sizeof number, "%.9g", value - step);
            act("set " + pathOf(p.id) + " " + number);
          }
          ImGui::SetCursorScreenPos(ImVec2(b.x - 16, a.y));
          if (ImGui::Button("+", ImVec2(16, size.y))) {
            std::snprintf(number, sizeof number, "%.9g", value + step);
            act("set " + pathOf(p.id) + " " + number);
          }
        }
        break;
      }
      default:
        break;
    }
    ImGui::PopID();
  }
  ImGui::SetCursorScreenPos(origin);
  ImGui::Dummy(ImVec2(static_cast<float>(placed.front().width), static_cast<float>(placed.front().height)));
  ImGui::End();
  ImGui::PopStyleVar(2);
  if (!inputAllowed) ImGui::EndDisabled();
  if (!open) act("hide window " + commands::QuoteWord(title));
}

}  // namespace pavlex::gui

// The window's own modal boxes: the file chooser (a folder listing, a
// name field, an overwrite prompt), the unsaved-changes prompt, notices,
// and the plug-in's message boxes and save-file dialog as the person sees
// them. Each button becomes a command line or ends the box.
#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

#include "gui/gui_window.h"
#include "gui/overlay.h"
#include "host/commands/command_parser.h"
#include "host/session/host_session.h"

namespace pavlex::gui {

void GuiWindow::pushOverlay(std::unique_ptr<Overlay> overlay) {
  overlays_.push_back(std::move(overlay));
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

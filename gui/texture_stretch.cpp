// The texture under the UVs and the stretch display: which picture the
// views show and how faces are coloured, brought up to date after every
// command, and the stretch legend.
#include <imgui.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>

#include "gui/gui_window.h"
#include "gui/stretch/object_stretch.h"
#include "gui/texture/image_readers.h"
#include "host/obj/obj_source.h"
#include "host/session/host_session.h"

namespace pavlex::gui {
namespace {

// The file's identity as far as a reload cares: a changed size or time
// means read it again.
std::string FileStamp(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return path + "|missing";
  return path + "|" + std::to_string(info.st_size) + "|" + std::to_string(info.st_mtim.tv_sec) + "." +
         std::to_string(info.st_mtim.tv_nsec) + "|" + std::to_string(info.st_mode);
}

}  // namespace

void GuiWindow::showTexture(const std::string& mode) {
  textureMode_ = mode == "checker" ? TextureMode::kChecker
                 : mode == "image" ? TextureMode::kImage
                                   : TextureMode::kOff;
  textureSource_.clear();
  refreshTexture();
}

void GuiWindow::showStretch(bool on) {
  stretchOn_ = on;
  refreshStretch();
}

void GuiWindow::textureNotice(const std::string& text) {
  std::fprintf(stderr, "pavlex: %s\n", text.c_str());
  appendConsole(text + "\n");
}

void GuiWindow::refreshTexture() {
  if (textureMode_ == TextureMode::kOff) {
    texture_ = texture::RgbaImage();
    textureSource_.clear();
    uvView_.setTexture(nullptr);
    modelView_.clearTexture();
    return;
  }
  const host::HostDocument& document = session_.document();
  // The checker goes on every face; a material's image only on that
  // material's faces, as it would be rendered.
  int32_t modelMaterial = ModelView::kEveryMaterial;
  std::string source = "checker", problem;
  if (textureMode_ == TextureMode::kImage) {
    const host::HostMaterial* material = document.material(document.currentMaterial());
    if (material != nullptr) modelMaterial = document.currentMaterial();
    const std::string path =
        material == nullptr
            ? std::string()
            : host::obj::MaterialTexturePath(*material, session_.documentSource(), session_.documentPath());
    if (material == nullptr) {
      source = "checker|no material";
      problem = "texture: there is no current material; showing the checker";
    } else if (path.empty()) {
      source = "checker|no image|" + material->name;
      problem = "texture: material '" + material->name + "' names no image (map_Kd); showing the checker";
    } else {
      source = std::to_string(modelMaterial) + "|" + FileStamp(path);
      if (source == textureSource_) return;
      texture::RgbaImage image;
      std::string reason;
      if (texture::ReadImageFile(path, &image, &reason)) {
        texture_ = std::move(image);
        textureSource_ = source;
        uvView_.setTexture(&texture_);
        modelView_.setTexture(texture_.pixels.data(), texture_.width, texture_.height, modelMaterial);
        return;
      }
      problem = "texture: " + path + ": " + reason + "; showing the checker";
    }
  }
  if (source == textureSource_) return;
  textureSource_ = source;
  if (!problem.empty()) textureNotice(problem);
  texture_ = texture::CheckerImage();
  uvView_.setTexture(&texture_);
  modelView_.setTexture(texture_.pixels.data(), texture_.width, texture_.height, modelMaterial);
}

void GuiWindow::refreshStretch() {
  const host::HostDocument& document = session_.document();
  const host::HostObject* object = document.object(document.currentObject());
  if (!stretchOn_ || object == nullptr) {
    stretchColours_.clear();
    stretchScratch_.clear();
    uvView_.setFaceColours(stretchOn_ ? &stretchColours_ : nullptr);
    modelView_.clearFaceColours();
    return;
  }
  stretch::ObjectStretchColours(*object, &stretchScratch_, &stretchColours_);
  uvView_.setFaceColours(&stretchColours_);
  // The model shows the current object's stretch too; other objects keep
  // their flat colour, as the UV view shows only the current object.
  modelView_.clearFaceColours();
  modelView_.setFaceColours(document.currentObject(), stretchColours_.data(), stretchColours_.size() / 4);
}

void GuiWindow::drawStretchLegend() {
  if (!stretchOn_) return;
  const PixelRect& view = uvView_.rect();
  constexpr float kBarWidth = 150, kBarHeight = 10, kPad = 6;
  const float lineHeight = ImGui::GetTextLineHeight();
  const float boxHeight = 2 * (lineHeight + kBarHeight + lineHeight) + 3 * kPad;
  const float left = view.x + kPad, top = view.y + view.height - boxHeight - kPad;
  if (left + kBarWidth + 2 * kPad > view.x + view.width || top < view.y) return;
  ImDrawList* draw = ImGui::GetWindowDrawList();  // the UV view's: plug-in windows stay above it
  draw->AddRectFilled(ImVec2(left, top), ImVec2(left + kBarWidth + 2 * kPad, top + boxHeight),
                      IM_COL32(20, 20, 24, 220));
  auto colour = [](float t, float k) {
    uint8_t rgba[4];
    stretch::StretchScale(t, k, rgba);
    return IM_COL32(rgba[0], rgba[1], rgba[2], 255);
  };
  auto bar = [&](float y, bool area) {
    constexpr int kSteps = 30;
    for (int i = 0; i < kSteps; ++i) {
      const float a = static_cast<float>(i) / kSteps, b = static_cast<float>(i + 1) / kSteps;
      const ImU32 from = area ? colour(2 * a - 1, 0) : colour(0, a),
                  to = area ? colour(2 * b - 1, 0) : colour(0, b);
      draw->AddRectFilledMultiColor(ImVec2(left + kPad + a * kBarWidth, y),
                                    ImVec2(left + kPad + b * kBarWidth, y + kBarHeight), from, to, to, from);
    }
  };
  const ImU32 text = IM_COL32(220, 220, 225, 255);
  float y = top + kPad;
  draw->AddText(ImVec2(left + kPad, y), text, "UV area / mean");
  y += lineHeight;
  bar(y, true);
  y += kBarHeight;
  draw->AddText(ImVec2(left + kPad, y), text, "x1/4");
  draw->AddText(ImVec2(left + kPad + kBarWidth / 2 - 8, y), text, "x1");
  draw->AddText(ImVec2(left + kPad + kBarWidth - 16, y), text, "x4");
  y += lineHeight + kPad;
  draw->AddText(ImVec2(left + kPad, y), text, "angle error");
  y += lineHeight;
  bar(y, false);
  y += kBarHeight;
  draw->AddText(ImVec2(left + kPad, y), text, "0 deg");
  draw->AddText(ImVec2(left + kPad + kBarWidth - 40, y), text, "45 deg");
}

}  // namespace pavlex::gui

// A host document plus the plug-in state, rendered into small images that
// tests compare as ASCII art: one character per pixel from a palette.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "plugin/output/layout_image.h"
#include "plugin/output/render_layout.h"
#include "plugin/state/plugin_state.h"
#include "tests/support/host_document_fixture.h"

namespace pavlex::testing {

// Object colour (0.2, 0.4, 0.6) and a material colour (0.8, 0.1, 0.3):
// every channel differs, so a red/blue swap shows.
constexpr uint32_t kObjectPixel = 0xFF336699u;
constexpr uint32_t kMaterialPixel = 0xFFCC194Cu;
constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;

class LayoutTest : public HostDocumentTest {
 protected:
  // '.' transparent, 'w' white, 'o' object colour, 'm' material colour,
  // '?' anything else.
  static std::vector<std::string> ToArt(const LayoutImage& image) {
    const std::map<uint32_t, char> palette = {
        {0u, '.'}, {kWhitePixel, 'w'}, {kObjectPixel, 'o'}, {kMaterialPixel, 'm'}};
    std::vector<std::string> rows;
    for (int32_t y = 0; y < image.height(); ++y) {
      std::string row;
      for (int32_t x = 0; x < image.width(); ++x) {
        const auto found = palette.find(image.Pixel(x, y));
        row += found == palette.end() ? '?' : found->second;
      }
      rows.push_back(row);
    }
    return rows;
  }

  std::unique_ptr<LayoutImage> Render(OutputFlags flags, int32_t width = 8, int32_t height = 8,
                                      MemoryMask mask = 0) {
    auto image = std::make_unique<LayoutImage>(width, height);
    RenderLayout(state_, document(), *image, width, height, flags, mask);
    return image;
  }

  std::vector<std::string> RenderArt(OutputFlags flags, int32_t width = 8, int32_t height = 8, MemoryMask mask = 0) {
    return ToArt(*Render(flags, width, height, mask));
  }

  // A triangle with no symmetry, coloured (0.2, 0.4, 0.6).
  host::HostObject& AddTriangleAt(float u0, float v0, float u1, float v1, float u2, float v2) {
    host::HostObject& object =
        AddObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}, {{u0, v0}, {u1, v1}, {u2, v2}}}});
    object.color = {0.2f, 0.4f, 0.6f};
    return object;
  }

  int32_t AddMaterial(const std::string& texture) {
    auto material = std::make_unique<host::HostMaterial>();
    material->color = {0.8f, 0.1f, 0.3f};
    material->textureName = texture;
    return doc_.addMaterial(std::move(material));
  }

  PluginState state_;
};

}  // namespace pavlex::testing

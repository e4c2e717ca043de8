#include "plugin/output/render_layout.h"

#include "plugin/output/flat_fill_layer.h"
#include "plugin/output/shaded_layer.h"
#include "plugin/output/wireframe_layer.h"

namespace pavlex {

void RenderLayout(const PluginState& state, MQDocument document, LayoutImage& image, int32_t width,
                  int32_t height, OutputFlags flags, MemoryMask memoryMask) {
  const bool currentObjectOnly = (flags & kOutputCurrentObject) != 0;
  const bool currentMaterialOnly = (flags & kOutputCurrentMaterial) != 0;
  if (flags & kOutputObjectColor) {
    FillFlatLayer(document, state, image, width, height, currentObjectOnly, currentMaterialOnly, flags, memoryMask,
                  false);
  }
  if (flags & kOutputMaterialColor) {
    FillFlatLayer(document, state, image, width, height, currentObjectOnly, currentMaterialOnly, flags, memoryMask,
                  true);
  }
  if (flags & kOutputShader) {
    DrawShadedLayer(document, state, image, width, height, currentObjectOnly, currentMaterialOnly, flags,
                    memoryMask);
  }
  if (flags & kOutputWireframe) {
    DrawWireframeLayer(document, state, image, width, height, currentObjectOnly, currentMaterialOnly, flags,
                       memoryMask);
  }
}

}  // namespace pavlex

#include "plugin/output/shaded_layer.h"

#include <vector>

#include "plugin/hostlink/host_functions.h"
#include "plugin/output/corner_lighting.h"
#include "plugin/output/gouraud_fill.h"
#include "plugin/output/layout_face_filter.h"

namespace pavlex {

void DrawShadedLayer(MQDocument document, const PluginState& state, LayoutImage& image, int32_t width,
                     int32_t height, bool currentObjectOnly, bool currentMaterialOnly, OutputFlags flags,
                     MemoryMask memoryMask) {
  if (!image.valid()) {
    image.set_status(ImageStatus::kInvalidImage);
    return;
  }
  LayoutFilter filter(document, state, currentMaterialOnly, memoryMask);
  LayoutFaceReader reader;
  GouraudScratch scratch;
  std::vector<ColorRGB> colors;
  for (MQObject object : LayoutObjects(document, currentObjectOnly)) {
    const int32_t faceCount = Host().MQObj_GetFaceCount(object);
    bool contributes = false;
    for (int32_t face = 0; face < faceCount && !contributes; ++face) {
      contributes = Host().MQObj_GetFacePointCount(object, face) >= 1 && PassesMaterialTests(filter, object, face);
    }
    if (!contributes) continue;
    CornerColorMap lighting;
    if (flags & kOutputShader) lighting = ComputeCornerLighting(document, object);
    for (int32_t face = 0; face < faceCount; ++face) {
      if (Host().MQObj_GetFacePointCount(object, face) < 1 || !IsLayoutFace(filter, object, face)) continue;
      const size_t n = reader.Read(object, face);
      if (n == 0 || !reader.finite()) continue;
      colors.resize(n);
      for (size_t k = 0; k < n; ++k) {
        colors[k] = (flags & kOutputAlphaToClipboard) ? ColorRGB{1.0f, 1.0f, 1.0f} : lighting.Find(face, k);
      }
      FillGouraudPolygon(image, &reader.uv(0), colors.data(), n, width, height, scratch);
    }
  }
}

}  // namespace pavlex

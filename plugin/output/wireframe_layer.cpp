#include "plugin/output/wireframe_layer.h"

#include <vector>

#include "plugin/hostlink/host_functions.h"
#include "plugin/output/layout_coordinates.h"
#include "plugin/output/layout_face_filter.h"

namespace pavlex {

void DrawWireframeLayer(MQDocument document, const PluginState& state, LayoutImage& image, int32_t width,
                        int32_t height, bool currentObjectOnly, bool currentMaterialOnly, OutputFlags /*flags*/,
                        MemoryMask memoryMask) {
  if (!image.valid()) {
    image.set_status(ImageStatus::kInvalidImage);
    return;
  }
  constexpr uint32_t kWhite = 0xFFFFFFFFu;
  LayoutFilter filter(document, state, currentMaterialOnly, memoryMask);
  LayoutFaceReader reader;
  std::vector<PixelPoint> points;
  for (MQObject object : LayoutObjects(document, currentObjectOnly)) {
    const int32_t faceCount = Host().MQObj_GetFaceCount(object);
    for (int32_t face = 0; face < faceCount; ++face) {
      if (Host().MQObj_GetFacePointCount(object, face) < 1 || !IsLayoutFace(filter, object, face)) continue;
      const size_t n = reader.Read(object, face);
      if (n == 0 || !reader.finite()) continue;
      points.resize(n);
      for (size_t i = 0; i < n; ++i) {
        points[i] = {WireframeCoordinate(width, reader.uv(i).u), WireframeCoordinate(height, reader.uv(i).v)};
      }
      image.OutlinePolygon(points.data(), n, kWhite);
    }
  }
}

}  // namespace pavlex

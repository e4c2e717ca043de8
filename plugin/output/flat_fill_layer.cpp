#include "plugin/output/flat_fill_layer.h"

#include <vector>

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/output/color_rgb.h"
#include "plugin/output/layout_coordinates.h"
#include "plugin/output/layout_face_filter.h"

namespace pavlex {

void FillFlatLayer(MQDocument document, const PluginState& state, LayoutImage& image, int32_t width,
                   int32_t height, bool currentObjectOnly, bool currentMaterialOnly, OutputFlags flags,
                   MemoryMask memoryMask, bool useMaterialColor) {
  if (!image.valid()) {
    image.set_status(ImageStatus::kInvalidImage);
    return;
  }
  LayoutFilter filter(document, state, currentMaterialOnly, memoryMask);
  LayoutFaceReader reader;
  std::vector<PixelPoint> points;
  std::vector<int64_t> materialPixels;  // per material slot, -1 until asked
  for (MQObject object : LayoutObjects(document, currentObjectOnly)) {
    float rgb[3] = {0.0f, 0.0f, 0.0f};
    Host().MQObj_GetFloatArray(object, MQOBJ_ID_COLOR, rgb);
    const uint32_t objectPixel = ColorToPixel({rgb[0], rgb[1], rgb[2]});
    const int32_t faceCount = Host().MQObj_GetFaceCount(object);
    for (int32_t face = 0; face < faceCount; ++face) {
      if (Host().MQObj_GetFacePointCount(object, face) < 1 || !IsLayoutFace(filter, object, face)) continue;
      const size_t n = reader.Read(object, face);
      if (n == 0 || !reader.finite()) continue;
      uint32_t pixel = objectPixel;
      if (flags & kOutputAlphaToClipboard) {
        pixel = 0xFFFFFFFFu;
      } else if (useMaterialColor) {
        const int32_t material = Host().MQObj_GetFaceMaterial(object, face);
        const size_t slot = material < 0 ? 0 : static_cast<size_t>(material) + 1;
        if (slot >= materialPixels.size()) materialPixels.resize(slot + 1, -1);
        if (materialPixels[slot] < 0) {
          MQColor color = {0.0f, 0.0f, 0.0f};
          Host().MQMat_GetColor(Host().MQDoc_GetMaterial(document, material), &color);
          materialPixels[slot] = ColorToPixel({color.r, color.g, color.b});
        }
        pixel = static_cast<uint32_t>(materialPixels[slot]);
      }
      points.resize(n);
      for (size_t i = 0; i < n; ++i) {
        points[i] = {FlatFillCoordinate(width, reader.uv(i).u), FlatFillCoordinate(height, reader.uv(i).v)};
      }
      image.FillPolygon(points.data(), n, pixel);
    }
  }
}

}  // namespace pavlex

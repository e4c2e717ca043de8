#include "gui/stretch/object_stretch.h"

namespace pavlex::gui::stretch {

void ObjectStretchColours(const host::HostObject& object, std::vector<FaceStretch>* scratch,
                          std::vector<uint8_t>* colours) {
  const int32_t faces = object.faceCount();
  scratch->resize(static_cast<size_t>(faces));
  colours->resize(static_cast<size_t>(faces) * 4);
  const MQPoint* positions = object.vertexCount() > 0 ? &object.position(0) : nullptr;
  AreaSums sums;
  for (int32_t f = 0; f < faces; ++f) {
    const int32_t n = object.cornerCount(f);
    FaceStretch& measure = (*scratch)[static_cast<size_t>(f)];
    measure = n >= 3 ? MeasureFace(positions, object.faceVertices(f), object.faceUVs(f), n) : FaceStretch();
    sums.add(measure);
  }
  const double mean = sums.meanRatio();
  for (int32_t f = 0; f < faces; ++f) {
    uint8_t* rgba = colours->data() + static_cast<size_t>(f) * 4;
    StretchColour((*scratch)[static_cast<size_t>(f)], mean, rgba);
    if (object.cornerCount(f) == 0) rgba[3] = 0;
  }
}

}  // namespace pavlex::gui::stretch

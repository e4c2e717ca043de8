#include "gui/stretch/object_stretch.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace pavlex::gui::stretch {
namespace {

// Below this many faces one thread is quicker than starting others.
constexpr int32_t kFacesPerThread = 1 << 17;
constexpr unsigned kMostThreads = 4;

// Runs work(first, last) over [0, faces) in as many slices as there are
// cores to spare, the calling thread taking the first.
template <typename Work>
void InSlices(int32_t faces, const Work& work) {
  const unsigned cores = std::max(1u, std::min(kMostThreads, std::thread::hardware_concurrency()));
  const auto slices =
      static_cast<int32_t>(std::min<int64_t>(cores, std::max<int64_t>(1, faces / kFacesPerThread)));
  std::vector<std::thread> helpers;
  for (int32_t s = 1; s < slices; ++s) {
    const int32_t first = static_cast<int32_t>(int64_t{faces} * s / slices);
    const int32_t last = static_cast<int32_t>(int64_t{faces} * (s + 1) / slices);
    try {
      helpers.emplace_back([&work, first, last] { work(first, last); });
    } catch (const std::system_error&) {
      work(first, last);  // no thread to be had: this one does the slice
    }
  }
  work(0, static_cast<int32_t>(int64_t{faces} / slices));
  for (std::thread& helper : helpers) helper.join();
}

}  // namespace

void ObjectStretchColours(const host::HostObject& object, std::vector<FaceStretch>* scratch,
                          std::vector<uint8_t>* colours) {
  const int32_t faces = object.faceCount();
  scratch->resize(static_cast<size_t>(faces));
  colours->resize(static_cast<size_t>(faces) * 4);
  const MQPoint* positions = object.vertexCount() > 0 ? &object.position(0) : nullptr;
  FaceStretch* measures = scratch->data();
  InSlices(faces, [&](int32_t first, int32_t last) {
    for (int32_t f = first; f < last; ++f) {
      const int32_t n = object.cornerCount(f);
      measures[f] =
          n >= 3 ? MeasureFace(positions, object.faceVertices(f), object.faceUVs(f), n) : FaceStretch();
    }
  });
  // Summed in face order on one thread, so the mean does not depend on
  // how the work was sliced.
  AreaSums sums;
  for (int32_t f = 0; f < faces; ++f) sums.add(measures[f]);
  const double mean = sums.meanRatio();
  uint8_t* out = colours->data();
  InSlices(faces, [&](int32_t first, int32_t last) {
    for (int32_t f = first; f < last; ++f) {
      uint8_t* rgba = out + static_cast<size_t>(f) * 4;
      StretchColour(measures[f], mean, rgba);
      if (object.cornerCount(f) == 0) rgba[3] = 0;
    }
  });
}

}  // namespace pavlex::gui::stretch

#include "plugin/output/gouraud_fill.h"

#include <algorithm>
#include <cmath>

#include "plugin/output/layout_coordinates.h"

namespace pavlex {

namespace {

ColorRGB Blend(float a, const ColorRGB& p, float b, const ColorRGB& q) {
  return {a * p.r + b * q.r, a * p.g + b * q.g, a * p.b + b * q.b};
}

}  // namespace

void FillGouraudPolygon(LayoutImage& image, const MQCoordinate* uvs, const ColorRGB* colors, size_t n,
                        int32_t width, int32_t height, GouraudScratch& scratch) {
  if (!image.valid()) {
    image.set_status(ImageStatus::kInvalidImage);
    return;
  }
  if (n == 0) {
    image.set_status(ImageStatus::kEmptyPolygon);
    return;
  }
  const double scaleX = static_cast<double>(width) - 0.1;
  const double scaleY = static_cast<double>(height) - 0.1;
  size_t minIdx = 0, maxIdx = 0;
  for (size_t i = 1; i < n; ++i) {
    if (uvs[i].v < uvs[minIdx].v) minIdx = i;
    if (uvs[i].v > uvs[maxIdx].v) maxIdx = i;
  }
  if (minIdx == maxIdx) return;
  const int64_t yMin = ShadedCoordinate(scaleY, uvs[minIdx].v);
  const int64_t yMax = ShadedCoordinate(scaleY, uvs[maxIdx].v);
  // Only rows inside the image get table entries.
  const int64_t rowLo = std::max<int64_t>(yMin, 0);
  const int64_t rowHi = std::min<int64_t>(yMax, static_cast<int64_t>(image.height()) - 1);
  if (rowLo > rowHi) {
    image.set_status(ImageStatus::kOutOfRange);
    return;
  }
  if (rowLo != yMin || rowHi != yMax) image.set_status(ImageStatus::kOutOfRange);
  const size_t rows = static_cast<size_t>(rowHi - rowLo + 1);
  const GouraudScratch::Span blank = {0, {0.0f, 0.0f, 0.0f}};
  scratch.forward.assign(rows, blank);
  scratch.backward.assign(rows, blank);

  const auto walkChain = [&](std::vector<GouraudScratch::Span>& table, size_t step) {
    for (size_t c = minIdx; c != maxIdx;) {
      const size_t next = (c + step) % n;
      const int64_t y0 = ShadedCoordinate(scaleY, uvs[c].v);
      const int64_t y1 = ShadedCoordinate(scaleY, uvs[next].v);
      const float x0 = static_cast<float>(ShadedCoordinate(scaleX, uvs[c].u));
      const float x1 = static_cast<float>(ShadedCoordinate(scaleX, uvs[next].u));
      const int64_t steps = y1 - y0 + 1;
      if (steps > 0) {
        const int64_t first = std::max<int64_t>(0, rowLo - y0);
        const int64_t last = std::min<int64_t>(steps - 1, rowHi - y0);
        const float stepsF = static_cast<float>(steps);
        for (int64_t i = first; i <= last; ++i) {
          const float a = static_cast<float>(steps - i) / stepsF;
          const float b = static_cast<float>(i) / stepsF;
          GouraudScratch::Span& span = table[static_cast<size_t>(y0 + i - rowLo)];
          span.x = SaturateToInt32(std::roundf(x1 * b + x0 * a));
          span.color = Blend(a, colors[c], b, colors[next]);
        }
      }
      c = next;
    }
  };
  walkChain(scratch.forward, 1);
  walkChain(scratch.backward, n - 1);

  const int64_t imageWidth = image.width();
  for (size_t r = 0; r < rows; ++r) {
    const GouraudScratch::Span& f = scratch.forward[r];
    const GouraudScratch::Span& b = scratch.backward[r];
    const GouraudScratch::Span& start = f.x < b.x ? f : b;
    const GouraudScratch::Span& end = f.x < b.x ? b : f;
    const int64_t count = static_cast<int64_t>(end.x) - start.x + 1;
    const float countF = static_cast<float>(count);
    const int64_t first = std::max<int64_t>(0, -static_cast<int64_t>(start.x));
    const int64_t last = std::min<int64_t>(count - 1, imageWidth - 1 - start.x);
    if (first != 0 || last != count - 1) image.set_status(ImageStatus::kOutOfRange);
    const int32_t y = static_cast<int32_t>(rowLo + static_cast<int64_t>(r));
    for (int64_t j = first; j <= last; ++j) {
      const float s = static_cast<float>(count - j) / countF;
      const float t = static_cast<float>(j) / countF;
      image.SetPixel(static_cast<int32_t>(start.x + j), y, ColorToPixel(Blend(s, start.color, t, end.color)));
    }
  }
}

}  // namespace pavlex

#include "plugin/output/layout_image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "plugin/output/segment_clip.h"

namespace pavlex {

void LayoutImage::FreeDeleter::operator()(uint32_t* p) const {
  std::free(p);
}

LayoutImage::~LayoutImage() = default;

LayoutImage::LayoutImage(int32_t width, int32_t height) {
  if (width < 1 || height < 1 ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u > kMaxLayoutImageBytes) {
    status_ = ImageStatus::kInvalidImage;
    return;
  }
  // calloc hands out zeroed pages lazily, which matters at 256 MiB.
  pixels_.reset(static_cast<uint32_t*>(
      std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), sizeof(uint32_t))));
  if (!pixels_) {
    status_ = ImageStatus::kInvalidImage;
    return;
  }
  width_ = width;
  height_ = height;
}

void LayoutImage::FillPolygon(const PixelPoint* points, size_t count, uint32_t argb) {
  if (!pixels_) {
    status_ = ImageStatus::kInvalidImage;
    return;
  }
  if (count == 0) {
    status_ = ImageStatus::kEmptyPolygon;
    return;
  }
  int64_t yLow = points[0].y, yHigh = points[0].y;
  for (size_t i = 1; i < count; ++i) {
    yLow = std::min<int64_t>(yLow, points[i].y);
    yHigh = std::max<int64_t>(yHigh, points[i].y);
  }
  // Rows whose centre y + 0.5 lies in [yLow, yHigh), clipped to the image.
  const int64_t rowBegin = std::max<int64_t>(yLow, 0);
  const int64_t rowEnd = std::min<int64_t>(yHigh, height_);
  for (int64_t row = rowBegin; row < rowEnd; ++row) {
    const double yc = static_cast<double>(row) + 0.5;
    crossings_.clear();
    for (size_t i = 0; i < count; ++i) {
      const PixelPoint& a = points[i];
      const PixelPoint& b = points[i + 1 == count ? 0 : i + 1];
      // Half-open in y so a vertex on the scan line counts once; integer
      // vertices never lie on a centre, but horizontal edges must drop out.
      if ((a.y <= yc) == (b.y <= yc)) continue;
      const double t = (yc - a.y) / (static_cast<double>(b.y) - a.y);
      crossings_.push_back(a.x + t * (static_cast<double>(b.x) - a.x));
    }
    std::sort(crossings_.begin(), crossings_.end());
    uint32_t* rowPixels = pixels_.get() + static_cast<size_t>(row) * static_cast<size_t>(width_);
    for (size_t k = 0; k + 1 < crossings_.size(); k += 2) {
      // Centres x + 0.5 in [left, right): x from ceil(left - 0.5) to
      // ceil(right - 0.5) - 1, clipped before conversion.
      const double left = std::max(std::ceil(crossings_[k] - 0.5), 0.0);
      const double right = std::min(std::ceil(crossings_[k + 1] - 0.5), static_cast<double>(width_));
      if (!(left < right)) continue;
      std::fill(rowPixels + static_cast<size_t>(left), rowPixels + static_cast<size_t>(right), argb);
    }
  }
}

void LayoutImage::OutlinePolygon(const PixelPoint* points, size_t count, uint32_t argb) {
  if (!pixels_) {
    status_ = ImageStatus::kInvalidImage;
    return;
  }
  if (count == 0) {
    status_ = ImageStatus::kEmptyPolygon;
    return;
  }
  for (size_t i = 0; i < count; ++i) DrawLine(points[i], points[i + 1 == count ? 0 : i + 1], argb);
}

namespace {


}  // namespace

void LayoutImage::DrawLine(PixelPoint a, PixelPoint b, uint32_t argb) {
  // Segments that stay near the image are drawn from their true ends, so
  // their pixels never depend on clipping. Longer ones (far-away UVs) are
  // first cut to a margin around the image; only their off-image part,
  // which is not drawn anyway, can shift.
  const int64_t margin = 2;
  const auto near = [&](PixelPoint p) {
    return p.x >= -margin && p.x <= width_ + margin && p.y >= -margin && p.y <= height_ + margin;
  };
  int64_t x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
  if (!near(a) || !near(b)) {
    double fx0 = a.x, fy0 = a.y, fx1 = b.x, fy1 = b.y;
    const ClipBox box = {-static_cast<double>(margin), static_cast<double>(width_ + margin),
                         -static_cast<double>(margin), static_cast<double>(height_ + margin)};
    if (!ClipSegment(fx0, fy0, fx1, fy1, box)) {
      status_ = ImageStatus::kOutOfRange;
      return;
    }
    x0 = std::llround(fx0);
    y0 = std::llround(fy0);
    x1 = std::llround(fx1);
    y1 = std::llround(fy1);
  }
  const int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1, sx = x0 < x1 ? 1 : -1;
  const int64_t dy = y1 > y0 ? y0 - y1 : y1 - y0, sy = y0 < y1 ? 1 : -1;
  int64_t error = dx + dy;
  for (;;) {
    if (x0 >= 0 && x0 < width_ && y0 >= 0 && y0 < height_) {
      pixels_[static_cast<size_t>(y0) * static_cast<size_t>(width_) + static_cast<size_t>(x0)] = argb;
    } else {
      status_ = ImageStatus::kOutOfRange;
    }
    if (x0 == x1 && y0 == y1) break;
    const int64_t e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

}  // namespace pavlex

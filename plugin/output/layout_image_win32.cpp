// The drawing surface on Windows: our own zeroed pixel memory, wrapped in a
// GDI+ bitmap of 32-bit ARGB, so that GDI+ draws straight into the memory
// that pixels() hands out and the writers read without a copy.
//
// Coverage follows GDI+ with its defaults: even-odd fill, pixel centres on
// integer coordinates, a one-pixel pen, no anti-aliasing. Polygons are
// blended source-over, GDI+'s default: the layers only draw opaque colours,
// which replace what is there as on Linux. (Source-copy would say so more
// directly, but Wine's pen then copies its whole bounding box, clearing
// everything inside an outline.)
//
// GDI+ does not clip coordinates before it walks them: a vertex near the
// int32 limits overflows its fixed-point arithmetic, and Wine builds a
// region row by row over the whole polygon. So geometry reaching beyond the
// image grown by its own size on every side is first cut to that rectangle
// (in double precision, handed over as floats). Faces within it, the
// neighbouring UV tiles included, keep their exact integer vertices; the
// cut ones may differ by a pixel along the cut edges.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "plugin/output/layout_image.h"
#include "plugin/output/segment_clip.h"

namespace pavlex {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {

struct Box : ClipBox {
  bool Contains(double x, double y) const { return x >= xLo && x <= xHi && y >= yLo && y <= yHi; }
};

// The image grown by its own size on every side: what lies beyond is cut
// before GDI+ walks it.
Box GuardBox(int32_t width, int32_t height) {
  return {{-static_cast<double>(width), 2.0 * width, -static_cast<double>(height), 2.0 * height}};
}

bool AllInside(const PixelPoint* points, size_t count, const Box& box) {
  for (size_t i = 0; i < count; ++i) {
    if (!box.Contains(points[i].x, points[i].y)) return false;
  }
  return true;
}

// One Sutherland-Hodgman pass: keeps the part of `in` on the inside of the
// line where `side` (a signed distance) is >= 0. Parity under the even-odd
// rule is kept at every point strictly inside, so the fill there is
// unchanged; the added edges lie on the line, outside the image.
template <class Side>
void ClipAgainst(const std::vector<PointF>& in, std::vector<PointF>& out, Side side) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    const PointF& a = in[i];
    const PointF& b = in[i + 1 == in.size() ? 0 : i + 1];
    const double da = side(a.X, a.Y), db = side(b.X, b.Y);
    if (da >= 0) out.push_back(a);
    if ((da >= 0) != (db >= 0)) {
      const double t = da / (da - db);
      out.push_back(PointF(static_cast<REAL>(a.X + t * (static_cast<double>(b.X) - a.X)),
                           static_cast<REAL>(a.Y + t * (static_cast<double>(b.Y) - a.Y))));
    }
  }
}


}  // namespace

void LayoutImage::FreeDeleter::operator()(uint32_t* p) const {
  std::free(p);
}

LayoutImage::LayoutImage(int32_t width, int32_t height) {
  if (!session_.started() || width < 1 || height < 1 ||
      static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u > kMaxLayoutImageBytes) {
    status_ = ImageStatus::kInvalidImage;
    return;
  }
  // calloc hands out zeroed pages lazily, which matters at 256 MiB.
  pixels_.reset(static_cast<uint32_t*>(
      std::calloc(static_cast<size_t>(width) * static_cast<size_t>(height), sizeof(uint32_t))));
  width_ = width;
  height_ = height;
  if (!pixels_ || !WrapPixels()) {
    pixels_.reset();
    width_ = height_ = 0;
    status_ = ImageStatus::kInvalidImage;
  }
}

LayoutImage::~LayoutImage() {
  Settle();
  if (pen_ != nullptr) GdipDeletePen(pen_);
  if (brush_ != nullptr) GdipDeleteBrush(brush_);
  if (bitmap_ != nullptr) GdipDisposeImage(bitmap_);
}

bool LayoutImage::WrapPixels() const {
  // The stride fits an INT: the size cap keeps a row below 1 GiB.
  return GdipCreateBitmapFromScan0(width_, height_, width_ * 4, PixelFormat32bppARGB,
                                   reinterpret_cast<BYTE*>(pixels_.get()), &bitmap_) == Ok &&
         bitmap_ != nullptr;
}

bool LayoutImage::BeginDrawing() {
  if (graphics_ != nullptr) return true;
  if (bitmap_ == nullptr || GdipGetImageGraphicsContext(bitmap_, &graphics_) != Ok) {
    graphics_ = nullptr;
    return false;
  }
  GdipSetSmoothingMode(graphics_, SmoothingModeNone);
  return true;
}

void LayoutImage::EndDrawing() const {
  // Deleting the context makes GDI+ finish every pending operation.
  GdipDeleteGraphics(graphics_);
  graphics_ = nullptr;
}

void LayoutImage::StorePixel(int32_t x, int32_t y, uint32_t argb) {
  Settle();
  if (GdipBitmapSetPixel(bitmap_, x, y, argb) != Ok) status_ = ImageStatus::kDrawingFailed;
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
  if (count < 3) return;  // no area to fill
  if (count > static_cast<size_t>(INT_MAX) || !BeginDrawing()) {
    status_ = ImageStatus::kDrawingFailed;
    return;
  }
  if (brush_ == nullptr) {
    if (GdipCreateSolidFill(argb, &brush_) != Ok) {
      brush_ = nullptr;
      status_ = ImageStatus::kDrawingFailed;
      return;
    }
    brushColor_ = argb;
  } else if (brushColor_ != argb) {
    GdipSetSolidFillColor(brush_, argb);
    brushColor_ = argb;
  }
  const Box box = GuardBox(width_, height_);
  const bool inside = AllInside(points, count, box);
  GpStatus drawn = Ok;
  if (inside) {
    points_.resize(count);
    for (size_t i = 0; i < count; ++i) points_[i] = Point(points[i].x, points[i].y);
    drawn = GdipFillPolygonI(graphics_, brush_, points_.data(), static_cast<INT>(count), FillModeAlternate);
  } else {
    std::vector<PointF>& a = clipped_[0];
    std::vector<PointF>& b = clipped_[1];
    a.clear();
    for (size_t i = 0; i < count; ++i) {
      // Coordinates beyond float precision are far outside the box anyway;
      // only their side of it matters.
      a.push_back(PointF(static_cast<REAL>(points[i].x), static_cast<REAL>(points[i].y)));
    }
    ClipAgainst(a, b, [&](double x, double) { return x - box.xLo; });
    ClipAgainst(b, a, [&](double x, double) { return box.xHi - x; });
    ClipAgainst(a, b, [&](double, double y) { return y - box.yLo; });
    ClipAgainst(b, a, [&](double, double y) { return box.yHi - y; });
    if (a.size() >= 3) {
      drawn = GdipFillPolygon(graphics_, brush_, a.data(), static_cast<INT>(a.size()), FillModeAlternate);
    }
  }
  if (drawn != Ok) status_ = ImageStatus::kDrawingFailed;
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
  if (count > static_cast<size_t>(INT_MAX) || !BeginDrawing()) {
    status_ = ImageStatus::kDrawingFailed;
    return;
  }
  if (pen_ == nullptr) {
    if (GdipCreatePen1(argb, 1.0f, UnitPixel, &pen_) != Ok) {
      pen_ = nullptr;
      status_ = ImageStatus::kDrawingFailed;
      return;
    }
    penColor_ = argb;
  } else if (penColor_ != argb) {
    GdipSetPenColor(pen_, argb);
    penColor_ = argb;
  }
  const Box box = GuardBox(width_, height_);
  const bool inside = AllInside(points, count, box);
  GpStatus drawn = Ok;
  if (count == 1) {
    // A pen draws nothing for a line of no length; one corner is one pixel.
    if (points[0].x >= 0 && points[0].x < width_ && points[0].y >= 0 && points[0].y < height_) {
      EndDrawing();
      drawn = GdipBitmapSetPixel(bitmap_, points[0].x, points[0].y, argb);
    }
  } else if (inside && count == 2) {
    drawn = GdipDrawLineI(graphics_, pen_, points[0].x, points[0].y, points[1].x, points[1].y);
  } else if (inside) {
    points_.resize(count);
    for (size_t i = 0; i < count; ++i) points_[i] = Point(points[i].x, points[i].y);
    drawn = GdipDrawPolygonI(graphics_, pen_, points_.data(), static_cast<INT>(count));
  } else {
    const size_t edges = count == 2 ? 1 : count;
    for (size_t i = 0; i < edges && drawn == Ok; ++i) {
      const PixelPoint& p = points[i];
      const PixelPoint& q = points[i + 1 == count ? 0 : i + 1];
      double x0 = p.x, y0 = p.y, x1 = q.x, y1 = q.y;
      if (!ClipSegment(x0, y0, x1, y1, box)) continue;
      drawn = GdipDrawLine(graphics_, pen_, static_cast<REAL>(x0), static_cast<REAL>(y0), static_cast<REAL>(x1),
                           static_cast<REAL>(y1));
    }
  }
  if (drawn != Ok) status_ = ImageStatus::kDrawingFailed;
}

bool LayoutImage::ReadBottomUp(const std::function<bool(const uint8_t* firstRow, ptrdiff_t stride)>& read) const {
  Settle();
  if (bitmap_ == nullptr) return false;
  // The flip may move the bitmap into memory of its own (Wine's does), so
  // afterwards the picture is flipped back and, if need be, copied home.
  const bool flipped = GdipImageRotateFlip(bitmap_, RotateNoneFlipY) == Ok;
  if (!flipped) status_ = ImageStatus::kDrawingFailed;
  Rect whole(0, 0, width_, height_);
  BitmapData locked;
  std::memset(&locked, 0, sizeof(locked));
  bool done = false;
  if (GdipBitmapLockBits(bitmap_, &whole, ImageLockModeRead, PixelFormat32bppARGB, &locked) == Ok) {
    const auto* scan0 = static_cast<const uint8_t*>(locked.Scan0);
    // Without the flip (out of memory for a second bitmap, say) the rows
    // are walked from the bottom instead, so the file is right either way.
    done = flipped ? read(scan0, locked.Stride)
                   : read(scan0 + static_cast<ptrdiff_t>(height_ - 1) * locked.Stride, -static_cast<ptrdiff_t>(locked.Stride));
    GdipBitmapUnlockBits(bitmap_, &locked);
  }
  if (flipped) {
    if (GdipImageRotateFlip(bitmap_, RotateNoneFlipY) != Ok) status_ = ImageStatus::kDrawingFailed;
    std::memset(&locked, 0, sizeof(locked));
    if (GdipBitmapLockBits(bitmap_, &whole, ImageLockModeRead, PixelFormat32bppARGB, &locked) == Ok) {
      if (locked.Scan0 != pixels_.get()) {
        for (int32_t y = 0; y < height_; ++y) {
          std::memcpy(pixels_.get() + static_cast<size_t>(y) * static_cast<size_t>(width_),
                      static_cast<const uint8_t*>(locked.Scan0) + static_cast<ptrdiff_t>(y) * locked.Stride,
                      static_cast<size_t>(width_) * 4);
        }
      }
      GdipBitmapUnlockBits(bitmap_, &locked);
    }
    if (bitmap_ != nullptr && locked.Scan0 != pixels_.get()) {
      GdipDisposeImage(bitmap_);
      bitmap_ = nullptr;
      if (!WrapPixels()) status_ = ImageStatus::kDrawingFailed;
    }
  }
  return done;
}

}  // namespace pavlex

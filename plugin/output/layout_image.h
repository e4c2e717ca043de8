// The drawing surface of a layout output: width x height pixels of 32-bit
// ARGB (alpha in the top byte, then red, green, blue), all transparent black
// when created. In memory a pixel is the bytes blue, green, red, alpha, and
// rows run from the top of the picture to the bottom.
//
// The surface offers the three drawing operations the layers need. None of
// them reports failure to its caller: a failing operation leaves its status
// in last_status() and drawing goes on.
//
// Linux draws with its own rules, below. Windows draws with GDI+ (even-odd
// fill, a one-pixel pen, no anti-aliasing) into the same memory, so its
// pixels at polygon edges follow GDI+'s coverage instead; see
// layout_image_win32.cpp.
//
// Coverage rules on Linux (the image is the square grid of unit pixels,
// pixel (x, y) covering [x, x + 1) x [y, y + 1)):
// - FillPolygon: a pixel is filled when its centre (x + 0.5, y + 0.5) lies
//   inside the polygon under the even-odd rule. A centre exactly on a
//   left or top edge is inside, on a right or bottom edge outside, so
//   polygons that share an edge never fill a pixel twice and a polygon
//   reaching x = width covers the last column.
// - OutlinePolygon: each closed edge is a one-pixel Bresenham line from
//   vertex to vertex; point (x, y) lights pixel (x, y). Pixels outside the
//   image are skipped.
// - SetPixel: replaces one pixel, no blending.
//
// Coordinates are int32 and may lie anywhere: rows and columns are clipped
// to the image before any loop runs, so far-away vertices cost no time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <functional>

#include "platform/gdiplus_support.h"
#endif

namespace pavlex {

enum class ImageStatus {
  kOk,
  kInvalidImage,  // the image could not be created; every operation fails
  kOutOfRange,    // a pixel write fell outside the image
  kEmptyPolygon,  // fewer than one vertex
  kDrawingFailed, // the platform's graphics library refused an operation (Windows)
};

struct PixelPoint {
  int32_t x, y;
};

// Pixel buffers above this many bytes count as images that cannot be
// created: 16384 x 16384 still fits, 65535 x 65535 (the dialog's maximum)
// does not.
constexpr uint64_t kMaxLayoutImageBytes = uint64_t{1} << 30;

class LayoutImage {
 public:
  // Width or height below 1, a buffer above kMaxLayoutImageBytes, or a
  // failed allocation leave an invalid image (valid() false).
  LayoutImage(int32_t width, int32_t height);
  ~LayoutImage();
  LayoutImage(const LayoutImage&) = delete;
  LayoutImage& operator=(const LayoutImage&) = delete;

  bool valid() const { return pixels_ != nullptr; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  ImageStatus last_status() const { return status_; }

  // Row-major ARGB, width * height values; null for an invalid image. Valid
  // until the image is destroyed; reading them ends any drawing under way.
  const uint32_t* pixels() const {
    Settle();
    return pixels_.get();
  }
  uint32_t* pixels() {
    Settle();
    return pixels_.get();
  }
  uint32_t Pixel(int32_t x, int32_t y) const {
    Settle();
    return pixels_[Index(x, y)];
  }

  void FillPolygon(const PixelPoint* points, size_t count, uint32_t argb);
  void OutlinePolygon(const PixelPoint* points, size_t count, uint32_t argb);
  void SetPixel(int32_t x, int32_t y, uint32_t argb) {
    if (static_cast<uint32_t>(x) < static_cast<uint32_t>(width_) &&
        static_cast<uint32_t>(y) < static_cast<uint32_t>(height_)) {
      StorePixel(x, y, argb);
    } else {
      status_ = pixels_ ? ImageStatus::kOutOfRange : ImageStatus::kInvalidImage;
    }
  }
  void set_status(ImageStatus status) { status_ = status; }

#ifdef _WIN32
  // The GDI+ bitmap over pixels(), for the Windows writers; null for an
  // invalid image. Drawing under way is ended first.
  Gdiplus::GpBitmap* bitmap() const {
    Settle();
    return bitmap_;
  }
  // Hands the picture to `read` bottom row first, the way TGA and BMP files
  // store it: GDI+ flips the bitmap, locks it for reading in 32-bit ARGB,
  // and `read` gets the first row and the distance in bytes to the next.
  // The image is the same picture again afterwards. False when the bitmap
  // could not be locked (nothing is read) or `read` answered false.
  bool ReadBottomUp(const std::function<bool(const uint8_t* firstRow, ptrdiff_t stride)>& read) const;
#endif

 private:
  struct FreeDeleter {
    void operator()(uint32_t* p) const;
  };
  size_t Index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }

#ifdef _WIN32
  // Pixels go through GDI+; `SetPixel` checked the range already.
  void StorePixel(int32_t x, int32_t y, uint32_t argb);
  // Deletes the drawing context, so GDI+ has finished with the memory.
  void Settle() const {
    if (graphics_ != nullptr) EndDrawing();
  }
  void EndDrawing() const;
  bool BeginDrawing();
  // Wraps pixels_ in a fresh GDI+ bitmap; false when GDI+ refused.
  bool WrapPixels() const;

  // Declared first so that it is destroyed last: no GDI+ object may outlive
  // it.
  platform::GdiplusSession session_;
  // Over pixels_, never owning them. Mutable: reading the picture bottom up
  // flips the bitmap and may re-create it, and the picture stays the same.
  mutable Gdiplus::GpBitmap* bitmap_ = nullptr;
  // One drawing context for all the polygons drawn in a row, made on the
  // first and deleted when pixels are read or set one by one: a context per
  // polygon would cost more than the polygon.
  mutable Gdiplus::GpGraphics* graphics_ = nullptr;
  Gdiplus::GpSolidFill* brush_ = nullptr;
  Gdiplus::GpPen* pen_ = nullptr;
  uint32_t brushColor_ = 0;
  uint32_t penColor_ = 0;
#else
  void StorePixel(int32_t x, int32_t y, uint32_t argb) { pixels_[Index(x, y)] = argb; }
  void Settle() const {}
  void DrawLine(PixelPoint a, PixelPoint b, uint32_t argb);
#endif

  int32_t width_ = 0;   // 0 for an invalid image
  int32_t height_ = 0;  // 0 for an invalid image
  std::unique_ptr<uint32_t[], FreeDeleter> pixels_;
  mutable ImageStatus status_ = ImageStatus::kOk;  // failures of reads too
#ifndef _WIN32
  std::vector<double> crossings_;  // scratch of FillPolygon, reused
#else
  std::vector<Gdiplus::Point> points_;       // scratch of the drawing calls, reused
  std::vector<Gdiplus::PointF> clipped_[2];  // scratch of clipping, reused
#endif
};

}  // namespace pavlex

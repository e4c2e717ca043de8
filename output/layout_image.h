// The drawing surface of a layout output: width x height pixels of 32-bit
// ARGB (alpha in the top byte, then red, green, blue), all transparent black
// when created. In memory a pixel is the bytes blue, green, red, alpha, and
// rows run from the top of the picture to the bottom.
//
// The surface offers the three drawing operations the layers need. None of
// them reports failure to its caller: a failing operation leaves its status
// in last_status() and drawing goes on.
//
// Coverage rules (the image is the square grid of unit pixels, pixel (x, y)
// covering [x, x + 1) x [y, y + 1)):
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

namespace pavlex {

enum class ImageStatus {
  kOk,
  kInvalidImage,  // the image could not be created; every operation fails
  kOutOfRange,    // a pixel write fell outside the image
  kEmptyPolygon,  // fewer than one vertex
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
  LayoutImage(const LayoutImage&) = delete;
  LayoutImage& operator=(const LayoutImage&) = delete;

  bool valid() const { return pixels_ != nullptr; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  ImageStatus last_status() const { return status_; }

  // Row-major ARGB, width * height values; null for an invalid image.
  const uint32_t* pixels() const { return pixels_.get(); }
  uint32_t* pixels() { return pixels_.get(); }
  uint32_t Pixel(int32_t x, int32_t y) const { return pixels_[Index(x, y)]; }

  void FillPolygon(const PixelPoint* points, size_t count, uint32_t argb);
  void OutlinePolygon(const PixelPoint* points, size_t count, uint32_t argb);
  void SetPixel(int32_t x, int32_t y, uint32_t argb) {
    if (static_cast<uint32_t>(x) < static_cast<uint32_t>(width_) &&
        static_cast<uint32_t>(y) < static_cast<uint32_t>(height_)) {
      pixels_[Index(x, y)] = argb;
    } else {
      status_ = pixels_ ? ImageStatus::kOutOfRange : ImageStatus::kInvalidImage;
    }
  }
  void set_status(ImageStatus status) { status_ = status; }

 private:
  struct FreeDeleter {
    void operator()(uint32_t* p) const;
  };
  size_t Index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }
  void DrawLine(PixelPoint a, PixelPoint b, uint32_t argb);

  int32_t width_ = 0;   // 0 for an invalid image
  int32_t height_ = 0;  // 0 for an invalid image
  std::unique_ptr<uint32_t[], FreeDeleter> pixels_;
  ImageStatus status_ = ImageStatus::kOk;
  std::vector<double> crossings_;  // scratch of FillPolygon, reused
};

}  // namespace pavlex

// The UV view: the current object's UV layout drawn from OpenGL buffers
// that are built once per document change, the unit square with its grid,
// the selection, and the view transform that picking and panning share.
// Pixels are window pixels, y down; UVs have v up.
#pragma once

#include <cstdint>
#include <vector>

#include "host/document/host_document.h"

namespace pavlex::gui {

struct PixelRect {
  float x = 0, y = 0, width = 0, height = 0;
};

// A face corner of the current object.
struct CornerRef {
  int32_t face = -1;  // -1: none
  int32_t corner = -1;
};

class UvView {
 public:
  UvView() = default;
  ~UvView();
  UvView(const UvView&) = delete;
  UvView& operator=(const UvView&) = delete;

  // The buffers are stale: the document changed.
  void markDirty() { dirty_ = true; }
  // Where the view is in the window, set every frame before drawing.
  void setRect(const PixelRect& rect) { rect_ = rect; }
  const PixelRect& rect() const { return rect_; }
  // Rebuilds the buffers when stale and draws into the view's rectangle of
  // a framebuffer `framebufferHeight` pixels high.
  void draw(const host::HostDocument& document, int framebufferHeight);

  // --- the transform ---
  void pixelOf(double u, double v, float* x, float* y) const;
  void uvOf(float x, float y, double* u, double* v) const;
  void pan(float dx, float dy);
  // Zooms by `factor` keeping the UV under (x, y) in place.
  void zoomAbout(float x, float y, double factor);
  // 1: the unit square as high as the view.
  void setZoom(double zoom);
  // Frames the selected corners, or everything (all, or nothing selected),
  // or the unit square for an empty object.
  void frame(const host::HostDocument& document, bool all);

  // --- picking, over the buffers' copy of the UVs ---
  CornerRef nearestCorner(float x, float y, float maxPixels) const;
  // The edge (corner, next corner of the same face) nearest the point.
  CornerRef nearestEdge(float x, float y, float maxPixels) const;
  int32_t cornerCountOfFace(int32_t face) const;

  // How many faces the buffers hold (for tests and the status line).
  size_t faceCount() const { return faceStart_.empty() ? 0 : faceStart_.size() - 1; }

 private:
  void rebuild(const host::HostDocument& document);
  void ensureProgram();

  PixelRect rect_;
  double centerU_ = 0.5, centerV_ = 0.5;
  double scale_ = 300;  // pixels per UV unit
  bool dirty_ = true;
  bool framedOnce_ = false;

  // CPU copy of the drawn corners: live faces of the current object only.
  std::vector<float> uv_;             // 2 per corner
  std::vector<uint32_t> faceStart_;   // per drawn face, its first corner; one past the end last
  std::vector<int32_t> faceOfDrawn_;  // the object's face index of each drawn face

  unsigned program_ = 0, vao_ = 0, vertexBuffer_ = 0;
  unsigned fillIndices_ = 0, edgeIndices_ = 0, selectedEdgeIndices_ = 0, selectedCornerIndices_ = 0;
  unsigned gridVao_ = 0, gridBuffer_ = 0;
  int gridVertices_ = 0;
  int fillCount_ = 0, edgeCount_ = 0, selectedEdgeCount_ = 0, selectedCornerCount_ = 0;
  int xformLocation_ = -1, tintLocation_ = -1, useTintLocation_ = -1;
};

}  // namespace pavlex::gui

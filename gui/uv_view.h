// The UV view: the current object's UV layout drawn from OpenGL buffers
// that are built once per document change, the unit square with its grid,
// the selection, and the view transform that picking and panning share.
// Pixels are window pixels, y down; UVs have v up.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/texture/rgba_image.h"
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
  // The picture drawn over the unit square under the layout (row 0 at
  // v = 1); null for none. It must stay alive and unchanged until the next
  // call, which also says that its pixels changed.
  void setTexture(const texture::RgbaImage* image);
  // Fill colours for the faces, 4 bytes per face of the current object by
  // its face index, in place of the material tints; null for the tints.
  // The same lifetime rule as setTexture.
  void setFaceColours(const std::vector<uint8_t>* colours);
  // Where the view is in the window, set every frame before drawing.
  void setRect(const PixelRect& rect) { rect_ = rect; }
  const PixelRect& rect() const { return rect_; }
  // Rebuilds the buffers when stale and draws into the view's rectangle of
  // a framebuffer `framebufferHeight` pixels high. `now` is a clock in
  // seconds.
  //
  // The layout is drawn into a cached picture of the view; a frame shows
  // that picture moved and scaled to the current pan and zoom, so panning
  // and zooming cost one textured quad whatever the mesh. The picture is
  // drawn again at full detail when the document changed, at once for a
  // small mesh, and once the view has rested for kRefineDelay otherwise.
  void draw(const host::HostDocument& document, int framebufferHeight, double now);
  // True while the picture lags the view: the window should wake up after
  // kRefineDelay even without input.
  bool needsRefine() const { return refinePending_; }
  // The next draw brings the picture up to the view whatever it costs (a
  // screenshot shows the view at rest).
  void refineNow() { refineNow_ = true; }
  static constexpr double kRefineDelay = 0.15;  // seconds

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
  struct Vertex {
    float u, v;
    uint8_t rgba[4];
  };

  void rebuild(const host::HostDocument& document);
  void ensureProgram();
  // Draws the layout at the current view into the cached picture.
  void renderCache(const host::HostDocument& document, int width, int height);
  // Builds the GPU buffers from the CPU copy (and the document's materials).
  void upload(const host::HostDocument& document);
  // The same on the CPU, for views where an edge is about a pixel long:
  // millions of sub-pixel primitives cost a software rasteriser far more
  // than plotting their pixels does.
  void rasterizeCache(int width, int height);
  // rasterizeCache's drawing of the rows [rowBegin, rowEnd) of a width x
  // height picture: the faces whose faceBands_ have the bit `band`.
  // `scratch` is the band's own.
  void rasterizeRows(int width, int height, int rowBegin, int rowEnd, uint8_t band, uint32_t* pixels,
                     std::vector<uint8_t>* scratch) const;
  bool viewDiffersFromCache() const;
  void drawTexture();
  // The texture's pixel under (u, v), nearest, as packed RGBA; false off the unit square.
  bool sampleTexture(double u, double v, uint32_t* rgba) const;

  PixelRect rect_;
  double centerU_ = 0.5, centerV_ = 0.5;
  double scale_ = 300;  // pixels per UV unit
  bool dirty_ = true;
  bool gpuStale_ = true;  // the GPU buffers lag the CPU copy; built when the GPU path draws next
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

  // The cached picture and the view it was drawn for.
  unsigned quadProgram_ = 0, quadVao_ = 0, quadBuffer_ = 0;
  unsigned cacheTexture_ = 0, cacheFbo_ = 0;
  int cacheWidth_ = 0, cacheHeight_ = 0;
  bool cacheValid_ = false;
  double cacheCenterU_ = 0, cacheCenterV_ = 0, cacheScale_ = 0;
  double viewChangedAt_ = -1;  // when the view last moved; -1: just now, not yet stamped
  bool refinePending_ = false;
  bool refineNow_ = false;
  int quadRectLocation_ = -1;
  // Per drawn corner: 0 plain, bit 0 selected UV; per drawn face: selected.
  std::vector<uint8_t> cornerSelected_;
  std::vector<uint8_t> faceSelectedDrawn_;
  double meanEdgeLength_ = 0;  // in UV units
  std::vector<int32_t> cornerPixels_;  // scratch of rasterizeCache: x, y per corner
  std::vector<uint32_t> pixels_;  // rasterizeCache's picture, kept so that a frame does not allocate it
  std::vector<uint8_t> faceBands_;  // per drawn face, a bit per band of rows it reaches
  std::vector<std::vector<uint8_t>> bandScratch_;  // per band: the selected corners' marks

  // upload's arrays, and the faces its fill and edge indices were built for.
  std::vector<Vertex> scratchVertices_;
  std::vector<uint32_t> scratchFill_, scratchEdges_, scratchSelectedEdges_, scratchSelectedCorners_;
  std::vector<uint32_t> uploadedFaceStart_;
  bool facesUploaded_ = false;

  const texture::RgbaImage* texture_ = nullptr;
  bool textureStale_ = false;  // the GL texture lags texture_
  unsigned textureId_ = 0, textureProgram_ = 0;
  int textureXformLocation_ = -1;
  const std::vector<uint8_t>* faceColours_ = nullptr;
};

}  // namespace pavlex::gui

// The 3D view: every visible object of the document drawn flat-shaded with
// its edges, the model selection the host keeps (vertices, lines, faces)
// highlighted, an orbit camera, and picking over a CPU copy of what is
// drawn. The copy and the GPU buffers are built once per document change
// (markDirty after a command), never per frame.
//
// Two optional inputs change the faces' colours; both are copied, so the
// caller's memory may go as soon as the call returns:
//
//   setTexture(rgba, width, height, material)
//     An image of width x height RGBA8 pixels, 4 bytes per pixel (R, G, B,
//     A), rows top to bottom: row 0 is the top of the image. A corner with
//     UV (u, v) shows the pixel at column u * width and row (1 - v) *
//     height: v runs up the image, (0, 0) is its bottom-left corner and
//     (1, 1) its top-right; UVs outside [0, 1] repeat the image. It is
//     drawn on the faces whose material slot is `material`, or on every
//     face with kEveryMaterial. A textured face shows the image instead of
//     its material colour. width or height 0 (or null pixels) clears it, as
//     clearTexture does.
//
//   setFaceColours(objectSlot, rgba, faceCount)
//     One RGBA8 colour per face slot of the object in document slot
//     `objectSlot`: 4 bytes per face, face f at rgba[4 * f], deleted and
//     hidden faces included (their entries are not drawn), so the array
//     is indexed exactly as the host's faces are. The colour replaces the
//     face's flat colour (on a textured face it multiplies the image); the
//     view's shading and the selection highlight still apply on top. Alpha
//     is ignored. A count that no longer matches the object's face count
//     (the mesh changed since) makes the view ignore the colours until they
//     are set again. clearFaceColours(slot) or (kAllObjects) removes them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gui/view3d_math.h"
#include "host/document/host_document.h"

namespace pavlex::gui {

// The selection kind the 3D view's mouse acts on.
enum class ModelPickMode { kVertex, kLine, kFace };

// What a click hits: an element of one object.
struct ModelHit {
  int32_t object = -1;  // document slot; -1: nothing
  int32_t face = -1;    // kFace, kLine
  int32_t corner = -1;  // kLine: the line from this corner to the next of the face
  int32_t vertex = -1;  // kVertex
};

class ModelView {
 public:
  static constexpr int32_t kEveryMaterial = -1;
  static constexpr int32_t kAllObjects = -1;

  ModelView() = default;
  ~ModelView();
  ModelView(const ModelView&) = delete;
  ModelView& operator=(const ModelView&) = delete;

  // --- colour inputs (see the top of this file) ---
  void setTexture(const uint8_t* rgba, int width, int height, int32_t material = kEveryMaterial);
  void clearTexture() { setTexture(nullptr, 0, 0); }
  void setFaceColours(int32_t objectSlot, const uint8_t* rgba, size_t faceCount);
  void clearFaceColours(int32_t objectSlot = kAllObjects);

  // The document changed: the copy and buffers are rebuilt at the next draw.
  void markDirty() { dirty_ = true; }
  void setRect(const Viewport& rect) { rect_ = rect; }
  const Viewport& rect() const { return rect_; }
  // Rebuilds what is stale and draws into the view's rectangle of a
  // framebuffer `framebufferHeight` pixels high. `now` is a clock in
  // seconds. While the camera moves over a big model a coarse stand-in is
  // drawn; the full model comes back once the camera has rested for
  // kRefineDelay.
  void draw(const host::HostDocument& document, int framebufferHeight, double now);
  bool needsRefine() const { return refinePending_; }
  void refineNow() { refineNow_ = true; }
  static constexpr double kRefineDelay = 0.2;  // seconds

  // --- the camera ---
  const Camera& camera() const { return camera_; }
  void setCamera(const Camera& camera);
  void orbit(float dxPixels, float dyPixels);
  void pan(float dxPixels, float dyPixels);
  // Moves closer (factor < 1) or away, keeping the target.
  void dolly(float factor);
  // Frames the selection of the current object (or everything: `all`, or
  // nothing selected); an empty document leaves the camera as it is.
  void frame(const host::HostDocument& document, bool all);
  // Where a world point lands in the window; false behind the eye.
  bool pixelOf(Vec3 point, float* x, float* y) const;

  // --- picking, over the CPU copy (valid after a draw) ---
  ModelPickMode mode() const { return mode_; }
  void setMode(ModelPickMode mode) { mode_ = mode; }
  // The element under the pixel, in the current mode: the nearest face
  // the ray hits, then its corner or line nearest the cursor when within
  // `maxPixels`. With no face under the cursor, the nearest vertex or line
  // of any face within `maxPixels`.
  ModelHit pick(float x, float y, float maxPixels) const;
  // The elements of the object in slot `object` whose projection a box
  // selects (see PointsInBox): vertex indices, face indices, or lines as
  // (face, corner) pairs.
  std::vector<int32_t> verticesInBox(int32_t object, const PixelBox& box) const;
  std::vector<int32_t> facesInBox(int32_t object, const PixelBox& box) const;
  std::vector<std::pair<int32_t, int32_t>> linesInBox(int32_t object, const PixelBox& box) const;

  size_t faceCount() const { return faces_.size(); }
  size_t triangleCount() const { return triangles_.size() / 3; }
  bool showingStandIn() const { return showingStandIn_; }

 private:
  struct DrawnFace {
    int32_t object;
    int32_t face;
    uint32_t first;  // first drawn corner
    uint32_t count;
  };
  struct ObjectRun {
    int32_t object;
    uint32_t firstFace, endFace;  // into faces_
  };

  void rebuild(const host::HostDocument& document);
  // The interleaved vertices of every drawn corner, on the CPU.
  void buildVertices(const host::HostDocument& document);
  // The full model's buffers; only when the full model is drawn.
  void upload();
  void uploadSelectionAndTexture();
  void ensureProgram();
  // Clusters the model into `cells` along its longest side, when the shape
  // or the level changed, and gathers the stand-in's corner attributes
  // when they changed.
  void buildStandIn(const host::HostDocument& document, int cells);
  // Whether the drawn faces, their corners' vertices and the vertices'
  // positions are still those of the copy.
  bool geometryMatches(const host::HostDocument& document) const;
  // Positions, triangles, edges, runs and bounds from faces_ and cornerVertex_.
  void buildGeometry(const host::HostDocument& document);
  // A face's colour and flags as its vertices carry them.
  void faceLook(const host::HostDocument& document, const DrawnFace& face, uint8_t rgba[4], uint8_t flags[4]) const;
  Mat4 viewProjection() const;
  // Projects the corners of one object run (x, y per corner, NaN behind
  // the eye) and gives the faces' corner starts relative to the run.
  void projectRun(const ObjectRun& run, std::vector<float>* xy, std::vector<uint32_t>* faceStart) const;
  const ObjectRun* runOf(int32_t object) const;

  Viewport rect_;
  Camera camera_;
  ModelPickMode mode_ = ModelPickMode::kFace;
  bool dirty_ = true;
  bool gpuStale_ = true;
  bool framedOnce_ = false;
  float sceneRadius_ = 1;
  Vec3 sceneCentre_;
  double meanEdgeLength_ = 0;

  // CPU copy: visible objects, live faces of three or more corners (two-
  // corner faces are lines: drawn as edges, picked as lines).
  std::vector<DrawnFace> faces_;
  std::vector<ObjectRun> runs_;
  std::vector<float> positions_;      // 3 per drawn corner
  std::vector<int32_t> cornerVertex_;  // the object's vertex index of each drawn corner
  std::vector<uint32_t> cornerFace_;   // the drawn face of each drawn corner
  std::vector<float> vertexPositions_;  // every vertex of the drawn objects: only to tell a change
  std::vector<DrawnFace> scratchFaces_;
  std::vector<int32_t> scratchCornerVertex_;
  std::vector<float> scratchPositions_;
  std::vector<uint32_t> triangles_;   // a fan per face, into the drawn corners
  std::vector<uint32_t> edges_;       // pairs of drawn corners
  std::vector<float> selectedEdges_;         // selected lines: 6 floats each
  std::vector<uint32_t> selectedFaceEdges_;  // the outlines of selected faces
  std::vector<float> selectedPoints_;  // 3 per selected vertex

  // Colour inputs.
  std::vector<uint8_t> texture_;
  int textureWidth_ = 0, textureHeight_ = 0;
  int32_t textureMaterial_ = kEveryMaterial;
  bool textureStale_ = false;
  std::map<int32_t, std::vector<uint8_t>> faceColours_;

  // GL objects.
  unsigned program_ = 0, vao_ = 0, vertexBuffer_ = 0, triangleBuffer_ = 0, edgeBuffer_ = 0, selectedEdgeBuffer_ = 0;
  unsigned pointVao_ = 0, pointBuffer_ = 0, textureId_ = 0;
  unsigned standInVao_ = 0, standInVertexBuffer_ = 0, standInTriangleBuffer_ = 0;
  unsigned selectedFaceEdgeBuffer_ = 0;
  int selectedFaceEdgeIndexCount_ = 0;
  int triangleIndexCount_ = 0, edgeIndexCount_ = 0, pointCount_ = 0;
  int standInIndexCount_ = 0;
  int standInCells_ = 0;  // the level the stand-in was clustered at; 0: none or stale
  bool standInAttributesStale_ = true;
  bool selectionStale_ = true;
  bool verticesStale_ = true;
  unsigned lineVao_ = 0;
  int selectedEdgeVertexCount_ = 0;
  std::vector<uint32_t> standInCorners_;  // the drawn corner of each stand-in vertex
  std::vector<float> standInPositions_;   // 3 per stand-in vertex
  int viewProjLocation_ = -1, viewLocation_ = -1, solidLocation_ = -1, useSolidLocation_ = -1,
      useTextureLocation_ = -1, samplerLocation_ = -1;

  // Motion: the stand-in shows while the camera moves.
  Camera drawnCamera_;
  double cameraMovedAt_ = -1;
  bool refinePending_ = false;
  bool refineNow_ = false;
  bool showingStandIn_ = false;
  std::vector<uint8_t> uploadedVertices_;  // the interleaved vertices, kept for the stand-in
};

}  // namespace pavlex::gui

#include "gui/model_view.h"

#include "gui/gl_program.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace pavlex::gui {
namespace {

struct Vertex {
  float position[3];
  float uv[2];
  uint8_t rgba[4];
  uint8_t flags[4];  // [0] face selected, [1] textured: 0 or 255
};
static_assert(sizeof(Vertex) == 28, "the attribute offsets below assume a packed vertex");

// Flat shading without per-face normals: the fragment's normal is the
// cross product of its view position's screen derivatives, so corners are
// shared by nothing but their face and the vertex stays small.
constexpr const char* kVertexShader = R"(#version 130
in vec3 aPos;
in vec2 aUv;
in vec4 aColor;
in vec4 aFlags;
uniform mat4 uViewProj;
uniform mat4 uView;
out vec3 vViewPos;
out vec2 vUv;
flat out vec4 vColor;
flat out vec4 vFlags;
void main() {
  vec4 p = vec4(aPos, 1.0);
  vViewPos = (uView * p).xyz;
  vUv = aUv;
  vColor = aColor;
  vFlags = aFlags;
  gl_Position = uViewProj * p;
}
)";
constexpr const char* kFragmentShader = R"(#version 130
in vec3 vViewPos;
in vec2 vUv;
flat in vec4 vColor;
flat in vec4 vFlags;
uniform vec4 uSolid;
uniform float uUseSolid;
uniform float uUseTexture;
uniform sampler2D uTexture;
out vec4 fragColor;
void main() {
  if (uUseSolid > 0.5) { fragColor = uSolid; return; }
  vec3 n = normalize(cross(dFdx(vViewPos), dFdy(vViewPos)));
  float light = 0.35 + 0.65 * abs(n.z);
  vec3 base = vColor.rgb;
  if (uUseTexture > 0.5 && vFlags.y > 0.5) base *= texture(uTexture, vec2(vUv.x, 1.0 - vUv.y)).rgb;
  if (vFlags.x > 0.5) base = mix(base, vec3(1.0, 0.45, 0.05), 0.7);
  fragColor = vec4(base * light, 1.0);
}
)";

void Upload(GLuint buffer, GLenum target, const void* data, size_t bytes) {
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
}

void BindVertexLayout() {
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(12));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(20));
  glEnableVertexAttribArray(3);
  glVertexAttribPointer(3, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(24));
}

uint8_t Byte(float value) {
  return static_cast<uint8_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f + 0.5f);
}

bool SameCamera(const Camera& a, const Camera& b) {
  return a.target.x == b.target.x && a.target.y == b.target.y && a.target.z == b.target.z && a.yaw == b.yaw &&
         a.pitch == b.pitch && a.distance == b.distance && a.fovY == b.fovY && a.orthographic == b.orthographic;
}

// Above this many triangles the clustered stand-in may be drawn: always
// while the camera moves, at rest where faces are under kDetailPixels.
constexpr size_t kStandInTriangles = 250000;
constexpr int kMovingCells = 128;  // clusters along the model's longest side while moving
constexpr int kFinestCells = 768;
constexpr double kDetailPixels = 2;
// Edges are drawn when the mean edge spans at least this many pixels;
// denser wire would paint the model dark.
constexpr double kEdgePixels = 4;

}  // namespace

// The GL objects go with the context: the window that owns this view
// destroys its context before its members.
ModelView::~ModelView() = default;

void ModelView::setTexture(const uint8_t* rgba, int width, int height, int32_t material) {
  if (rgba == nullptr || width <= 0 || height <= 0) {
    texture_.clear();
    textureWidth_ = textureHeight_ = 0;
  } else {
    texture_.assign(rgba, rgba + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    textureWidth_ = width, textureHeight_ = height;
  }
  textureMaterial_ = material;
  textureStale_ = true;
  dirty_ = true;  // the per-corner colours and "textured" flags change
}

void ModelView::setFaceColours(int32_t objectSlot, const uint8_t* rgba, size_t faceCount) {
  if (rgba == nullptr) {
    clearFaceColours(objectSlot);
    return;
  }
  faceColours_[objectSlot].assign(rgba, rgba + faceCount * 4);
  dirty_ = true;
}

void ModelView::clearFaceColours(int32_t objectSlot) {
  if (objectSlot == kAllObjects) faceColours_.clear();
  else faceColours_.erase(objectSlot);
  dirty_ = true;
}

void ModelView::setCamera(const Camera& camera) {
  // Numbers typed as doubles may overflow a float: held to a range the
  // matrices survive.
  constexpr float kFar = 1e12f;
  camera_ = camera;
  camera_.distance = std::clamp(camera_.distance, 1e-6f, kFar);
  camera_.pitch = std::clamp(camera_.pitch, kMinPitch, kMaxPitch);
  camera_.target = {std::clamp(camera_.target.x, -kFar, kFar), std::clamp(camera_.target.y, -kFar, kFar),
                    std::clamp(camera_.target.z, -kFar, kFar)};
}

void ModelView::orbit(float dxPixels, float dyPixels) {
  OrbitCamera(&camera_, dxPixels, dyPixels, 0.4f);
}

void ModelView::pan(float dxPixels, float dyPixels) {
  PanCamera(&camera_, rect_, dxPixels, dyPixels);
}

void ModelView::dolly(float factor) {
  camera_.distance = std::clamp(camera_.distance * factor, 1e-6f, 1e12f);
}

Mat4 ModelView::viewProjection() const {
  return Multiply(ProjectionMatrix(camera_, rect_.width / std::max(rect_.height, 1.0f),
                                   sceneRadius_ + Length(Sub(camera_.target, sceneCentre_))),
                  ViewMatrix(camera_));
}

bool ModelView::pixelOf(Vec3 point, float* x, float* y) const {
  return ProjectToPixel(viewProjection(), rect_, point, x, y);
}

void ModelView::frame(const host::HostDocument& document, bool all) {
  Vec3 lo{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
  Vec3 hi = Scale(lo, -1);
  bool any = false;
  auto grow = [&](const MQPoint& p) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    any = true;
  };
  if (!all) {
    if (const host::HostObject* object = document.object(document.currentObject())) {
      for (int32_t f = 0; f < object->faceCount(); ++f) {
        const int32_t n = object->cornerCount(f);
        const int32_t* vertices = object->faceVertices(f);
        for (int32_t c = 0; c < n; ++c) {
          if (object->isFaceSelected(f) || object->isLineSelected(f, c) || object->isVertexSelected(vertices[c])) {
            grow(object->position(vertices[c]));
            if (object->isLineSelected(f, c)) grow(object->position(vertices[(c + 1) % n]));
          }
        }
      }
    }
  }
  if (!any) {
    for (int32_t slot = 0; slot < document.objectSlotCount(); ++slot) {
      const host::HostObject* object = document.object(slot);
      if (object == nullptr || !object->visible) continue;
      for (int32_t f = 0; f < object->faceCount(); ++f) {
        const int32_t* vertices = object->faceVertices(f);
        for (int32_t c = 0; c < object->cornerCount(f); ++c) grow(object->position(vertices[c]));
      }
    }
  }
  if (!any) return;
  FrameBox(&camera_, lo, hi, rect_.width / std::max(rect_.height, 1.0f));
}

void ModelView::rebuild(const host::HostDocument& document) {
  // Most commands change selections or UVs, not the shape. The drawn faces,
  // their corners' vertices and the vertices' positions are compared with
  // the last ones; they are gathered again, and the geometry (and the
  // stand-in's clusters) built again, only when they differ.
  if (!geometryMatches(document)) {
    // Scratch kept between rebuilds: fresh memory of this size costs more
    // in page faults than the copies themselves.
    std::vector<DrawnFace>& faces = scratchFaces_;
    std::vector<int32_t>& cornerVertex = scratchCornerVertex_;
    std::vector<float>& vertexPositions = scratchPositions_;
    faces.clear();
    cornerVertex.clear();
    vertexPositions.clear();
    for (int32_t slot = 0; slot < document.objectSlotCount(); ++slot) {
      const host::HostObject* object = document.object(slot);
      if (object == nullptr || !object->visible) continue;
      for (int32_t f = 0; f < object->faceCount(); ++f) {
        const int32_t n = object->cornerCount(f);
        if (n < 2 || !object->faceVisible(f)) continue;
        faces.push_back({slot, f, static_cast<uint32_t>(cornerVertex.size()), static_cast<uint32_t>(n)});
        const int32_t* vertices = object->faceVertices(f);
        cornerVertex.insert(cornerVertex.end(), vertices, vertices + n);
      }
      for (int32_t v = 0; v < object->vertexCount(); ++v) {
        const MQPoint& p = object->position(v);
        vertexPositions.insert(vertexPositions.end(), {p.x, p.y, p.z});
      }
    }
    faces_.swap(faces);
    cornerVertex_.swap(cornerVertex);
    vertexPositions_.swap(vertexPositions);
    buildGeometry(document);
    standInCells_ = 0;
  }

  // The selection, every time.
  selectedEdges_.clear();
  selectedFaceEdges_.clear();
  selectedPoints_.clear();
  const host::HostObject* object = nullptr;
  int32_t objectSlot = -1;
  for (const DrawnFace& face : faces_) {
    if (object == nullptr || objectSlot != face.object) object = document.object(objectSlot = face.object);
    const bool faceSelected = object->isFaceSelected(face.face);
    const uint32_t lines = face.count == 2 ? 1 : face.count;  // a two-corner face is one line
    const uint32_t last = face.first + face.count - 1;
    for (uint32_t c = 0; c < lines; ++c) {
      const uint32_t here = face.first + c, next = here == last ? face.first : here + 1;
      if (faceSelected) {
        selectedFaceEdges_.push_back(here);
        selectedFaceEdges_.push_back(next);
      }
      if (object->isLineSelected(face.face, static_cast<int32_t>(c))) {
        selectedEdges_.insert(selectedEdges_.end(), &positions_[3 * here], &positions_[3 * here] + 3);
        selectedEdges_.insert(selectedEdges_.end(), &positions_[3 * next], &positions_[3 * next] + 3);
      }
    }
  }
  for (const ObjectRun& run : runs_) {
    const host::HostObject* runObject = document.object(run.object);
    for (int32_t v = 0; v < runObject->vertexCount(); ++v) {
      if (!runObject->isVertexSelected(v) || runObject->vertexDeleted(v)) continue;
      const MQPoint& p = runObject->position(v);
      selectedPoints_.insert(selectedPoints_.end(), {p.x, p.y, p.z});
    }
  }
  dirty_ = false;
  verticesStale_ = true;
  gpuStale_ = true;
  selectionStale_ = true;
  standInAttributesStale_ = true;
}

bool ModelView::geometryMatches(const host::HostDocument& document) const {
  // Reads only: a write-free walk over the document against the copy.
  size_t face = 0, position = 0;
  for (int32_t slot = 0; slot < document.objectSlotCount(); ++slot) {
    const host::HostObject* object = document.object(slot);
    if (object == nullptr || !object->visible) continue;
    for (int32_t f = 0; f < object->faceCount(); ++f) {
      const int32_t n = object->cornerCount(f);
      if (n < 2 || !object->faceVisible(f)) continue;
      if (face == faces_.size()) return false;
      const DrawnFace& drawn = faces_[face++];
      if (drawn.object != slot || drawn.face != f || drawn.count != static_cast<uint32_t>(n) ||
          std::memcmp(object->faceVertices(f), &cornerVertex_[drawn.first], static_cast<size_t>(n) * 4) != 0) {
        return false;
      }
    }
    const size_t floats = static_cast<size_t>(object->vertexCount()) * 3;
    if (position + floats > vertexPositions_.size()) return false;
    for (int32_t v = 0; v < object->vertexCount(); ++v, position += 3) {
      const MQPoint& p = object->position(v);
      if (p.x != vertexPositions_[position] || p.y != vertexPositions_[position + 1] ||
          p.z != vertexPositions_[position + 2]) {
        return false;
      }
    }
  }
  return face == faces_.size() && position == vertexPositions_.size();
}

void ModelView::buildGeometry(const host::HostDocument& document) {
  runs_.clear();
  positions_.clear();
  triangles_.clear();
  edges_.clear();
  cornerFace_.clear();
  positions_.reserve(cornerVertex_.size() * 3);
  cornerFace_.reserve(cornerVertex_.size());
  edges_.reserve(cornerVertex_.size() * 2);
  triangles_.reserve(cornerVertex_.size() * 3);
  double edgeLengthSum = 0;
  size_t edgeCount = 0;
  Vec3 lo{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
  Vec3 hi = Scale(lo, -1);
  const host::HostObject* object = nullptr;
  for (uint32_t i = 0; i < faces_.size(); ++i) {
    const DrawnFace& face = faces_[i];
    if (object == nullptr || object->slot() != face.object) {
      object = document.object(face.object);
      runs_.push_back({face.object, i, i});
    }
    runs_.back().endFace = i + 1;
    const uint32_t first = face.first, n = face.count;
    for (uint32_t c = 0; c < n; ++c) {
      const MQPoint& p = object->position(cornerVertex_[first + c]);
      positions_.insert(positions_.end(), {p.x, p.y, p.z});
      cornerFace_.push_back(i);
      lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
      hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
      const uint32_t here = first + c;
      if (n > 2 || c == 0) {
        edges_.insert(edges_.end(), {here, first + (c + 1) % n});
        const MQPoint& q = object->position(cornerVertex_[first + (c + 1) % n]);
        const double dx = double(q.x) - p.x, dy = double(q.y) - p.y, dz = double(q.z) - p.z;
        edgeLengthSum += std::sqrt(dx * dx + dy * dy + dz * dz);
        ++edgeCount;
      }
      if (c >= 2) triangles_.insert(triangles_.end(), {first, here - 1, here});
    }
  }
  if (cornerVertex_.empty()) {
    sceneCentre_ = {};
    sceneRadius_ = 1;
  } else {
    sceneCentre_ = Scale(Add(lo, hi), 0.5f);
    sceneRadius_ = std::max(Length(Sub(hi, lo)) / 2, 1e-6f);
  }
  meanEdgeLength_ = edgeCount == 0 ? 0 : edgeLengthSum / static_cast<double>(edgeCount);
}

void ModelView::faceLook(const host::HostDocument& document, const DrawnFace& face, uint8_t rgba[4],
                         uint8_t flags[4]) const {
  const host::HostObject* object = document.object(face.object);
  const auto found = faceColours_.find(face.object);
  const std::vector<uint8_t>* colours =
      found != faceColours_.end() && found->second.size() == static_cast<size_t>(object->faceCount()) * 4
          ? &found->second
          : nullptr;
  const int32_t material = object->faceMaterial(face.face);
  const bool textured =
      textureWidth_ > 0 && (textureMaterial_ == kEveryMaterial || textureMaterial_ == material);
  rgba[0] = 160, rgba[1] = 160, rgba[2] = 165, rgba[3] = 255;
  if (colours != nullptr) {
    std::memcpy(rgba, colours->data() + static_cast<size_t>(face.face) * 4, 4);
  } else if (textured) {
    rgba[0] = rgba[1] = rgba[2] = 255;
  } else if (const host::HostMaterial* m = document.material(material)) {
    rgba[0] = Byte(m->color.r), rgba[1] = Byte(m->color.g), rgba[2] = Byte(m->color.b);
  }
  flags[0] = object->isFaceSelected(face.face) ? 255 : 0;
  flags[1] = textured ? 255 : 0;
  flags[2] = flags[3] = 0;
}

void ModelView::ensureProgram() {
  if (program_ != 0) return;
  program_ = LinkProgram(kVertexShader, kFragmentShader, {"aPos", "aUv", "aColor", "aFlags"});
  viewProjLocation_ = glGetUniformLocation(program_, "uViewProj");
  viewLocation_ = glGetUniformLocation(program_, "uView");
  solidLocation_ = glGetUniformLocation(program_, "uSolid");
  useSolidLocation_ = glGetUniformLocation(program_, "uUseSolid");
  useTextureLocation_ = glGetUniformLocation(program_, "uUseTexture");
  samplerLocation_ = glGetUniformLocation(program_, "uTexture");

  GLuint buffers[8];
  glGenBuffers(8, buffers);
  selectedFaceEdgeBuffer_ = buffers[7];
  vertexBuffer_ = buffers[0], triangleBuffer_ = buffers[1], edgeBuffer_ = buffers[2], selectedEdgeBuffer_ = buffers[3];
  pointBuffer_ = buffers[4], standInVertexBuffer_ = buffers[5], standInTriangleBuffer_ = buffers[6];
  GLuint arrays[4];
  glGenVertexArrays(4, arrays);
  vao_ = arrays[0], pointVao_ = arrays[1], standInVao_ = arrays[2], lineVao_ = arrays[3];
  glBindVertexArray(lineVao_);
  glBindBuffer(GL_ARRAY_BUFFER, selectedEdgeBuffer_);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindVertexArray(vao_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  BindVertexLayout();
  glBindVertexArray(standInVao_);
  glBindBuffer(GL_ARRAY_BUFFER, standInVertexBuffer_);
  BindVertexLayout();
  glBindVertexArray(pointVao_);
  glBindBuffer(GL_ARRAY_BUFFER, pointBuffer_);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindVertexArray(0);
  glGenTextures(1, &textureId_);
}

void ModelView::buildVertices(const host::HostDocument& document) {
  uploadedVertices_.resize(cornerVertex_.size() * sizeof(Vertex));
  auto* vertices = reinterpret_cast<Vertex*>(uploadedVertices_.data());
  for (const DrawnFace& face : faces_) {
    uint8_t rgba[4], flags[4];
    faceLook(document, face, rgba, flags);
    const MQCoordinate* uvs = document.object(face.object)->faceUVs(face.face);
    for (uint32_t c = 0; c < face.count; ++c) {
      Vertex& v = vertices[face.first + c];
      std::memcpy(v.position, &positions_[3 * (face.first + c)], sizeof v.position);
      v.uv[0] = uvs[c].u, v.uv[1] = uvs[c].v;
      std::memcpy(v.rgba, rgba, 4);
      std::memcpy(v.flags, flags, 4);
    }
  }
  verticesStale_ = false;
}

void ModelView::upload() {
  glBindVertexArray(0);
  Upload(vertexBuffer_, GL_ARRAY_BUFFER, uploadedVertices_.data(), uploadedVertices_.size());
  Upload(triangleBuffer_, GL_ELEMENT_ARRAY_BUFFER, triangles_.data(), triangles_.size() * 4);
  Upload(edgeBuffer_, GL_ELEMENT_ARRAY_BUFFER, edges_.data(), edges_.size() * 4);
  Upload(selectedFaceEdgeBuffer_, GL_ELEMENT_ARRAY_BUFFER, selectedFaceEdges_.data(), selectedFaceEdges_.size() * 4);
  triangleIndexCount_ = static_cast<int>(triangles_.size());
  edgeIndexCount_ = static_cast<int>(edges_.size());
  selectedFaceEdgeIndexCount_ = static_cast<int>(selectedFaceEdges_.size());
  gpuStale_ = false;
}

void ModelView::uploadSelectionAndTexture() {
  // Selected lines and vertices are few and drawn over either model, full
  // or stand-in, from positions of their own.
  Upload(selectedEdgeBuffer_, GL_ARRAY_BUFFER, selectedEdges_.data(), selectedEdges_.size() * 4);
  Upload(pointBuffer_, GL_ARRAY_BUFFER, selectedPoints_.data(), selectedPoints_.size() * 4);
  selectedEdgeVertexCount_ = static_cast<int>(selectedEdges_.size() / 3);
  pointCount_ = static_cast<int>(selectedPoints_.size() / 3);
  if (textureStale_) {
    glBindTexture(GL_TEXTURE_2D, textureId_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (textureWidth_ > 0) {
      // An image past the GPU's limit would leave the texture incomplete
      // (black faces): every step-th pixel is sent instead.
      GLint limit = 0;
      glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
      limit = std::max(limit, 64);
      const int step = std::max((textureWidth_ + limit - 1) / limit, (textureHeight_ + limit - 1) / limit);
      if (step <= 1) {
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth_, textureHeight_, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texture_.data());
      } else {
        const int width = std::max(1, textureWidth_ / step), height = std::max(1, textureHeight_ / step);
        std::vector<uint8_t> smaller(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
        for (int y = 0; y < height; ++y) {
          for (int x = 0; x < width; ++x) {
            std::memcpy(&smaller[(static_cast<size_t>(y) * width + x) * 4],
                        &texture_[(static_cast<size_t>(y) * step * textureWidth_ + static_cast<size_t>(x) * step) * 4], 4);
          }
        }
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, smaller.data());
      }
      glGenerateMipmap(GL_TEXTURE_2D);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    textureStale_ = false;
  }
  selectionStale_ = false;
}

void ModelView::buildStandIn(const host::HostDocument& document, int cells) {
  if (standInCells_ != cells) {
    std::vector<float> moved;
    const std::vector<uint32_t> kept = ClusterTriangles(positions_, triangles_, cells, &moved);
    // Only the corners the kept triangles use, renumbered.
    std::vector<uint32_t> renumber(cornerVertex_.size(), ~uint32_t{0});
    standInCorners_.clear();
    standInPositions_.clear();
    std::vector<uint32_t> indices;
    indices.reserve(kept.size());
    for (const uint32_t corner : kept) {
      if (renumber[corner] == ~uint32_t{0}) {
        renumber[corner] = static_cast<uint32_t>(standInCorners_.size());
        standInCorners_.push_back(corner);
        standInPositions_.insert(standInPositions_.end(), &moved[3 * corner], &moved[3 * corner] + 3);
      }
      indices.push_back(renumber[corner]);
    }
    glBindVertexArray(0);
    Upload(standInTriangleBuffer_, GL_ELEMENT_ARRAY_BUFFER, indices.data(), indices.size() * 4);
    standInIndexCount_ = static_cast<int>(indices.size());
    standInCells_ = cells;
    standInAttributesStale_ = true;
  }
  if (!standInAttributesStale_) return;
  // Straight from the document: the stand-in has a small share of the
  // corners, and the full model's vertices may never be needed.
  std::vector<Vertex> vertices(standInCorners_.size());
  for (size_t i = 0; i < standInCorners_.size(); ++i) {
    const uint32_t corner = standInCorners_[i];
    const DrawnFace& face = faces_[cornerFace_[corner]];
    Vertex& v = vertices[i];
    faceLook(document, face, v.rgba, v.flags);
    const MQCoordinate& uv = document.object(face.object)->faceUVs(face.face)[corner - face.first];
    v.uv[0] = uv.u, v.uv[1] = uv.v;
    std::memcpy(v.position, &standInPositions_[3 * i], sizeof v.position);
  }
  glBindVertexArray(0);
  Upload(standInVertexBuffer_, GL_ARRAY_BUFFER, vertices.data(), vertices.size() * sizeof(Vertex));
  standInAttributesStale_ = false;
}

void ModelView::draw(const host::HostDocument& document, int framebufferHeight, double now) {
  if (rect_.width < 1 || rect_.height < 1) return;
  ensureProgram();
  if (dirty_) rebuild(document);
  if (!framedOnce_) {
    framedOnce_ = true;
    frame(document, true);
  }
  if (selectionStale_) uploadSelectionAndTexture();

  if (!SameCamera(camera_, drawnCamera_)) cameraMovedAt_ = now;
  drawnCamera_ = camera_;
  const bool moving = cameraMovedAt_ >= 0 && now - cameraMovedAt_ < kRefineDelay;
  // A big model is drawn as its clustered stand-in while the camera moves,
  // at a fixed coarse level, and at rest too where its faces are smaller
  // than a pixel or two, at a level whose cells are about that size: a
  // software rasteriser spends far more on millions of sub-pixel triangles
  // than the picture shows.
  const double pixelsPerUnit = rect_.height / (2.0 * HalfHeightAtTarget(camera_));
  const bool big = triangles_.size() / 3 > kStandInTriangles;
  const bool dense = meanEdgeLength_ * pixelsPerUnit < kDetailPixels;
  int cells = 0;
  if (big && moving && !refineNow_) {
    cells = standInCells_ > 0 && standInCells_ <= kMovingCells ? standInCells_ : kMovingCells;
  } else if (big && dense) {
    // Cells about kDetailPixels wide, in powers of two so small zoom
    // steps reuse the clusters.
    const double wanted = 2 * sceneRadius_ * pixelsPerUnit / kDetailPixels;
    cells = kMovingCells;
    while (cells < kFinestCells && cells < wanted) cells *= 2;
  }
  refinePending_ = cells > 0 && moving && !refineNow_;
  refineNow_ = false;
  showingStandIn_ = cells > 0;
  if (showingStandIn_) {
    buildStandIn(document, cells);
  } else if (gpuStale_) {
    if (verticesStale_) buildVertices(document);
    upload();
  }

  const int width = static_cast<int>(rect_.width), height = static_cast<int>(rect_.height);
  const GLint x = static_cast<GLint>(rect_.x), y = framebufferHeight - static_cast<GLint>(rect_.y) - height;
  glViewport(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, y, width, height);
  glClearColor(0.2f, 0.21f, 0.24f, 1.0f);
  glClearDepth(1.0);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glUseProgram(program_);
  const Mat4 view = ViewMatrix(camera_), viewProj = viewProjection();
  glUniformMatrix4fv(viewProjLocation_, 1, GL_FALSE, viewProj.m);
  glUniformMatrix4fv(viewLocation_, 1, GL_FALSE, view.m);
  glUniform1f(useSolidLocation_, 0.0f);
  glUniform1f(useTextureLocation_, textureWidth_ > 0 ? 1.0f : 0.0f);
  glUniform1i(samplerLocation_, 0);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textureId_);

  if (showingStandIn_) {
    glBindVertexArray(standInVao_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, standInTriangleBuffer_);
    glDrawElements(GL_TRIANGLES, standInIndexCount_, GL_UNSIGNED_INT, nullptr);
  } else {
    glBindVertexArray(vao_);
    // Faces a little behind their edges, so the wire is not half buried.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, triangleBuffer_);
    glDrawElements(GL_TRIANGLES, triangleIndexCount_, GL_UNSIGNED_INT, nullptr);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glUniform1f(useSolidLocation_, 1.0f);
    if (meanEdgeLength_ * pixelsPerUnit >= kEdgePixels) {
      glUniform4f(solidLocation_, 0.08f, 0.08f, 0.1f, 1.0f);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edgeBuffer_);
      glDrawElements(GL_LINES, edgeIndexCount_, GL_UNSIGNED_INT, nullptr);
      // Selected faces outlined as well as tinted, so a textured or
      // coloured face still reads as selected.
      glUniform4f(solidLocation_, 1.0f, 0.5f, 0.05f, 1.0f);
      glLineWidth(2.0f);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, selectedFaceEdgeBuffer_);
      glDrawElements(GL_LINES, selectedFaceEdgeIndexCount_, GL_UNSIGNED_INT, nullptr);
      glLineWidth(1.0f);
    }
  }
  if (selectedEdgeVertexCount_ > 0) {
    glUniform1f(useSolidLocation_, 1.0f);
    glLineWidth(3.0f);
    glUniform4f(solidLocation_, 1.0f, 0.85f, 0.1f, 1.0f);
    glBindVertexArray(lineVao_);
    glDrawArrays(GL_LINES, 0, selectedEdgeVertexCount_);
    glLineWidth(1.0f);
  }
  if (pointCount_ > 0) {
    glUniform1f(useSolidLocation_, 1.0f);
    glUniform4f(solidLocation_, 1.0f, 0.9f, 0.2f, 1.0f);
    glPointSize(7.0f);
    glBindVertexArray(pointVao_);
    glDrawArrays(GL_POINTS, 0, pointCount_);
    glPointSize(1.0f);
  }
  glBindVertexArray(0);
  glBindTexture(GL_TEXTURE_2D, 0);
  glUseProgram(0);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_SCISSOR_TEST);
}

// --- picking ----------------------------------------------------------------------

const ModelView::ObjectRun* ModelView::runOf(int32_t object) const {
  for (const ObjectRun& run : runs_) {
    if (run.object == object) return &run;
  }
  return nullptr;
}

void ModelView::projectRun(const ObjectRun& run, std::vector<float>* xy, std::vector<uint32_t>* faceStart) const {
  const Mat4 vp = viewProjection();
  const uint32_t base = run.firstFace < run.endFace ? faces_[run.firstFace].first : 0;
  const uint32_t end = run.firstFace < run.endFace ? faces_[run.endFace - 1].first + faces_[run.endFace - 1].count : 0;
  xy->assign(2 * static_cast<size_t>(end - base), std::numeric_limits<float>::quiet_NaN());
  for (uint32_t c = base; c < end; ++c) {
    const Vec3 p{positions_[3 * c], positions_[3 * c + 1], positions_[3 * c + 2]};
    float px = 0, py = 0;
    if (ProjectToPixel(vp, rect_, p, &px, &py)) (*xy)[2 * (c - base)] = px, (*xy)[2 * (c - base) + 1] = py;
  }
  faceStart->clear();
  for (uint32_t f = run.firstFace; f < run.endFace; ++f) faceStart->push_back(faces_[f].first - base);
  faceStart->push_back(end - base);
}

std::vector<int32_t> ModelView::verticesInBox(int32_t object, const PixelBox& box) const {
  std::vector<int32_t> out;
  const ObjectRun* run = runOf(object);
  if (run == nullptr || run->firstFace == run->endFace) return out;
  std::vector<float> xy;
  std::vector<uint32_t> faceStart;
  projectRun(*run, &xy, &faceStart);
  const uint32_t base = faces_[run->firstFace].first;
  for (const int32_t corner : PointsInBox(box, xy)) out.push_back(cornerVertex_[base + static_cast<uint32_t>(corner)]);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

std::vector<int32_t> ModelView::facesInBox(int32_t object, const PixelBox& box) const {
  std::vector<int32_t> out;
  const ObjectRun* run = runOf(object);
  if (run == nullptr || run->firstFace == run->endFace) return out;
  std::vector<float> xy;
  std::vector<uint32_t> faceStart;
  projectRun(*run, &xy, &faceStart);
  for (const int32_t drawn : FacesInBox(box, xy, faceStart)) {
    const DrawnFace& face = faces_[run->firstFace + static_cast<uint32_t>(drawn)];
    if (face.count >= 3) out.push_back(face.face);
  }
  return out;
}

std::vector<std::pair<int32_t, int32_t>> ModelView::linesInBox(int32_t object, const PixelBox& box) const {
  std::vector<std::pair<int32_t, int32_t>> out;
  const ObjectRun* run = runOf(object);
  if (run == nullptr || run->firstFace == run->endFace) return out;
  std::vector<float> xy;
  std::vector<uint32_t> faceStart;
  projectRun(*run, &xy, &faceStart);
  // Corners run in face order, so the face of a corner follows a cursor.
  uint32_t drawn = 0;
  for (const uint32_t corner : LinesInBox(box, xy, faceStart)) {
    while (faceStart[drawn + 1] <= corner) ++drawn;
    const DrawnFace& face = faces_[run->firstFace + drawn];
    // A two-corner face has one line, from its first corner.
    if (face.count == 2 && corner != faceStart[drawn]) continue;
    out.emplace_back(face.face, static_cast<int32_t>(corner - faceStart[drawn]));
  }
  return out;
}

ModelHit ModelView::pick(float x, float y, float maxPixels) const {
  const Ray ray = PixelRay(camera_, rect_, x, y);
  float nearest = std::numeric_limits<float>::max();
  size_t hitFace = faces_.size();
  auto corner = [&](uint32_t c) { return Vec3{positions_[3 * c], positions_[3 * c + 1], positions_[3 * c + 2]}; };
  for (size_t i = 0; i < faces_.size(); ++i) {
    const DrawnFace& face = faces_[i];
    for (uint32_t c = 2; c < face.count; ++c) {
      float t = 0;
      if (RayTriangle(ray, corner(face.first), corner(face.first + c - 1), corner(face.first + c), &t) && t < nearest) {
        nearest = t;
        hitFace = i;
      }
    }
  }
  ModelHit hit;
  if (mode_ == ModelPickMode::kFace) {
    if (hitFace < faces_.size()) hit.object = faces_[hitFace].object, hit.face = faces_[hitFace].face;
    return hit;
  }
  const Mat4 vp = viewProjection();
  float best = maxPixels * maxPixels;
  // The hit face's own corners and lines first: what lies behind it is
  // hidden. Off the model, every face's.
  const size_t from = hitFace < faces_.size() ? hitFace : 0, to = hitFace < faces_.size() ? hitFace + 1 : faces_.size();
  for (size_t i = from; i < to; ++i) {
    const DrawnFace& face = faces_[i];
    const uint32_t lines = face.count == 2 ? 1 : face.count;
    for (uint32_t c = 0; c < face.count; ++c) {
      float ax = 0, ay = 0, bx = 0, by = 0;
      if (!ProjectToPixel(vp, rect_, corner(face.first + c), &ax, &ay)) continue;
      if (mode_ == ModelPickMode::kVertex) {
        const float d = (ax - x) * (ax - x) + (ay - y) * (ay - y);
        if (d <= best) {
          best = d;
          hit = {face.object, face.face, static_cast<int32_t>(c), cornerVertex_[face.first + c]};
        }
      } else if (c < lines && ProjectToPixel(vp, rect_, corner(face.first + (c + 1) % face.count), &bx, &by)) {
        const float d = SegmentDistanceSquared(x, y, ax, ay, bx, by);
        if (d <= best) {
          best = d;
          hit = {face.object, face.face, static_cast<int32_t>(c), -1};
        }
      }
    }
  }
  return hit;
}

}  // namespace pavlex::gui

#include "gui/uv_view.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace pavlex::gui {
namespace {

struct Vertex {
  float u, v;
  uint8_t rgba[4];
};

constexpr const char* kVertexShader = R"(#version 130
in vec2 aPos;
in vec4 aColor;
uniform vec4 uXform;
uniform vec4 uTint;
uniform float uUseTint;
out vec4 vColor;
void main() {
  gl_Position = vec4(aPos * uXform.xy + uXform.zw, 0.0, 1.0);
  vColor = mix(aColor, uTint, uUseTint);
}
)";
constexpr const char* kFragmentShader = R"(#version 130
in vec4 vColor;
out vec4 fragColor;
void main() { fragColor = vColor; }
)";

unsigned Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

// The fill of a face: its material's colour, light, so edges stay readable;
// faces selected in the host in a warm tone.
void FillColour(const host::HostDocument& document, int32_t material, bool selected, uint8_t out[4]) {
  if (selected) {
    out[0] = 230, out[1] = 140, out[2] = 40, out[3] = 110;
    return;
  }
  float r = 0.6f, g = 0.6f, b = 0.6f;
  if (const host::HostMaterial* m = document.material(material)) r = m->color.r, g = m->color.g, b = m->color.b;
  out[0] = static_cast<uint8_t>(std::clamp(r, 0.0f, 1.0f) * 255);
  out[1] = static_cast<uint8_t>(std::clamp(g, 0.0f, 1.0f) * 255);
  out[2] = static_cast<uint8_t>(std::clamp(b, 0.0f, 1.0f) * 255);
  out[3] = 60;
}

void Upload(GLuint buffer, GLenum target, const void* data, size_t bytes) {
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
}

}  // namespace

UvView::~UvView() {
  // The context is gone by now when the window closed first; deleting names
  // of no current context is what GL ignores, so only ask when one exists.
}

void UvView::ensureProgram() {
  if (program_ != 0) return;
  program_ = glCreateProgram();
  const GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader), fs = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
  glAttachShader(program_, vs);
  glAttachShader(program_, fs);
  glBindAttribLocation(program_, 0, "aPos");
  glBindAttribLocation(program_, 1, "aColor");
  glLinkProgram(program_);
  glDeleteShader(vs);
  glDeleteShader(fs);
  xformLocation_ = glGetUniformLocation(program_, "uXform");
  tintLocation_ = glGetUniformLocation(program_, "uTint");
  useTintLocation_ = glGetUniformLocation(program_, "uUseTint");

  glGenVertexArrays(1, &vao_);
  glGenBuffers(1, &vertexBuffer_);
  GLuint indices[4];
  glGenBuffers(4, indices);
  fillIndices_ = indices[0], edgeIndices_ = indices[1], selectedEdgeIndices_ = indices[2],
  selectedCornerIndices_ = indices[3];
  glBindVertexArray(vao_);
  glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(8));

  // The unit square's grid: tenths, the border drawn again stronger.
  std::vector<Vertex> grid;
  for (int i = 0; i <= 10; ++i) {
    const float t = static_cast<float>(i) / 10.0f;
    const uint8_t a = (i == 0 || i == 10) ? 255 : 70;
    grid.push_back({t, 0, {120, 120, 130, a}});
    grid.push_back({t, 1, {120, 120, 130, a}});
    grid.push_back({0, t, {120, 120, 130, a}});
    grid.push_back({1, t, {120, 120, 130, a}});
  }
  gridVertices_ = static_cast<int>(grid.size());
  glGenVertexArrays(1, &gridVao_);
  glGenBuffers(1, &gridBuffer_);
  glBindVertexArray(gridVao_);
  Upload(gridBuffer_, GL_ARRAY_BUFFER, grid.data(), grid.size() * sizeof(Vertex));
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(8));
  glBindVertexArray(0);
}

void UvView::rebuild(const host::HostDocument& document) {
  uv_.clear();
  faceStart_.clear();
  faceOfDrawn_.clear();
  std::vector<Vertex> vertices;
  std::vector<uint32_t> fill, edges, selectedEdges, selectedCorners;
  const host::HostObject* object = document.object(document.currentObject());
  if (object != nullptr) {
    const int32_t faces = object->faceCount();
    vertices.reserve(static_cast<size_t>(faces) * 4);
    uv_.reserve(static_cast<size_t>(faces) * 8);
    for (int32_t f = 0; f < faces; ++f) {
      const int32_t n = object->cornerCount(f);
      if (n < 2) continue;
      const auto first = static_cast<uint32_t>(vertices.size());
      faceStart_.push_back(first);
      faceOfDrawn_.push_back(f);
      uint8_t colour[4];
      FillColour(document, object->faceMaterial(f), object->isFaceSelected(f), colour);
      const MQCoordinate* uvs = object->faceUVs(f);
      for (int32_t c = 0; c < n; ++c) {
        vertices.push_back({uvs[c].u, uvs[c].v, {colour[0], colour[1], colour[2], colour[3]}});
        uv_.push_back(uvs[c].u);
        uv_.push_back(uvs[c].v);
        const auto here = first + static_cast<uint32_t>(c), next = first + static_cast<uint32_t>((c + 1) % n);
        edges.push_back(here);
        edges.push_back(next);
        const bool selected = object->isUVSelected(f, c);
        if (selected) selectedCorners.push_back(here);
        if (selected && object->isUVSelected(f, (c + 1) % n)) {
          selectedEdges.push_back(here);
          selectedEdges.push_back(next);
        }
        // A fan fills convex faces exactly and concave ones nearly, which
        // is enough for a light tint under the edges.
        if (c >= 2) {
          fill.push_back(first);
          fill.push_back(here - 1);
          fill.push_back(here);
        }
      }
    }
    faceStart_.push_back(static_cast<uint32_t>(vertices.size()));
  }
  glBindVertexArray(vao_);
  Upload(vertexBuffer_, GL_ARRAY_BUFFER, vertices.data(), vertices.size() * sizeof(Vertex));
  glBindVertexArray(0);
  Upload(fillIndices_, GL_ELEMENT_ARRAY_BUFFER, fill.data(), fill.size() * 4);
  Upload(edgeIndices_, GL_ELEMENT_ARRAY_BUFFER, edges.data(), edges.size() * 4);
  Upload(selectedEdgeIndices_, GL_ELEMENT_ARRAY_BUFFER, selectedEdges.data(), selectedEdges.size() * 4);
  Upload(selectedCornerIndices_, GL_ELEMENT_ARRAY_BUFFER, selectedCorners.data(), selectedCorners.size() * 4);
  fillCount_ = static_cast<int>(fill.size());
  edgeCount_ = static_cast<int>(edges.size());
  selectedEdgeCount_ = static_cast<int>(selectedEdges.size());
  selectedCornerCount_ = static_cast<int>(selectedCorners.size());
  dirty_ = false;
}

void UvView::draw(const host::HostDocument& document, int framebufferHeight) {
  if (rect_.width < 1 || rect_.height < 1) return;
  ensureProgram();
  if (dirty_) rebuild(document);
  if (!framedOnce_) {
    framedOnce_ = true;
    frame(document, true);
  }
  const GLint x = static_cast<GLint>(rect_.x), width = static_cast<GLint>(rect_.width);
  const GLint height = static_cast<GLint>(rect_.height);
  const GLint y = framebufferHeight - static_cast<GLint>(rect_.y) - height;
  glViewport(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, y, width, height);
  glClearColor(0.16f, 0.16f, 0.18f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glUseProgram(program_);
  const float sx = static_cast<float>(2 * scale_ / rect_.width), sy = static_cast<float>(2 * scale_ / rect_.height);
  glUniform4f(xformLocation_, sx, sy, static_cast<float>(-centerU_) * sx, static_cast<float>(-centerV_) * sy);

  glUniform1f(useTintLocation_, 0.0f);
  glBindVertexArray(gridVao_);
  glDrawArrays(GL_LINES, 0, gridVertices_);

  glBindVertexArray(vao_);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, fillIndices_);
  glDrawElements(GL_TRIANGLES, fillCount_, GL_UNSIGNED_INT, nullptr);
  glUniform1f(useTintLocation_, 1.0f);
  glUniform4f(tintLocation_, 0.85f, 0.87f, 0.9f, 0.9f);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edgeIndices_);
  glDrawElements(GL_LINES, edgeCount_, GL_UNSIGNED_INT, nullptr);
  glLineWidth(2.0f);
  glUniform4f(tintLocation_, 1.0f, 0.55f, 0.1f, 1.0f);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, selectedEdgeIndices_);
  glDrawElements(GL_LINES, selectedEdgeCount_, GL_UNSIGNED_INT, nullptr);
  glLineWidth(1.0f);
  glPointSize(6.0f);
  glUniform4f(tintLocation_, 1.0f, 0.9f, 0.2f, 1.0f);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, selectedCornerIndices_);
  glDrawElements(GL_POINTS, selectedCornerCount_, GL_UNSIGNED_INT, nullptr);
  glPointSize(1.0f);
  glBindVertexArray(0);
  glUseProgram(0);
  glDisable(GL_SCISSOR_TEST);
}

void UvView::pixelOf(double u, double v, float* x, float* y) const {
  *x = static_cast<float>(rect_.x + rect_.width / 2 + (u - centerU_) * scale_);
  *y = static_cast<float>(rect_.y + rect_.height / 2 - (v - centerV_) * scale_);
}

void UvView::uvOf(float x, float y, double* u, double* v) const {
  *u = centerU_ + (x - rect_.x - rect_.width / 2) / scale_;
  *v = centerV_ - (y - rect_.y - rect_.height / 2) / scale_;
}

void UvView::pan(float dx, float dy) {
  centerU_ -= dx / scale_;
  centerV_ += dy / scale_;
}

void UvView::zoomAbout(float x, float y, double factor) {
  double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  uvOf(x, y, &u0, &v0);
  scale_ = std::clamp(scale_ * factor, 1e-3, 1e9);
  uvOf(x, y, &u1, &v1);
  centerU_ += u0 - u1;
  centerV_ += v0 - v1;
}

void UvView::setZoom(double zoom) {
  scale_ = std::clamp(zoom * std::max(1.0f, rect_.height), 1e-3, 1e9);
}

void UvView::frame(const host::HostDocument& document, bool all) {
  double minU = std::numeric_limits<double>::infinity(), minV = minU, maxU = -minU, maxV = -minU;
  const host::HostObject* object = document.object(document.currentObject());
  for (int pass = all ? 1 : 0; pass < 2 && object != nullptr && !(minU <= maxU); ++pass) {
    for (int32_t f = 0; f < object->faceCount(); ++f) {
      const MQCoordinate* uvs = object->faceUVs(f);
      for (int32_t c = 0; c < object->cornerCount(f); ++c) {
        if (pass == 0 && !object->isUVSelected(f, c)) continue;
        minU = std::min(minU, double(uvs[c].u)), maxU = std::max(maxU, double(uvs[c].u));
        minV = std::min(minV, double(uvs[c].v)), maxV = std::max(maxV, double(uvs[c].v));
      }
    }
  }
  if (!(minU <= maxU) || !std::isfinite(maxU - minU) || !std::isfinite(maxV - minV)) {
    minU = minV = 0, maxU = maxV = 1;
  }
  centerU_ = (minU + maxU) / 2, centerV_ = (minV + maxV) / 2;
  const double extent = std::max({maxU - minU, maxV - minV, 1e-4});
  scale_ = 0.9 * std::max(1.0f, std::min(rect_.width, rect_.height)) / extent;
}

CornerRef UvView::nearestCorner(float x, float y, float maxPixels) const {
  double u = 0, v = 0;
  uvOf(x, y, &u, &v);
  const double limit = maxPixels / scale_;
  double best = limit * limit;
  size_t bestIndex = std::numeric_limits<size_t>::max();
  for (size_t i = 0; i + 1 < uv_.size(); i += 2) {
    const double du = uv_[i] - u, dv = uv_[i + 1] - v, d = du * du + dv * dv;
    if (d <= best) best = d, bestIndex = i / 2;
  }
  if (bestIndex == std::numeric_limits<size_t>::max()) return {};
  const auto at = std::upper_bound(faceStart_.begin(), faceStart_.end(), static_cast<uint32_t>(bestIndex)) - 1;
  const size_t drawn = static_cast<size_t>(at - faceStart_.begin());
  return {faceOfDrawn_[drawn], static_cast<int32_t>(bestIndex - *at)};
}

CornerRef UvView::nearestEdge(float x, float y, float maxPixels) const {
  double u = 0, v = 0;
  uvOf(x, y, &u, &v);
  const double limit = maxPixels / scale_;
  double best = limit * limit;
  CornerRef found;
  for (size_t drawn = 0; drawn + 1 < faceStart_.size(); ++drawn) {
    const uint32_t first = faceStart_[drawn], n = faceStart_[drawn + 1] - first;
    for (uint32_t c = 0; c < n; ++c) {
      const size_t a = 2 * (first + c), b = 2 * (first + (c + 1) % n);
      const double ax = uv_[a], ay = uv_[a + 1], bx = uv_[b] - ax, by = uv_[b + 1] - ay;
      const double length = bx * bx + by * by;
      const double t = length > 0 ? std::clamp(((u - ax) * bx + (v - ay) * by) / length, 0.0, 1.0) : 0.0;
      const double dx = ax + t * bx - u, dy = ay + t * by - v, d = dx * dx + dy * dy;
      if (d < best) best = d, found = {faceOfDrawn_[drawn], static_cast<int32_t>(c)};
    }
  }
  return found;
}

int32_t UvView::cornerCountOfFace(int32_t face) const {
  const auto at = std::lower_bound(faceOfDrawn_.begin(), faceOfDrawn_.end(), face);
  if (at == faceOfDrawn_.end() || *at != face) return 0;
  const size_t drawn = static_cast<size_t>(at - faceOfDrawn_.begin());
  return static_cast<int32_t>(faceStart_[drawn + 1] - faceStart_[drawn]);
}

}  // namespace pavlex::gui

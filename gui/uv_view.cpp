#include "gui/uv_view.h"

#include "gui/gl_program.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>
#include <thread>

namespace pavlex::gui {
namespace {

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

// The cached picture on a rectangle given in the view's NDC (x0, y0, x1, y1).
constexpr const char* kQuadVertexShader = R"(#version 130
in vec2 aCorner;
uniform vec4 uRect;
out vec2 vTexCoord;
void main() {
  vTexCoord = aCorner;
  gl_Position = vec4(mix(uRect.xy, uRect.zw, aCorner), 0.0, 1.0);
}
)";
constexpr const char* kQuadFragmentShader = R"(#version 130
in vec2 vTexCoord;
uniform sampler2D uPicture;
out vec4 fragColor;
void main() { fragColor = texture(uPicture, vTexCoord); }
)";

// The texture over the unit square: the quad's corners are its UVs.
constexpr const char* kTextureVertexShader = R"(#version 130
in vec2 aCorner;
uniform vec4 uXform;
out vec2 vTexCoord;
void main() {
  vTexCoord = vec2(aCorner.x, 1.0 - aCorner.y);
  gl_Position = vec4(aCorner * uXform.xy + uXform.zw, 0.0, 1.0);
}
)";

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

// Runs work(part) for part in [0, parts), the calling thread taking part 0.
template <typename Work>
void OnCores(unsigned parts, const Work& work) {
  std::vector<std::thread> helpers;
  for (unsigned part = 1; part < parts; ++part) {
    try {
      helpers.emplace_back([&work, part] { work(part); });
    } catch (const std::system_error&) {
      work(part);  // no thread to be had: this one does the part
    }
  }
  work(0);
  for (std::thread& helper : helpers) helper.join();
}

void Upload(GLuint buffer, GLenum target, const void* data, size_t bytes) {
  glBindBuffer(target, buffer);
  glBufferData(target, static_cast<GLsizeiptr>(bytes), data, GL_STATIC_DRAW);
}

}  // namespace

// The GL objects go with the context: the window that owns this view
// destroys its context before its members.
UvView::~UvView() = default;

void UvView::ensureProgram() {
  if (program_ != 0) return;
  program_ = LinkProgram(kVertexShader, kFragmentShader, {"aPos", "aColor"});
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

  quadProgram_ = LinkProgram(kQuadVertexShader, kQuadFragmentShader, {"aCorner"});
  quadRectLocation_ = glGetUniformLocation(quadProgram_, "uRect");
  const float corners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  glGenVertexArrays(1, &quadVao_);
  glGenBuffers(1, &quadBuffer_);
  glBindVertexArray(quadVao_);
  Upload(quadBuffer_, GL_ARRAY_BUFFER, corners, sizeof corners);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindVertexArray(0);
  glGenTextures(1, &cacheTexture_);
  glGenFramebuffers(1, &cacheFbo_);

  textureProgram_ = LinkProgram(kTextureVertexShader, kQuadFragmentShader, {"aCorner"});
  textureXformLocation_ = glGetUniformLocation(textureProgram_, "uXform");
  glGenTextures(1, &textureId_);
}

void UvView::setTexture(const texture::RgbaImage* image) {
  if (image == nullptr && texture_ == nullptr) return;  // off stays off: the picture stands
  texture_ = image != nullptr && !image->empty() ? image : nullptr;
  textureStale_ = true;
  cacheValid_ = false;
}

void UvView::setFaceColours(const std::vector<uint8_t>* colours) {
  if (colours == nullptr && faceColours_ == nullptr) return;
  faceColours_ = colours;
  gpuStale_ = true;
  cacheValid_ = false;
}

void UvView::drawTexture() {
  if (texture_ == nullptr) return;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textureId_);
  if (textureStale_) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    // A picture larger than the GPU takes is shown by every n-th pixel:
    // the view is a preview, never the texture's only copy.
    const int32_t step = std::max({1, (texture_->width + largest - 1) / std::max(1, largest),
                                   (texture_->height + largest - 1) / std::max(1, largest)});
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (step == 1) {
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture_->width, texture_->height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   texture_->pixels.data());
    } else {
      const int32_t w = texture_->width / step, h = texture_->height / step;
      std::vector<uint8_t> reduced(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
      for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
          const size_t from = (static_cast<size_t>(y) * step * texture_->width + static_cast<size_t>(x) * step) * 4;
          std::copy_n(&texture_->pixels[from], 4, &reduced[(static_cast<size_t>(y) * w + x) * 4]);
        }
      }
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, reduced.data());
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    textureStale_ = false;
  }
  glUseProgram(textureProgram_);
  const float sx = static_cast<float>(2 * scale_ / cacheWidth_), sy = static_cast<float>(2 * scale_ / cacheHeight_);
  glUniform4f(textureXformLocation_, sx, sy, static_cast<float>(-centerU_) * sx, static_cast<float>(-centerV_) * sy);
  glBindVertexArray(quadVao_);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
  glBindTexture(GL_TEXTURE_2D, 0);
}

bool UvView::sampleTexture(double u, double v, uint32_t* rgba) const {
  if (texture_ == nullptr || !(u >= 0 && u < 1 && v > 0 && v <= 1)) return false;
  const auto x = static_cast<size_t>(u * texture_->width), y = static_cast<size_t>((1 - v) * texture_->height);
  if (x >= static_cast<size_t>(texture_->width) || y >= static_cast<size_t>(texture_->height)) return false;
  const uint8_t* p = &texture_->pixels[(y * static_cast<size_t>(texture_->width) + x) * 4];
  *rgba = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (0xFFu << 24);
  return true;
}

void UvView::rebuild(const host::HostDocument& document) {
  const host::HostObject* object = document.object(document.currentObject());
  // The drawn faces and where their corners go first, so that the copy is
  // then written in place, in two halves on two threads: growing five
  // arrays a corner at a time cost more than reading the mesh.
  const int32_t faces = object != nullptr ? object->faceCount() : 0;
  faceStart_.resize(object != nullptr ? static_cast<size_t>(faces) + 1 : 0);
  faceOfDrawn_.resize(static_cast<size_t>(faces));
  uint32_t corner = 0;
  size_t drawn = 0;
  for (int32_t f = 0; f < faces; ++f) {
    const int32_t n = object->cornerCount(f);
    if (n < 2) continue;
    faceStart_[drawn] = corner;
    faceOfDrawn_[drawn++] = f;
    corner += static_cast<uint32_t>(n);
  }
  if (object != nullptr) {
    faceStart_[drawn] = corner;
    faceStart_.resize(drawn + 1);
  }
  faceOfDrawn_.resize(drawn);
  faceSelectedDrawn_.resize(drawn);
  uv_.resize(2 * static_cast<size_t>(corner));
  cornerSelected_.resize(corner);
  // Always two halves, whatever the cores, each summing its own edge
  // lengths: the mean is then the same on every machine.
  constexpr unsigned kHalves = 2;
  double edgeLengthSums[kHalves] = {0, 0};
  auto copyHalf = [&](unsigned half) {
    const size_t first = drawn * half / kHalves, last = drawn * (half + 1) / kHalves;
    float* uv = uv_.data();
    uint8_t* cornerSelected = cornerSelected_.data();
    double sum = 0;
    for (size_t d = first; d < last; ++d) {
      const int32_t f = faceOfDrawn_[d];
      faceSelectedDrawn_[d] = object->isFaceSelected(f) ? 1 : 0;
      const MQCoordinate* uvs = object->faceUVs(f);
      const uint32_t start = faceStart_[d];
      const auto n = static_cast<int32_t>(faceStart_[d + 1] - start);
      for (int32_t c = 0; c < n; ++c) {
        const size_t at = start + static_cast<uint32_t>(c);
        uv[2 * at] = uvs[c].u;
        uv[2 * at + 1] = uvs[c].v;
        cornerSelected[at] = object->isUVSelected(f, c) ? 1 : 0;
        const MQCoordinate& to = uvs[c + 1 == n ? 0 : c + 1];
        sum += std::fabs(double(to.u) - uvs[c].u) + std::fabs(double(to.v) - uvs[c].v);
      }
    }
    edgeLengthSums[half] = sum;
  };
  // Below this many corners a second thread costs more than it saves.
  constexpr uint32_t kCornersPerThread = 1 << 16;
  if (corner >= kCornersPerThread && std::thread::hardware_concurrency() > 1) {
    OnCores(kHalves, copyHalf);
  } else {
    for (unsigned half = 0; half < kHalves; ++half) copyHalf(half);
  }
  const double edgeLengthSum = edgeLengthSums[0] + edgeLengthSums[1];
  const size_t edges = corner;
  edgeCount_ = static_cast<int>(2 * edges);
  meanEdgeLength_ = edges == 0 ? 0 : edgeLengthSum / static_cast<double>(edges);
  dirty_ = false;
  gpuStale_ = true;
  cacheValid_ = false;
}

void UvView::upload(const host::HostDocument& document) {
  const host::HostObject* object = document.object(document.currentObject());
  // The fill and edge indices follow from the faces' corner counts alone:
  // after a command that only selects or moves UVs they stand as they are.
  const bool sameFaces = facesUploaded_ && uploadedFaceStart_ == faceStart_;
  // Kept between uploads: fresh memory of this size costs more in page
  // faults than filling it.
  std::vector<Vertex>& vertices = scratchVertices_;
  std::vector<uint32_t>& fill = scratchFill_;
  std::vector<uint32_t>& edges = scratchEdges_;
  std::vector<uint32_t>& selectedEdges = scratchSelectedEdges_;
  std::vector<uint32_t>& selectedCorners = scratchSelectedCorners_;
  vertices.clear(), fill.clear(), edges.clear(), selectedEdges.clear(), selectedCorners.clear();
  const size_t corners = cornerSelected_.size();
  vertices.reserve(corners);
  if (!sameFaces) {
    edges.reserve(2 * corners);
    fill.reserve(3 * corners);
  }
  for (size_t drawn = 0; object != nullptr && drawn + 1 < faceStart_.size(); ++drawn) {
    const int32_t f = faceOfDrawn_[drawn];
    const uint32_t first = faceStart_[drawn], end = faceStart_[drawn + 1];
    uint8_t colour[4];
    if (faceColours_ != nullptr && static_cast<size_t>(f) * 4 + 3 < faceColours_->size()) {
      std::copy_n(faceColours_->data() + static_cast<size_t>(f) * 4, 4, colour);
      colour[3] = 235;
    } else {
      FillColour(document, object->faceMaterial(f), faceSelectedDrawn_[drawn] != 0, colour);
    }
    for (uint32_t here = first; here < end; ++here) {
      const uint32_t next = here + 1 == end ? first : here + 1;
      vertices.push_back({uv_[2 * here], uv_[2 * here + 1], {colour[0], colour[1], colour[2], colour[3]}});
      if (cornerSelected_[here] != 0) selectedCorners.push_back(here);
      if (cornerSelected_[here] != 0 && cornerSelected_[next] != 0) {
        selectedEdges.push_back(here);
        selectedEdges.push_back(next);
      }
      if (sameFaces) continue;
      edges.push_back(here);
      edges.push_back(next);
      // A fan fills convex faces exactly and concave ones nearly, which
      // is enough for a light tint under the edges.
      if (here >= first + 2) {
        fill.push_back(first);
        fill.push_back(here - 1);
        fill.push_back(here);
      }
    }
  }
  glBindVertexArray(vao_);
  Upload(vertexBuffer_, GL_ARRAY_BUFFER, vertices.data(), vertices.size() * sizeof(Vertex));
  glBindVertexArray(0);
  if (!sameFaces) {
    Upload(fillIndices_, GL_ELEMENT_ARRAY_BUFFER, fill.data(), fill.size() * 4);
    Upload(edgeIndices_, GL_ELEMENT_ARRAY_BUFFER, edges.data(), edges.size() * 4);
    fillCount_ = static_cast<int>(fill.size());
    uploadedFaceStart_ = faceStart_;
    facesUploaded_ = true;
  }
  Upload(selectedEdgeIndices_, GL_ELEMENT_ARRAY_BUFFER, selectedEdges.data(), selectedEdges.size() * 4);
  Upload(selectedCornerIndices_, GL_ELEMENT_ARRAY_BUFFER, selectedCorners.data(), selectedCorners.size() * 4);
  selectedEdgeCount_ = static_cast<int>(selectedEdges.size());
  selectedCornerCount_ = static_cast<int>(selectedCorners.size());
  gpuStale_ = false;
}

bool UvView::viewDiffersFromCache() const {
  return cacheCenterU_ != centerU_ || cacheCenterV_ != centerV_ || cacheScale_ != scale_ ||
         cacheWidth_ != static_cast<int>(rect_.width) || cacheHeight_ != static_cast<int>(rect_.height);
}

void UvView::draw(const host::HostDocument& document, int framebufferHeight, double now) {
  if (rect_.width < 1 || rect_.height < 1) return;
  ensureProgram();
  if (dirty_) rebuild(document);
  if (!framedOnce_) {
    framedOnce_ = true;
    frame(document, true);
  }
  if (viewChangedAt_ < 0) viewChangedAt_ = now;
  const int width = static_cast<int>(rect_.width), height = static_cast<int>(rect_.height);
  // Up to this many edges the full drawing is cheap enough for every frame.
  constexpr int kSmallEdgeCount = 2 * 200000;
  const bool differs = viewDiffersFromCache();
  if (!cacheValid_ ||
      (differs && (refineNow_ || edgeCount_ <= kSmallEdgeCount || now - viewChangedAt_ >= kRefineDelay))) {
    renderCache(document, width, height);
  }
  refineNow_ = false;
  refinePending_ = viewDiffersFromCache();

  // The picture where its UVs lie in the current view, in the view's NDC.
  const double halfW = cacheWidth_ / (2 * cacheScale_), halfH = cacheHeight_ / (2 * cacheScale_);
  const double u0 = cacheCenterU_ - halfW, u1 = cacheCenterU_ + halfW;
  const double v0 = cacheCenterV_ - halfH, v1 = cacheCenterV_ + halfH;
  auto ndcX = [&](double u) { return static_cast<float>((u - centerU_) * scale_ / (rect_.width / 2)); };
  auto ndcY = [&](double v) { return static_cast<float>((v - centerV_) * scale_ / (rect_.height / 2)); };
  const GLint x = static_cast<GLint>(rect_.x), y = framebufferHeight - static_cast<GLint>(rect_.y) - height;
  glViewport(x, y, width, height);
  glEnable(GL_SCISSOR_TEST);
  glScissor(x, y, width, height);
  glClearColor(0.16f, 0.16f, 0.18f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_BLEND);
  glUseProgram(quadProgram_);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, cacheTexture_);
  glUniform4f(quadRectLocation_, ndcX(u0), ndcY(v0), ndcX(u1), ndcY(v1));
  glBindVertexArray(quadVao_);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  glBindVertexArray(0);
  glBindTexture(GL_TEXTURE_2D, 0);
  glUseProgram(0);
  glDisable(GL_SCISSOR_TEST);
}

void UvView::renderCache(const host::HostDocument& document, int width, int height) {
  if (cacheWidth_ != width || cacheHeight_ != height) {
    glBindTexture(GL_TEXTURE_2D, cacheTexture_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, cacheFbo_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, cacheTexture_, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
  }
  cacheWidth_ = width, cacheHeight_ = height;
  cacheCenterU_ = centerU_, cacheCenterV_ = centerV_, cacheScale_ = scale_;
  cacheValid_ = true;

  constexpr double kPixelEdge = 1.5;  // mean edge length in pixels below which edges are plotted
  if (meanEdgeLength_ * scale_ < kPixelEdge && edgeCount_ > 0) {
    rasterizeCache(width, height);
    return;
  }
  if (gpuStale_) upload(document);
  glBindFramebuffer(GL_FRAMEBUFFER, cacheFbo_);
  glViewport(0, 0, width, height);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.16f, 0.16f, 0.18f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  drawTexture();
  glUseProgram(program_);
  const float sx = static_cast<float>(2 * scale_ / width), sy = static_cast<float>(2 * scale_ / height);
  glUniform4f(xformLocation_, sx, sy, static_cast<float>(-centerU_) * sx, static_cast<float>(-centerV_) * sy);
  glUniform1f(useTintLocation_, 0.0f);
  glBindVertexArray(gridVao_);
  glDrawArrays(GL_LINES, 0, gridVertices_);
  glBindVertexArray(0);

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
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void UvView::rasterizeCache(int width, int height) {
  const size_t corners = cornerSelected_.size();
  cornerPixels_.resize(2 * corners);
  pixels_.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  // Below this many corners a second thread costs more than it saves.
  constexpr size_t kCornersPerThread = 1 << 16;
  const unsigned parts = corners < kCornersPerThread ? 1u : std::max(1u, std::min(2u, std::thread::hardware_concurrency()));
  if (bandScratch_.size() < parts) bandScratch_.resize(parts);
  const size_t faces = faceStart_.empty() ? 0 : faceStart_.size() - 1;
  faceBands_.resize(faces);
  auto rowBegin = [&](unsigned part) { return height * static_cast<int>(part) / static_cast<int>(parts); };
  // Each corner's pixel once; an edge then joins two pixels, and in a view
  // this dense most edges start and end in the same or the next pixel. Each
  // face notes the bands it reaches, so that a band reads only its faces.
  const double su = scale_, ox = width / 2.0 - centerU_ * scale_, oy = height / 2.0 - centerV_ * scale_;
  OnCores(parts, [&](unsigned part) {
    constexpr double kFar = 1 << 24;  // keeps off-view corners far outside, in int range
    // floor() by truncation: without SSE4.1's rounding instruction
    // std::floor is a call per coordinate. A NaN (a plug-in may write one)
    // lands far off-view too, where its edges are dropped as too long
    // instead of overflowing the line walk.
    auto pixelOf = [](double x) {
      x = x > -kFar ? (x < kFar ? x : kFar) : -kFar;
      const auto t = static_cast<int32_t>(x);
      return t - (x < static_cast<double>(t) ? 1 : 0);
    };
    const size_t firstFace = faces * part / parts, lastFace = faces * (part + 1) / parts;
    for (size_t face = firstFace; face < lastFace; ++face) {
      int32_t low = std::numeric_limits<int32_t>::max(), high = std::numeric_limits<int32_t>::min();
      for (uint32_t i = faceStart_[face]; i < faceStart_[face + 1]; ++i) {
        cornerPixels_[2 * i] = pixelOf(uv_[2 * i] * su + ox);
        const int32_t y = pixelOf(uv_[2 * i + 1] * su + oy);
        cornerPixels_[2 * i + 1] = y;
        low = std::min(low, y), high = std::max(high, y);
      }
      // A segment's rows run from one end's row to the other's; a corner's
      // mark reaches a row further.
      uint8_t bands = 0;
      for (unsigned band = 0; band < parts; ++band) {
        if (low <= rowBegin(band + 1) && high >= rowBegin(band) - 1) bands |= static_cast<uint8_t>(1u << band);
      }
      faceBands_[face] = bands;
    }
  });
  // Each thread owns a band of rows and draws everything clipped to it, in
  // the same order as a single pass would: the picture does not depend on
  // how many threads drew it.
  OnCores(parts, [&](unsigned part) {
    rasterizeRows(width, height, rowBegin(part), rowBegin(part + 1), static_cast<uint8_t>(1u << part), pixels_.data(),
                  &bandScratch_[part]);
  });
  glBindTexture(GL_TEXTURE_2D, cacheTexture_);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
  glBindTexture(GL_TEXTURE_2D, 0);
}

void UvView::rasterizeRows(int width, int height, int rowBegin, int rowEnd, uint8_t band, uint32_t* pixels,
                           std::vector<uint8_t>* scratch) const {
  // Rows run bottom-up, as GL's texture rows do.
  auto rgba = [](uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16) | (0xFFu << 24); };
  std::fill(pixels + static_cast<size_t>(rowBegin) * width, pixels + static_cast<size_t>(rowEnd) * width,
            rgba(41, 41, 46));
  const uint32_t plain = rgba(200, 203, 210), selectedEdge = rgba(255, 140, 25), selectedFace = rgba(230, 140, 40);
  const uint32_t corner = rgba(255, 230, 50);
  // At this density edges are all a face shows: with face colours on, they
  // take their face's colour.
  auto faceTint = [&](size_t drawn) {
    const size_t at = static_cast<size_t>(faceOfDrawn_[drawn]) * 4;
    if (faceColours_ == nullptr || at + 3 >= faceColours_->size()) return plain;
    const uint8_t* c = faceColours_->data() + at;
    return rgba(c[0], c[1], c[2]);
  };
  const double su = scale_, ox = width / 2.0 - centerU_ * scale_, oy = height / 2.0 - centerV_ * scale_;
  const auto bandRows = static_cast<uint32_t>(rowEnd - rowBegin), columns = static_cast<uint32_t>(width);
  auto plot = [&](int px, int py, uint32_t colour) {
    if (static_cast<uint32_t>(px) < columns && static_cast<uint32_t>(py - rowBegin) < bandRows) {
      pixels[static_cast<size_t>(py) * width + px] = colour;
    }
  };
  // Pixel centres: a UV lands in the pixel whose square holds it (floor).
  auto line = [&](double x0, double y0, double x1, double y1, uint32_t colour) {
    const double steps = std::ceil(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)));
    if (!(steps < 4096)) return;  // off-view or absurdly long: a sub-pixel view never has these on screen
    const int n = std::max(1, static_cast<int>(steps));
    for (int i = 0; i <= n; ++i) {
      const double t = static_cast<double>(i) / n;
      plot(static_cast<int>(std::floor(x0 + (x1 - x0) * t)), static_cast<int>(std::floor(y0 + (y1 - y0) * t)), colour);
    }
  };
  if (texture_ != nullptr) {
    // The texture under everything, nearest pixel, over the unit square's part of the view.
    const int x0 = std::max(0, static_cast<int>(std::floor(ox))), x1 = std::min(width, static_cast<int>(std::ceil(su + ox)));
    const int y0 = std::max(rowBegin, static_cast<int>(std::floor(oy)));
    const int y1 = std::min({height, rowEnd, static_cast<int>(std::ceil(su + oy))});
    for (int py = y0; py < y1; ++py) {
      for (int px = x0; px < x1; ++px) {
        uint32_t texel = 0;
        if (sampleTexture((px + 0.5 - ox) / su, (py + 0.5 - oy) / su, &texel)) {
          pixels[static_cast<size_t>(py) * width + px] = texel;
        }
      }
    }
  }
  // The unit square's grid under everything else, as the GPU path draws it.
  for (int i = 0; i <= 10; ++i) {
    const double t = i / 10.0;
    const uint32_t colour = (i == 0 || i == 10) ? rgba(120, 120, 130) : rgba(66, 66, 74);
    line(t * su + ox, oy, t * su + ox, su + oy, colour);
    line(ox, t * su + oy, su + ox, t * su + oy, colour);
  }
  auto segment = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
    const int32_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    if (dx > 4096 || -dy > 4096) return;  // only off-view corners are that far apart here
    const int32_t sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32_t error = dx + dy;
    for (;;) {  // Bresenham
      plot(x0, y0, colour);
      if (x0 == x1 && y0 == y1) break;
      const int32_t twice = 2 * error;
      if (twice >= dy) error += dy, x0 += sx;
      if (twice <= dx) error += dx, y0 += sy;
    }
  };
  // Each selected corner is a 3 x 3 mark drawn over everything. Many
  // corners share a pixel, so the marks' centres are gathered (with a
  // pixel's margin round the band, for marks reaching in from outside) in
  // the same pass as the edges, and the band's pixels near any of them are
  // painted once at the end.
  const size_t stride = static_cast<size_t>(width) + 2, marginRows = bandRows + 2;
  scratch->assign(stride * (marginRows + 1), 0);  // the last row: the OR of three
  uint8_t* const centres = scratch->data();
  bool any = false;
  const int32_t* px = cornerPixels_.data();
  const uint8_t* selected = cornerSelected_.data();
  for (size_t drawn = 0; drawn + 1 < faceStart_.size(); ++drawn) {
    if ((faceBands_[drawn] & band) == 0) continue;
    const uint32_t first = faceStart_[drawn], end = faceStart_[drawn + 1];
    const uint32_t faceColour = faceSelectedDrawn_[drawn] != 0 ? selectedFace : faceTint(drawn);
    for (uint32_t a = first; a < end; ++a) {
      const uint32_t b = a + 1 == end ? first : a + 1;
      const uint32_t colour = selected[a] != 0 && selected[b] != 0 ? selectedEdge : faceColour;
      if (px[2 * a] == px[2 * b] && px[2 * a + 1] == px[2 * b + 1]) {
        plot(px[2 * a], px[2 * a + 1], colour);
      } else {
        segment(px[2 * a], px[2 * a + 1], px[2 * b], px[2 * b + 1], colour);
      }
      if (selected[a] == 0) continue;
      const int32_t cx = px[2 * a] + 1, cy = px[2 * a + 1] - rowBegin + 1;
      if (static_cast<uint32_t>(cx) < stride && static_cast<uint32_t>(cy) < marginRows) {
        centres[static_cast<size_t>(cy) * stride + static_cast<size_t>(cx)] = 1;
        any = true;
      }
    }
  }
  if (!any) return;
  uint8_t* const near = centres + stride * marginRows;
  for (uint32_t row = 0; row < bandRows; ++row) {
    const uint8_t *r0 = centres + row * stride, *r1 = r0 + stride, *r2 = r1 + stride;
    for (size_t x = 0; x < stride; ++x) near[x] = r0[x] | r1[x] | r2[x];
    uint32_t* out = pixels + (static_cast<size_t>(rowBegin) + row) * width;
    for (size_t x = 0; x < columns; ++x) {
      if ((near[x] | near[x + 1] | near[x + 2]) != 0) out[x] = corner;
    }
  }
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
  viewChangedAt_ = -1;
  centerU_ -= dx / scale_;
  centerV_ += dy / scale_;
}

void UvView::zoomAbout(float x, float y, double factor) {
  viewChangedAt_ = -1;
  double u0 = 0, v0 = 0, u1 = 0, v1 = 0;
  uvOf(x, y, &u0, &v0);
  scale_ = std::clamp(scale_ * factor, 1e-3, 1e9);
  uvOf(x, y, &u1, &v1);
  centerU_ += u0 - u1;
  centerV_ += v0 - v1;
}

void UvView::setZoom(double zoom) {
  viewChangedAt_ = -1;
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
  viewChangedAt_ = -1;
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

#include "python/mesh_arrays.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace pavlex::python {
namespace {

static_assert(sizeof(MQCoordinate) == 2 * sizeof(float), "a UV record is two floats");
static_assert(sizeof(MQPoint) == 3 * sizeof(float), "a point record is three floats");

// True when the live faces' UVs lie back to back in the object's corner
// array, as they do until a face is deleted: one copy then serves.
bool LiveUVsContiguous(const host::HostObject& object, const MQCoordinate** first) {
  const MQCoordinate* next = nullptr;
  *first = nullptr;
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    const int32_t count = object.cornerCount(f);
    if (count == 0) continue;
    const MQCoordinate* uvs = object.faceUVs(f);
    if (next != nullptr && uvs != next) return false;
    if (*first == nullptr) *first = uvs;
    next = uvs + count;
  }
  return true;
}

}  // namespace

size_t LiveCornerCount(const host::HostObject& object) {
  size_t corners = 0;
  for (int32_t f = 0; f < object.faceCount(); ++f) corners += static_cast<size_t>(object.cornerCount(f));
  return corners;
}

void CopyUVs(const host::HostObject& object, float* out) {
  const MQCoordinate* first = nullptr;
  if (LiveUVsContiguous(object, &first)) {
    if (first != nullptr) std::memcpy(out, first, LiveCornerCount(object) * sizeof(MQCoordinate));
    return;
  }
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    const int32_t count = object.cornerCount(f);
    if (count == 0) continue;
    std::memcpy(out, object.faceUVs(f), static_cast<size_t>(count) * sizeof(MQCoordinate));
    out += 2 * count;
  }
}

void CopyFaceCornerCounts(const host::HostObject& object, int32_t* out) {
  for (int32_t f = 0; f < object.faceCount(); ++f) out[f] = object.cornerCount(f);
}

void CopyCornerVertices(const host::HostObject& object, int32_t* out) {
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    const int32_t count = object.cornerCount(f);
    if (count == 0) continue;
    std::memcpy(out, object.faceVertices(f), static_cast<size_t>(count) * sizeof(int32_t));
    out += count;
  }
}

void CopyPositions(const host::HostObject& object, float* out) {
  for (int32_t v = 0; v < object.vertexCount(); ++v) {
    const MQPoint& p = object.position(v);
    out[3 * v] = p.x;
    out[3 * v + 1] = p.y;
    out[3 * v + 2] = p.z;
  }
}

void CopyUVSelection(const host::HostObject& object, bool* out) {
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    for (int32_t c = 0; c < object.cornerCount(f); ++c) *out++ = object.isUVSelected(f, c);
  }
}

std::ptrdiff_t FirstNonFiniteUV(const float* uvs, size_t corners) {
  for (size_t i = 0; i < corners; ++i) {
    if (!std::isfinite(uvs[2 * i]) || !std::isfinite(uvs[2 * i + 1])) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

size_t WriteUVs(host::HostObject& object, const float* uvs) {
  size_t changed = 0;
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    const int32_t count = object.cornerCount(f);
    // Reads through the const view: the writing one counts as a write.
    const MQCoordinate* present = std::as_const(object).faceUVs(f);
    for (int32_t c = 0; c < count; ++c, uvs += 2) {
      if (present[c].u == uvs[0] && present[c].v == uvs[1]) continue;
      object.setUV(f, c, MQCoordinate{uvs[0], uvs[1]});
      ++changed;
    }
  }
  return changed;
}

size_t WriteUVSelection(host::HostObject& object, const bool* selected) {
  size_t changed = 0;
  for (int32_t f = 0; f < object.faceCount(); ++f) {
    for (int32_t c = 0; c < object.cornerCount(f); ++c, ++selected) {
      if (object.isUVSelected(f, c) == *selected) continue;
      object.setUVSelected(f, c, *selected);
      ++changed;
    }
  }
  return changed;
}

}  // namespace pavlex::python

// The stand-in host's C handles and the C++ objects behind them, plus the
// small helpers every exported function uses to answer safely.
//
// An MQDocument is a HostDocument*, an MQObject a HostObject*, an
// MQMaterial a HostMaterial*, an MQScene the HostScene of a document. The
// host's own programs (and tests) create a HostDocument and hand
// ToHandle(&doc) to plug-ins.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "host/document/host_document.h"
#include "hostapi/mq_types.h"

namespace pavlex::host::api {

inline HostDocument* FromHandle(MQDocument doc) {
  return reinterpret_cast<HostDocument*>(doc);
}
inline HostObject* FromHandle(MQObject obj) {
  return reinterpret_cast<HostObject*>(obj);
}
inline HostMaterial* FromHandle(MQMaterial mat) {
  return reinterpret_cast<HostMaterial*>(mat);
}
inline HostScene* FromHandle(MQScene scene) {
  return reinterpret_cast<HostScene*>(scene);
}

inline MQDocument ToHandle(HostDocument* doc) {
  return reinterpret_cast<MQDocument>(doc);
}
inline MQObject ToHandle(HostObject* obj) {
  return reinterpret_cast<MQObject>(obj);
}
inline MQMaterial ToHandle(HostMaterial* mat) {
  return reinterpret_cast<MQMaterial>(mat);
}
inline MQScene ToHandle(HostScene* scene) {
  return reinterpret_cast<MQScene>(scene);
}

// The object in slot `index` of a document, null for a null document, a bad
// index or an empty slot.
inline HostObject* ObjectAt(MQDocument doc, int32_t index) {
  HostDocument* d = FromHandle(doc);
  return d ? d->object(index) : nullptr;
}

// True for a face slot that holds a face (not deleted).
inline bool LiveFace(const HostObject* obj, int32_t face) {
  return obj != nullptr && obj->liveFace(face);
}
inline bool LiveCorner(const HostObject* obj, int32_t face, int32_t corner) {
  return obj != nullptr && obj->liveCorner(face, corner);
}
// True for a vertex slot that holds a vertex (not deleted).
inline bool LiveVertex(const HostObject* obj, int32_t vertex) {
  return obj != nullptr && obj->validVertex(vertex) && !obj->vertexDeleted(vertex);
}

// Copies a face's corner vertices or UVs, or a vertex's faces. Most runs are
// three or four long, and a library call costs more than copying those few.
template <typename T>
inline void CopySmallRun(const T* from, int32_t count, T* to) {
  switch (count) {
    case 4:
      to[3] = from[3];
      [[fallthrough]];
    case 3:
      to[2] = from[2];
      [[fallthrough]];
    case 2:
      to[1] = from[1];
      [[fallthrough]];
    case 1:
      to[0] = from[0];
      [[fallthrough]];
    case 0:
      return;
    default:
      std::copy_n(from, count, to);
  }
}

// True when two runs hold the same bits (not the same values: a NaN equals
// itself here, and -0 differs from 0). Short runs without a library call, as
// CopySmallRun.
template <typename T>
inline bool SameSmallRun(const T* a, const T* b, int32_t count) {
  if (count > 4) return std::memcmp(a, b, static_cast<size_t>(count) * sizeof(T)) == 0;
  for (int32_t i = 0; i < count; ++i) {
    if (std::memcmp(a + i, b + i, sizeof(T)) != 0) return false;
  }
  return true;
}

// Runs `body`, answering `failure` if it throws (allocation failure is the
// only expected one): no C++ exception crosses the C boundary.
template <typename R, typename F>
R Guarded(R failure, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failure;
  }
}
template <typename F>
void Guarded(F&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// Copies UTF-8 text into a caller buffer of `size` bytes, null-terminated,
// cut at a character boundary when it does not fit. Writes nothing for a
// null buffer or a size below 1.
void CopyUtf8(std::string_view text, char* buffer, int32_t size) noexcept;
// The same for UTF-16 into `size` code units, never splitting a pair.
void CopyUtf16(std::u16string_view text, MQWChar* buffer, int32_t size) noexcept;

// Caller-owned objects and materials (from MQ_CreateObject, MQObj_Clone,
// MQ_CreateMaterial, not yet added to a document). MQObj_Delete and
// MQMat_Delete release only what is registered here, so a document's
// object, a stale handle or a second delete is a harmless no-op.
void RegisterCallerOwned(const void* handle);          // may throw std::bad_alloc
bool ReleaseCallerOwned(const void* handle) noexcept;  // true when it was registered

}  // namespace pavlex::host::api

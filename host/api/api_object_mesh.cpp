// MQObj_*: vertices, faces, per-corner UVs, adjacency, and whole-object
// operations (delete, clone, merge, clear, compact). Per-face queries cost
// O(1); array queries cost time in proportion to what they write.
#include <algorithm>
#include <memory>

#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

// --- whole objects -----------------------------------------------------------

PAVLEX_HOST_FN(void) MQObj_Delete(MQObject obj) {
  PAVLEX_TRACE_CALL();
  // Only a registered handle is known to be alive and the caller's; one
  // that a document took through the C++ API is merely unregistered.
  if (obj && ReleaseCallerOwned(obj) && FromHandle(obj)->document() == nullptr) delete FromHandle(obj);
}

PAVLEX_HOST_FN(MQObject) MQObj_Clone(MQObject obj) {
  PAVLEX_TRACE_CALL();
  if (!obj) return nullptr;
  return Guarded(MQObject{nullptr}, [&] {
    std::unique_ptr<HostObject> copy(FromHandle(obj)->clone());
    RegisterCallerOwned(copy.get());
    return ToHandle(copy.release());
  });
}

PAVLEX_HOST_FN(void) MQObj_Merge(MQObject obj, MQObject source) {
  PAVLEX_TRACE_CALL();
  if (obj && source) Guarded([&] { FromHandle(obj)->merge(*FromHandle(source)); });
}

PAVLEX_HOST_FN(void) MQObj_Clear(MQObject obj) {
  PAVLEX_TRACE_CALL();
  if (obj) FromHandle(obj)->clear();
}

PAVLEX_HOST_FN(void) MQObj_Compact(MQObject obj) {
  PAVLEX_TRACE_CALL();
  if (obj) Guarded([&] { FromHandle(obj)->compact(); });
}

// --- vertices ----------------------------------------------------------------

PAVLEX_HOST_FN(int32_t) MQObj_GetVertexCount(MQObject obj) {
  PAVLEX_TRACE_CALL();
  return obj ? FromHandle(obj)->vertexCount() : 0;
}

PAVLEX_HOST_FN(void) MQObj_GetVertex(MQObject obj, int32_t vertex, MQPoint* out) {
  PAVLEX_TRACE_CALL();
  if (!out) return;
  const HostObject* o = FromHandle(obj);
  *out = LiveVertex(o, vertex) ? o->position(vertex) : MQPoint{0, 0, 0};
}

PAVLEX_HOST_FN(void) MQObj_SetVertex(MQObject obj, int32_t vertex, const MQPoint* position) {
  PAVLEX_TRACE_CALL();
  HostObject* o = FromHandle(obj);
  if (position && LiveVertex(o, vertex)) o->setPosition(vertex, *position);
}

PAVLEX_HOST_FN(int32_t) MQObj_GetVertexArray(MQObject obj, MQPoint* out) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  if (!o || !out) return 0;
  const int32_t n = o->vertexCount();
  for (int32_t v = 0; v < n; ++v) out[v] = o->vertexDeleted(v) ? MQPoint{0, 0, 0} : o->position(v);
  return n;
}

PAVLEX_HOST_FN(int32_t) MQObj_AddVertex(MQObject obj, const MQPoint* position) {
  PAVLEX_TRACE_CALL();
  if (!obj || !position) return -1;
  return Guarded(-1, [&] { return FromHandle(obj)->addVertex(*position); });
}

PAVLEX_HOST_FN(MQBOOL) MQObj_DeleteVertex(MQObject obj, int32_t vertex, MQBOOL delete_faces) {
  PAVLEX_TRACE_CALL();
  if (!obj) return 0;
  return Guarded(MQBOOL{0}, [&] { return MQBOOL{FromHandle(obj)->deleteVertex(vertex, delete_faces != 0)}; });
}

PAVLEX_HOST_FN(int32_t) MQObj_GetVertexRefCount(MQObject obj, int32_t vertex) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  return LiveVertex(o, vertex) ? o->vertexRefCount(vertex) : 0;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetVertexUniqueID(MQObject obj, int32_t vertex) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  return LiveVertex(o, vertex) ? o->vertexUniqueId(vertex) : 0;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetVertexIndexFromUniqueID(MQObject obj, int32_t unique_id) {
  PAVLEX_TRACE_CALL();
  return obj ? FromHandle(obj)->vertexFromUniqueId(unique_id) : -1;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetVertexRelatedFaces(MQObject obj, int32_t vertex, int32_t* faces) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  if (!LiveVertex(o, vertex)) return 0;
  return Guarded(0, [&] {
    int32_t count = 0;
    const int32_t* list = o->relatedFaces(vertex, &count);  // may rebuild the table
    if (faces && count > 0) CopySmallRun(list, count, faces);
    return count;
  });
}

// --- faces -------------------------------------------------------------------

PAVLEX_HOST_FN(int32_t) MQObj_GetFaceCount(MQObject obj) {
  PAVLEX_TRACE_CALL();
  return obj ? FromHandle(obj)->faceCount() : 0;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetFacePointCount(MQObject obj, int32_t face) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  return o && o->validFace(face) ? o->cornerCount(face) : 0;
}

PAVLEX_HOST_FN(void) MQObj_GetFacePointArray(MQObject obj, int32_t face, int32_t* points) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  if (!points || !LiveFace(o, face)) return;
  CopySmallRun(o->faceVertices(face), o->cornerCount(face), points);
}

PAVLEX_HOST_FN(void) MQObj_GetFaceCoordinateArray(MQObject obj, int32_t face, MQCoordinate* uvs) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  if (!uvs || !LiveFace(o, face)) return;
  CopySmallRun(o->faceUVs(face), o->cornerCount(face), uvs);
}

PAVLEX_HOST_FN(void) MQObj_SetFaceCoordinateArray(MQObject obj, int32_t face, const MQCoordinate* uvs) {
  PAVLEX_TRACE_CALL();
  HostObject* o = FromHandle(obj);
  if (!uvs || !LiveFace(o, face)) return;
  const int32_t count = o->cornerCount(face);
  // The same bits again are no write: the history then keeps nothing for
  // them (tools write faces whole, most of them unchanged).
  if (SameSmallRun(uvs, static_cast<const HostObject*>(o)->faceUVs(face), count)) return;
  CopySmallRun(uvs, count, o->faceUVs(face));
}

PAVLEX_HOST_FN(void) MQObj_GetFaceCoordinate(MQObject obj, int32_t face, int32_t corner, MQCoordinate* out) {
  PAVLEX_TRACE_CALL();
  if (!out) return;
  const HostObject* o = FromHandle(obj);
  *out = LiveCorner(o, face, corner) ? o->faceUVs(face)[corner] : MQCoordinate{0, 0};
}

PAVLEX_HOST_FN(void)
MQObj_SetFaceCoordinate(MQObject obj, int32_t face, int32_t corner, const MQCoordinate* uv) {
  PAVLEX_TRACE_CALL();
  HostObject* o = FromHandle(obj);
  if (uv && LiveCorner(o, face, corner)) o->setUV(face, corner, *uv);
}

PAVLEX_HOST_FN(int32_t) MQObj_GetFaceMaterial(MQObject obj, int32_t face) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  return LiveFace(o, face) ? o->faceMaterial(face) : -1;
}

PAVLEX_HOST_FN(void) MQObj_SetFaceMaterial(MQObject obj, int32_t face, int32_t material) {
  PAVLEX_TRACE_CALL();
  HostObject* o = FromHandle(obj);
  if (LiveFace(o, face)) o->setFaceMaterial(face, material < 0 ? -1 : material);
}

PAVLEX_HOST_FN(int32_t) MQObj_GetFaceUniqueID(MQObject obj, int32_t face) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  return LiveFace(o, face) ? o->faceUniqueId(face) : 0;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetFaceIndexFromUniqueID(MQObject obj, int32_t unique_id) {
  PAVLEX_TRACE_CALL();
  return obj ? FromHandle(obj)->faceFromUniqueId(unique_id) : -1;
}

PAVLEX_HOST_FN(MQBOOL) MQObj_GetFaceVisible(MQObject obj, int32_t face) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = FromHandle(obj);
  return LiveFace(o, face) && o->faceVisible(face) ? 1 : 0;
}

PAVLEX_HOST_FN(void) MQObj_SetFaceVisible(MQObject obj, int32_t face, MQBOOL visible) {
  PAVLEX_TRACE_CALL();
  HostObject* o = FromHandle(obj);
  if (LiveFace(o, face)) o->setFaceVisible(face, visible != 0);
}

PAVLEX_HOST_FN(int32_t) MQObj_AddFace(MQObject obj, int32_t count, const int32_t* points) {
  PAVLEX_TRACE_CALL();
  if (!obj) return -1;
  return Guarded(-1, [&] { return FromHandle(obj)->addFace(count, points); });
}

PAVLEX_HOST_FN(int32_t) MQObj_InsertFace(MQObject obj, int32_t index, int32_t count, const int32_t* points) {
  PAVLEX_TRACE_CALL();
  if (!obj) return -1;
  return Guarded(-1, [&] { return FromHandle(obj)->insertFace(index, count, points); });
}

PAVLEX_HOST_FN(MQBOOL) MQObj_DeleteFace(MQObject obj, int32_t face, MQBOOL delete_vertices) {
  PAVLEX_TRACE_CALL();
  return obj && FromHandle(obj)->deleteFace(face, delete_vertices != 0) ? 1 : 0;
}

PAVLEX_HOST_FN(MQBOOL) MQObj_InvertFace(MQObject obj, int32_t face) {
  PAVLEX_TRACE_CALL();
  return obj && FromHandle(obj)->invertFace(face) ? 1 : 0;
}

// MQDoc_*Select*: the selections of vertices, lines, faces and UV vertices,
// addressed by object slot. Add and Delete answer nonzero when the element
// exists (whatever its state was), Is when it exists and is selected. Each
// call costs O(1).
#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

PAVLEX_HOST_FN(void) MQDoc_ClearSelect(MQDocument doc, uint32_t flags) {
  PAVLEX_TRACE_CALL();
  if (doc) FromHandle(doc)->clearSelection(flags);
}

// --- vertices ----------------------------------------------------------------

PAVLEX_HOST_FN(MQBOOL) MQDoc_AddSelectVertex(MQDocument doc, int32_t obj_index, int32_t vertex) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveVertex(o, vertex)) return 0;
  o->setVertexSelected(vertex, true);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL) MQDoc_DeleteSelectVertex(MQDocument doc, int32_t obj_index, int32_t vertex) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveVertex(o, vertex)) return 0;
  o->setVertexSelected(vertex, false);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL) MQDoc_IsSelectVertex(MQDocument doc, int32_t obj_index, int32_t vertex) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = ObjectAt(doc, obj_index);
  return LiveVertex(o, vertex) && o->isVertexSelected(vertex) ? 1 : 0;
}

// --- lines (face, edge j from corner j to corner j + 1 mod n) ------------------

PAVLEX_HOST_FN(MQBOOL) MQDoc_AddSelectLine(MQDocument doc, int32_t obj_index, int32_t face, int32_t line) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveCorner(o, face, line)) return 0;
  o->setLineSelected(face, line, true);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL) MQDoc_DeleteSelectLine(MQDocument doc, int32_t obj_index, int32_t face, int32_t line) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveCorner(o, face, line)) return 0;
  o->setLineSelected(face, line, false);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL) MQDoc_IsSelectLine(MQDocument doc, int32_t obj_index, int32_t face, int32_t line) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = ObjectAt(doc, obj_index);
  return LiveCorner(o, face, line) && o->isLineSelected(face, line) ? 1 : 0;
}

// --- faces -------------------------------------------------------------------

PAVLEX_HOST_FN(MQBOOL) MQDoc_AddSelectFace(MQDocument doc, int32_t obj_index, int32_t face) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveFace(o, face)) return 0;
  o->setFaceSelected(face, true);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL) MQDoc_DeleteSelectFace(MQDocument doc, int32_t obj_index, int32_t face) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveFace(o, face)) return 0;
  o->setFaceSelected(face, false);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL) MQDoc_IsSelectFace(MQDocument doc, int32_t obj_index, int32_t face) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = ObjectAt(doc, obj_index);
  return LiveFace(o, face) && o->isFaceSelected(face) ? 1 : 0;
}

// --- UV vertices (face, corner) ------------------------------------------------

PAVLEX_HOST_FN(MQBOOL)
MQDoc_AddSelectUVVertex(MQDocument doc, int32_t obj_index, int32_t face, int32_t corner) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveCorner(o, face, corner)) return 0;
  o->setUVSelected(face, corner, true);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL)
MQDoc_DeleteSelectUVVertex(MQDocument doc, int32_t obj_index, int32_t face, int32_t corner) {
  PAVLEX_TRACE_CALL();
  HostObject* o = ObjectAt(doc, obj_index);
  if (!LiveCorner(o, face, corner)) return 0;
  o->setUVSelected(face, corner, false);
  return 1;
}

PAVLEX_HOST_FN(MQBOOL)
MQDoc_IsSelectUVVertex(MQDocument doc, int32_t obj_index, int32_t face, int32_t corner) {
  PAVLEX_TRACE_CALL();
  const HostObject* o = ObjectAt(doc, obj_index);
  return LiveCorner(o, face, corner) && o->isUVSelected(face, corner) ? 1 : 0;
}

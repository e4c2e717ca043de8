// MQObj_*: object-level attributes (name, visibility, shading, value codes).
#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "hostapi/mq_codes.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

PAVLEX_HOST_FN(void) MQObj_SetName(MQObject obj, const char* name) {
  PAVLEX_TRACE_CALL();
  if (obj && name) Guarded([&] { FromHandle(obj)->setName(name); });
}

PAVLEX_HOST_FN(MQBOOL) MQObj_GetVisible(MQObject obj) {
  PAVLEX_TRACE_CALL();
  return obj && FromHandle(obj)->visible ? 1 : 0;
}

PAVLEX_HOST_FN(void) MQObj_SetVisible(MQObject obj, MQBOOL visible) {
  PAVLEX_TRACE_CALL();
  if (obj) FromHandle(obj)->visible = visible != 0;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetShading(MQObject obj) {
  PAVLEX_TRACE_CALL();
  return obj ? FromHandle(obj)->shading : 0;
}

PAVLEX_HOST_FN(void) MQObj_SetShading(MQObject obj, int32_t shading) {
  PAVLEX_TRACE_CALL();
  if (obj) FromHandle(obj)->shading = shading;
}

PAVLEX_HOST_FN(float) MQObj_GetSmoothAngle(MQObject obj) {
  PAVLEX_TRACE_CALL();
  return obj ? FromHandle(obj)->smoothAngle : 0.0f;
}

PAVLEX_HOST_FN(void) MQObj_SetSmoothAngle(MQObject obj, float degrees) {
  PAVLEX_TRACE_CALL();
  if (obj) FromHandle(obj)->smoothAngle = degrees;
}

PAVLEX_HOST_FN(int32_t) MQObj_GetIntValue(MQObject obj, int32_t code) {
  PAVLEX_TRACE_CALL();
  if (!obj) return 0;
  switch (code) {
    case MQOBJ_ID_LOCKING:
      return FromHandle(obj)->locked ? 1 : 0;
    case MQOBJ_ID_UNIQUE_ID:
      return FromHandle(obj)->uniqueId();
    default:
      return 0;
  }
}

PAVLEX_HOST_FN(void) MQObj_SetIntValue(MQObject obj, int32_t code, int32_t value) {
  PAVLEX_TRACE_CALL();
  if (obj && code == MQOBJ_ID_LOCKING) FromHandle(obj)->locked = value != 0;
}

PAVLEX_HOST_FN(void) MQObj_GetFloatArray(MQObject obj, int32_t code, float* values) {
  PAVLEX_TRACE_CALL();
  if (!obj || !values || code != MQOBJ_ID_COLOR) return;
  const MQColor& c = FromHandle(obj)->color;
  values[0] = c.r;
  values[1] = c.g;
  values[2] = c.b;
}

PAVLEX_HOST_FN(void) MQObj_SetFloatArray(MQObject obj, int32_t code, const float* values) {
  PAVLEX_TRACE_CALL();
  if (!obj || !values || code != MQOBJ_ID_COLOR) return;
  FromHandle(obj)->color = MQColor{values[0], values[1], values[2]};
}

// MQDoc_GetScene and the scene's light values (codes MQSCENE_*).
#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "hostapi/mq_codes.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

namespace {

// The light that MQSCENE_LIGHT_SELECT chose, null when it is out of range.
const HostLight* SelectedLight(const HostScene& scene) {
  const int32_t i = scene.selectedLight;
  return i >= 0 && static_cast<size_t>(i) < scene.lights.size() ? &scene.lights[static_cast<size_t>(i)]
                                                                : nullptr;
}

}  // namespace

PAVLEX_HOST_FN(MQScene) MQDoc_GetScene(MQDocument doc, int32_t index) {
  PAVLEX_TRACE_CALL();
  return doc && index == 0 ? ToHandle(&FromHandle(doc)->scene()) : nullptr;
}

PAVLEX_HOST_FN(void) MQScene_IntValue(MQScene scene, int32_t code, int32_t* value) {
  PAVLEX_TRACE_CALL();
  if (!scene || !value) return;
  HostScene& s = *FromHandle(scene);
  switch (code) {
    case MQSCENE_LIGHT_COUNT:
      *value = static_cast<int32_t>(s.lights.size());
      break;
    case MQSCENE_LIGHT_SELECT:
      s.selectedLight = *value;
      break;
    default:
      break;
  }
}

PAVLEX_HOST_FN(void) MQScene_FloatValue(MQScene scene, int32_t code, float* values) {
  PAVLEX_TRACE_CALL();
  if (!scene || !values) return;
  const HostLight* light = SelectedLight(*FromHandle(scene));
  if (!light) return;
  switch (code) {
    case MQSCENE_LIGHT_DIRECTION:
      values[0] = light->direction.x;
      values[1] = light->direction.y;
      values[2] = light->direction.z;
      break;
    case MQSCENE_LIGHT_COLOR:
      values[0] = light->color.r;
      values[1] = light->color.g;
      values[2] = light->color.b;
      break;
    default:
      break;
  }
}

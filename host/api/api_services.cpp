// Host services: creating caller-owned objects and materials, view refresh,
// messages, and the widget and settings services. The last three arrive
// with a later issue; until then they answer 0 and touch nothing.
#include <memory>

#include "host/api/handles.h"
#include "host/api/host_exports.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

PAVLEX_HOST_FN(MQObject) MQ_CreateObject(void) {
  return Guarded(MQObject{nullptr}, [] {
    auto obj = std::make_unique<HostObject>();
    RegisterCallerOwned(obj.get());
    return ToHandle(obj.release());
  });
}

PAVLEX_HOST_FN(MQMaterial) MQ_CreateMaterial(void) {
  return Guarded(MQMaterial{nullptr}, [] {
    auto mat = std::make_unique<HostMaterial>();
    RegisterCallerOwned(mat.get());
    return ToHandle(mat.release());
  });
}

// No views and no loaded plug-ins yet: nothing to redraw or notify.
PAVLEX_HOST_FN(void) MQ_RefreshView(void*) {}

PAVLEX_HOST_FN(MQBOOL) MQ_SendMessage(int32_t, void*) {
  return 0;
}

PAVLEX_HOST_FN(MQBOOL) MQWidget_Value(int32_t, int32_t, void*) {
  return 0;
}

PAVLEX_HOST_FN(MQBOOL) MQXmlElem_Value(MQXmlElement, int32_t, void*) {
  return 0;
}

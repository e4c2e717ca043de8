// Host services: creating caller-owned objects and materials, view refresh,
// messages, and the widget and settings services. The last four belong to
// the running host session; without one they answer 0 and touch nothing.
#include <memory>

#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "host/session/host_session.h"
#include "host/settings/settings_service.h"
#include "host/widgets/widget_service.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

PAVLEX_HOST_FN(MQObject) MQ_CreateObject(void) {
  PAVLEX_TRACE_CALL();
  return Guarded(MQObject{nullptr}, [] {
    auto obj = std::make_unique<HostObject>();
    RegisterCallerOwned(obj.get());
    return ToHandle(obj.release());
  });
}

PAVLEX_HOST_FN(MQMaterial) MQ_CreateMaterial(void) {
  PAVLEX_TRACE_CALL();
  return Guarded(MQMaterial{nullptr}, [] {
    auto mat = std::make_unique<HostMaterial>();
    RegisterCallerOwned(mat.get());
    return ToHandle(mat.release());
  });
}

PAVLEX_HOST_FN(void) MQ_RefreshView(void*) {
  PAVLEX_TRACE_CALL();
  Guarded([] { HostSession::RefreshView(); });
}

PAVLEX_HOST_FN(MQBOOL) MQ_SendMessage(int32_t message, void* record) {
  PAVLEX_TRACE_CALL();
  return Guarded(MQBOOL{0}, [&] { return HostSession::SendMessage(message, record); });
}

PAVLEX_HOST_FN(MQBOOL) MQWidget_Value(int32_t id, int32_t code, void* options) {
  PAVLEX_TRACE_CALL();
  return Guarded(MQBOOL{0}, [&] {
    HostSession* session = HostSession::Current();
    return session != nullptr ? session->widgets().request(id, code, options) : MQBOOL{0};
  });
}

PAVLEX_HOST_FN(MQBOOL) MQXmlElem_Value(MQXmlElement element, int32_t code, void* record) {
  PAVLEX_TRACE_CALL();
  return Guarded(MQBOOL{0}, [&] {
    HostSession* session = HostSession::Current();
    return session != nullptr ? session->settings().request(element, code, record) : MQBOOL{0};
  });
}

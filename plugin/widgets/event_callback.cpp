#include "plugin/widgets/event_callback.h"

#include <cstring>

#include "hostapi/mq_codes.h"
#include "optionlist/option_list.h"
#include "plugin/widgets/mouse_state.h"
#include "plugin/widgets/widget_registry.h"
#include "plugin/widgets/widget_request.h"

namespace pavlex {

namespace {

bool RouteEvent(MQDocument document, void* options, void* pointer) {
  const OptionListView list(options);
  const char* type = list.narrow("type");
  if (type == nullptr) return false;
  const int32_t targetId = list.intValue("target_id").value_or(0);
  const int32_t senderId = list.intValue("sender_id").value_or(0);
  void* finished = list.slot("finished");

  const WidgetRegistry& registry = WidgetRegistry::Instance();
  MQWidgetBase* target = registry.Find(targetId);
  if (target == nullptr) return false;
  // A copy, not a reference into the list: the handler may destroy the
  // target, and with it the list, while the closure still runs.
  std::shared_ptr<MQWidgetEventClosureBase> closure;
  for (const auto& handler : target->handlers()) {
    if (handler.get() == pointer) {
      closure = handler;
      break;
    }
  }
  if (closure == nullptr) return false;
  MQWidgetBase* sender = registry.Find(senderId);

  if (IsMouseEventName(type)) {
    MouseState state = DecodeMouseState(options);
    const bool result = closure->Invoke(sender, document, &state);
    if (state.finished && finished != nullptr) {
      const uint8_t yes = 1;
      std::memcpy(finished, &yes, sizeof yes);
    }
    return result;
  }
  return closure->Invoke(sender, document, nullptr);
}

}  // namespace

MQBOOL MQAPI EventCallback(MQDocument document, void* options, void* pointer) {
  try {
    return RouteEvent(document, options, pointer) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

bool RegisterEvent(MQWidgetBase& widget, const char* eventName,
                   std::shared_ptr<MQWidgetEventClosureBase> closure, bool prior) {
  if (closure == nullptr) return false;
  MQWidgetEventProc proc = &EventCallback;
  // The value slot carries the function's address itself; memcpy avoids the
  // function-to-object pointer cast the language leaves open.
  void* procValue = nullptr;
  static_assert(sizeof procValue == sizeof proc);
  std::memcpy(&procValue, &proc, sizeof proc);
  const uint8_t priorByte = prior ? 1 : 0;
  OptionListBuilder options;
  options.add("type", eventName)
      .add("proc", procValue)
      .add("pointer", closure.get())
      .add("function", closure->HandlerIdentity())
      .add("prior", &priorByte);
  const bool accepted = WidgetRequest(widget.GetID(), MQWIDGET_ADD_EVENT, options);
  widget.AddHandler(std::move(closure));
  return accepted;
}

}  // namespace pavlex

// Routing of host widget events to closures.
#pragma once

#include <memory>

#include "hostapi/mq_types.h"
#include "plugin/widgets/widget_event_closure.h"

namespace pavlex {

// The one function the host calls for every registered widget event.
// `options` carries "type", "target_id", "sender_id", "finished" and, for
// mouse events, the mouse record; `pointer` is the closure registered for
// the target. Answers the handler's result, or false when the type, the
// target, the closure or its owner is gone. No exception leaves it.
MQBOOL MQAPI EventCallback(MQDocument document, void* options, void* pointer);

// Asks the host to call EventCallback for `eventName` on `widget` with
// `closure`, and keeps the closure alive in the widget's handler list.
// Answers whether the host accepted the registration; the closure is kept
// either way, as the widget's handler list is the record of what was asked.
bool RegisterEvent(MQWidgetBase& widget, const char* eventName,
                   std::shared_ptr<MQWidgetEventClosureBase> closure, bool prior);

}  // namespace pavlex

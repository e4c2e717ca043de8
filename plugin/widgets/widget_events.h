// Binding a window's or dialog's member function to one event of one of
// its widgets: one helper per event name this program listens to.
//
// `owner` is the window or dialog the handler belongs to; it must be
// registered (have a host widget) for the handler ever to run.
#pragma once

#include <memory>

#include "plugin/widgets/event_callback.h"
#include "plugin/widgets/widget_event_closure.h"

namespace pavlex {

template <class Owner>
bool AddPlainEvent(MQWidgetBase& widget, const char* eventName, Owner* owner,
                   typename MQWidgetEventClosure<Owner>::Handler handler) {
  return RegisterEvent(widget, eventName, std::make_shared<MQWidgetEventClosure<Owner>>(owner, handler),
                       false);
}

// A button was pressed, or a spin box's value was committed.
template <class Owner>
bool AddExecuteEvent(MQWidgetBase& widget, Owner* owner,
                     typename MQWidgetEventClosure<Owner>::Handler handler) {
  return AddPlainEvent(widget, "execute", owner, handler);
}

// A group box was minimized or restored.
template <class Owner>
bool AddResizeEvent(MQWidgetBase& widget, Owner* owner,
                    typename MQWidgetEventClosure<Owner>::Handler handler) {
  return AddPlainEvent(widget, "resize", owner, handler);
}

// A window was hidden, by the user or by the host.
template <class Owner>
bool AddHideEvent(MQWidgetBase& widget, Owner* owner, typename MQWidgetEventClosure<Owner>::Handler handler) {
  return AddPlainEvent(widget, "hide", owner, handler);
}

// A spin box's value is changing while the user types or drags.
template <class Owner>
bool AddChangingEvent(MQWidgetBase& widget, Owner* owner,
                      typename MQWidgetEventClosure<Owner>::Handler handler) {
  return AddPlainEvent(widget, "changing", owner, handler);
}

// The left mouse button went down on the widget.
template <class Owner>
bool AddLeftDownEvent(MQWidgetBase& widget, Owner* owner,
                      typename MQWidgetMouseEventClosure<Owner>::Handler handler) {
  return RegisterEvent(widget, "leftdown", std::make_shared<MQWidgetMouseEventClosure<Owner>>(owner, handler),
                       false);
}

}  // namespace pavlex

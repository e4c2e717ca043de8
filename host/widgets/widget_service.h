// The widget service behind MQWidget_Value: decodes requests into the
// widget tree, answers property reads, and raises widget events through
// the handlers plug-ins registered.
//
// Every request answers 1 when it was carried out and 0 otherwise (unknown
// code, widget, type name, property, event or method, a null list or value
// slot, a value the property does not accept, a property that cannot be
// set); a refused request changes nothing and writes no result, except that
// a failed create writes 0 to "id". The value slot of a property is read
// and written as the property's type (widget_properties.h): the host cannot
// see what a pointer points to, so a plug-in that passes another type gets
// what it asked for.
#pragma once

#include <cstdint>
#include <vector>

#include "host/widgets/modal_requests.h"
#include "host/widgets/widget_tree.h"
#include "hostapi/mq_types.h"

namespace pavlex {
class OptionListBuilder;
}

namespace pavlex::host {

// What the widget service needs from the running host.
class WidgetHost {
 public:
  virtual ~WidgetHost() = default;
  // The plug-in whose call is in progress (tags what it creates), null when
  // the request comes from elsewhere.
  virtual const void* callingPlugin() const = 0;
  // Calls one event handler with the current document; the host tracks
  // which plug-in it is calling.
  virtual MQBOOL invokeHandler(const EventHandler& handler, MQOptionPair* options) = 0;
  // The execute request's modal runs, handed to whoever drives the host.
  virtual int32_t runModal(int32_t dialog) = 0;
  virtual int32_t messageBox(const MessageBoxRequest& box) = 0;
  virtual bool saveFile(SaveFileRequest& request) = 0;
};

// What raising one event did.
struct EventDelivery {
  int handlersRun = 0;
  bool handled = false;   // a handler answered true; later handlers were not called
  bool finished = false;  // a mouse handler reported its gesture finished
};

class WidgetService {
 public:
  // Creates the host's main window ("main_window"), shown, owned by the host.
  explicit WidgetService(WidgetHost& host);

  // MQWidget_Value.
  MQBOOL request(int32_t id, int32_t code, void* options);

  WidgetTree& tree() { return tree_; }
  const WidgetTree& tree() const { return tree_; }
  int32_t mainWindow() const { return mainWindow_; }

  // Raises `type` on the widget: its handlers for that event run in order,
  // those registered with "prior" first, until one answers true or the
  // widget is gone. The options carry "target_id" and "sender_id" (both
  // the widget), "type" and, for mouse events, the mouse keys.
  EventDelivery raise(int32_t id, const char* type);
  // A mouse event at the widget's centre with this "button_state".
  EventDelivery raiseMouse(int32_t id, const char* type, int32_t buttonState, float pressure);

  // True when the widget has a handler for the event.
  bool hasHandler(int32_t id, const char* type) const;

  // Removes every widget a plug-in created and every handler it registered,
  // when it is unloaded: nothing may call into a library that is gone.
  void removeOwnedBy(const void* owner);

 private:
  MQBOOL createWidget(void* options);
  MQBOOL deleteWidget(int32_t id);
  MQBOOL addChild(int32_t id, void* options, bool window);
  MQBOOL getProperties(int32_t id, void* options);
  MQBOOL setProperties(int32_t id, void* options);
  MQBOOL callMethod(int32_t id, void* options);
  MQBOOL addEvent(int32_t id, void* options);
  MQBOOL execute(int32_t id, void* options);
  EventDelivery deliver(int32_t id, const char* type, OptionListBuilder& options);

  WidgetHost& host_;
  WidgetTree tree_;
  int32_t mainWindow_ = 0;
};

// True for an event name the host knows (plug-ins may register only these).
bool IsKnownEventName(const char* name);

}  // namespace pavlex::host

// The host's retained widget tree: every widget a plug-in created, its
// stored properties, children and event handlers. Widgets are addressed by
// id; ids count up from 1 and are never reused, so an id a plug-in kept
// after a delete names nothing instead of someone else's widget.
//
// The tree does no I/O and calls nobody; the widget service decodes
// requests into it and raises its events.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/widgets/widget_types.h"
#include "hostapi/mq_types.h"

namespace pavlex::host {

// One registration of request 0x304.
struct EventHandler {
  std::string type;  // event name
  MQWidgetEventProc proc = nullptr;
  void* pointer = nullptr;      // handed back to proc
  void* function = nullptr;     // the plug-in's handler identity; kept, not used
  bool prior = false;           // called before the handlers without it
  const void* owner = nullptr;  // the plug-in that registered it, null for the host's own callers
};

struct Widget {
  int32_t id = 0;
  WidgetKind kind = WidgetKind::kFrame;
  const void* owner = nullptr;  // the plug-in that created it; null: the host or a direct caller
  bool hostOwned = false;       // a system widget: plug-ins cannot delete it
  int32_t parent = 0;           // the container it was added to (0x201), 0 when none
  int32_t ownerWindow = 0;      // the window it is attached to (0x203) or, for a file dialog, its "parent"
  std::vector<int32_t> children;
  // Every property set so far, in the order each was first set.
  std::vector<std::pair<std::string, PropertyValue>> properties;
  std::vector<EventHandler> handlers;
  std::vector<std::u16string> filters;  // a save-file dialog's "addfilter" texts
  bool minimized = false;

  const PropertyValue* stored(std::string_view name) const;
  void store(std::string_view name, PropertyValue value);
  // True for kinds that hold children (window, dialog, frame, group box).
  bool isContainer() const;
  // True for windows and dialogs, which are attached rather than added.
  bool isWindow() const { return kind == WidgetKind::kWindow || kind == WidgetKind::kDialog; }
};

class WidgetTree {
 public:
  // Answers the new widget's id.
  int32_t create(WidgetKind kind, const void* owner);
  Widget* find(int32_t id);
  const Widget* find(int32_t id) const;

  // Appends `child` to the container `parent`. False when either is
  // missing, the parent holds no children, the child is a window or a file
  // dialog, already has a parent, or is the parent or one of its ancestors.
  bool addChild(int32_t parent, int32_t child);
  // Attaches the window or dialog `child` to the window or dialog `parent`.
  // False unless both are windows or dialogs, the child is attached nowhere
  // yet and the attachment makes no cycle.
  bool attachWindow(int32_t parent, int32_t child);

  // Removes the widget, its descendants, and the windows and file dialogs
  // attached to any of them. Answers the removed ids (empty when the id is
  // unknown), the widget itself first.
  std::vector<int32_t> destroy(int32_t id);

  // Windows and dialogs, in creation order.
  std::vector<int32_t> windows() const;
  // Every widget id, in creation order.
  std::vector<int32_t> ids() const;

  // The window or dialog whose tree holds `id` (itself for a window), 0 for
  // a widget in no window.
  int32_t windowOf(int32_t id) const;
  // True when `ancestor` is `id` or contains it (through containers only).
  bool contains(int32_t ancestor, int32_t id) const;

 private:
  int32_t nextId_ = 1;
  std::map<int32_t, std::unique_ptr<Widget>> widgets_;
};

}  // namespace pavlex::host

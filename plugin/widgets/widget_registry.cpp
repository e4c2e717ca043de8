#include "plugin/widgets/widget_registry.h"

namespace pavlex {

WidgetRegistry& WidgetRegistry::Instance() {
  static WidgetRegistry registry;
  return registry;
}

bool WidgetRegistry::Enter(int32_t id, MQWidgetBase* widget) {
  if (id == 0 || widget == nullptr) return false;
  return widgets_.emplace(id, widget).second;
}

void WidgetRegistry::Remove(int32_t id, const MQWidgetBase* widget) {
  const auto found = widgets_.find(id);
  if (found != widgets_.end() && found->second == widget) widgets_.erase(found);
}

MQWidgetBase* WidgetRegistry::Find(int32_t id) const {
  const auto found = widgets_.find(id);
  return found != widgets_.end() ? found->second : nullptr;
}

}  // namespace pavlex

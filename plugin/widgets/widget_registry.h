// The process-wide map from host widget id to the widget object that owns
// or wraps it. It is the only way an incoming widget event finds its object,
// so an id that is no longer registered can never reach a destroyed one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

namespace pavlex {

class MQWidgetBase;

class WidgetRegistry {
 public:
  // The one registry of the process. It is created by the first call and
  // destroyed after every object that was constructed after that call; the
  // plug-in object makes that call in its own constructor.
  static WidgetRegistry& Instance();

  // Enters `widget` under `id`. Id 0 (no host widget) is never entered, and
  // an id already present keeps its first entry: answers false then.
  bool Enter(int32_t id, MQWidgetBase* widget);

  // Removes the entry of `id` when it belongs to `widget`; an entry that a
  // different object holds under the same id is left alone.
  void Remove(int32_t id, const MQWidgetBase* widget);

  // The object registered under `id`, or null.
  MQWidgetBase* Find(int32_t id) const;

  size_t size() const { return widgets_.size(); }

  WidgetRegistry(const WidgetRegistry&) = delete;
  WidgetRegistry& operator=(const WidgetRegistry&) = delete;

 private:
  WidgetRegistry() = default;

  std::map<int32_t, MQWidgetBase*> widgets_;
};

}  // namespace pavlex

#include "host/widgets/widget_tree.h"

#include <algorithm>

namespace pavlex::host {

const PropertyValue* Widget::stored(std::string_view name) const {
  for (const auto& [key, value] : properties) {
    if (key == name) return &value;
  }
  return nullptr;
}

void Widget::store(std::string_view name, PropertyValue value) {
  for (auto& [key, current] : properties) {
    if (key == name) {
      current = std::move(value);
      return;
    }
  }
  properties.emplace_back(std::string(name), std::move(value));
}

bool Widget::isContainer() const {
  return kind == WidgetKind::kWindow || kind == WidgetKind::kDialog || kind == WidgetKind::kFrame ||
         kind == WidgetKind::kGroupBox;
}

int32_t WidgetTree::create(WidgetKind kind, const void* owner) {
  auto widget = std::make_unique<Widget>();
  widget->id = nextId_;
  widget->kind = kind;
  widget->owner = owner;
  widgets_.emplace(nextId_, std::move(widget));
  return nextId_++;
}

Widget* WidgetTree::find(int32_t id) {
  auto it = widgets_.find(id);
  return it != widgets_.end() ? it->second.get() : nullptr;
}

const Widget* WidgetTree::find(int32_t id) const {
  auto it = widgets_.find(id);
  return it != widgets_.end() ? it->second.get() : nullptr;
}

bool WidgetTree::contains(int32_t ancestor, int32_t id) const {
  for (const Widget* w = find(id); w != nullptr; w = find(w->parent)) {
    if (w->id == ancestor) return true;
  }
  return false;
}

bool WidgetTree::addChild(int32_t parentId, int32_t childId) {
  Widget* parent = find(parentId);
  Widget* child = find(childId);
  if (parent == nullptr || child == nullptr || !parent->isContainer()) return false;
  if (child->isWindow() || child->kind == WidgetKind::kSaveFileDialog) return false;
  if (child->parent != 0 || contains(childId, parentId)) return false;
  child->parent = parentId;
  parent->children.push_back(childId);
  return true;
}

bool WidgetTree::attachWindow(int32_t parentId, int32_t childId) {
  Widget* parent = find(parentId);
  Widget* child = find(childId);
  if (parent == nullptr || child == nullptr || !parent->isWindow() || !child->isWindow()) return false;
  if (child->ownerWindow != 0 || child->hostOwned) return false;
  for (const Widget* w = parent; w != nullptr; w = find(w->ownerWindow)) {
    if (w->id == childId) return false;
  }
  child->ownerWindow = parentId;
  return true;
}

std::vector<int32_t> WidgetTree::destroy(int32_t id) {
  std::vector<int32_t> removed;
  if (find(id) == nullptr) return removed;

  // Collect the subtree first: container descendants, then whatever is
  // attached to any of them, until nothing new turns up.
  removed.push_back(id);
  for (size_t i = 0; i < removed.size(); ++i) {
    const Widget* w = find(removed[i]);
    for (int32_t child : w->children) removed.push_back(child);
    for (const auto& [otherId, other] : widgets_) {
      if (other->ownerWindow == removed[i] &&
          std::find(removed.begin(), removed.end(), otherId) == removed.end()) {
        removed.push_back(otherId);
      }
    }
  }

  if (Widget* parent = find(find(id)->parent)) {
    auto& siblings = parent->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), id), siblings.end());
  }
  for (int32_t gone : removed) widgets_.erase(gone);
  return removed;
}

std::vector<int32_t> WidgetTree::windows() const {
  std::vector<int32_t> out;
  for (const auto& [id, widget] : widgets_) {
    if (widget->isWindow()) out.push_back(id);
  }
  return out;
}

std::vector<int32_t> WidgetTree::ids() const {
  std::vector<int32_t> out;
  out.reserve(widgets_.size());
  for (const auto& [id, widget] : widgets_) out.push_back(id);
  return out;
}

int32_t WidgetTree::windowOf(int32_t id) const {
  const Widget* w = find(id);
  while (w != nullptr && !w->isWindow()) w = find(w->parent);
  return w != nullptr ? w->id : 0;
}

}  // namespace pavlex::host

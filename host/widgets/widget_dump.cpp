#include "host/widgets/widget_dump.h"

#include <map>
#include <vector>

namespace pavlex::host {
namespace {

constexpr int kMaxDepth = 64;

WidgetSnapshot Take(const WidgetTree& tree, const Widget& widget, const std::map<int32_t, std::string>& paths,
                    int depth) {
  WidgetSnapshot snapshot;
  snapshot.id = widget.id;
  snapshot.kind = widget.kind;
  if (auto it = paths.find(widget.id); it != paths.end()) snapshot.path = it->second;
  snapshot.properties = widget.properties;
  for (const EventHandler& handler : widget.handlers) snapshot.events.push_back(handler.type);
  snapshot.minimized = widget.minimized;
  if (depth < kMaxDepth) {
    for (int32_t child : widget.children) {
      if (const Widget* w = tree.find(child)) snapshot.children.push_back(Take(tree, *w, paths, depth + 1));
    }
  }
  return snapshot;
}

void Format(const WidgetSnapshot& snapshot, int depth, std::string* out) {
  *out += std::string(2 * static_cast<size_t>(depth), ' ');
  *out += WidgetKindName(snapshot.kind);
  *out += " #" + std::to_string(snapshot.id);
  if (!snapshot.path.empty()) *out += " " + FormatPropertyValue(snapshot.path);
  *out += " {";
  for (size_t i = 0; i < snapshot.properties.size(); ++i) {
    if (i > 0) *out += ", ";
    *out += snapshot.properties[i].first + "=" + FormatPropertyValue(snapshot.properties[i].second);
  }
  *out += "}";
  if (!snapshot.events.empty()) {
    *out += " [";
    for (size_t i = 0; i < snapshot.events.size(); ++i) *out += (i > 0 ? ", " : "") + snapshot.events[i];
    *out += "]";
  }
  if (snapshot.minimized) *out += " (folded)";
  *out += "\n";
  for (const WidgetSnapshot& child : snapshot.children) Format(child, depth + 1, out);
}

}  // namespace

WidgetSnapshot SnapshotWidget(const WidgetTree& tree, int32_t id) {
  const Widget* widget = tree.find(id);
  if (widget == nullptr) return {};
  std::map<int32_t, std::string> paths;
  for (const NamedWidget& named : NameWidgets(tree, tree.windowOf(id))) paths[named.id] = named.path;
  return Take(tree, *widget, paths, 0);
}

std::string FormatSnapshot(const WidgetSnapshot& snapshot) {
  std::string out;
  if (snapshot.id != 0) Format(snapshot, 0, &out);
  return out;
}

}  // namespace pavlex::host

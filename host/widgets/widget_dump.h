// Showing the widget tree: structured snapshots for tests and programs, and
// an indented text form for people.
#pragma once

#include <cstdint>
#include <string>

#include "host/widgets/widget_paths.h"
#include "host/widgets/widget_tree.h"
#include "host/widgets/widget_types.h"

namespace pavlex::host {

// The widget and its container descendants (attached windows are not
// descendants). Paths come from its window's naming; a snapshot of id 0
// stands for an unknown id.
WidgetSnapshot SnapshotWidget(const WidgetTree& tree, int32_t id);

// One line per widget, two spaces of indent per level:
//   kind #id "path" {name=value, ...} [event, ...] (folded)
// Windows show their title instead of a path; the braces list the set
// properties in the order they were first set.
std::string FormatSnapshot(const WidgetSnapshot& snapshot);

}  // namespace pavlex::host

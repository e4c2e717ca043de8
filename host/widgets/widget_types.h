// The value types of the host's widget service, shared by the widget tree,
// its request decoder and everyone who drives or inspects the host.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace pavlex::host {

// The widget types a plug-in can create ("window" ... "savefiledialog").
enum class WidgetKind {
  kWindow,
  kDialog,
  kFrame,
  kGroupBox,
  kButton,
  kCheckBox,
  kLabel,
  kSpinBox,
  kDoubleSpinBox,
  kEdit,
  kSaveFileDialog,
};

// The type name of the create request ("groupbox" for kGroupBox).
const char* WidgetKindName(WidgetKind kind);
// The kind a type name stands for; none for a name the host does not know.
std::optional<WidgetKind> WidgetKindFromName(std::string_view name);

// Four ints: "justsize" (width, height, then -1, -1: no upper limit) and
// "backcolor.rgba" (r, g, b, a in 0..255).
using Int4 = std::array<int32_t, 4>;

// A stored property value. Which alternative a property holds is fixed by
// the property and the widget kind ("position" is an int on a spin box and a
// double on a double spin box); the host never converts between them.
// Narrow strings are ASCII keywords, wide strings UTF-16 text.
using PropertyValue = std::variant<bool, int32_t, double, std::string, std::u16string, Int4>;

// One line of text for people and test failures: true, 12, 0.001 (the
// shortest text that reads back as the same double), "ascii",
// "UTF-8 of the wide text" (both quoted, with \" and \\ escaped),
// (1, 2, 3, 4).
std::string FormatPropertyValue(const PropertyValue& value);

// What the host shows of one widget and its descendants, for tests, the
// command line and people.
struct WidgetSnapshot {
  int32_t id = 0;
  WidgetKind kind = WidgetKind::kFrame;
  std::string path;  // empty for windows and dialogs (their title names them)
  // Every property a plug-in set, in the order each was first set, with its
  // current value. Properties left at their defaults are not listed.
  std::vector<std::pair<std::string, PropertyValue>> properties;
  std::vector<std::string> events;  // registered event names, in registration order
  bool minimized = false;           // a group box the host shows folded
  std::vector<WidgetSnapshot> children;
};

}  // namespace pavlex::host

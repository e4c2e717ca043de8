#include "host/widgets/widget_types.h"

#include <cstdio>
#include <cstdlib>

#include "platform/text_conversion.h"

namespace pavlex::host {
namespace {

struct KindName {
  WidgetKind kind;
  const char* name;
};

constexpr KindName kKindNames[] = {
    {WidgetKind::kWindow, "window"},
    {WidgetKind::kDialog, "dialog"},
    {WidgetKind::kFrame, "frame"},
    {WidgetKind::kGroupBox, "groupbox"},
    {WidgetKind::kButton, "button"},
    {WidgetKind::kCheckBox, "checkbox"},
    {WidgetKind::kLabel, "label"},
    {WidgetKind::kSpinBox, "spinbox"},
    {WidgetKind::kDoubleSpinBox, "doublespinbox"},
    {WidgetKind::kEdit, "edit"},
    {WidgetKind::kSaveFileDialog, "savefiledialog"},
};

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// The shortest %g text that reads back as the same double, so 0.001 prints
// as 0.001 and not as 0.0010000000000000000208.
std::string ShortestDouble(double value) {
  char buffer[32];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  return buffer;
}

}  // namespace

const char* WidgetKindName(WidgetKind kind) {
  for (const KindName& entry : kKindNames) {
    if (entry.kind == kind) return entry.name;
  }
  return "?";
}

std::optional<WidgetKind> WidgetKindFromName(std::string_view name) {
  for (const KindName& entry : kKindNames) {
    if (name == entry.name) return entry.kind;
  }
  return std::nullopt;
}

std::string FormatPropertyValue(const PropertyValue& value) {
  struct Formatter {
    std::string operator()(bool v) const { return v ? "true" : "false"; }
    std::string operator()(int32_t v) const { return std::to_string(v); }
    std::string operator()(double v) const { return ShortestDouble(v); }
    std::string operator()(const std::string& v) const { return Quoted(v); }
    std::string operator()(const std::u16string& v) const { return Quoted(platform::Utf16ToUtf8(v)); }
    std::string operator()(const Int4& v) const {
      return "(" + std::to_string(v[0]) + ", " + std::to_string(v[1]) + ", " + std::to_string(v[2]) + ", " +
             std::to_string(v[3]) + ")";
    }
  };
  return std::visit(Formatter{}, value);
}

}  // namespace pavlex::host

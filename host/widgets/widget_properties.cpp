#include "host/widgets/widget_properties.h"

#include <cmath>
#include <cstdint>

#include "host/widgets/widget_tree.h"

namespace pavlex::host {
namespace {

// Kind sets, one bit per WidgetKind.
constexpr uint32_t Bit(WidgetKind kind) {
  return 1u << static_cast<uint32_t>(kind);
}
constexpr uint32_t kWindows = Bit(WidgetKind::kWindow) | Bit(WidgetKind::kDialog);
constexpr uint32_t kFrames = Bit(WidgetKind::kFrame) | Bit(WidgetKind::kGroupBox);
constexpr uint32_t kSpins = Bit(WidgetKind::kSpinBox) | Bit(WidgetKind::kDoubleSpinBox);
constexpr uint32_t kTexts = Bit(WidgetKind::kGroupBox) | Bit(WidgetKind::kButton) |
                            Bit(WidgetKind::kCheckBox) | Bit(WidgetKind::kLabel) | Bit(WidgetKind::kEdit);
constexpr uint32_t kChildren = kFrames | kSpins | Bit(WidgetKind::kButton) | Bit(WidgetKind::kCheckBox) |
                               Bit(WidgetKind::kLabel) | Bit(WidgetKind::kEdit);
constexpr uint32_t kShown = kWindows | kChildren;
constexpr uint32_t kFileDialog = Bit(WidgetKind::kSaveFileDialog);

// A "number" is an int on a spin box and a double on a double spin box.
enum class Type { kBool, kInt, kDouble, kNarrow, kWide, kInt4, kNumber };

struct Entry {
  const char* name;
  uint32_t kinds;
  Type type;
  bool writable;
};

constexpr Entry kCatalogue[] = {
    {"title", kWindows | kFileDialog, Type::kWide, true},
    {"text", kTexts, Type::kWide, true},
    {"closebutton", kWindows, Type::kBool, true},
    {"canresize", kWindows, Type::kBool, true},
    {"visible", kShown, Type::kBool, true},
    {"pos_x", kWindows, Type::kInt, true},
    {"pos_y", kWindows, Type::kInt, true},
    {"width", kWindows, Type::kInt, true},
    {"height", kWindows, Type::kInt, true},
    {"justsize", kShown, Type::kInt4, false},
    {"inspace", kWindows | kFrames, Type::kDouble, true},
    {"outspace", kWindows | kFrames, Type::kDouble, true},
    {"alignment", kFrames, Type::kNarrow, true},
    {"matrixcolumn", kFrames, Type::kInt, true},
    {"multicolumn", kFrames, Type::kBool, true},
    {"canminimize", Bit(WidgetKind::kGroupBox), Type::kBool, true},
    {"checked", Bit(WidgetKind::kCheckBox), Type::kBool, true},
    {"down", Bit(WidgetKind::kButton), Type::kBool, true},
    {"position", kSpins, Type::kNumber, true},
    {"min", kSpins, Type::kNumber, true},
    {"max", kSpins, Type::kNumber, true},
    {"increment", kSpins, Type::kNumber, true},
    {"visiblecolumn", kSpins | Bit(WidgetKind::kEdit), Type::kInt, true},
    {"decimaldigit", Bit(WidgetKind::kDoubleSpinBox), Type::kInt, true},
    {"horzlayout", kChildren, Type::kNarrow, true},
    {"modalresult", Bit(WidgetKind::kButton), Type::kInt, true},
    {"default", Bit(WidgetKind::kButton), Type::kBool, true},
    {"cancel", Bit(WidgetKind::kButton), Type::kBool, true},
    {"backcolor.rgba", kWindows | kFrames, Type::kInt4, true},
    {"fillbeforerate", kChildren, Type::kDouble, true},
    {"fillafterrate", kChildren, Type::kDouble, true},
    {"filename", kFileDialog, Type::kWide, true},
    {"filterindex", kFileDialog, Type::kInt, true},
};

const Entry* FindEntry(WidgetKind kind, std::string_view name) {
  for (const Entry& entry : kCatalogue) {
    if (name == entry.name && (entry.kinds & Bit(kind)) != 0) return &entry;
  }
  return nullptr;
}

ValueType Resolve(Type type, WidgetKind kind) {
  switch (type) {
    case Type::kBool:
      return ValueType::kBool;
    case Type::kInt:
      return ValueType::kInt;
    case Type::kDouble:
      return ValueType::kDouble;
    case Type::kNarrow:
      return ValueType::kNarrow;
    case Type::kWide:
      return ValueType::kWide;
    case Type::kInt4:
      return ValueType::kInt4;
    case Type::kNumber:
      return kind == WidgetKind::kDoubleSpinBox ? ValueType::kDouble : ValueType::kInt;
  }
  return ValueType::kInt;
}

constexpr std::string_view kLengthSuffix = ".length";

}  // namespace

std::optional<PropertyInfo> LookupProperty(WidgetKind kind, std::string_view name) {
  if (const Entry* entry = FindEntry(kind, name))
    return PropertyInfo{Resolve(entry->type, kind), entry->writable};
  if (name.size() > kLengthSuffix.size() &&
      name.substr(name.size() - kLengthSuffix.size()) == kLengthSuffix) {
    const Entry* base = FindEntry(kind, name.substr(0, name.size() - kLengthSuffix.size()));
    if (base != nullptr && (base->type == Type::kWide || base->type == Type::kNarrow)) {
      return PropertyInfo{ValueType::kInt, false};
    }
  }
  return std::nullopt;
}

PropertyValue DefaultProperty(WidgetKind kind, std::string_view name) {
  const bool isDouble = kind == WidgetKind::kDoubleSpinBox;
  const bool isWindow = kind == WidgetKind::kWindow || kind == WidgetKind::kDialog;
  if (name == "title" || name == "text" || name == "filename") return std::u16string();
  if (name == "closebutton" || name == "canresize") return true;
  // Windows and dialogs start hidden; their content shows with them.
  if (name == "visible") return !isWindow;
  // Where the host places a window nobody placed.
  if (name == "pos_x" || name == "pos_y") return int32_t{100};
  if (name == "width" || name == "height") return int32_t{0};
  // Half a character of spacing between children and around the content;
  // plain frames are pure structure and add no margin of their own.
  if (name == "inspace") return 0.5;
  if (name == "outspace") return kind == WidgetKind::kFrame ? 0.0 : 0.5;
  if (name == "alignment") return std::string("vert");
  if (name == "horzlayout") return std::string("auto");
  if (name == "position" || name == "min") return isDouble ? PropertyValue(0.0) : PropertyValue(int32_t{0});
  if (name == "max") return isDouble ? PropertyValue(100.0) : PropertyValue(int32_t{100});
  if (name == "increment") return isDouble ? PropertyValue(1.0) : PropertyValue(int32_t{1});
  if (name == "visiblecolumn") return int32_t{kind == WidgetKind::kEdit ? 16 : 5};
  if (name == "decimaldigit") return int32_t{2};
  if (name == "backcolor.rgba") return Int4{0, 0, 0, 0};  // alpha 0: no colour of its own
  if (name == "fillbeforerate" || name == "fillafterrate") return 0.0;
  if (name == "matrixcolumn" || name == "modalresult" || name == "filterindex") return int32_t{0};
  return false;  // the remaining flags: multicolumn, canminimize, checked, down, default, cancel
}

bool AcceptsPropertyValue(std::string_view name, const PropertyValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) {
    if (name == "alignment") return *text == "horz" || *text == "vert";
    if (name == "horzlayout") return *text == "auto" || *text == "fill";
    return true;
  }
  if (const auto* number = std::get_if<int32_t>(&value)) {
    if (name == "matrixcolumn" || name == "visiblecolumn" || name == "width" || name == "height" ||
        name == "filterindex") {
      return *number >= 0;
    }
    if (name == "decimaldigit") return *number >= 0 && *number <= 15;
    return true;
  }
  if (const auto* number = std::get_if<double>(&value)) {
    if (!std::isfinite(*number)) return false;
    if (name == "inspace" || name == "outspace" || name == "fillbeforerate" || name == "fillafterrate") {
      return *number >= 0.0;
    }
    return true;
  }
  if (const auto* four = std::get_if<Int4>(&value)) {
    if (name == "backcolor.rgba") {
      for (int32_t c : *four) {
        if (c < 0 || c > 255) return false;
      }
    }
    return true;
  }
  return true;
}

PropertyValue CurrentProperty(const Widget& widget, std::string_view name) {
  if (const PropertyValue* value = widget.stored(name)) return *value;
  return DefaultProperty(widget.kind, name);
}

bool BoolProperty(const Widget& widget, std::string_view name) {
  const PropertyValue value = CurrentProperty(widget, name);
  const bool* flag = std::get_if<bool>(&value);
  return flag != nullptr && *flag;
}

int32_t IntProperty(const Widget& widget, std::string_view name) {
  const PropertyValue value = CurrentProperty(widget, name);
  const int32_t* number = std::get_if<int32_t>(&value);
  return number != nullptr ? *number : 0;
}

double NumberProperty(const Widget& widget, std::string_view name) {
  const PropertyValue value = CurrentProperty(widget, name);
  if (const int32_t* number = std::get_if<int32_t>(&value)) return *number;
  if (const double* number = std::get_if<double>(&value)) return *number;
  return 0.0;
}

std::u16string TextProperty(const Widget& widget, std::string_view name) {
  const PropertyValue value = CurrentProperty(widget, name);
  const std::u16string* text = std::get_if<std::u16string>(&value);
  return text != nullptr ? *text : std::u16string();
}

std::string KeywordProperty(const Widget& widget, std::string_view name) {
  const PropertyValue value = CurrentProperty(widget, name);
  const std::string* text = std::get_if<std::string>(&value);
  return text != nullptr ? *text : std::string();
}

}  // namespace pavlex::host

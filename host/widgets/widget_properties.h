// The catalogue of widget properties: which kinds have which property, its
// value type, whether a plug-in may set it, its value before anyone sets
// it, and which values it accepts.
//
// Every kind but the save-file dialog has "visible" and "justsize"; the rest
// follow the widget layer's list (a "position" is an int on a spin box and
// a double on a double spin box). Every string property also has a
// read-only "<name>.length": UTF-16 units for wide text, bytes for narrow.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/widgets/widget_types.h"

namespace pavlex::host {

enum class ValueType { kBool, kInt, kDouble, kNarrow, kWide, kInt4 };

struct PropertyInfo {
  ValueType type = ValueType::kInt;
  bool writable = true;
};

// The property `name` of a widget of `kind`; none when that kind has none.
std::optional<PropertyInfo> LookupProperty(WidgetKind kind, std::string_view name);

// The value of a stored property nobody has set yet. Only for writable
// properties; "width" and "height" of a window default to its fitted size,
// which the caller computes.
PropertyValue DefaultProperty(WidgetKind kind, std::string_view name);

// True when `value`, already of the property's type, is one the property
// accepts: keywords from their list, counts not negative, colours 0..255,
// finite numbers, spacings not negative.
bool AcceptsPropertyValue(std::string_view name, const PropertyValue& value);

struct Widget;

// A widget's property as it stands: the stored value, else the default.
// The typed readers answer the type's zero for a property of another type.
PropertyValue CurrentProperty(const Widget& widget, std::string_view name);
bool BoolProperty(const Widget& widget, std::string_view name);
int32_t IntProperty(const Widget& widget, std::string_view name);
double NumberProperty(const Widget& widget, std::string_view name);  // int or double
std::u16string TextProperty(const Widget& widget, std::string_view name);
std::string KeywordProperty(const Widget& widget, std::string_view name);

}  // namespace pavlex::host

// The text form of an integer setting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pavlex {

// Reads text the way the C runtime's _wtoi does: leading white space
// (space, tab, line feed, vertical tab, form feed, carriage return) is
// skipped, then an optional sign and the decimal digits up to the first
// other character are taken. Text without leading digits gives 0. Values
// beyond the int32 range saturate at INT32_MIN / INT32_MAX, as _wtoi's do.
int32_t ParseIntSettingText(std::u16string_view text);

// "%d": optional minus sign, decimal digits.
std::u16string FormatIntSettingText(int32_t value);

}  // namespace pavlex

// Conversions between the narrow encodings the plug-in meets (UTF-8 in the
// host's settings, the system code page in file names) and the UTF-16 text
// of widgets. The UTF-8 conversions are portable code; the system code page
// has one implementation per platform beside this interface.
//
// Every function accepts any input: each ill-formed UTF-8 sequence (its
// maximal subpart, as the Unicode standard recommends) and each unpaired
// UTF-16 surrogate becomes one U+FFFD. Embedded nulls are kept.
#pragma once

#include <string>
#include <string_view>

namespace pavlex::platform {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The system code page is the one narrow file names and console text use;
// on Linux it is UTF-8.
std::u16string SystemToUtf16(std::string_view text);
std::string Utf16ToSystem(std::u16string_view text);

}  // namespace pavlex::platform

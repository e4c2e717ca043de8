#include "platform/text_conversion.h"

namespace pavlex::platform {

// Linux file names and console text are UTF-8.
std::u16string SystemToUtf16(std::string_view text) {
  return Utf8ToUtf16(text);
}

std::string Utf16ToSystem(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

}  // namespace pavlex::platform

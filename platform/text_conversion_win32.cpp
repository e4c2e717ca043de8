#include <windows.h>

#include <climits>

#include "platform/text_conversion.h"

namespace pavlex::platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

// Only the system code page goes through the system: UTF-8 has its own
// portable converter, because the system's U+FFFD substitution for
// ill-formed UTF-8 varies (Wine 8 gives fewer than the maximal-subpart rule
// for encoded surrogates and for sequences above U+10FFFF).
//
// Lengths are passed explicitly so embedded nulls survive. Without
// MB_ERR_INVALID_CHARS the system substitutes a default character for
// input it cannot convert instead of failing.
std::u16string ToUtf16(UINT codePage, std::string_view text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
  const int inLength = static_cast<int>(text.size());
  const int outLength = MultiByteToWideChar(codePage, 0, text.data(), inLength, nullptr, 0);
  if (outLength <= 0) return {};
  std::u16string out(static_cast<size_t>(outLength), u'\0');
  MultiByteToWideChar(codePage, 0, text.data(), inLength, reinterpret_cast<wchar_t*>(out.data()), outLength);
  return out;
}

std::string FromUtf16(UINT codePage, std::u16string_view text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
  const auto* in = reinterpret_cast<const wchar_t*>(text.data());
  const int inLength = static_cast<int>(text.size());
  const int outLength = WideCharToMultiByte(codePage, 0, in, inLength, nullptr, 0, nullptr, nullptr);
  if (outLength <= 0) return {};
  std::string out(static_cast<size_t>(outLength), '\0');
  WideCharToMultiByte(codePage, 0, in, inLength, out.data(), outLength, nullptr, nullptr);
  return out;
}

}  // namespace

// A system whose code page is UTF-8 gets the portable converter too.
std::u16string SystemToUtf16(std::string_view text) {
  return GetACP() == CP_UTF8 ? Utf8ToUtf16(text) : ToUtf16(CP_ACP, text);
}

std::string Utf16ToSystem(std::u16string_view text) {
  return GetACP() == CP_UTF8 ? Utf16ToUtf8(text) : FromUtf16(CP_ACP, text);
}

}  // namespace pavlex::platform

#include <windows.h>

#include <climits>

#include "platform/text_conversion.h"

namespace pavlex::platform {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");

// Lengths are passed explicitly so embedded nulls survive. Without
// MB_ERR_INVALID_CHARS the system substitutes U+FFFD for ill-formed input
// instead of failing. Known gap: Wine 8 gives fewer U+FFFD than the
// maximal-subpart rule for encoded surrogates (ED A0 80 -> 2, not 3) and
// for sequences above U+10FFFF (F4 90 80 80 -> 3, not 4).
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

std::u16string Utf8ToUtf16(std::string_view text) {
  return ToUtf16(CP_UTF8, text);
}

std::string Utf16ToUtf8(std::u16string_view text) {
  return FromUtf16(CP_UTF8, text);
}

std::u16string SystemToUtf16(std::string_view text) {
  return ToUtf16(CP_ACP, text);
}

std::string Utf16ToSystem(std::u16string_view text) {
  return FromUtf16(CP_ACP, text);
}

}  // namespace pavlex::platform

#include "host/obj/obj_numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pavlex::host::obj {
namespace {

// After a failed float read with result_out_of_range: true when the text
// means a magnitude below the float range rather than above it.
bool MeansUnderflow(const char* first, const char* last) {
  double wide = 0.0;
  const auto [ptr, ec] = std::from_chars(first, last, wide, std::chars_format::general);
  if (ec == std::errc() && ptr == last) return std::fabs(wide) < 1.0;
  // Beyond double as well: the sign of the decimal exponent tells, or, with
  // no exponent, whether the integer part is zero.
  for (const char* p = first; p != last; ++p) {
    if (*p == 'e' || *p == 'E') return p + 1 != last && p[1] == '-';
  }
  for (const char* p = first; p != last && *p != '.'; ++p) {
    if (*p >= '1' && *p <= '9') return false;
  }
  return true;
}

}  // namespace

NumberStatus ParseFloatToken(std::string_view token, float* out) {
  const char* first = token.data();
  const char* last = first + token.size();
  if (first != last && *first == '+') {
    ++first;
    if (first == last || *first == '-' || *first == '+') return NumberStatus::kMalformed;
  }
  if (first == last) return NumberStatus::kMalformed;
  float value = 0.0f;
  const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // from_chars stops at the end of the number even when out of range.
    if (ptr != last) return NumberStatus::kMalformed;
    if (!MeansUnderflow(first, last)) return NumberStatus::kOutOfRange;
    *out = *first == '-' ? -0.0f : 0.0f;
    return NumberStatus::kOk;
  }
  if (ec != std::errc() || ptr != last) return NumberStatus::kMalformed;
  if (!std::isfinite(value)) return NumberStatus::kNotFinite;
  *out = value;
  return NumberStatus::kOk;
}

NumberStatus ParseIndexToken(std::string_view token, int32_t* out) {
  const char* p = token.data();
  const char* last = p + token.size();
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  if (p == last) return NumberStatus::kMalformed;
  int64_t magnitude = 0;
  for (; p != last; ++p) {
    const unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
    if (digit > 9) return NumberStatus::kMalformed;
    magnitude = magnitude * 10 + digit;
    if (magnitude > std::numeric_limits<int32_t>::max()) {
      // Keep scanning: a letter further on makes it malformed, not large.
      for (++p; p != last; ++p) {
        if (static_cast<unsigned char>(*p) - static_cast<unsigned>('0') > 9) return NumberStatus::kMalformed;
      }
      return NumberStatus::kOutOfRange;
    }
  }
  *out = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return NumberStatus::kOk;
}

size_t FormatFloat(float value, char* buffer) {
  // Shortest round-trip form; to_chars cannot fail with this much room.
  const auto result = std::to_chars(buffer, buffer + kMaxFloatChars, value);
  return static_cast<size_t>(result.ptr - buffer);
}

void AppendFloat(std::string* out, float value) {
  char buffer[kMaxFloatChars];
  out->append(buffer, FormatFloat(value, buffer));
}

void AppendInt(std::string* out, int64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out->append(buffer, static_cast<size_t>(result.ptr - buffer));
}

std::string QuoteForMessage(std::string_view token) {
  constexpr size_t kShown = 40;
  static const char kHex[] = "0123456789abcdef";
  std::string quoted = "'";
  for (size_t i = 0; i < token.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(token[i]);
    if (c >= 0x20 && c < 0x7f) {
      quoted += static_cast<char>(c);
    } else {
      quoted += "\\x";
      quoted += kHex[c >> 4];
      quoted += kHex[c & 0xf];
    }
  }
  if (token.size() > kShown) quoted += "...";
  quoted += '\'';
  return quoted;
}

}  // namespace pavlex::host::obj

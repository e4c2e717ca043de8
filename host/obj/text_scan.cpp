#include "host/obj/text_scan.h"

#include <algorithm>

namespace pavlex::host::obj {
namespace {

// Bytes a name may not hold: they would end or corrupt a written line. Tab
// stays, as a blank inside a name.
bool IsControl(unsigned char c) {
  return (c < 0x20 && c != '\t') || c == 0x7f;
}

// Length of the valid UTF-8 sequence at s (1..4), or 0 when it is not one.
size_t Utf8SequenceLength(const unsigned char* s, const unsigned char* end) {
  const unsigned char c = *s;
  if (c < 0x80) return 1;
  size_t length = 0;
  uint32_t minimum = 0;
  uint32_t code = 0;
  if ((c & 0xe0) == 0xc0) {
    length = 2, minimum = 0x80, code = c & 0x1fu;
  } else if ((c & 0xf0) == 0xe0) {
    length = 3, minimum = 0x800, code = c & 0x0fu;
  } else if ((c & 0xf8) == 0xf0) {
    length = 4, minimum = 0x10000, code = c & 0x07u;
  } else {
    return 0;
  }
  if (static_cast<size_t>(end - s) < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((s[i] & 0xc0) != 0x80) return 0;
    code = (code << 6) | (s[i] & 0x3fu);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if (code < minimum || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return 0;
  return length;
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = s + bytes.size();
  while (s != end) {
    const size_t n = Utf8SequenceLength(s, end);
    if (n == 0) return false;
    s += n;
  }
  return true;
}

}  // namespace

const char* FindNonKeywordByte(std::string_view keyword) {
  for (const char& c : keyword) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f) return &c;
  }
  return nullptr;
}

size_t FindBinaryByte(std::string_view text) {
  const size_t nul = text.find('\0');
  // Every carriage return must begin a CRLF break.
  for (size_t cr = text.find('\r'); cr != std::string_view::npos && cr < nul; cr = text.find('\r', cr + 2)) {
    if (cr + 1 != text.size() && text[cr + 1] != '\n') return cr;
  }
  return nul;
}

uint64_t LineNumberAt(std::string_view text, size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<uint64_t>(
                 std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

std::string DecodeName(std::string_view bytes, bool* recoded) {
  std::string name;
  name.reserve(bytes.size());
  if (IsValidUtf8(bytes)) {
    for (const char c : bytes) name += IsControl(static_cast<unsigned char>(c)) ? '_' : c;
    return name;
  }
  *recoded = true;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (IsControl(u)) {
      name += '_';
    } else if (u < 0x80) {
      name += c;
    } else {
      name += static_cast<char>(0xc0 | (u >> 6));
      name += static_cast<char>(0x80 | (u & 0x3f));
    }
  }
  return name;
}

std::string EncodeName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (IsControl(static_cast<unsigned char>(c))) c = '_';
  }
  return out;
}

}  // namespace pavlex::host::obj

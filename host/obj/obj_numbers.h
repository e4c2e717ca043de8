// Number reading and writing for OBJ and MTL text. Pure functions of their
// arguments, so the reader's and writers' exactness can be tested alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pavlex::host::obj {

enum class NumberStatus {
  kOk,
  kMalformed,   // not a decimal number, or trailing characters
  kOutOfRange,  // magnitude beyond the float range
  kNotFinite,   // "nan", "inf": never a usable coordinate
};

// Reads a whole token as a single-precision number, rounded once from the
// decimal text (never through double, which could round twice). Accepts an
// optional leading '+' as many writers emit one. A value too small for a
// float reads as zero of its sign: the writer meant "nearly nothing".
NumberStatus ParseFloatToken(std::string_view token, float* out);

// Reads a whole token as an OBJ element index: optional '-', decimal digits,
// magnitude at most INT32_MAX. Zero is returned as read; the caller decides
// what an index of 0 means.
NumberStatus ParseIndexToken(std::string_view token, int32_t* out);

// The shortest decimal text that reads back (with ParseFloatToken) as the
// same float, bit for bit, -0 included. Needs at most kMaxFloatChars bytes.
constexpr size_t kMaxFloatChars = 24;
size_t FormatFloat(float value, char* buffer);
void AppendFloat(std::string* out, float value);
void AppendInt(std::string* out, int64_t value);

// A token shown in a message: non-printable bytes escaped as \xNN, long
// tokens cut, so that a message stays one readable line whatever the input.
std::string QuoteForMessage(std::string_view token);

}  // namespace pavlex::host::obj

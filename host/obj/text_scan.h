// Statement scanning shared by the OBJ and MTL readers: lines, blank-separated
// tokens, keywords, and names decoded to UTF-8.
//
// Rules, identical for both formats:
// - A line ends at '\n'; one '\r' before it belongs to the line break, as
//   does a '\r' ending the text. A leading UTF-8 byte order mark is skipped.
// - Blanks are space and tab. A token that starts with '#' ends the
//   statement (the rest of the line is a comment).
// - Backslash line continuation is not supported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pavlex::host::obj {

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

struct TextLine {
  const char* begin;  // first byte of the line
  const char* end;    // one past the last byte, line break excluded
};

// Walks a buffer line by line; number() is the 1-based number of the line
// last returned.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : p_(text.data()), end_(text.data() + text.size()) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") p_ += 3;  // a UTF-8 byte order mark is no statement
  }

  bool next(TextLine* line) {
    if (p_ == end_) return false;
    ++number_;
    const auto* nl = static_cast<const char*>(std::memchr(p_, '\n', static_cast<size_t>(end_ - p_)));
    const char* stop = nl ? nl : end_;
    line->begin = p_;
    line->end = stop != p_ && stop[-1] == '\r' ? stop - 1 : stop;
    p_ = nl ? nl + 1 : end_;
    return true;
  }
  uint64_t number() const { return number_; }

 private:
  const char* p_;
  const char* end_;
  uint64_t number_ = 0;
};

// The tokens of one statement.
class TokenCursor {
 public:
  TokenCursor(const char* begin, const char* end) : p_(begin), end_(end) {}
  explicit TokenCursor(const TextLine& line) : TokenCursor(line.begin, line.end) {}

  bool next(std::string_view* token) {
    while (p_ != end_ && IsBlank(*p_)) ++p_;
    if (p_ == end_ || *p_ == '#') {
      p_ = end_;
      return false;
    }
    const char* start = p_;
    while (p_ != end_ && !IsBlank(*p_)) ++p_;
    *token = std::string_view(start, static_cast<size_t>(p_ - start));
    return true;
  }
  // Everything after the current position with outer blanks removed (names
  // may contain blanks and '#').
  std::string_view rest() const {
    const char* b = p_;
    const char* e = end_;
    while (b != e && IsBlank(*b)) ++b;
    while (e != b && IsBlank(e[-1])) --e;
    return std::string_view(b, static_cast<size_t>(e - b));
  }
  const char* position() const { return p_; }

 private:
  const char* p_;
  const char* end_;
};

// The first byte of a keyword that is not printable ASCII, or null. Such a
// byte in a keyword means the input is not a text file of this format.
const char* FindNonKeywordByte(std::string_view keyword);

// The 0-based offset of the first byte at which `text` stops being a text
// file, or npos: a NUL byte, or a carriage return that is not part of a
// CRLF break (nor the last byte) (files with old Mac line breaks would otherwise read as one
// long comment).
size_t FindBinaryByte(std::string_view text);

// The 1-based line number of byte `offset`.
uint64_t LineNumberAt(std::string_view text, size_t offset);

// A name as UTF-8: valid UTF-8 is kept as is; otherwise every byte is read
// as Latin-1 (the usual encoding of older files) and *recoded is set.
// Control bytes become '_' so a name can never break a line when written.
std::string DecodeName(std::string_view bytes, bool* recoded);

// The name written back: control bytes replaced by '_'.
std::string EncodeName(std::string_view name);

}  // namespace pavlex::host::obj

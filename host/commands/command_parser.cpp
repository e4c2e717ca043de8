#include "host/commands/command_parser.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace pavlex::commands {

std::vector<std::string> TokenizeCommand(const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
  while (i < text.size()) {
    while (i < text.size() && blank(text[i])) ++i;
    if (i >= text.size()) break;
    std::string word;
    while (i < text.size() && !blank(text[i])) {
      const char c = text[i];
      if (c == '"') {
        ++i;
        while (i < text.size() && text[i] != '"') {
          if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) ++i;
          word += text[i++];
        }
        if (i >= text.size()) throw CommandError("a double quote is not closed");
        ++i;
      } else if (c == '\'') {
        const size_t close = text.find('\'', i + 1);
        if (close == std::string::npos) throw CommandError("a single quote is not closed");
        word += text.substr(i + 1, close - i - 1);
        i = close + 1;
      } else {
        word += c;
        ++i;
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

int32_t ParseIndex(const std::string& word, const char* what) {
  bool digits = !word.empty() && word.size() <= 10;
  for (char c : word) digits = digits && c >= '0' && c <= '9';
  const long long value = digits ? std::strtoll(word.c_str(), nullptr, 10) : -1;
  if (!digits || value > std::numeric_limits<int32_t>::max()) {
    throw CommandError("'" + word + "' is not a " + what + " (a whole number from 0)");
  }
  return static_cast<int32_t>(value);
}

double ParseNumber(const std::string& word, const char* what) {
  char* end = nullptr;
  errno = 0;
  const double value = word.empty() ? 0.0 : std::strtod(word.c_str(), &end);
  // strtod also takes "inf", "nan" and hexadecimal; none of them is a
  // coordinate anyone types on purpose.
  const bool plain = !word.empty() && word.find_first_not_of("0123456789+-.eE") == std::string::npos;
  if (word.empty() || end != word.c_str() + word.size() || !plain || !std::isfinite(value) || errno == ERANGE) {
    throw CommandError("'" + word + "' is not a number for the " + what);
  }
  return value;
}

FaceCornerRef ParseFaceCorner(const std::string& word, const char* what) {
  const size_t colon = word.find(':');
  if (colon == std::string::npos) {
    throw CommandError("'" + word + "' is not a " + what + " (FACE:CORNER, e.g. 3:0)");
  }
  FaceCornerRef ref;
  ref.face = ParseIndex(word.substr(0, colon), "face index");
  ref.corner = ParseIndex(word.substr(colon + 1), "corner index");
  return ref;
}

std::string QuoteWord(const std::string& word) {
  if (!word.empty() && word.find_first_of(" \t\"';") == std::string::npos) return word;
  std::string out = "\"";
  for (char c : word) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace pavlex::commands

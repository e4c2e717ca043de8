// The words of one host command and the typed values its arguments hold.
// Every function here throws CommandError with a message for people; the
// runner adds the script name and line.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pavlex::commands {

// A command that cannot run; `what()` is one line without the location.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits a command into words at blanks. "double quotes" allow blanks and
// the escapes \" and \\; 'single quotes' take everything literally up to
// the next single quote. An open quote is an error.
std::vector<std::string> TokenizeCommand(const std::string& text);

// A face corner or a face's line: "F:C".
struct FaceCornerRef {
  int32_t face = 0;
  int32_t corner = 0;
};

// Non-negative whole numbers (indices), finite decimal numbers and
// "F:C" pairs; `what` names the argument in the message ("face index").
int32_t ParseIndex(const std::string& word, const char* what);
double ParseNumber(const std::string& word, const char* what);
FaceCornerRef ParseFaceCorner(const std::string& word, const char* what);

// Quotes a word for messages and listings when it needs quoting.
std::string QuoteWord(const std::string& word);

}  // namespace pavlex::commands

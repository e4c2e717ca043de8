// Building a Windows command line, whose arguments the child's C runtime
// splits again: the program's own child processes and the tests that run
// the program quote alike.
#pragma once

#include <cstddef>
#include <string>

namespace pavlex::platform {

// One argument as the C runtime's command-line parser reads it back:
// quotes around anything with blanks or quotes; backslashes are literal
// except in front of a quote, where they are doubled.
inline std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, L'\\');
  quoted.push_back(L'"');
  return quoted;
}

}  // namespace pavlex::platform

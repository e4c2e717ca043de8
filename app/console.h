// What the pavlex command needs from the system's console and command line:
// the same bytes in and out on every system, and whether a person is there.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pavlex::app {

// Puts the standard streams in the state the program expects: bytes pass
// unchanged (no "\n" to "\r\n" translation on Windows), so output and
// saved scripts are the same on every system.
void PrepareStandardStreams();

// True when `stream` is a terminal (a console window on Windows).
bool IsTerminal(std::FILE* stream);

// The program's arguments in UTF-8, the encoding of the host's file names.
// Windows hands main() its arguments in the system code page, which cannot
// spell every name; the wide command line can.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace pavlex::app

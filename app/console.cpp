#include <unistd.h>

#include "app/console.h"

namespace pavlex::app {

void PrepareStandardStreams() {}

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) == 1;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace pavlex::app

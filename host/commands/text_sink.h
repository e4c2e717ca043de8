// Where the command language's text goes: a stdio stream (the pavlex
// command's stdout and stderr) or a callback (a window's console pane, a
// Python list). The language never writes to a stream of its own choosing.
#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

#if defined(__GNUC__) && !defined(_WIN32)
#define PAVLEX_PRINTF_FORMAT(format_index, first_argument) __attribute__((format(printf, format_index, first_argument)))
#else
#define PAVLEX_PRINTF_FORMAT(format_index, first_argument)
#endif

namespace pavlex::commands {

class TextSink {
 public:
  // Receives text as it is produced: whole lines, or several; never owned.
  using Callback = std::function<void(std::string_view text)>;

  // `file` is not owned and must outlive the sink.
  explicit TextSink(std::FILE* file) : file_(file) {}
  explicit TextSink(Callback callback) : callback_(std::move(callback)) {}

  void write(std::string_view text) const;
  // printf-style; formats into a small buffer, so a large output (a million
  // `uv` lines) goes out line by line instead of as one string.
  void printf(const char* format, ...) const PAVLEX_PRINTF_FORMAT(2, 3);
  // Lets what was written be seen now (a stream is flushed).
  void flush() const;

 private:
  std::FILE* file_ = nullptr;
  Callback callback_;
};

}  // namespace pavlex::commands

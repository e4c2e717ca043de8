#include "host/commands/text_sink.h"

#include <cstdarg>
#include <string>

namespace pavlex::commands {

void TextSink::write(std::string_view text) const {
  if (file_ != nullptr) {
    std::fwrite(text.data(), 1, text.size(), file_);
  } else if (callback_) {
    callback_(text);
  }
}

void TextSink::printf(const char* format, ...) const {
  std::va_list args;
  va_start(args, format);
  if (file_ != nullptr) {
    std::vfprintf(file_, format, args);
    va_end(args);
    return;
  }
  char small[256];
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length >= 0 && static_cast<size_t>(length) < sizeof small) {
    write(std::string_view(small, static_cast<size_t>(length)));
  } else if (length >= 0) {
    std::string large(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(large.data(), large.size(), format, again);
    large.pop_back();
    write(large);
  }
  va_end(again);
}

void TextSink::flush() const {
  if (file_ != nullptr) std::fflush(file_);
}

}  // namespace pavlex::commands

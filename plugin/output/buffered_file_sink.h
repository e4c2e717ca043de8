// The buffering both platforms' atomic file writers share: a picture of a
// million small rows costs a few hundred system calls, and the first
// failure sticks, so later writes and the final flush report it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/byte_sink.h"

namespace pavlex {

class BufferedFileSink : public platform::ByteSink {
 public:
  BufferedFileSink() { buffer_.reserve(kBufferBytes); }
  bool Write(const void* data, size_t size) override {
    if (!ok_) return false;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (buffer_.size() + size > kBufferBytes) {
      if (!Flush()) return false;
      if (size >= kBufferBytes) return ok_ = WriteOut(bytes, size);
    }
    buffer_.insert(buffer_.end(), bytes, bytes + size);
    return true;
  }
  bool Flush() {
    if (ok_ && !buffer_.empty()) ok_ = WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok_;
  }

 protected:
  // Writes every byte to the file or answers false.
  virtual bool WriteOut(const uint8_t* data, size_t size) = 0;

 private:
  static constexpr size_t kBufferBytes = size_t{1} << 20;
  bool ok_ = true;
  std::vector<uint8_t> buffer_;
};

}  // namespace pavlex

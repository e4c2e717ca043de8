// Where image writers put their bytes: a file being written, a memory
// buffer for the clipboard, a counter in tests. Writers never touch files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pavlex::platform {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // False when the bytes could not be taken; later writes may be skipped.
  virtual bool Write(const void* data, size_t size) = 0;
};

class MemorySink : public ByteSink {
 public:
  bool Write(const void* data, size_t size) override {
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), first, first + size);
    return true;
  }
  std::vector<uint8_t> bytes;
};

// Appends to a string the caller owns: text formats written in memory.
class StringSink : public ByteSink {
 public:
  explicit StringSink(std::string* out) : out_(out) {}
  bool Write(const void* data, size_t size) override {
    out_->append(static_cast<const char*>(data), size);
    return true;
  }

 private:
  std::string* out_;
};

}  // namespace pavlex::platform

// Where image writers put their bytes: a file being written, a memory
// buffer for the clipboard, a counter in tests. Writers never touch files.
#pragma once

#include <cstddef>
#include <cstdint>
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

}  // namespace pavlex::platform

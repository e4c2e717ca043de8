// The per-system steps of platform/atomic_file.h. The order of the steps
// and the all-or-nothing rule live once, in atomic_file.cpp; each system
// supplies how a step is done (atomic_file_linux.cpp, atomic_file_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/atomic_file.h"

namespace pavlex::platform::detail {

struct PendingFile {
  std::string target;     // after following a symbolic link
  std::string temporary;  // beside the target, complete and flushed
};

// Checks the existing target, writes `produce` into a fresh temporary file
// beside it, carries the target's permissions over, flushes and closes it.
// On failure the temporary file is gone and `failure` is filled.
bool WriteTemporary(const std::string& path, const FileProducer& produce, LinkRule links, PendingFile* pending,
                    FileFailure* failure);

// Renames the temporary file over its target.
bool MoveIntoPlace(const std::string& path, const PendingFile& pending, FileFailure* failure);

// Removes a temporary file that will not be used.
void Discard(const PendingFile& pending);

// The buffering both systems' file sinks share: a picture of a million
// small rows costs a few hundred system calls, and the first failure
// sticks, so later writes and the final flush report it.
class BufferedFileSink : public ByteSink {
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
  // False once the file refused bytes; the derived sink keeps the reason.
  bool ok() const { return ok_; }

 protected:
  // Writes every byte to the file or answers false.
  virtual bool WriteOut(const uint8_t* data, size_t size) = 0;

 private:
  static constexpr size_t kBufferBytes = size_t{1} << 20;
  bool ok_ = true;
  std::vector<uint8_t> buffer_;
};

}  // namespace pavlex::platform::detail

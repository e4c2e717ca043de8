// Option lists: the (narrow key, value pointer) records that carry every
// widget request, host event and message across the C boundary.
//
// Building: an OptionList holds up to kCapacity pairs plus the null key that
// ends the list. It stores pointers only; every value it points to must
// outlive the call the list is passed to.
//
// Reading: the Find/Read helpers accept any list the host hands over,
// including a null one, and answer the caller's default for a missing key
// or a null value slot.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "hostapi/mq_types.h"

namespace pavlex {

class OptionList {
 public:
  static constexpr size_t kCapacity = 8;

  OptionList() { pairs_[0] = {nullptr, nullptr}; }
  OptionList(const OptionList&) = delete;
  OptionList& operator=(const OptionList&) = delete;

  // Appends one pair. `value` follows the value conventions of mq_types.h:
  // a pointer to the value, or the string or handle itself. Appending past
  // the capacity is a programming error and is ignored in release builds.
  OptionList& Add(const char* key, const void* value);

  // The null-terminated pair array, valid while this list lives.
  MQOptionPair* data() { return pairs_.data(); }
  size_t size() const { return size_; }

 private:
  std::array<MQOptionPair, kCapacity + 1> pairs_;
  size_t size_ = 0;
};

// The pair with `key` in the null-terminated list `options`, or null when
// the list is null or lacks the key. The first pair with the key wins.
const MQOptionPair* FindOption(const void* options, const char* key);

// The value slot of `key`, or null.
void* FindOptionValue(const void* options, const char* key);

// Typed reads of a value slot that points to the value.
int32_t ReadIntOption(const void* options, const char* key, int32_t fallback);
float ReadFloatOption(const void* options, const char* key, float fallback);

// A narrow string held in the value slot itself; null when missing.
const char* ReadStringOption(const void* options, const char* key);

}  // namespace pavlex

// Option lists, both ways across the C boundary: the arrays of (narrow key,
// value pointer) pairs ended by a null key that carry every widget request,
// host event and message (hostapi/mq_types.h states how each kind of value
// sits in its slot). The host and the plug-in read and build them with this
// one codec; each links its own private copy.
//
// What a key means, and which default a missing key gets, stays with the
// side that reads it: the codec fetches slots and never guesses a type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "hostapi/mq_types.h"

namespace pavlex {

// A read view of someone else's list. A null list reads as empty. Lists are
// read up to their null key, but never past kMaxOptionPairs pairs, so a list
// someone forgot to terminate costs a bounded walk instead of an endless one.
class OptionListView {
 public:
  static constexpr size_t kMaxOptionPairs = 1024;

  // The C records carry non-const pointers, and result slots are written
  // through them; the view itself changes nothing.
  explicit OptionListView(const void* list) : list_(static_cast<MQOptionPair*>(const_cast<void*>(list))) {}

  // The first pair with this key; null when absent.
  MQOptionPair* find(std::string_view key) const;
  bool has(std::string_view key) const { return find(key) != nullptr; }
  // The value pointer of `key`; null when the key is absent or its value is.
  void* slot(std::string_view key) const;

  // Values read through the pointer a pair holds (unaligned pointers are
  // fine); none when the key is absent or its value pointer is null.
  std::optional<int32_t> intValue(std::string_view key) const;
  std::optional<float> floatValue(std::string_view key) const;
  std::optional<double> doubleValue(std::string_view key) const;
  std::optional<bool> boolValue(std::string_view key) const;  // one byte, nonzero is true

  // Strings and handles are the value pointers themselves (null when absent).
  const char* narrow(std::string_view key) const { return static_cast<const char*>(slot(key)); }
  const MQWChar* wide(std::string_view key) const { return static_cast<const MQWChar*>(slot(key)); }
  template <typename T>
  T* result(std::string_view key) const {
    return static_cast<T*>(slot(key));
  }

  // Calls fn(pair) for each pair before the null key.
  template <typename Fn>
  void forEach(Fn&& fn) const {
    if (list_ == nullptr) return;
    for (size_t i = 0; i < kMaxOptionPairs && list_[i].key != nullptr; ++i) fn(list_[i]);
  }

 private:
  MQOptionPair* list_;
};

// A list built for one call. A value is either the caller's (add: a pointer
// to the caller's variable, or a string or handle itself, which must outlive
// the call) or kept by the builder (addInt, addFloat, addBool: copies whose
// slots the callee may write, read back with boolAt/intAt).
class OptionListBuilder {
 public:
  OptionListBuilder() = default;
  OptionListBuilder(const OptionListBuilder&) = delete;
  OptionListBuilder& operator=(const OptionListBuilder&) = delete;

  OptionListBuilder& add(const char* key, const void* value);
  OptionListBuilder& addInt(const char* key, int32_t value);
  OptionListBuilder& addFloat(const char* key, float value);
  OptionListBuilder& addBool(const char* key, bool value);

  // The null-terminated list; valid until the next add or the builder's end.
  MQOptionPair* list();
  size_t size() const { return slots_.size(); }

  // What the callee left in a kept slot; the fallback when there is none.
  bool boolAt(std::string_view key, bool fallback = false) const;
  int32_t intAt(std::string_view key, int32_t fallback = 0) const;

 private:
  enum class Kind : uint8_t { kCallers, kInt, kFloat, kBool };
  struct Slot {
    const char* key;
    Kind kind;
    void* pointer = nullptr;  // kCallers
    int32_t i = 0;
    float f = 0;
    uint8_t b = 0;
  };
  const Slot* kept(std::string_view key, Kind kind) const;

  // Kept values move when the vector grows, so list() points the pairs at
  // them afresh each time.
  std::vector<Slot> slots_;
  std::vector<MQOptionPair> pairs_;
};

}  // namespace pavlex

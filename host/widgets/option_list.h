// Reading and building the option lists of host requests, messages and
// events: arrays of (narrow key, value pointer) pairs ended by a null key.
// How a value slot is read depends on its key (hostapi/mq_types.h); the
// readers here only fetch slots, the callers know the types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "hostapi/mq_types.h"

namespace pavlex::host {

// A read view of a caller's list. A null list reads as empty. Lists are
// read up to their null key, but never past kMaxOptionPairs pairs, so a list
// someone forgot to terminate costs a bounded walk instead of an endless one.
class OptionListView {
 public:
  static constexpr size_t kMaxOptionPairs = 1024;

  explicit OptionListView(void* list) : list_(static_cast<MQOptionPair*>(list)) {}

  // The first pair with this key; null when absent.
  MQOptionPair* find(std::string_view key) const;
  bool has(std::string_view key) const { return find(key) != nullptr; }
  // Value slots read through the pointer a pair holds; none when the key is
  // absent or its value pointer is null.
  std::optional<int32_t> intValue(std::string_view key) const;
  std::optional<bool> boolValue(std::string_view key) const;
  // Strings are the value pointers themselves (null when absent).
  const char* narrow(std::string_view key) const;
  const MQWChar* wide(std::string_view key) const;
  // A result slot: the pointer the caller gave, null when absent.
  template <typename T>
  T* result(std::string_view key) const {
    MQOptionPair* pair = find(key);
    return pair != nullptr ? static_cast<T*>(pair->value) : nullptr;
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

// A list the host builds for a call into a plug-in. Values point at storage
// the builder keeps (ints, bytes, floats) or at strings the caller keeps
// alive for the duration of the call.
class OptionListBuilder {
 public:
  void addInt(const char* key, int32_t value);
  void addFloat(const char* key, float value);
  // `value` itself, not a copy: it must outlive the call.
  void addPointer(const char* key, void* value);
  void addString(const char* key, const char* value) { addPointer(key, const_cast<char*>(value)); }
  // A result byte preset to `value`; read it back with boolAt().
  void addBool(const char* key, bool value);

  // The null-terminated list; valid until the next add.
  MQOptionPair* list();
  bool boolAt(const char* key) const;

 private:
  struct Slot {
    const char* key;
    int kind;  // 0 int, 1 float, 2 pointer, 3 byte
    int32_t i = 0;
    float f = 0;
    uint8_t b = 0;
    void* p = nullptr;
  };
  // Deque-like stability is not needed: list() rebuilds every pointer.
  std::vector<Slot> slots_;
  std::vector<MQOptionPair> pairs_;
};

}  // namespace pavlex::host

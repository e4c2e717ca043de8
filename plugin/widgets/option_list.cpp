#include "plugin/widgets/option_list.h"

#include <cassert>
#include <cstring>

namespace pavlex {

OptionList& OptionList::Add(const char* key, const void* value) {
  assert(size_ < kCapacity && "option list capacity exceeded");
  if (size_ >= kCapacity) return *this;
  // The C record carries non-const pointers; the receiver writes only
  // through the slots of result keys, which callers pass as non-const.
  pairs_[size_] = {key, const_cast<void*>(value)};
  ++size_;
  pairs_[size_] = {nullptr, nullptr};
  return *this;
}

const MQOptionPair* FindOption(const void* options, const char* key) {
  if (options == nullptr || key == nullptr) return nullptr;
  for (const MQOptionPair* pair = static_cast<const MQOptionPair*>(options); pair->key != nullptr; ++pair) {
    if (std::strcmp(pair->key, key) == 0) return pair;
  }
  return nullptr;
}

void* FindOptionValue(const void* options, const char* key) {
  const MQOptionPair* pair = FindOption(options, key);
  return pair != nullptr ? pair->value : nullptr;
}

int32_t ReadIntOption(const void* options, const char* key, int32_t fallback) {
  const void* value = FindOptionValue(options, key);
  if (value == nullptr) return fallback;
  int32_t result;
  std::memcpy(&result, value, sizeof result);
  return result;
}

float ReadFloatOption(const void* options, const char* key, float fallback) {
  const void* value = FindOptionValue(options, key);
  if (value == nullptr) return fallback;
  float result;
  std::memcpy(&result, value, sizeof result);
  return result;
}

const char* ReadStringOption(const void* options, const char* key) {
  return static_cast<const char*>(FindOptionValue(options, key));
}

}  // namespace pavlex

#include "optionlist/option_list.h"

#include <cstring>

namespace pavlex {

namespace {

template <typename T>
std::optional<T> ReadThrough(const void* value) {
  if (value == nullptr) return std::nullopt;
  T result;
  std::memcpy(&result, value, sizeof result);
  return result;
}

}  // namespace

MQOptionPair* OptionListView::find(std::string_view key) const {
  if (list_ == nullptr) return nullptr;
  for (size_t i = 0; i < kMaxOptionPairs && list_[i].key != nullptr; ++i) {
    if (key == list_[i].key) return &list_[i];
  }
  return nullptr;
}

void* OptionListView::slot(std::string_view key) const {
  const MQOptionPair* pair = find(key);
  return pair != nullptr ? pair->value : nullptr;
}

std::optional<int32_t> OptionListView::intValue(std::string_view key) const {
  return ReadThrough<int32_t>(slot(key));
}

std::optional<float> OptionListView::floatValue(std::string_view key) const {
  return ReadThrough<float>(slot(key));
}

std::optional<double> OptionListView::doubleValue(std::string_view key) const {
  return ReadThrough<double>(slot(key));
}

std::optional<bool> OptionListView::boolValue(std::string_view key) const {
  const std::optional<uint8_t> byte = ReadThrough<uint8_t>(slot(key));
  if (!byte) return std::nullopt;
  return *byte != 0;
}

OptionListBuilder& OptionListBuilder::add(const char* key, const void* value) {
  Slot slot{key, Kind::kCallers};
  // The receiver writes only through the slots of result keys, which
  // callers pass as non-const.
  slot.pointer = const_cast<void*>(value);
  slots_.push_back(slot);
  return *this;
}

OptionListBuilder& OptionListBuilder::addInt(const char* key, int32_t value) {
  Slot slot{key, Kind::kInt};
  slot.i = value;
  slots_.push_back(slot);
  return *this;
}

OptionListBuilder& OptionListBuilder::addFloat(const char* key, float value) {
  Slot slot{key, Kind::kFloat};
  slot.f = value;
  slots_.push_back(slot);
  return *this;
}

OptionListBuilder& OptionListBuilder::addBool(const char* key, bool value) {
  Slot slot{key, Kind::kBool};
  slot.b = value ? 1 : 0;
  slots_.push_back(slot);
  return *this;
}

MQOptionPair* OptionListBuilder::list() {
  pairs_.clear();
  pairs_.reserve(slots_.size() + 1);
  for (Slot& slot : slots_) {
    void* value = slot.pointer;
    switch (slot.kind) {
      case Kind::kCallers:
        break;
      case Kind::kInt:
        value = &slot.i;
        break;
      case Kind::kFloat:
        value = &slot.f;
        break;
      case Kind::kBool:
        value = &slot.b;
        break;
    }
    pairs_.push_back({slot.key, value});
  }
  pairs_.push_back({nullptr, nullptr});
  return pairs_.data();
}

const OptionListBuilder::Slot* OptionListBuilder::kept(std::string_view key, Kind kind) const {
  for (const Slot& slot : slots_) {
    if (slot.kind == kind && key == slot.key) return &slot;
  }
  return nullptr;
}

bool OptionListBuilder::boolAt(std::string_view key, bool fallback) const {
  const Slot* slot = kept(key, Kind::kBool);
  return slot != nullptr ? slot->b != 0 : fallback;
}

int32_t OptionListBuilder::intAt(std::string_view key, int32_t fallback) const {
  const Slot* slot = kept(key, Kind::kInt);
  return slot != nullptr ? slot->i : fallback;
}

}  // namespace pavlex

#include "host/widgets/option_list.h"

#include <cstring>

namespace pavlex::host {

MQOptionPair* OptionListView::find(std::string_view key) const {
  if (list_ == nullptr) return nullptr;
  for (size_t i = 0; i < kMaxOptionPairs && list_[i].key != nullptr; ++i) {
    if (key == list_[i].key) return &list_[i];
  }
  return nullptr;
}

std::optional<int32_t> OptionListView::intValue(std::string_view key) const {
  const int32_t* value = result<int32_t>(key);
  if (value == nullptr) return std::nullopt;
  return *value;
}

std::optional<bool> OptionListView::boolValue(std::string_view key) const {
  const uint8_t* value = result<uint8_t>(key);
  if (value == nullptr) return std::nullopt;
  return *value != 0;
}

const char* OptionListView::narrow(std::string_view key) const {
  return result<const char>(key);
}

const MQWChar* OptionListView::wide(std::string_view key) const {
  return result<const MQWChar>(key);
}

void OptionListBuilder::addInt(const char* key, int32_t value) {
  Slot slot{key, 0};
  slot.i = value;
  slots_.push_back(slot);
}

void OptionListBuilder::addFloat(const char* key, float value) {
  Slot slot{key, 1};
  slot.f = value;
  slots_.push_back(slot);
}

void OptionListBuilder::addPointer(const char* key, void* value) {
  Slot slot{key, 2};
  slot.p = value;
  slots_.push_back(slot);
}

void OptionListBuilder::addBool(const char* key, bool value) {
  Slot slot{key, 3};
  slot.b = value ? 1 : 0;
  slots_.push_back(slot);
}

MQOptionPair* OptionListBuilder::list() {
  pairs_.clear();
  for (Slot& slot : slots_) {
    void* value = nullptr;
    switch (slot.kind) {
      case 0:
        value = &slot.i;
        break;
      case 1:
        value = &slot.f;
        break;
      case 2:
        value = slot.p;
        break;
      default:
        value = &slot.b;
        break;
    }
    pairs_.push_back({slot.key, value});
  }
  pairs_.push_back({nullptr, nullptr});
  return pairs_.data();
}

bool OptionListBuilder::boolAt(const char* key) const {
  for (const Slot& slot : slots_) {
    if (slot.kind == 3 && std::strcmp(slot.key, key) == 0) return slot.b != 0;
  }
  return false;
}

}  // namespace pavlex::host

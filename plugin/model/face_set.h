// A set of face indices.
//
// Island floods test membership for every neighbour corner they look at, so
// membership is an open-addressing hash table (linear probing on a
// power-of-two table, kept at most half full) rather than a node-based
// container: a lookup is one multiply and, almost always, one cache line.
// Iteration runs over a list of the faces in insertion order instead of over
// the scattered table, so a tool that visits an island's faces after a flood
// reads them in the flood's spatially coherent order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pavlex {

class FaceSet {
 public:
  using const_iterator = std::vector<int32_t>::const_iterator;

  // Room for `faces` faces without growing.
  void Reserve(size_t faces) {
    if (faces > members_.size() && TableSizeFor(faces) > slots_.size()) Rehash(TableSizeFor(faces));
    members_.reserve(faces);
  }
  // True when the face was not in the set yet; a face is held once.
  // INT32_MIN marks empty slots and is never held: no host hands out that
  // face index.
  bool Insert(int32_t face) {
    if (face == kEmpty) return false;
    if (2 * (members_.size() + 1) > slots_.size()) Rehash(slots_.empty() ? 16 : 2 * slots_.size());
    size_t slot = SlotOf(face);
    while (slots_[slot] != kEmpty) {
      if (slots_[slot] == face) return false;
      slot = (slot + 1) & mask_;
    }
    slots_[slot] = face;
    members_.push_back(face);
    return true;
  }
  bool Contains(int32_t face) const {
    if (face == kEmpty || slots_.empty()) return false;
    for (size_t slot = SlotOf(face);; slot = (slot + 1) & mask_) {
      if (slots_[slot] == face) return true;
      if (slots_[slot] == kEmpty) return false;
    }
  }
  size_t size() const { return members_.size(); }
  bool empty() const { return size() == 0; }

  // Every face once, in the order it was first inserted.
  const_iterator begin() const { return members_.begin(); }
  const_iterator end() const { return members_.end(); }

 private:
  static constexpr int32_t kEmpty = INT32_MIN;

  static size_t TableSizeFor(size_t faces) {
    size_t size = 16;
    while (size < 2 * faces) size *= 2;
    return size;
  }
  // Fibonacci hashing: consecutive face indices spread over the table.
  size_t SlotOf(int32_t face) const {
    return static_cast<size_t>((static_cast<uint64_t>(static_cast<uint32_t>(face)) * 0x9E3779B97F4A7C15ull) >>
                               shift_);
  }
  void Rehash(size_t tableSize) {
    slots_.assign(tableSize, kEmpty);
    mask_ = tableSize - 1;
    shift_ = 64;
    for (size_t s = tableSize; s > 1; s >>= 1) --shift_;
    for (int32_t face : members_) {
      size_t slot = SlotOf(face);
      while (slots_[slot] != kEmpty) slot = (slot + 1) & mask_;
      slots_[slot] = face;
    }
  }

  std::vector<int32_t> slots_;
  size_t mask_ = 0;
  unsigned shift_ = 64;
  std::vector<int32_t> members_;  // insertion order
};

}  // namespace pavlex

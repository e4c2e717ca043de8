// A set of face indices.
//
// Island floods test membership for every neighbour corner they look at, so
// the set is an open-addressing hash table (linear probing on a power-of-two
// table, kept at most half full) rather than a node-based container: a
// lookup is one multiply and, almost always, one cache line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace pavlex {

class FaceSet {
 public:
  // Visits every face once, in the table's own order.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = int32_t;
    using difference_type = std::ptrdiff_t;
    using pointer = const int32_t*;
    using reference = int32_t;

    int32_t operator*() const { return set_->slots_[slot_]; }
    const_iterator& operator++() {
      ++slot_;
      SkipEmpty();
      return *this;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.slot_ == b.slot_; }
    friend bool operator!=(const const_iterator& a, const const_iterator& b) { return a.slot_ != b.slot_; }

   private:
    friend class FaceSet;
    const_iterator(const FaceSet* set, size_t slot) : set_(set), slot_(slot) { SkipEmpty(); }
    void SkipEmpty() {
      while (slot_ < set_->slots_.size() && set_->slots_[slot_] == kEmpty) ++slot_;
    }
    const FaceSet* set_;
    size_t slot_;
  };

  // Room for `faces` faces without growing.
  void Reserve(size_t faces) {
    if (faces > size_ && TableSizeFor(faces) > slots_.size()) Rehash(TableSizeFor(faces));
  }
  // True when the face was not in the set yet; a face is held once.
  // INT32_MIN marks empty slots and is never held: no host hands out that
  // face index.
  bool Insert(int32_t face) {
    if (face == kEmpty) return false;
    if (2 * (size_ + 1) > slots_.size()) Rehash(slots_.empty() ? 16 : 2 * slots_.size());
    size_t slot = SlotOf(face);
    while (slots_[slot] != kEmpty) {
      if (slots_[slot] == face) return false;
      slot = (slot + 1) & mask_;
    }
    slots_[slot] = face;
    ++size_;
    return true;
  }
  bool Contains(int32_t face) const {
    if (face == kEmpty || slots_.empty()) return false;
    for (size_t slot = SlotOf(face);; slot = (slot + 1) & mask_) {
      if (slots_[slot] == face) return true;
      if (slots_[slot] == kEmpty) return false;
    }
  }
  size_t size() const { return size_; }
  bool empty() const { return size() == 0; }

  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, slots_.size()); }

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
    std::vector<int32_t> old;
    old.swap(slots_);
    slots_.assign(tableSize, kEmpty);
    mask_ = tableSize - 1;
    shift_ = 64;
    for (size_t s = tableSize; s > 1; s >>= 1) --shift_;
    size_ = 0;
    for (int32_t face : old) {
      if (face != kEmpty) Insert(face);
    }
  }

  std::vector<int32_t> slots_;
  size_t mask_ = 0;
  unsigned shift_ = 64;
  size_t size_ = 0;  // faces held
};

}  // namespace pavlex

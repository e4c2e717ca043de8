#include "plugin/tools/transform/value_order.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace pavlex {
namespace {

// Past this many distinct values the table would leave the cache; the
// radix sort's cost does not grow with them.
constexpr size_t kMostRankedValues = size_t{1} << 16;

// The distinct orders among the entries, in an open-addressing table
// (0 marks an empty slot: FloatOrderBits never gives it), each with a
// count and later its rank.
class ValueTable {
 public:
  ValueTable() { Resize(1024); }

  // False once there are more than kMostRankedValues distinct values.
  bool Count(const std::vector<OrderedCorner>& entries) {
    for (const OrderedCorner& e : entries) {
      Slot& slot = Find(e.order);
      if (slot.order == 0) {
        if (distinct_ == kMostRankedValues) return false;
        slot.order = e.order;
        ++distinct_;
        if (2 * distinct_ > slots_.size()) {
          Resize(2 * slots_.size());
          ++Find(e.order).value;
          continue;
        }
      }
      ++slot.value;
    }
    return true;
  }

  // Replaces each count by the first place of its value in the sorted
  // list.
  void CountsToPlaces() {
    std::vector<uint32_t> orders;
    orders.reserve(distinct_);
    for (const Slot& slot : slots_) {
      if (slot.order != 0) orders.push_back(slot.order);
    }
    std::sort(orders.begin(), orders.end());
    uint32_t place = 0;
    for (const uint32_t order : orders) {
      Slot& slot = Find(order);
      const uint32_t count = slot.value;
      slot.value = place;
      place += count;
    }
  }

  // The next place for a value, counting it taken.
  uint32_t TakePlace(uint32_t order) { return Find(order).value++; }

 private:
  struct Slot {
    uint32_t order;
    uint32_t value;  // count, then next place
  };

  Slot& Find(uint32_t order) {
    size_t at = (order * 0x9E3779B1u) >> shift_;
    while (slots_[at].order != 0 && slots_[at].order != order) at = (at + 1) & (slots_.size() - 1);
    return slots_[at];
  }

  void Resize(size_t size) {
    std::vector<Slot> old(size, Slot{0, 0});
    old.swap(slots_);
    shift_ = 32;
    for (size_t s = size; s > 1; s >>= 1) --shift_;
    for (const Slot& slot : old) {
      if (slot.order != 0) Find(slot.order) = slot;
    }
  }

  std::vector<Slot> slots_;
  unsigned shift_ = 32;
  size_t distinct_ = 0;
};

// Least significant byte first, stable; a byte that every entry shares is
// not passed over.
void RadixSort(std::vector<OrderedCorner>& entries) {
  std::vector<OrderedCorner> scratch(entries.size());
  size_t counts[4][257] = {};
  for (const OrderedCorner& e : entries) {
    for (unsigned b = 0; b < 4; ++b) ++counts[b][((e.order >> (8 * b)) & 0xFFu) + 1];
  }
  for (unsigned b = 0; b < 4; ++b) {
    size_t* start = counts[b];
    if (std::count(start + 1, start + 257, entries.size()) == 1) continue;
    for (size_t k = 0; k < 256; ++k) start[k + 1] += start[k];
    const unsigned shift = 8 * b;
    for (const OrderedCorner& e : entries) scratch[start[(e.order >> shift) & 0xFFu]++] = e;
    entries.swap(scratch);
  }
}

}  // namespace

void SortByValueOrder(std::vector<OrderedCorner>& entries) {
  if (entries.size() < 2) return;
  ValueTable table;
  // Places are counted in 32 bits.
  if (entries.size() > UINT32_MAX || !table.Count(entries)) {
    RadixSort(entries);
    return;
  }
  table.CountsToPlaces();
  std::vector<OrderedCorner> sorted(entries.size());
  for (const OrderedCorner& e : entries) sorted[table.TakePlace(e.order)] = e;
  entries.swap(sorted);
}

}  // namespace pavlex

// Selected corners put in the order of one coordinate's value, for Equal
// Alloc: equal values side by side in the order they were collected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "plugin/model/uv_vertex_key.h"

namespace pavlex {

// An unsigned number that orders like the float: equal for 0.0 and -0.0,
// ascending with the value. NaN must be kept out beforehand; no other
// value gives 0.
inline uint32_t FloatOrderBits(float value) {
  if (value == 0.0f) value = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

struct OrderedCorner {
  uint32_t order;  // FloatOrderBits of the corner's value
  UVVertexRef corner;
};

// Sorts ascending by `order`, stable, in linear time (least significant
// byte first).
void RadixSortByOrder(std::vector<OrderedCorner>& entries);

// Corners collected one by one and handed back ascending by value, equal
// values in the order they were added.
//
// A selection holds few distinct values next to its corner count (a grid's
// rows or columns), so each corner goes straight into its value's bucket:
// a chain of small chunks carved from large blocks. That writes every
// corner once, into memory that is never moved or copied, and leaves no
// sort pass over the corners: only the distinct values are sorted. Past
// kMostBucketedValues distinct values the buckets would leave the cache
// and their half-empty chunks would outweigh the corners, so the corners
// are poured into one flat list and radix sorted instead.
//
//   ValueBuckets values;
//   values.Add(FloatOrderBits(u), {face, corner});  ...
//   values.Finish();
//   values.ForEachInOrder([](uint32_t rank, UVVertexRef corner) { ... });
class ValueBuckets {
 public:
  static constexpr size_t kMostBucketedValues = size_t{1} << 16;

  ValueBuckets();
  ~ValueBuckets();
  ValueBuckets(const ValueBuckets&) = delete;
  ValueBuckets& operator=(const ValueBuckets&) = delete;

  // `order` as FloatOrderBits gives it (never 0). Inline: called once per
  // selected corner.
  void Add(uint32_t order, UVVertexRef corner) {
    if (flat_) {
      list_.push_back({order, corner});
      return;
    }
    Slot& slot = Find(order);
    if (slot.order == 0) {
      AddValue(slot, order, corner);
      return;
    }
    Bucket& bucket = buckets_[slot.bucket];
    if (bucket.free == bucket.end) Grow(bucket);
    *bucket.free++ = corner;
  }

  // Ranks the values; call once, after the last Add.
  void Finish();

  // Distinct values added (0.0 and -0.0 count as one); valid after Finish.
  size_t distinct() const { return distinct_; }

  // Calls visit(rank, corner) for every corner added, ascending by value,
  // equal values in the order added; rank counts the distinct values from
  // 0. Valid after Finish.
  template <class Visit>
  void ForEachInOrder(Visit&& visit) const {
    if (flat_) {
      uint32_t rank = 0;
      for (size_t k = 0; k < list_.size(); ++k) {
        if (k > 0 && list_[k - 1].order != list_[k].order) ++rank;
        visit(rank, list_[k].corner);
      }
      return;
    }
    for (uint32_t rank = 0; rank < ranked_.size(); ++rank) {
      for (const Chunk* chunk = buckets_[ranked_[rank]].head; chunk != nullptr; chunk = chunk->next) {
        // The next chunk of a value lies wherever the block stood when it
        // was carved: ask for it while this one is worked through.
        if (chunk->next != nullptr) __builtin_prefetch(chunk->next);
        const UVVertexRef* corners = chunk->corners();
        for (uint32_t k = 0; k < chunk->used; ++k) visit(rank, corners[k]);
      }
    }
  }

 private:
  // A chunk's corners follow its header. A value's first chunk is small,
  // and each next one twice the size up to kLargestChunkBytes: a value
  // with few corners wastes little, and the walk by value, which reads a
  // value's chunks one after another, jumps to another page (a page-table
  // walk each, costly in a virtual machine) every 126 corners rather than
  // every 14. Larger chunks cost more than they save: the collection
  // writes to the tail chunk of every value of a grid row in turn, and
  // the further apart those tails lie, the more pages it writes to.
  // (1,000,000-face grid: 128-byte chunks only, collection 40 ms and
  // walk 45 ms over the host calls; growing to 1 KiB, 45 and about 5;
  // to 16 KiB, 70 and about 0.)
  struct Chunk {
    Chunk* next;
    uint32_t used;
    uint32_t capacity;
    UVVertexRef* corners() { return reinterpret_cast<UVVertexRef*>(this + 1); }
    const UVVertexRef* corners() const { return reinterpret_cast<const UVVertexRef*>(this + 1); }
  };
  static constexpr size_t kFirstChunkBytes = 128;
  static constexpr size_t kLargestChunkBytes = size_t{1} << 10;
  // Blocks are taken uninitialised and carved front to back; the pages of
  // a chunk's unused tail are never written, so they never cost memory.
  static constexpr size_t kBlockBytes = size_t{2} << 20;

  // The filling of the tail chunk is kept here, in memory the collection
  // keeps in the cache, rather than in the chunk's header: an add then
  // reads nothing in the chunk it writes to. The tail's `used` is set when
  // it is closed.
  struct Bucket {
    Chunk* head;
    Chunk* tail;
    UVVertexRef* free;  // the tail's next free corner
    UVVertexRef* end;   // past the tail's last corner
    uint32_t order;
  };
  // Open addressing over the distinct orders; 0 marks an empty slot.
  struct Slot {
    uint32_t order;
    uint32_t bucket;
  };

  Slot& Find(uint32_t order) {
    size_t at = (order * 0x9E3779B1u) >> shift_;
    while (slots_[at].order != 0 && slots_[at].order != order) at = (at + 1) & (slots_.size() - 1);
    return slots_[at];
  }
  // Opens a bucket for a new value with its first corner in it; past
  // kMostBucketedValues, turns to the flat list and adds the corner there.
  void AddValue(Slot& slot, uint32_t order, UVVertexRef corner);
  void Resize(size_t size);
  // The first chunk of a value, or the one after `full`.
  Chunk* NewChunk(const Chunk* full = nullptr);
  // Closes the bucket's full tail and opens the next chunk.
  void Grow(Bucket& bucket);
  // Sets the `used` of every bucket's tail.
  void CloseTails();
  void PourIntoList();

  std::vector<Slot> slots_;
  unsigned shift_ = 32;
  std::vector<Bucket> buckets_;
  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  size_t carved_ = kBlockBytes;  // bytes taken from the last block
  std::vector<uint32_t> ranked_;  // bucket numbers, ascending by value
  bool flat_ = false;
  std::vector<OrderedCorner> list_;  // in flat mode
  size_t distinct_ = 0;
};

}  // namespace pavlex

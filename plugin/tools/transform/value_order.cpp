#include "plugin/tools/transform/value_order.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <numeric>

namespace pavlex {

// Least significant byte first, stable; a byte that every entry shares is
// not passed over.
void RadixSortByOrder(std::vector<OrderedCorner>& entries) {
  if (entries.size() < 2) return;
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

ValueBuckets::ValueBuckets() { Resize(1024); }

ValueBuckets::~ValueBuckets() = default;

void ValueBuckets::AddValue(Slot& slot, uint32_t order, UVVertexRef corner) {
  if (distinct_ == kMostBucketedValues) {
    PourIntoList();
    list_.push_back({order, corner});
    return;
  }
  slot.order = order;
  slot.bucket = static_cast<uint32_t>(buckets_.size());
  Chunk* chunk = NewChunk();
  UVVertexRef* first = chunk->corners();
  *first = corner;
  buckets_.push_back({chunk, chunk, first + 1, first + chunk->capacity, order});
  ++distinct_;
  if (2 * distinct_ > slots_.size()) Resize(2 * slots_.size());
}

void ValueBuckets::Resize(size_t size) {
  std::vector<Slot> old(size, Slot{0, 0});
  old.swap(slots_);
  shift_ = 32;
  for (size_t s = size; s > 1; s >>= 1) --shift_;
  for (const Slot& slot : old) {
    if (slot.order != 0) Find(slot.order) = slot;
  }
}

ValueBuckets::Chunk* ValueBuckets::NewChunk(const Chunk* full) {
  size_t bytes = kFirstChunkBytes;
  if (full != nullptr) bytes = std::min(2 * (sizeof(Chunk) + full->capacity * sizeof(UVVertexRef)), kLargestChunkBytes);
  if (kBlockBytes - carved_ < bytes) {
    blocks_.emplace_back(new unsigned char[kBlockBytes]);
    carved_ = 0;
  }
  static_assert(sizeof(Chunk) % alignof(UVVertexRef) == 0 && kFirstChunkBytes % alignof(Chunk) == 0,
                "chunks of doubling sizes keep both the header and the corners aligned");
  void* at = blocks_.back().get() + carved_;
  carved_ += bytes;
  return new (at) Chunk{nullptr, 0, static_cast<uint32_t>((bytes - sizeof(Chunk)) / sizeof(UVVertexRef))};
}

void ValueBuckets::Grow(Bucket& bucket) {
  bucket.tail->used = bucket.tail->capacity;
  Chunk* chunk = NewChunk(bucket.tail);
  bucket.tail = bucket.tail->next = chunk;
  bucket.free = chunk->corners();
  bucket.end = bucket.free + chunk->capacity;
}

void ValueBuckets::CloseTails() {
  for (Bucket& bucket : buckets_) bucket.tail->used = static_cast<uint32_t>(bucket.free - bucket.tail->corners());
}

// Bucket after bucket: the radix sort is stable, so each value's corners
// keep their order, and every corner added later goes after them.
void ValueBuckets::PourIntoList() {
  CloseTails();
  size_t corners = 0;
  for (const Bucket& bucket : buckets_) {
    for (const Chunk* chunk = bucket.head; chunk != nullptr; chunk = chunk->next) corners += chunk->used;
  }
  list_.reserve(2 * corners);
  for (const Bucket& bucket : buckets_) {
    for (const Chunk* chunk = bucket.head; chunk != nullptr; chunk = chunk->next) {
      for (uint32_t k = 0; k < chunk->used; ++k) list_.push_back({bucket.order, chunk->corners()[k]});
    }
  }
  flat_ = true;
  std::vector<Bucket>().swap(buckets_);
  std::vector<std::unique_ptr<unsigned char[]>>().swap(blocks_);
}

void ValueBuckets::Finish() {
  if (flat_) {
    RadixSortByOrder(list_);
    distinct_ = 0;
    for (size_t k = 0; k < list_.size(); ++k) distinct_ += k == 0 || list_[k - 1].order != list_[k].order ? 1 : 0;
    return;
  }
  CloseTails();
  ranked_.resize(buckets_.size());
  std::iota(ranked_.begin(), ranked_.end(), uint32_t{0});
  std::sort(ranked_.begin(), ranked_.end(),
            [&](uint32_t a, uint32_t b) { return buckets_[a].order < buckets_[b].order; });
}

}  // namespace pavlex

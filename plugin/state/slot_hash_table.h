// Hash sets and maps for the memory and lock slots, which hold millions of
// keys on a big mesh. The nodes live in one array linked by 32-bit indices
// and the buckets are an array of indices, so a million inserts make no
// million allocations and emptying a slot frees two blocks.
//
// Restore and the lock pass send their host calls in the order these
// containers are walked, and that order has always been the one of the C++
// library's unordered containers. So the placement rules are the library's
// own, step for step: a key landing in an empty bucket goes to the front of
// the one list of nodes (the bucket that started the list before now starts
// after it), a key landing in a used bucket goes first in that bucket, and a
// rehash walks the list in order, placing each node by the same two rules.
// Bucket counts and the moments of growth come from the library's own
// policy object, so they cannot drift from it. A test walks both containers
// after the same inserts and compares them key by key.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <iterator>
#include <type_traits>
#include <unordered_set>
#include <utility>
#include <vector>

#if !defined(__GLIBCXX__)
#error "slot_hash_table.h follows the bucket policy of GNU libstdc++'s unordered containers"
#endif

namespace pavlex {

namespace slot_table {

// The library's policy: prime bucket counts, growth by doubling at the
// maximum load factor.
using RehashPolicy = std::__detail::_Prime_rehash_policy;

constexpr uint32_t kNone = 0xFFFFFFFFu;  // end of the list; an empty bucket

// Entry is what a walk yields; KeyOf reads its key. The hash must answer
// below 2^32: only 32 bits of it are kept per node.
template <class Entry, class KeyOf, class Hash>
class Table {
 public:
  using Key = std::decay_t<decltype(KeyOf{}(std::declval<const Entry&>()))>;

  struct Node {
    Entry entry;
    uint32_t code;  // the key's hash
    uint32_t next;  // the next node of the list, or kNone
  };

  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Entry;
    using difference_type = std::ptrdiff_t;
    using pointer = const Entry*;
    using reference = const Entry&;

    const_iterator() = default;
    reference operator*() const { return nodes_[at_].entry; }
    pointer operator->() const { return &nodes_[at_].entry; }
    const_iterator& operator++() {
      at_ = nodes_[at_].next;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.at_ == b.at_; }
    friend bool operator!=(const const_iterator& a, const const_iterator& b) { return a.at_ != b.at_; }

   private:
    friend class Table;
    const_iterator(const Node* nodes, uint32_t at) : nodes_(nodes), at_(at) {}
    const Node* nodes_ = nullptr;
    uint32_t at_ = kNone;
  };

  // One bucket and no room reserved, as a default-made library container.
  Table() : buckets_(1, kNone) { nodes_.push_back(Node{Entry{}, 0, kNone}); }

  // Asks for at least `bucketHint` buckets, as the library's constructor.
  explicit Table(size_t bucketHint) : Table() {
    const size_t count = policy_._M_next_bkt(bucketHint);
    if (count > buckets_.size()) buckets_.assign(count, kNone);
  }

  Table(const Table&) = default;
  Table& operator=(const Table&) = default;
  // The source is left empty and usable, with one bucket.
  Table(Table&& other) : Table() { swap(other); }
  Table& operator=(Table&& other) {
    Table taken(std::move(other));
    swap(taken);
    return *this;
  }

  void swap(Table& other) noexcept {
    nodes_.swap(other.nodes_);
    buckets_.swap(other.buckets_);
    std::swap(size_, other.size_);
    std::swap(policy_, other.policy_);
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  size_t bucket_count() const { return buckets_.size(); }
  float max_load_factor() const { return policy_.max_load_factor(); }

  // As the library: a new policy, forgetting when it last planned to grow.
  void max_load_factor(float z) { policy_ = RehashPolicy(z); }

  void reserve(size_t count) {
    rehash(policy_._M_bkt_for_elements(count));
    if (count < kNone) nodes_.reserve(count + 1);
  }

  void rehash(size_t bucketCount) {
    const RehashPolicy::_State saved = policy_._M_state();
    bucketCount = std::max(policy_._M_bkt_for_elements(size_ + 1), bucketCount);
    bucketCount = policy_._M_next_bkt(bucketCount);
    if (bucketCount != buckets_.size()) {
      Rehash(bucketCount);
    } else {
      policy_._M_reset(saved);
    }
  }

  // Keeps the bucket count, as the library's clear().
  void clear() {
    nodes_.resize(1);
    nodes_[0].next = kNone;
    std::fill(buckets_.begin(), buckets_.end(), kNone);
    size_ = 0;
  }

  const_iterator begin() const { return {nodes_.data(), nodes_[0].next}; }
  const_iterator end() const { return {nodes_.data(), kNone}; }

  const_iterator find(const Key& key) const {
    const uint32_t code = Code(key);
    return {nodes_.data(), FindIn(Bucket(code, buckets_.size()), code, key)};
  }
  size_t count(const Key& key) const { return find(key) == end() ? 0 : 1; }

 protected:
  // Adds `entry` unless its key is present; true when added. A present key
  // keeps its entry.
  bool Insert(const Entry& entry) {
    const Key& key = KeyOf{}(entry);
    const uint32_t code = Code(key);
    size_t bucket = Bucket(code, buckets_.size());
    if (FindIn(bucket, code, key) != kNone) return false;

    if (nodes_.size() >= kNone) throw std::length_error("slot table: too many keys");
    const RehashPolicy::_State saved = policy_._M_state();
    const std::pair<bool, size_t> grow = policy_._M_need_rehash(buckets_.size(), size_, 1);
    if (grow.first) {
      try {
        Rehash(grow.second);
      } catch (...) {
        policy_._M_reset(saved);
        throw;
      }
      bucket = Bucket(code, buckets_.size());
    }
    const uint32_t at = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back(Node{entry, code, kNone});
    PlaceFirstInBucket(buckets_.data(), bucket, buckets_.size(), at);
    ++size_;
    return true;
  }

 private:
  static uint32_t Code(const Key& key) { return static_cast<uint32_t>(Hash{}(key)); }
  static size_t Bucket(uint32_t code, size_t bucketCount) { return code % bucketCount; }

  // The node with `key` in `bucket`, or kNone. A bucket's nodes follow one
  // another in the list; the run ends where the next node hashes elsewhere.
  uint32_t FindIn(size_t bucket, uint32_t code, const Key& key) const {
    const uint32_t before = buckets_[bucket];
    if (before == kNone) return kNone;
    const size_t bucketCount = buckets_.size();
    for (uint32_t at = nodes_[before].next;;) {
      const Node& node = nodes_[at];
      if (node.code == code && KeyOf{}(node.entry) == key) return at;
      at = node.next;
      if (at == kNone || Bucket(nodes_[at].code, bucketCount) != bucket) return kNone;
    }
  }

  // A bucket holds the node before its first one; node 0 stands before the
  // whole list.
  void PlaceFirstInBucket(uint32_t* buckets, size_t bucket, size_t bucketCount, uint32_t at) {
    Node& node = nodes_[at];
    if (buckets[bucket] != kNone) {
      Node& before = nodes_[buckets[bucket]];
      node.next = before.next;
      before.next = at;
      return;
    }
    node.next = nodes_[0].next;
    nodes_[0].next = at;
    if (node.next != kNone) buckets[Bucket(nodes_[node.next].code, bucketCount)] = at;
    buckets[bucket] = 0;
  }

  void Rehash(size_t bucketCount) {
    std::vector<uint32_t> buckets(bucketCount, kNone);
    uint32_t at = nodes_[0].next;
    nodes_[0].next = kNone;
    size_t frontBucket = 0;
    while (at != kNone) {
      Node& node = nodes_[at];
      const uint32_t next = node.next;
      const size_t bucket = Bucket(node.code, bucketCount);
      if (buckets[bucket] == kNone) {
        node.next = nodes_[0].next;
        nodes_[0].next = at;
        buckets[bucket] = 0;
        if (node.next != kNone) buckets[frontBucket] = at;
        frontBucket = bucket;
      } else {
        Node& before = nodes_[buckets[bucket]];
        node.next = before.next;
        before.next = at;
      }
      at = next;
    }
    buckets_.swap(buckets);
  }

  std::vector<Node> nodes_;      // [0] stands before the first node of the list
  std::vector<uint32_t> buckets_;
  size_t size_ = 0;
  RehashPolicy policy_;
};

template <class Key>
struct SetKeyOf {
  const Key& operator()(const Key& key) const { return key; }
};

template <class Key, class Mapped>
struct MapKeyOf {
  const Key& operator()(const std::pair<Key, Mapped>& entry) const { return entry.first; }
};

}  // namespace slot_table

// A set of keys; a walk yields the keys.
template <class Key, class Hash>
class SlotHashSet : public slot_table::Table<Key, slot_table::SetKeyOf<Key>, Hash> {
  using Base = slot_table::Table<Key, slot_table::SetKeyOf<Key>, Hash>;

 public:
  using Base::Base;
  // True when the key was not there yet.
  bool insert(const Key& key) { return this->Insert(key); }
};

// A map; a walk yields (key, value) pairs. Values cannot be changed in place.
template <class Key, class Mapped, class Hash>
class SlotHashMap : public slot_table::Table<std::pair<Key, Mapped>, slot_table::MapKeyOf<Key, Mapped>, Hash> {
  using Base = slot_table::Table<std::pair<Key, Mapped>, slot_table::MapKeyOf<Key, Mapped>, Hash>;

 public:
  using Base::Base;
  // True when the key was not there yet; a present key keeps its value.
  bool emplace(const Key& key, const Mapped& value) { return this->Insert({key, value}); }
};

}  // namespace pavlex

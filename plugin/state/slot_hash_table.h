// Hash sets and maps for the memory and lock slots, which hold millions of
// keys on a big mesh.
//
// Restore and the lock pass send their host calls in the order these
// containers are walked, and that order has always been the one of the C++
// library's unordered containers. That library keeps one list of nodes in
// which each bucket's nodes follow one another: a key landing in an empty
// bucket goes to the front of the list, a key landing in a used bucket goes
// first in that bucket's run, and a rehash takes the nodes in list order and
// places each by the same two rules into the new buckets.
//
// Here the nodes are stored in one array in exactly that list order, so a
// walk reads memory front to back, and a bucket holds the index of its run.
// Keys are added in batches: the batch is cut where the library would grow,
// and each piece is merged into the array with a few counting passes over
// the piece and the array (see Merge), instead of one dependent memory
// access after another per key. Bucket counts and the moments of growth come
// from the library's own policy object, so they cannot drift from it. A test
// walks both kinds of container after the same inserts and compares them
// key by key.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
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

constexpr uint32_t kNone = 0xFFFFFFFFu;     // an empty bucket
constexpr size_t kMaxSize = 0x7FFFFFFFu;  // node indices and counts fit 31 bits

// Entry is what a walk yields; KeyOf reads its key. The hash must answer
// below 2^32: only 32 bits of it are kept per node.
template <class Entry, class KeyOf, class Hash>
class Table {
 public:
  using Key = std::decay_t<decltype(KeyOf{}(std::declval<const Entry&>()))>;

  struct Node {
    Entry entry;
    uint32_t code;  // the key's hash
  };

  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = Entry;
    using difference_type = std::ptrdiff_t;
    using pointer = const Entry*;
    using reference = const Entry&;

    const_iterator() = default;
    reference operator*() const { return at_->entry; }
    pointer operator->() const { return &at_->entry; }
    const_iterator& operator++() {
      ++at_;
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++at_;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.at_ == b.at_; }
    friend bool operator!=(const const_iterator& a, const const_iterator& b) { return a.at_ != b.at_; }

   private:
    friend class Table;
    explicit const_iterator(const Node* at) : at_(at) {}
    const Node* at_ = nullptr;
  };

  // One bucket and no room reserved, as a default-made library container.
  Table() : buckets_(1, kNone) {}

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
    std::swap(policy_, other.policy_);
  }

  size_t size() const { return nodes_.size(); }
  bool empty() const { return nodes_.empty(); }
  size_t bucket_count() const { return buckets_.size(); }
  float max_load_factor() const { return policy_.max_load_factor(); }

  // As the library: a new policy, forgetting when it last planned to grow.
  void max_load_factor(float z) { policy_ = RehashPolicy(z); }

  void reserve(size_t count) {
    rehash(policy_._M_bkt_for_elements(count));
    nodes_.reserve(count);
  }

  void rehash(size_t bucketCount) {
    const RehashPolicy::_State saved = policy_._M_state();
    try {
      bucketCount = std::max(policy_._M_bkt_for_elements(nodes_.size() + 1), bucketCount);
      bucketCount = policy_._M_next_bkt(bucketCount);
      if (bucketCount != buckets_.size()) {
        std::vector<Node> regrouped;
        MergeScratch scratch;
        Merge(nullptr, 0, nodes_.data(), nodes_.size(), bucketCount, regrouped, scratch);
        nodes_.swap(regrouped);
        IndexBuckets(bucketCount);
      } else {
        policy_._M_reset(saved);
      }
    } catch (...) {
      policy_._M_reset(saved);
      throw;
    }
  }

  // Keeps the bucket count, as the library's clear().
  void clear() {
    nodes_.clear();
    std::fill(buckets_.begin(), buckets_.end(), kNone);
  }

  const_iterator begin() const { return const_iterator(nodes_.data()); }
  const_iterator end() const { return const_iterator(nodes_.data() + nodes_.size()); }

  const_iterator find(const Key& key) const {
    const uint32_t code = Code(key);
    const size_t bucket = Bucket(code, buckets_.size());
    const uint32_t start = buckets_[bucket];
    if (start == kNone) return end();
    for (size_t at = start; at < nodes_.size() && Bucket(nodes_[at].code, buckets_.size()) == bucket; ++at) {
      if (nodes_[at].code == code && KeyOf{}(nodes_[at].entry) == key) return const_iterator(&nodes_[at]);
    }
    return end();
  }
  size_t count(const Key& key) const { return find(key) == end() ? 0 : 1; }

 protected:
  // Adds the entries in order, as inserting them one by one into the
  // library's container would: an entry whose key is already there, or
  // earlier in the batch, is dropped. Answers how many were added. Costs a
  // few passes over the whole table, so keys come in batches, not one by one.
  size_t InsertAll(const Entry* entries, size_t count) {
    if (count == 0) return 0;
    if (count > kMaxSize - nodes_.size()) throw std::length_error("slot table: too many keys");
    std::vector<Node> fresh(count);
    for (size_t i = 0; i < count; ++i) fresh[i] = Node{entries[i], Code(KeyOf{}(entries[i]))};

    // Keys are nearly always new; a repeated key lands in the same run as
    // its first copy, so it shows after the merge and the batch is redone
    // without the repeats.
    std::vector<Node> merged;
    const RehashPolicy::_State saved = policy_._M_state();
    try {
      if (MergeBatch(fresh, merged)) return count;
      policy_._M_reset(saved);
      fresh = WithoutRepeats(fresh);
      if (!fresh.empty() && !MergeBatch(fresh, merged)) throw std::logic_error("slot table: repeat left");
      return fresh.size();
    } catch (...) {
      policy_._M_reset(saved);
      throw;
    }
  }

 private:
  static uint32_t Code(const Key& key) { return static_cast<uint32_t>(Hash{}(key)); }
  static size_t Bucket(uint32_t code, size_t bucketCount) {
    return static_cast<uint32_t>(code % static_cast<uint32_t>(bucketCount));
  }

  // Merges `fresh` (all keys assumed new) into the table, growing where the
  // library would. Commits and answers true when no run holds a key twice;
  // otherwise leaves the table as it was (apart from the policy's state,
  // which the caller restores) and answers false.
  bool MergeBatch(const std::vector<Node>& fresh, std::vector<Node>& merged) {
    size_t bucketCount = buckets_.size();
    const Node* current = nodes_.data();
    size_t currentSize = nodes_.size();
    std::vector<Node> grown;
    MergeScratch scratch;
    size_t from = 0;
    bool askFirst = true;  // false right after growing: the library inserts that key unasked
    while (from < fresh.size()) {
      // The piece up to the next growth: the library asks its policy before
      // each new key, which answers "no" at once while the count stays at
      // or below its planned size.
      size_t to = from;
      size_t newCount = 0;
      for (; to < fresh.size(); ++to) {
        if (to == from && !askFirst) continue;
        const size_t elements = currentSize + (to - from);
        if (elements + 1 <= policy_._M_next_resize) continue;
        const std::pair<bool, size_t> grow = policy_._M_need_rehash(bucketCount, elements, 1);
        if (grow.first) {
          newCount = grow.second;
          break;
        }
      }
      if (to > from) {
        Merge(current, currentSize, fresh.data() + from, to - from, bucketCount, merged, scratch);
        grown.swap(merged);
        current = grown.data();
        currentSize = grown.size();
        from = to;
      }
      if (newCount != 0) {
        // A rehash is the insert rule applied to the list in order.
        Merge(nullptr, 0, current, currentSize, newCount, merged, scratch);
        grown.swap(merged);
        current = grown.data();
        currentSize = grown.size();
        bucketCount = newCount;
        askFirst = false;
      } else {
        askFirst = true;
      }
    }
    if (HasRepeat(grown, bucketCount)) return false;
    nodes_.swap(grown);
    IndexBuckets(bucketCount);
    return true;
  }

  // Scratch kept across the pieces of one batch, so each piece reuses the
  // memory the one before it touched.
  struct MergeScratch {
    struct Slot {
      uint32_t count;  // new nodes in the bucket, kOldRun added when `old` uses it
      uint32_t at;     // first new node, later where the next one goes
    };
    static constexpr uint32_t kOldRun = 0x80000000u;
    std::vector<Slot> slots;
    std::vector<uint32_t> buckets;  // per new node
  };

  // Inserting `fresh` in order into the list `old` (grouped by bucket for
  // `bucketCount`, as the library keeps it) by the library's rule gives:
  // first the buckets `old` does not use, newest first, each with its new
  // nodes newest first; then each run of `old` in order, with that bucket's
  // new nodes, newest first, in front of it. Counting sorts build that.
  static void Merge(const Node* old, size_t oldSize, const Node* fresh, size_t freshSize, size_t bucketCount,
                    std::vector<Node>& out, MergeScratch& scratch) {
    using Slot = typename MergeScratch::Slot;
    constexpr uint32_t kOldRun = MergeScratch::kOldRun;
    std::vector<Slot>& slots = scratch.slots;
    std::vector<uint32_t>& buckets = scratch.buckets;
    slots.assign(bucketCount, Slot{0, kNone});
    buckets.resize(freshSize);
    for (size_t i = 0; i < oldSize; ++i) slots[Bucket(old[i].code, bucketCount)].count = kOldRun;
    for (size_t i = 0; i < freshSize; ++i) {
      const size_t b = Bucket(fresh[i].code, bucketCount);
      buckets[i] = static_cast<uint32_t>(b);
      Slot& slot = slots[b];
      if ((slot.count++ & ~kOldRun) == 0) slot.at = static_cast<uint32_t>(i);
    }
    // Where each bucket's new nodes start. A bucket's first new node is the
    // last one met walking backwards, so its slot is free to take the place.
    uint32_t place = 0;
    for (size_t i = freshSize; i-- > 0;) {
      Slot& slot = slots[buckets[i]];
      if (slot.at == i && (slot.count & kOldRun) == 0) {
        slot.at = place;
        place += slot.count;
      }
    }
    out.resize(oldSize + freshSize);
    for (size_t i = 0; i < oldSize;) {
      const size_t b = Bucket(old[i].code, bucketCount);
      Slot& slot = slots[b];
      slot.at = place;
      place += slot.count & ~kOldRun;
      for (; i < oldSize && Bucket(old[i].code, bucketCount) == b; ++i) out[place++] = old[i];
    }
    for (size_t i = freshSize; i-- > 0;) out[slots[buckets[i]].at++] = fresh[i];
  }

  // Two nodes with one key share a bucket and so a run.
  static bool HasRepeat(const std::vector<Node>& nodes, size_t bucketCount) {
    for (size_t start = 0; start < nodes.size();) {
      const size_t b = Bucket(nodes[start].code, bucketCount);
      size_t end = start + 1;
      while (end < nodes.size() && Bucket(nodes[end].code, bucketCount) == b) ++end;
      for (size_t i = start; i + 1 < end; ++i) {
        for (size_t j = i + 1; j < end; ++j) {
          if (nodes[i].code == nodes[j].code && KeyOf{}(nodes[i].entry) == KeyOf{}(nodes[j].entry)) return true;
        }
      }
      start = end;
    }
    return false;
  }

  // The entries whose key is neither in the table nor earlier in `fresh`.
  std::vector<Node> WithoutRepeats(const std::vector<Node>& fresh) const {
    struct KeyHash {
      size_t operator()(const Key& key) const { return Hash{}(key); }
    };
    std::unordered_set<Key, KeyHash> seen;
    std::vector<Node> kept;
    for (const Node& node : fresh) {
      const Key& key = KeyOf{}(node.entry);
      if (find(key) != end() || !seen.insert(key).second) continue;
      kept.push_back(node);
    }
    return kept;
  }

  void IndexBuckets(size_t bucketCount) {
    buckets_.assign(bucketCount, kNone);
    size_t previous = bucketCount;
    for (size_t i = 0; i < nodes_.size(); ++i) {
      const size_t b = Bucket(nodes_[i].code, bucketCount);
      if (b != previous) buckets_[b] = static_cast<uint32_t>(i);
      previous = b;
    }
  }

  std::vector<Node> nodes_;        // in the order of the library's list
  std::vector<uint32_t> buckets_;  // index of the bucket's first node, or kNone
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
  // One key; true when it was not there yet. Each call rebuilds the table:
  // many keys go through insert_all.
  bool insert(const Key& key) { return this->InsertAll(&key, 1) == 1; }
  // Keys in order; answers how many were new.
  size_t insert_all(const std::vector<Key>& keys) { return this->InsertAll(keys.data(), keys.size()); }
};

// A map; a walk yields (key, value) pairs. Values cannot be changed in place.
// A key already present keeps its value.
template <class Key, class Mapped, class Hash>
class SlotHashMap : public slot_table::Table<std::pair<Key, Mapped>, slot_table::MapKeyOf<Key, Mapped>, Hash> {
  using Base = slot_table::Table<std::pair<Key, Mapped>, slot_table::MapKeyOf<Key, Mapped>, Hash>;

 public:
  using Base::Base;
  // One entry; true when its key was not there yet. Each call rebuilds the
  // table: many entries go through emplace_all.
  bool emplace(const Key& key, const Mapped& value) {
    const std::pair<Key, Mapped> entry{key, value};
    return this->InsertAll(&entry, 1) == 1;
  }
  // Entries in order; answers how many keys were new.
  size_t emplace_all(const std::vector<std::pair<Key, Mapped>>& entries) {
    return this->InsertAll(entries.data(), entries.size());
  }
};

}  // namespace pavlex

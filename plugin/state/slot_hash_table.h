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
// Keys are added in batches: the batch is cut where the library would grow.
// Inserting a piece into the list, and growing after it, both amount to
// inserting one sequence into empty buckets (the list backwards, which
// rebuilds it, or forwards, which is a rehash, then the piece), and that
// result has a closed form: the buckets newest first by the arrival of
// their first node, each bucket's nodes newest first. A few counting passes
// build it (see Group), instead of one dependent memory access after
// another per key. Bucket counts and the moments of growth come from the
// library's own policy object, so they cannot drift from it. A test walks
// both kinds of container after the same inserts and compares them key by
// key.
//
// With millions of keys the per-bucket counters span tens of megabytes,
// far beyond the core's cache, and each node reaches them at a random
// place. So the nodes are first grouped by window of buckets, and the
// counting runs window by window with that window's counters in cache; only
// the running sum that orders the buckets, and the final move of the nodes,
// walk the whole sequence. The bucket of a hash is a multiply instead of a
// division (BucketDivisor). The arrays of a batch are kept for the next one
// (see Kept): memory the process has just been handed costs more to touch
// than the passes themselves.
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

// `code % divisor` for 32-bit values by two multiplies instead of a
// division, exact for every code and every divisor from 1 to 2^32 - 1
// (Lemire, Kaser and Kurz, "Faster remainder by direct computation", 2019).
class BucketDivisor {
 public:
  explicit BucketDivisor(uint32_t divisor) : divisor_(divisor), inverse_(~uint64_t{0} / divisor + 1) {}
  uint32_t operator()(uint32_t code) const {
    const uint64_t fraction = inverse_ * code;  // the fractional part of code / divisor, in 2^-64 units
    // The high 64 bits of fraction * divisor, in two 32-bit halves: 32-bit
    // targets have no 128-bit integer. Neither sum can overflow.
    const uint64_t low = (fraction & 0xFFFFFFFFu) * divisor_;
    const uint64_t high = (fraction >> 32) * divisor_;
    return static_cast<uint32_t>((high + (low >> 32)) >> 32);
  }

 private:
  uint64_t divisor_;
  uint64_t inverse_;  // ceil(2^64 / divisor), 0 for a divisor of 1
};

// Hands out vector elements uninitialized where the type allows it: the
// merge writes every node it makes room for, so zeroing tens of megabytes
// first would only be thrown away.
template <class T>
struct UninitializedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitializedAllocator<U>;
  };
  UninitializedAllocator() = default;
  template <class U>
  UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(at)) U;
  }
  template <class U, class... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// One T from first use until the library unloads, for arrays worth
// keeping from one batch to the next. It lives behind a plain pointer,
// which outlives everything: a table destroyed while the library unloads
// finds it null and frees its own memory. The host calls the plug-in on one
// thread.
template <class T>
class Kept {
 public:
  static T* IfAny() { return Pointer(); }
  static T& Get() {
    if (Pointer() == nullptr) {
      struct Release {
        ~Release() {
          delete Pointer();
          Pointer() = nullptr;
        }
      };
      Pointer() = new T;
      static Release release;
    }
    return *Pointer();
  }

 private:
  static T*& Pointer() {
    static T* kept = nullptr;
    return kept;
  }
};

// Why arrays are kept: on a million faces a batch works through a few
// hundred megabytes, and memory the process has just been handed costs more
// to touch the first time (about half a millisecond a megabyte here) than
// the grouping spends on it. So the grouping's scratch and a spare bucket
// index are kept for every kind of table together, and the largest node
// array of a table gone (a batch's second buffer, or a slot's previous
// content) for each kind. A second spare array per kind would save another
// first touch per batch (about 30 ms of a Store on a million faces) but
// keep 64 to 96 MB more for as long as the plug-in is loaded.

// Scratch of one grouping, reused by the next: the per-bucket counters, and
// the nodes grouped by window of buckets.
struct GroupScratch {
  struct Slot {
    uint32_t count;  // nodes in the bucket
    uint32_t at;     // first node to arrive, later where the next one goes
  };
  struct Item {
    uint32_t bucket;
    uint32_t value;  // the node's place in the sequence, then what the passes work out for it
  };
  std::vector<Slot> slots;        // per bucket
  std::vector<uint32_t> buckets;  // per node of the sequence
  std::vector<Item> items;        // the nodes, grouped by window
  std::vector<uint32_t> windows;  // where each window's items start, and the end
  std::vector<uint32_t> cursors;  // per window, while items are taken in sequence order
  std::vector<uint32_t> codes;    // of the entries being added
  std::vector<uint32_t> index;    // a spare bucket index

  std::vector<uint32_t> TakeIndex() {
    std::vector<uint32_t> taken;
    taken.swap(index);
    return taken;
  }
  // Keeps the larger of `array` and the spare; `array` is left with the other.
  void GiveBackIndex(std::vector<uint32_t>& array) noexcept {
    if (array.capacity() > index.capacity()) index.swap(array);
  }
};

// Spare node arrays of one kind of table.
template <class NodeVector>
struct SpareNodeArrays {
  static constexpr size_t kMost = 1;
  std::vector<NodeVector> arrays;  // emptied

  // Room for every spare up front: a table's destructor hands its array
  // over, and must not need memory to do it.
  SpareNodeArrays() { arrays.reserve(kMost); }

  // An empty node array with room for `capacity` nodes: the smallest spare
  // that has it, unless that is over twice the room asked for (a small
  // table would hold on to a big array), else a new one.
  NodeVector Take(size_t capacity) {
    auto best = arrays.end();
    for (auto it = arrays.begin(); it != arrays.end(); ++it) {
      if (it->capacity() < capacity || it->capacity() / 2 > capacity) continue;
      if (best == arrays.end() || it->capacity() < best->capacity()) best = it;
    }
    NodeVector taken;
    if (best != arrays.end()) {
      taken.swap(*best);
      arrays.erase(best);
      taken.clear();
    }
    taken.reserve(capacity);
    return taken;
  }
  // Keeps `array`'s memory when it is among the largest; `array` is left empty.
  void GiveBack(NodeVector& array) noexcept {
    NodeVector given;
    given.swap(array);
    if (given.capacity() == 0) return;
    if (arrays.size() < kMost) {
      arrays.push_back(std::move(given));
      return;
    }
    auto smallest = std::min_element(arrays.begin(), arrays.end(), [](const NodeVector& a, const NodeVector& b) {
      return a.capacity() < b.capacity();
    });
    if (smallest->capacity() < given.capacity()) smallest->swap(given);
  }
};

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
  using NodeVector = std::vector<Node, UninitializedAllocator<Node>>;
  using Spares = SpareNodeArrays<NodeVector>;

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
  ~Table() {
    if (Spares* spares = Kept<Spares>::IfAny()) spares->GiveBack(nodes_);
    if (GroupScratch* scratch = Kept<GroupScratch>::IfAny()) scratch->GiveBackIndex(buckets_);
  }
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
        Spares& spares = Kept<Spares>::Get();
        GroupScratch& scratch = Kept<GroupScratch>::Get();
        NodeVector regrouped = spares.Take(nodes_.size());
        std::vector<uint32_t> index = scratch.TakeIndex();
        index.resize(bucketCount);
        Group(Sequence{nodes_.data(), nodes_.size(), false, {}, 0}, bucketCount, regrouped, scratch, index.data());
        nodes_.swap(regrouped);
        buckets_.swap(index);
        spares.GiveBack(regrouped);
        scratch.GiveBackIndex(index);
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
    return Find(key, Code(key), BucketDivisor(static_cast<uint32_t>(buckets_.size())));
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
    // Adding to a table that holds keys already (locking again) brings
    // mostly keys it has: those are dropped first, one lookup each, instead
    // of being found by a whole merge that fails.
    std::vector<Entry> absent;
    if (!nodes_.empty()) {
      absent = Absent(entries, count);
      if (absent.empty()) return 0;
      entries = absent.data();
      count = absent.size();
    }
    GroupScratch& scratch = Kept<GroupScratch>::Get();
    std::vector<uint32_t>& codes = scratch.codes;
    codes.resize(count);
    for (size_t i = 0; i < count; ++i) codes[i] = Code(KeyOf{}(entries[i]));

    // Keys are nearly always new; a repeated key lands in the same run as
    // its first copy, so it shows after the merge and the batch is redone
    // without the repeats.
    const RehashPolicy::_State saved = policy_._M_state();
    try {
      if (MergeBatch(EntrySource{entries, codes.data()}, count, scratch)) return count;
      policy_._M_reset(saved);
      const std::vector<Entry> unique = WithoutRepeats(entries, count);
      codes.resize(unique.size());
      for (size_t i = 0; i < unique.size(); ++i) codes[i] = Code(KeyOf{}(unique[i]));
      if (!unique.empty() && !MergeBatch(EntrySource{unique.data(), codes.data()}, unique.size(), scratch)) {
        throw std::logic_error("slot table: repeat left");
      }
      return unique.size();
    } catch (...) {
      policy_._M_reset(saved);
      throw;
    }
  }

 private:
  static uint32_t Code(const Key& key) { return static_cast<uint32_t>(Hash{}(key)); }

  // The entries of a batch with their codes.
  struct EntrySource {
    const Entry* entries;
    const uint32_t* codes;
    EntrySource from(size_t offset) const { return {entries + offset, codes + offset}; }
  };

  // The order in which nodes reach a bucket array: first the nodes of a
  // list, then new entries. A rehash walks the list forwards. Adding to the
  // table walks it backwards, which rebuilds the list exactly: each run ends
  // up in front of the runs before it, and its nodes newest first.
  struct Sequence {
    const Node* list;
    size_t listSize;
    bool listBackwards;
    EntrySource fresh;
    size_t freshSize;

    size_t size() const { return listSize + freshSize; }
    const Node& listNode(size_t i) const { return list[listBackwards ? listSize - 1 - i : i]; }
  };

  // Merges the `count` entries of `fresh` (all keys assumed new) into the
  // table, growing where the library would. Commits and answers true when no
  // run holds a key twice; otherwise leaves the table as it was (apart from
  // the policy's state, which the caller restores) and answers false.
  bool MergeBatch(const EntrySource& fresh, size_t count, GroupScratch& scratch) {
    // The pieces up to each growth: the library asks its policy before each
    // new key, which answers "no" at once while the count stays at or below
    // its planned size. Planned first, so every array is sized once.
    struct Piece {
      size_t to;          // the piece is fresh[from, to)
      size_t growTo = 0;  // then the bucket count it grows to, or 0
    };
    std::vector<Piece> pieces;
    size_t bucketCount = buckets_.size();
    size_t finalBuckets = bucketCount;
    {
      size_t size = nodes_.size();
      size_t from = 0;
      bool askFirst = true;  // false right after growing: the library inserts that key unasked
      while (from < count) {
        Piece piece{from};
        for (; piece.to < count; ++piece.to) {
          if (piece.to == from && !askFirst) continue;
          const size_t elements = size + (piece.to - from);
          if (elements + 1 <= policy_._M_next_resize) continue;
          const std::pair<bool, size_t> grow = policy_._M_need_rehash(finalBuckets, elements, 1);
          if (grow.first) {
            piece.growTo = grow.second;
            finalBuckets = grow.second;
            break;
          }
        }
        pieces.push_back(piece);
        size += piece.to - from;
        from = piece.to;
        askFirst = piece.growTo == 0;
      }
    }

    const size_t total = nodes_.size() + count;
    Spares& spares = Kept<Spares>::Get();
    NodeVector grown = spares.Take(total);
    NodeVector merged = spares.Take(total);
    // Adding a piece to a list, and growing afterwards, both come down to
    // grouping the list and the next piece as one sequence: a rehash is the
    // insert rule applied to the list in order.
    // The last grouping also writes the bucket index, into a spare until the
    // batch is known to hold no repeat.
    std::vector<uint32_t> index = scratch.TakeIndex();
    index.resize(finalBuckets);
    Sequence sequence{nodes_.data(), nodes_.size(), true, {}, 0};
    size_t from = 0;
    for (size_t p = 0; p < pieces.size(); ++p) {
      const Piece& piece = pieces[p];
      sequence.fresh = fresh.from(from);
      sequence.freshSize = piece.to - from;
      const bool last = p + 1 == pieces.size() && piece.growTo == 0;
      if (sequence.freshSize > 0) {
        Group(sequence, bucketCount, merged, scratch, last ? index.data() : nullptr);
        grown.swap(merged);
        sequence = Sequence{grown.data(), grown.size(), false, {}, 0};
      }
      from = piece.to;
      if (piece.growTo != 0) {
        bucketCount = piece.growTo;
        sequence.listBackwards = false;
      }
    }
    if (pieces.back().growTo != 0) {
      // The batch ended in growth: the list is regrouped alone.
      sequence.freshSize = 0;
      Group(sequence, bucketCount, merged, scratch, index.data());
      grown.swap(merged);
    }
    spares.GiveBack(merged);
    if (HasRepeat(grown, bucketCount)) {
      spares.GiveBack(grown);
      scratch.GiveBackIndex(index);
      return false;
    }
    nodes_.swap(grown);
    buckets_.swap(index);
    spares.GiveBack(grown);
    scratch.GiveBackIndex(index);
    return true;
  }

  // Each pass over the counters takes one window of buckets at a time, small
  // enough to stay in the core's cache (2^17 slots of 8 bytes).
  static constexpr unsigned kWindowBits = 17;

  // Puts the nodes of `sequence` into `out` as inserting them one by one into
  // an empty library container of `bucketCount` buckets would leave them:
  // the buckets newest first by the arrival of their first node, and each
  // bucket's nodes newest first. Counting sorts build that.
  //
  // Only the running place (where the next bucket goes) needs the
  // sequence's order; counting a bucket's nodes and handing out places
  // within it needs only that bucket's nodes in order. So the nodes are
  // grouped by window of buckets once, the per-bucket work runs window by
  // window with its counters in cache, and the running place is summed in
  // one pass in sequence order. With `index`, also writes the first node of
  // each bucket's run there (kNone for an empty bucket), `bucketCount` of
  // them.
  static void Group(const Sequence& sequence, size_t bucketCount, NodeVector& out, GroupScratch& scratch,
                    uint32_t* index) {
    using Slot = GroupScratch::Slot;
    using Item = GroupScratch::Item;
    if (bucketCount > 0xFFFFFFFFu) throw std::length_error("slot table: too many buckets");
    const BucketDivisor bucketOf(static_cast<uint32_t>(bucketCount));
    const size_t n = sequence.size();
    const size_t listSize = sequence.listSize;
    std::vector<Slot>& slots = scratch.slots;
    std::vector<uint32_t>& buckets = scratch.buckets;
    std::vector<Item>& items = scratch.items;
    std::vector<uint32_t>& windows = scratch.windows;
    std::vector<uint32_t>& cursors = scratch.cursors;

    // Buckets, and the nodes grouped by window in sequence order.
    const size_t windowCount = ((bucketCount - 1) >> kWindowBits) + 1;
    buckets.resize(n);
    windows.assign(windowCount + 1, 0);
    for (size_t i = 0; i < listSize; ++i) {
      buckets[i] = bucketOf(sequence.listNode(i).code);
      ++windows[(buckets[i] >> kWindowBits) + 1];
    }
    for (size_t i = listSize; i < n; ++i) {
      buckets[i] = bucketOf(sequence.fresh.codes[i - listSize]);
      ++windows[(buckets[i] >> kWindowBits) + 1];
    }
    for (size_t w = 0; w < windowCount; ++w) windows[w + 1] += windows[w];
    cursors.assign(windows.begin(), windows.end() - 1);
    items.resize(n);
    for (size_t i = 0; i < n; ++i) items[cursors[buckets[i] >> kWindowBits]++] = {buckets[i], static_cast<uint32_t>(i)};

    // Per bucket: its count and its first node. Then a bucket's first node
    // carries the count, every other node kNone. Each window's counters are
    // cleared as it is reached, while they are in cache anyway.
    slots.resize(bucketCount);
    for (size_t w = 0; w < windowCount; ++w) {
      const size_t first = w << kWindowBits;
      std::fill(slots.begin() + first, slots.begin() + std::min(bucketCount, first + (size_t{1} << kWindowBits)),
                Slot{0, kNone});
      for (size_t e = windows[w]; e < windows[w + 1]; ++e) {
        Slot& slot = slots[items[e].bucket];
        if (slot.count++ == 0) slot.at = items[e].value;
      }
      for (size_t e = windows[w]; e < windows[w + 1]; ++e) {
        const Slot& slot = slots[items[e].bucket];
        items[e].value = slot.at == items[e].value ? slot.count : kNone;
      }
    }

    // The running place, newest first node first: each count becomes its
    // bucket's place. Without branches: whether a node is its bucket's
    // first is a coin toss the processor cannot learn.
    cursors.assign(windows.begin() + 1, windows.end());
    uint32_t place = 0;
    for (size_t i = n; i-- > 0;) {
      uint32_t& value = items[--cursors[buckets[i] >> kWindowBits]].value;
      const bool first = value != kNone;
      const uint32_t count = first ? value : 0;
      value = first ? place : kNone;
      place += count;
    }

    // Per bucket again: where each node goes. The first node takes the
    // bucket's last place and each later one the place before, so the
    // newest comes first; the counter ends one before the bucket's run.
    for (size_t w = 0; w < windowCount; ++w) {
      for (size_t e = windows[w]; e < windows[w + 1]; ++e) {
        Slot& slot = slots[items[e].bucket];
        slot.at = items[e].value != kNone ? items[e].value + slot.count - 1 : slot.at;
        items[e].value = slot.at--;
      }
      if (index == nullptr) continue;
      const size_t first = w << kWindowBits;
      const size_t last = std::min(bucketCount, first + (size_t{1} << kWindowBits));
      for (size_t b = first; b < last; ++b) index[b] = slots[b].count == 0 ? kNone : slots[b].at + 1;
    }

    out.resize(n);
    Node* const to = out.data();
    cursors.assign(windows.begin() + 1, windows.end());
    for (size_t i = n; i-- > listSize;) {
      const size_t k = i - listSize;
      to[items[--cursors[buckets[i] >> kWindowBits]].value] = Node{sequence.fresh.entries[k], sequence.fresh.codes[k]};
    }
    for (size_t i = listSize; i-- > 0;) to[items[--cursors[buckets[i] >> kWindowBits]].value] = sequence.listNode(i);
  }

  // Two nodes with one key share a bucket and so a run.
  static bool HasRepeat(const NodeVector& nodes, size_t bucketCount) {
    const BucketDivisor bucketOf(static_cast<uint32_t>(bucketCount));
    const size_t n = nodes.size();
    size_t start = 0;
    uint32_t b = n > 0 ? bucketOf(nodes[0].code) : 0;
    while (start < n) {
      size_t end = start + 1;
      uint32_t next = 0;
      while (end < n && (next = bucketOf(nodes[end].code)) == b) ++end;
      for (size_t i = start; i + 1 < end; ++i) {
        for (size_t j = i + 1; j < end; ++j) {
          if (nodes[i].code == nodes[j].code && KeyOf{}(nodes[i].entry) == KeyOf{}(nodes[j].entry)) return true;
        }
      }
      start = end;
      b = next;
    }
    return false;
  }

  const_iterator Find(const Key& key, uint32_t code, const BucketDivisor& bucketOf) const {
    const uint32_t bucket = bucketOf(code);
    const uint32_t start = buckets_[bucket];
    if (start == kNone) return end();
    for (size_t at = start; at < nodes_.size() && bucketOf(nodes_[at].code) == bucket; ++at) {
      if (nodes_[at].code == code && KeyOf{}(nodes_[at].entry) == key) return const_iterator(&nodes_[at]);
    }
    return end();
  }

  // The entries whose key the table does not hold, in order. Each lookup
  // misses the cache twice (bucket, then node), so both are asked for a few
  // dozen entries ahead and the misses overlap.
  std::vector<Entry> Absent(const Entry* entries, size_t count) const {
    constexpr size_t kAhead = 16;
    const BucketDivisor bucketOf(static_cast<uint32_t>(buckets_.size()));
    std::vector<uint32_t> codes(count);
    for (size_t i = 0; i < count; ++i) codes[i] = Code(KeyOf{}(entries[i]));
    std::vector<Entry> absent;
    for (size_t i = 0; i < count; ++i) {
      if (i + 2 * kAhead < count) __builtin_prefetch(&buckets_[bucketOf(codes[i + 2 * kAhead])]);
      if (i + kAhead < count) {
        const uint32_t start = buckets_[bucketOf(codes[i + kAhead])];
        if (start != kNone) __builtin_prefetch(&nodes_[start]);
      }
      if (Find(KeyOf{}(entries[i]), codes[i], bucketOf) == end()) absent.push_back(entries[i]);
    }
    return absent;
  }

  // The entries whose key is neither in the table nor earlier in the batch.
  std::vector<Entry> WithoutRepeats(const Entry* entries, size_t count) const {
    struct KeyHash {
      size_t operator()(const Key& key) const { return Hash{}(key); }
    };
    const BucketDivisor bucketOf(static_cast<uint32_t>(buckets_.size()));
    std::unordered_set<Key, KeyHash> seen;
    std::vector<Entry> left;
    for (size_t i = 0; i < count; ++i) {
      const Key& key = KeyOf{}(entries[i]);
      if (Find(key, Code(key), bucketOf) != end() || !seen.insert(key).second) continue;
      left.push_back(entries[i]);
    }
    return left;
  }

  NodeVector nodes_;               // in the order of the library's list
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

// Model vertex -> the UV vertices (face corners) that use it.
//
// The index holds one entry per corner of every live face of one object, as
// the object was when the index was built, and no UVs: tools compare UVs
// read live from the host. A vertex's entries come in ascending face, then
// ascending corner order, which is the order the tools visit and write
// corners in, so results depend on it.
//
// The entries are kept in walk order, each linked to the next entry of its
// vertex, and each vertex names its first. That answers exactly what a
// vertex-keyed hash multimap in insertion order would, but a million-face
// object builds while it is read, in one pass and without sorting, and a
// lookup follows a vertex's few links through entries that sit near each
// other, as the faces of one vertex do in the walk.
//
// An index's arrays outlive it: the next build reuses them. On a million
// faces they are over 50 MB, and memory the process has just been handed
// costs more to touch first than the whole build takes, every press; kept,
// it is touched once. One set is kept, the largest built so far, until the
// plug-in is unloaded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "plugin/model/cmq_object.h"
#include "plugin/model/uv_vertex_key.h"

namespace pavlex {

class VertexUVIndex {
 public:
  static constexpr uint32_t kNone = 0xFFFFFFFFu;  // no entry (the end of a vertex's list)

  class Iterator {
   public:
    Iterator(const UVVertexKey* keys, const uint32_t* next, uint32_t at) : keys_(keys), next_(next), at_(at) {}
    UVVertexKey operator*() const { return keys_[at_]; }
    Iterator& operator++() {
      at_ = next_[at_];
      return *this;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }

   private:
    const UVVertexKey* keys_;
    const uint32_t* next_;
    uint32_t at_;
  };

  // A vertex's entries; empty for a vertex no live face uses.
  struct Entries {
    const UVVertexKey* keys;
    const uint32_t* next;
    uint32_t first;
    Iterator begin() const { return {keys, next, first}; }
    Iterator end() const { return {keys, next, kNone}; }
    bool empty() const { return first == kNone; }
    size_t size() const {
      size_t count = 0;
      for (uint32_t at = first; at != kNone; at = next[at]) ++count;
      return count;
    }
  };

  VertexUVIndex() = default;
  ~VertexUVIndex();  // keeps the arrays for the next build
  VertexUVIndex(VertexUVIndex&&) noexcept = default;
  VertexUVIndex& operator=(VertexUVIndex&&) noexcept = default;
  VertexUVIndex(const VertexUVIndex&) = delete;
  VertexUVIndex& operator=(const VertexUVIndex&) = delete;

  // Any vertex index is safe: those outside the object's vertex slots get
  // no entries. Inline: tools look a vertex up per selected corner.
  Entries Find(int32_t vertex) const {
    if (static_cast<uint32_t>(vertex) >= first_.size()) return {keys_.get(), next_.get(), kNone};
    return {keys_.get(), next_.get(), first_[static_cast<size_t>(vertex)]};
  }

  // The object's vertex slot count when the index was built; every vertex
  // with entries is below it.
  int32_t vertexBound() const { return static_cast<int32_t>(first_.size()); }
  size_t size() const { return keyCount_; }  // total entries
  bool empty() const { return keyCount_ == 0; }

 private:
  friend VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object);

  std::vector<uint32_t> first_;  // per vertex slot
  // Per entry, in walk order: its key and the next entry of its vertex.
  // Every element is written once by the build, so neither is zeroed first
  // (tens of megabytes on a million faces).
  std::unique_ptr<UVVertexKey[]> keys_;
  std::unique_ptr<uint32_t[]> next_;
  size_t keyCapacity_ = 0;  // elements of keys_ and of next_
  size_t keyCount_ = 0;
};

// Indexes every corner of every live face, walking the faces in ascending
// order. A corner whose vertex index lies outside the object's vertex slots
// (which a sound host never reports) is left out rather than trusted to size
// the table.
VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object);

}  // namespace pavlex

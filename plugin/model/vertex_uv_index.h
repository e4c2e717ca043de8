// Model vertex -> the UV vertices (face corners) that use it.
//
// The index holds one entry per corner of every live face of one object, as
// the object was when the index was built, and no UVs: tools compare UVs
// read live from the host. A vertex's entries come in ascending face, then
// ascending corner order, which is the order the tools visit and write
// corners in, so results depend on it.
//
// The table is flat (CSR): per vertex an offset into one array of keys,
// filled by counting over the live faces. That answers exactly what a
// vertex-keyed hash multimap in insertion order would, but a million-face
// object builds in one read of the host and two passes over what it read,
// and lookups touch one contiguous run instead of a bucket chain.
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
  // A vertex's entries; empty for a vertex no live face uses.
  struct Entries {
    const UVVertexKey* first;
    const UVVertexKey* last;
    const UVVertexKey* begin() const { return first; }
    const UVVertexKey* end() const { return last; }
    size_t size() const { return static_cast<size_t>(last - first); }
    bool empty() const { return first == last; }
  };

  // Any vertex index is safe: those outside the object's vertex slots get
  // no entries. Inline: tools look a vertex up per selected corner.
  Entries Find(int32_t vertex) const {
    if (static_cast<uint32_t>(vertex) >= static_cast<uint32_t>(vertexBound())) return {nullptr, nullptr};
    const auto v = static_cast<size_t>(vertex);
    return {keys_.get() + offsets_[v], keys_.get() + offsets_[v + 1]};
  }

  // The object's vertex slot count when the index was built; every vertex
  // with entries is below it.
  int32_t vertexBound() const { return offsets_.empty() ? 0 : static_cast<int32_t>(offsets_.size() - 1); }
  size_t size() const { return keyCount_; }  // total entries
  bool empty() const { return keyCount_ == 0; }

 private:
  friend VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object);

  std::vector<uint32_t> offsets_;  // vertexBound() + 1 entries, or none
  // Every key is written once by the build, so the array is not zeroed
  // first (tens of megabytes on a million faces).
  std::unique_ptr<UVVertexKey[]> keys_;
  size_t keyCount_ = 0;
};

// Indexes every corner of every live face, walking the faces in ascending
// order. A corner whose vertex index lies outside the object's vertex slots
// (which a sound host never reports) is left out rather than trusted to size
// the table.
VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object);

}  // namespace pavlex

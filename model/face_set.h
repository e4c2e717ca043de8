// A set of face indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>

namespace pavlex {

class FaceSet {
 public:
  using const_iterator = std::unordered_set<int32_t>::const_iterator;

  void Reserve(size_t faces) { faces_.reserve(faces); }
  // True when the face was not in the set yet; a face is held once.
  bool Insert(int32_t face) { return faces_.insert(face).second; }
  bool Contains(int32_t face) const { return faces_.count(face) != 0; }
  size_t size() const { return faces_.size(); }
  bool empty() const { return faces_.empty(); }

  // Visits every face once, in the container's own order.
  const_iterator begin() const { return faces_.begin(); }
  const_iterator end() const { return faces_.end(); }

 private:
  std::unordered_set<int32_t> faces_;
};

}  // namespace pavlex

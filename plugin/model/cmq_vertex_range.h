// The live vertices of one object, in ascending index order: vertex slots
// with at least one reference. Like CMQFaceRange, the walk asks the host
// for the vertex count at every step and at every end test.
//
//   for (int32_t vertex : cmq::CMQVertexRange(object)) ...
#pragma once

#include <cstdint>

#include "plugin/model/cmq_object.h"

namespace cmq {

class CMQVertexRange {
 public:
  struct End {};

  class Iterator {
   public:
    Iterator(int32_t index, const CMQObject* object) : index_(index), object_(object) {}
    int32_t operator*() const { return index_; }
    Iterator& operator++();
    bool operator!=(End) const { return index_ < object_->GetVertexCount(); }
    bool operator==(End end) const { return !(*this != end); }

   private:
    int32_t index_;
    const CMQObject* object_;
  };

  // `object` must outlive the range and its iterators.
  explicit CMQVertexRange(const CMQObject& object) : object_(&object) {}

  Iterator begin() const;
  End end() const { return {}; }

 private:
  const CMQObject* object_;
};

}  // namespace cmq

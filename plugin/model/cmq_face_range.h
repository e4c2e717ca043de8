// The live faces of one object, in ascending index order.
//
// The walk asks the host for the face count at every step and at every end
// test and skips slots with no corners, so faces deleted in the host while a
// tool runs show as skipped slots and the walk still visits ascending
// indices. The walk ends when the index reaches the face count (or passes
// it, if the object shrank).
//
//   for (const std::shared_ptr<cmq::CMQFace>& face : cmq::CMQFaceRange(object)) ...
#pragma once

#include <cstdint>
#include <memory>

#include "plugin/model/cmq_face.h"
#include "plugin/model/cmq_object.h"

namespace cmq {

class CMQFaceRange {
 public:
  struct End {};

  class Iterator {
   public:
    Iterator(int32_t index, const CMQObject* object) : index_(index), object_(object) {}
    int32_t index() const { return index_; }
    // A new handle on the current face.
    std::shared_ptr<CMQFace> operator*() const { return std::make_shared<CMQFace>(index_, object_); }
    Iterator& operator++() {
      ++index_;
      while (index_ < object_->GetFaceCount() && object_->GetFacePointCount(index_) < 1) ++index_;
      return *this;
    }
    bool operator!=(End) const { return index_ < object_->GetFaceCount(); }
    bool operator==(End end) const { return !(*this != end); }

   private:
    int32_t index_;
    const CMQObject* object_;
  };

  // `object` must outlive the range and its iterators.
  explicit CMQFaceRange(const CMQObject& object) : object_(&object) {}

  Iterator begin() const;
  End end() const { return {}; }

 private:
  const CMQObject* object_;
};

}  // namespace cmq

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

#include <cstddef>
#include <cstdint>
#include <memory>

#include "plugin/model/cmq_face.h"
#include "plugin/model/cmq_object.h"

namespace cmq {

// A walk holds one face handle at a time: the loop's handle is gone before
// the next is made. Its storage is kept for the next handle instead of
// going back to the heap, which a million-face walk would otherwise ask a
// million times.
class FaceHandleStorage {
 public:
  static constexpr size_t kBytes = 64;  // a handle with its shared count
  static void* Take(size_t bytes);
  static void Give(void* block, size_t bytes) noexcept;
};

template <class T>
struct FaceHandleAllocator {
  using value_type = T;
  FaceHandleAllocator() = default;
  template <class U>
  explicit FaceHandleAllocator(const FaceHandleAllocator<U>&) {}
  T* allocate(size_t n) { return static_cast<T*>(FaceHandleStorage::Take(n * sizeof(T))); }
  void deallocate(T* block, size_t n) noexcept { FaceHandleStorage::Give(block, n * sizeof(T)); }
  template <class U>
  bool operator==(const FaceHandleAllocator<U>&) const {
    return true;
  }
  template <class U>
  bool operator!=(const FaceHandleAllocator<U>&) const {
    return false;
  }
};

class CMQFaceRange {
 public:
  struct End {};

  class Iterator {
   public:
    Iterator(int32_t index, const CMQObject* object) : index_(index), object_(object) {}
    int32_t index() const { return index_; }
    // A new handle on the current face.
    std::shared_ptr<CMQFace> operator*() const {
      return std::allocate_shared<CMQFace>(FaceHandleAllocator<CMQFace>(), index_, object_);
    }
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

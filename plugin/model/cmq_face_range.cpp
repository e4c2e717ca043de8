#include "plugin/model/cmq_face_range.h"

namespace cmq {

namespace {

// The kept block, freed at unload. Walks run on the host's one thread.
struct SpareBlock {
  void* block = nullptr;
  ~SpareBlock() { ::operator delete(block); }
};
SpareBlock g_spare;

}  // namespace

void* FaceHandleStorage::Take(size_t bytes) {
  if (bytes <= kBytes && g_spare.block != nullptr) {
    void* block = g_spare.block;
    g_spare.block = nullptr;
    return block;
  }
  return ::operator new(bytes <= kBytes ? kBytes : bytes);
}

void FaceHandleStorage::Give(void* block, size_t bytes) noexcept {
  if (bytes <= kBytes && g_spare.block == nullptr) {
    g_spare.block = block;
    return;
  }
  ::operator delete(block);
}

CMQFaceRange::Iterator CMQFaceRange::begin() const {
  Iterator first(0, object_);
  const int32_t count = object_->GetFaceCount();
  if (count > 0 && object_->GetFacePointCount(0) <= 0) ++first;
  return first;
}

}  // namespace cmq

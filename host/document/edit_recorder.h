// The hook through which a document's objects tell the edit history what
// they are about to change. While a step is recorded, every mutating
// HostObject function reports the first write to each block of a
// per-element array, and the first structural edit of the object, before
// the change is made; between steps the hook is null and costs one test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pavlex::host {

class HostObject;

// The per-element arrays whose writes are recorded block by block. Writes
// that change array sizes or the corner layout are structural instead.
enum class TrackedArray : uint8_t {
  kPositions,       // MQPoint per vertex
  kVertexSelected,  // uint8_t per vertex
  kFaceMaterial,    // int32_t per face
  kFaceVisible,     // uint8_t per face
  kFaceSelected,    // uint8_t per face
  kFaceSmoothing,   // int32_t per face
  kCornerUV,        // MQCoordinate per corner
  kCornerFlags,     // uint8_t per corner (UV and line selection bits)
};
constexpr size_t kTrackedArrayCount = 8;

// Elements per recorded block: small enough that a scattered edit of a
// million-face object copies little, large enough that the per-block
// bookkeeping (one stamp each) stays a fraction of the array.
constexpr size_t kTrackedBlockShift = 10;
constexpr size_t kTrackedBlockSize = size_t{1} << kTrackedBlockShift;

class EditRecorder {
 public:
  // The step being recorded; never 0, never reused, so stamps an object
  // kept from an earlier step cannot match.
  uint32_t step() const { return step_; }

  // Before the first write of this step to elements
  // [block * kTrackedBlockSize, ...) of `array`. Must not throw: a recorder
  // that cannot keep the copy gives the step up instead.
  virtual void saveBlock(HostObject& object, TrackedArray array, size_t block) noexcept = 0;
  // Before the first structural edit of this step to `object` (faces or
  // vertices added, deleted, reordered or reversed). Must not throw.
  virtual void saveObject(HostObject& object) noexcept = 0;

 protected:
  explicit EditRecorder(uint32_t step) : step_(step) {}
  ~EditRecorder() = default;

 private:
  uint32_t step_;
};

}  // namespace pavlex::host

// A handle on one face of a cmq::CMQObject, made afresh for each face a
// tool visits and always held by shared pointer.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/model/cmq_object.h"

namespace cmq {

class CMQFace {
 public:
  // `object` is not owned and must outlive the face handle.
  CMQFace(int32_t index, const CMQObject* object) : index_(index), object_(object) {}
  // Forgets the face (index -1) and the object.
  ~CMQFace();
  CMQFace(const CMQFace&) = delete;
  CMQFace& operator=(const CMQFace&) = delete;

  int32_t index() const { return index_; }
  const CMQObject* object() const { return object_; }

  int32_t GetPointCount() const { return object_->GetFacePointCount(index_); }
  std::vector<int32_t> GetPointArray() const { return object_->GetFacePointArray(index_); }
  // Adds the whole face to the host's face selection.
  bool AddSelect() const { return object_->AddSelectFace(index_); }

 private:
  int32_t index_;
  const CMQObject* object_;
};

}  // namespace cmq

#include "plugin/model/cmq_face_range.h"

namespace cmq {

CMQFaceRange::Iterator CMQFaceRange::begin() const {
  Iterator first(0, object_);
  const int32_t count = object_->GetFaceCount();
  if (count > 0 && object_->GetFacePointCount(0) <= 0) ++first;
  return first;
}

}  // namespace cmq

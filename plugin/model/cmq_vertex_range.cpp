#include "plugin/model/cmq_vertex_range.h"

namespace cmq {

CMQVertexRange::Iterator& CMQVertexRange::Iterator::operator++() {
  ++index_;
  while (index_ < object_->GetVertexCount() && object_->GetVertexRefCount(index_) < 1) ++index_;
  return *this;
}

CMQVertexRange::Iterator CMQVertexRange::begin() const {
  Iterator first(0, object_);
  const int32_t count = object_->GetVertexCount();
  if (count > 0 && object_->GetVertexRefCount(0) <= 0) ++first;
  return first;
}

}  // namespace cmq

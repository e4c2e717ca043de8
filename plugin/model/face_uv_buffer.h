// One face's vertex indices and UVs, read live from the host into storage
// that is reused from face to face.
//
// Tools that compare neighbour UVs read a face per matching corner, often
// millions of times a run; the plain CMQObject reads allocate fresh lists
// each time. Values are never cached: each Read* asks the host at that
// moment, so a tool sees its own earlier writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/uv_pair.h"

namespace pavlex {

class FaceUVBuffer {
 public:
  // Reads the face's vertex indices and UVs; answers the corner count, 0
  // (and empty buffers) for a deleted face or a null object.
  size_t ReadCorners(const cmq::CMQObject& object, int32_t face);
  // Reads only the UVs; the vertex indices are left empty.
  // Inline, as WriteUVs: a tool may read and write a face per corner.
  size_t ReadUVs(const cmq::CMQObject& object, int32_t face) {
    vertices_.clear();
    const int32_t count = object.GetFacePointCount(face);
    uvs_.resize(count > 0 ? static_cast<size_t>(count) : 0);
    if (!uvs_.empty())
      Host().MQObj_GetFaceCoordinateArray(object.object(), face, AsHostCoordinates(uvs_.data()));
    return uvs_.size();
  }
  // Writes the buffered UVs back as the face's whole UV array. Refused
  // (false, nothing written) when the face's corner count is no longer the
  // buffer's, since the host reads one UV per corner.
  bool WriteUVs(const cmq::CMQObject& object, int32_t face) const {
    if (uvs_.empty()) return false;
    if (static_cast<size_t>(object.GetFacePointCount(face)) != uvs_.size()) return false;
    Host().MQObj_SetFaceCoordinateArray(object.object(), face, AsHostCoordinates(uvs_.data()));
    return true;
  }

  size_t size() const { return uvs_.size(); }
  int32_t vertex(size_t corner) const { return vertices_[corner]; }
  UVPair& uv(size_t corner) { return uvs_[corner]; }
  const UVPair& uv(size_t corner) const { return uvs_[corner]; }

 private:
  std::vector<int32_t> vertices_;
  std::vector<UVPair> uvs_;
};

}  // namespace pavlex

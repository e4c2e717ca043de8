#include "plugin/model/face_uv_buffer.h"

#include "plugin/hostlink/host_functions.h"

namespace pavlex {

size_t FaceUVBuffer::ReadCorners(const cmq::CMQObject& object, int32_t face) {
  object.GetFacePointArray(face, vertices_);
  uvs_.resize(vertices_.size());
  if (!uvs_.empty())
    Host().MQObj_GetFaceCoordinateArray(object.object(), face, AsHostCoordinates(uvs_.data()));
  return uvs_.size();
}

}  // namespace pavlex

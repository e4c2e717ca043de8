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

size_t FaceUVBuffer::ReadUVs(const cmq::CMQObject& object, int32_t face) {
  vertices_.clear();
  const int32_t count = object.GetFacePointCount(face);
  uvs_.resize(count > 0 ? static_cast<size_t>(count) : 0);
  if (!uvs_.empty())
    Host().MQObj_GetFaceCoordinateArray(object.object(), face, AsHostCoordinates(uvs_.data()));
  return uvs_.size();
}

bool FaceUVBuffer::WriteUVs(const cmq::CMQObject& object, int32_t face) const {
  if (uvs_.empty()) return false;
  if (static_cast<size_t>(object.GetFacePointCount(face)) != uvs_.size()) return false;
  Host().MQObj_SetFaceCoordinateArray(object.object(), face, AsHostCoordinates(uvs_.data()));
  return true;
}

}  // namespace pavlex

#include "plugin/model/cmq_object.h"

#include "plugin/hostlink/host_functions.h"
#include "plugin/model/corner_index.h"
#include "plugin/model/uv_pair.h"

namespace cmq {

using pavlex::Host;

CMQObject::~CMQObject() {
  object_ = nullptr;
  document_ = nullptr;
}

CMQObject CMQObject::Current(MQDocument document) {
  return CMQObject(document, Host().MQDoc_GetObject(document, Host().MQDoc_GetCurrentObjectIndex(document)));
}

int32_t CMQObject::GetVertexCount() const {
  return object_ != nullptr ? Host().MQObj_GetVertexCount(object_) : 0;
}

int32_t CMQObject::GetVertexRefCount(int32_t vertex) const {
  return object_ != nullptr ? Host().MQObj_GetVertexRefCount(object_, vertex) : 0;
}

std::vector<int32_t> CMQObject::GetFacePointArray(int32_t face) const {
  std::vector<int32_t> points;
  GetFacePointArray(face, points);
  return points;
}

std::vector<pavlex::FaceCorner> CMQObject::GetFaceCorners(int32_t face) const {
  std::vector<pavlex::FaceCorner> corners;
  const int32_t count = GetFacePointCount(face);
  if (count <= 0) return corners;
  const auto n = static_cast<size_t>(count);
  // Scratch kept from face to face (tools run on the host's one thread);
  // the host fills both whole.
  static std::vector<int32_t> points;
  static std::vector<pavlex::UVPair> uvs;
  points.resize(n);
  uvs.resize(n);
  Host().MQObj_GetFacePointArray(object_, face, points.data());
  Host().MQObj_GetFaceCoordinateArray(object_, face, pavlex::AsHostCoordinates(uvs.data()));
  corners.resize(n);
  for (size_t i = 0; i < n; ++i) corners[i] = {points[i], uvs[i].u, uvs[i].v};
  return corners;
}

bool CMQObject::SetFaceCorners(int32_t face, const std::vector<pavlex::FaceCorner>& corners) const {
  if (corners.empty()) return false;
  if (static_cast<size_t>(GetFacePointCount(face)) != corners.size()) return false;
  static std::vector<pavlex::UVPair> uvs;  // scratch, as in GetFaceCorners
  uvs.resize(corners.size());
  for (size_t i = 0; i < corners.size(); ++i) uvs[i] = {corners[i].u, corners[i].v};
  Host().MQObj_SetFaceCoordinateArray(object_, face, pavlex::AsHostCoordinates(uvs.data()));
  return true;
}

std::vector<int32_t> CMQObject::GetVertexRelatedFaces(int32_t vertex) const {
  std::vector<int32_t> faces;
  GetVertexRelatedFaces(vertex, faces);
  return faces;
}

MQPoint CMQObject::GetEdgeVector(int32_t face, int32_t corner) const {
  const std::vector<int32_t> points = GetFacePointArray(face);
  if (points.empty()) return {0.0f, 0.0f, 0.0f};
  const auto n = static_cast<int32_t>(points.size());
  const int32_t start = pavlex::WrapCornerIndex(corner, n);
  const int32_t end = start + 1 < n ? start + 1 : 0;
  MQPoint from{}, to{};
  Host().MQObj_GetVertex(object_, points[static_cast<size_t>(start)], &from);
  Host().MQObj_GetVertex(object_, points[static_cast<size_t>(end)], &to);
  return {to.x - from.x, to.y - from.y, to.z - from.z};
}

std::vector<std::array<int32_t, 3>> CMQObject::TriangulateFace(int32_t face) const {
  std::vector<std::array<int32_t, 3>> triangles;
  const std::vector<int32_t> points = GetFacePointArray(face);
  const auto n = static_cast<int32_t>(points.size());
  if (n < 3) return triangles;
  std::vector<MQPoint> positions(points.size());
  for (size_t i = 0; i < points.size(); ++i) Host().MQObj_GetVertex(object_, points[i], &positions[i]);
  const int32_t indexCount = 3 * (n - 2);
  std::vector<int32_t> indices(static_cast<size_t>(indexCount));
  if (Host().MQDoc_Triangulate(document_, positions.data(), n, indices.data(), indexCount) == 0)
    return triangles;
  triangles.resize(static_cast<size_t>(n - 2));
  for (size_t t = 0; t < triangles.size(); ++t) {
    triangles[t] = {indices[3 * t], indices[3 * t + 1], indices[3 * t + 2]};
  }
  return triangles;
}

bool CMQObject::IsSelectVertex(int32_t vertex) const {
  if (object_ == nullptr) return false;
  return Host().MQDoc_IsSelectVertex(document_, GetIndex(), vertex) != 0;
}

bool CMQObject::AddSelectVertex(int32_t vertex) const {
  if (object_ == nullptr) return false;
  return Host().MQDoc_AddSelectVertex(document_, GetIndex(), vertex) != 0;
}

bool CMQObject::IsSelectLine(int32_t face, int32_t line) const {
  if (object_ == nullptr) return false;
  return Host().MQDoc_IsSelectLine(document_, GetIndex(), face, line) != 0;
}

bool CMQObject::AddSelectLine(int32_t face, int32_t line) const {
  if (object_ == nullptr) return false;
  return Host().MQDoc_AddSelectLine(document_, GetIndex(), face, line) != 0;
}

bool CMQObject::IsSelectFace(int32_t face) const {
  if (object_ == nullptr) return false;
  return Host().MQDoc_IsSelectFace(document_, GetIndex(), face) != 0;
}

bool CMQObject::AddSelectFace(int32_t face) const {
  if (object_ == nullptr) return false;
  return Host().MQDoc_AddSelectFace(document_, GetIndex(), face) != 0;
}

}  // namespace cmq

#include "plugin/model/vertex_uv_index.h"

#include "plugin/model/cmq_face_range.h"

namespace pavlex {

VertexUVIndex::Entries VertexUVIndex::Find(int32_t vertex) const {
  if (vertex < 0 || vertex >= vertexBound()) return {nullptr, nullptr};
  const auto v = static_cast<size_t>(vertex);
  return {keys_.data() + offsets_[v], keys_.data() + offsets_[v + 1]};
}

VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object) {
  VertexUVIndex index;
  const int32_t vertexCount = object.GetVertexCount();
  if (vertexCount <= 0) return index;
  const auto vertexSlots = static_cast<size_t>(vertexCount);

  // One read of every live face, kept flat: the corner vertices in walk
  // order and, per face, its index and corner count.
  struct FaceRun {
    int32_t face;
    int32_t corners;
  };
  std::vector<FaceRun> runs;
  std::vector<int32_t> cornerVertices;
  const int32_t faceCount = object.GetFaceCount();
  if (faceCount > 0) {
    runs.reserve(static_cast<size_t>(faceCount));
    cornerVertices.reserve(4 * static_cast<size_t>(faceCount));
  }
  std::vector<int32_t> points;
  // The iterator's index is all the walk needs; a face handle per face would
  // cost an allocation each.
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    object.GetFacePointArray(it.index(), points);
    if (points.empty()) continue;
    runs.push_back({it.index(), static_cast<int32_t>(points.size())});
    cornerVertices.insert(cornerVertices.end(), points.begin(), points.end());
  }

  // Counting sort by vertex. Filling in walk order keeps each vertex's
  // entries in ascending face, then corner order.
  std::vector<uint32_t>& offsets = index.offsets_;
  offsets.assign(vertexSlots + 1, 0);
  for (const int32_t v : cornerVertices) {
    if (v >= 0 && static_cast<size_t>(v) < vertexSlots) ++offsets[static_cast<size_t>(v) + 1];
  }
  for (size_t v = 0; v < vertexSlots; ++v) offsets[v + 1] += offsets[v];
  index.keys_.resize(offsets[vertexSlots]);

  // offsets[v] serves as v's write cursor, ending at v's end (the next
  // vertex's start); shifting by one restores the starts.
  size_t corner = 0;
  for (const FaceRun& run : runs) {
    for (int32_t j = 0; j < run.corners; ++j, ++corner) {
      const int32_t v = cornerVertices[corner];
      if (v < 0 || static_cast<size_t>(v) >= vertexSlots) continue;
      index.keys_[offsets[static_cast<size_t>(v)]++] = UVVertexKey::Pack(run.face, j);
    }
  }
  for (size_t v = vertexSlots; v > 0; --v) offsets[v] = offsets[v - 1];
  offsets[0] = 0;
  return index;
}

}  // namespace pavlex

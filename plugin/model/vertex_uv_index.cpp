#include "plugin/model/vertex_uv_index.h"

#include <cstring>

#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"

namespace pavlex {

namespace {

// The corner vertices of the walked faces, one after another. Grown by
// hand: the host writes every element, so nothing is zeroed first, and a
// face's few corners are appended without a library call.
class CornerList {
 public:
  explicit CornerList(size_t capacity)
      : data_(new int32_t[capacity > 0 ? capacity : 1]), capacity_(capacity) {}
  // Room for `count` more corners at the end; the caller fills them all.
  int32_t* Append(size_t count) {
    if (size_ + count > capacity_) Grow(size_ + count);
    int32_t* at = data_.get() + size_;
    size_ += count;
    return at;
  }
  const int32_t* data() const { return data_.get(); }

 private:
  void Grow(size_t needed) {
    const size_t capacity = needed > 2 * capacity_ ? needed : 2 * capacity_;
    std::unique_ptr<int32_t[]> grown(new int32_t[capacity]);
    std::memcpy(grown.get(), data_.get(), size_ * sizeof(int32_t));
    data_ = std::move(grown);
    capacity_ = capacity;
  }

  std::unique_ptr<int32_t[]> data_;
  size_t capacity_;
  size_t size_ = 0;
};

}  // namespace

VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object) {
  VertexUVIndex index;
  const int32_t vertexCount = object.GetVertexCount();
  if (vertexCount <= 0) return index;
  const auto vertexSlots = static_cast<size_t>(vertexCount);

  // One read of every live face, kept flat: the corner vertices in walk
  // order and, per face, its index and corner count. Each vertex's entries
  // are counted as they are read (in offsets[v], for now).
  struct FaceRun {
    int32_t face;
    int32_t corners;
  };
  std::vector<FaceRun> runs;
  const int32_t faceCount = object.GetFaceCount();
  if (faceCount > 0) runs.reserve(static_cast<size_t>(faceCount));
  CornerList cornerVertices(4 * static_cast<size_t>(faceCount > 0 ? faceCount : 0));
  index.offsets_.assign(vertexSlots + 1, 0);
  // Plain pointers: the loops below then keep them in registers.
  uint32_t* const offsets = index.offsets_.data();
  size_t total = 0;
  // The iterator's index is all the walk needs; a face handle per face would
  // cost an allocation each.
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    // The host calls of CMQObject::GetFacePointArray, read straight onto
    // the end of the list.
    const int32_t count = object.GetFacePointCount(it.index());
    if (count <= 0) continue;
    int32_t* points = cornerVertices.Append(static_cast<size_t>(count));
    Host().MQObj_GetFacePointArray(object.object(), it.index(), points);
    runs.push_back({it.index(), count});
    for (int32_t j = 0; j < count; ++j) {
      const auto v = static_cast<uint32_t>(points[j]);
      if (v < vertexSlots) {
        ++offsets[v];
        ++total;
      }
    }
  }

  // offsets[v] becomes the end of v's entries. Filling from the last corner
  // back, with offsets[v] as v's cursor moving down, leaves each vertex's
  // entries in ascending face, then corner order and the cursor at v's start.
  for (size_t v = 1; v < vertexSlots; ++v) offsets[v] += offsets[v - 1];
  offsets[vertexSlots] = static_cast<uint32_t>(total);
  index.keys_.reset(new UVVertexKey[total > 0 ? total : 1]);
  index.keyCount_ = total;
  UVVertexKey* const keys = index.keys_.get();
  const int32_t* corner = cornerVertices.data();
  for (const FaceRun& run : runs) corner += run.corners;
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    for (int32_t j = run->corners - 1; j >= 0; --j) {
      const auto v = static_cast<uint32_t>(*--corner);
      if (v < vertexSlots) keys[--offsets[v]] = UVVertexKey::Pack(run->face, j);
    }
  }
  return index;
}

}  // namespace pavlex

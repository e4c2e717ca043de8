#include "plugin/model/vertex_uv_index.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"

namespace pavlex {

namespace {

// The arrays of the last index gone, and the build's own scratch, for the
// next build (see the header). Tools run on the host's one thread.
struct KeptArrays {
  std::vector<uint32_t> first;
  std::unique_ptr<UVVertexKey[]> keys;
  std::unique_ptr<uint32_t[]> next;
  size_t capacity = 0;  // of keys and next
  std::unique_ptr<uint32_t[]> last;
  size_t lastCapacity = 0;
};
KeptArrays g_kept;

// Grows a per-entry array from `size` used elements to `capacity`.
template <typename T>
void Grow(std::unique_ptr<T[]>& array, size_t size, size_t capacity) {
  std::unique_ptr<T[]> grown(new T[capacity]);
  if (size > 0) std::memcpy(grown.get(), array.get(), size * sizeof(T));
  array = std::move(grown);
}

}  // namespace

VertexUVIndex::~VertexUVIndex() {
  if (first_.capacity() > g_kept.first.capacity()) g_kept.first.swap(first_);
  if (keys_ != nullptr && next_ != nullptr && keyCapacity_ > g_kept.capacity) {
    g_kept.keys = std::move(keys_);
    g_kept.next = std::move(next_);
    g_kept.capacity = keyCapacity_;
  }
}

VertexUVIndex BuildVertexUVIndex(const cmq::CMQObject& object) {
  VertexUVIndex index;
  const int32_t vertexCount = object.GetVertexCount();
  if (vertexCount <= 0) return index;
  const auto vertexSlots = static_cast<size_t>(vertexCount);

  constexpr uint32_t kNone = VertexUVIndex::kNone;
  index.first_.swap(g_kept.first);
  index.first_.assign(vertexSlots, kNone);
  // Each vertex's last entry so far, where its list is extended; read only
  // once the vertex has a first entry, so never filled.
  if (g_kept.lastCapacity < vertexSlots) {
    g_kept.last.reset();
    g_kept.lastCapacity = 0;
    g_kept.last.reset(new uint32_t[vertexSlots]);
    g_kept.lastCapacity = vertexSlots;
  }
  uint32_t* const last = g_kept.last.get();
  const int32_t faceCount = object.GetFaceCount();
  size_t capacity = 4 * static_cast<size_t>(faceCount > 0 ? faceCount : 0);
  if (capacity == 0) capacity = 4;
  if (g_kept.capacity >= capacity) {
    index.keys_ = std::move(g_kept.keys);
    index.next_ = std::move(g_kept.next);
    capacity = g_kept.capacity;
    g_kept.capacity = 0;
  } else {
    // Too small for this object: given back first, so the two are not held at once.
    g_kept.keys.reset();
    g_kept.next.reset();
    g_kept.capacity = 0;
    index.keys_.reset(new UVVertexKey[capacity]);
    index.next_.reset(new uint32_t[capacity]);
  }
  index.keyCapacity_ = capacity;
  size_t count = 0;

  uint32_t* const first = index.first_.data();
  constexpr int32_t kShort = 64;
  int32_t shortPoints[kShort];
  std::vector<int32_t> longPoints;
  // The iterator's index is all the walk needs; a face handle per face would
  // cost an allocation each.
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t face = it.index();
    // The host calls of CMQObject::GetFacePointArray, into a list on the
    // stack for all but long polygons.
    const int32_t corners = object.GetFacePointCount(face);
    if (corners <= 0) continue;
    int32_t* points = shortPoints;
    if (corners > kShort) {
      longPoints.resize(static_cast<size_t>(corners));
      points = longPoints.data();
    }
    Host().MQObj_GetFacePointArray(object.object(), face, points);
    if (count + static_cast<size_t>(corners) > capacity) {
      // Entry numbers are 32-bit, kNone excluded.
      if (count + static_cast<size_t>(corners) >= kNone) throw std::bad_alloc();
      const size_t grown = std::max(2 * capacity, count + static_cast<size_t>(corners));
      Grow(index.keys_, count, grown);
      Grow(index.next_, count, grown);
      capacity = grown;
      index.keyCapacity_ = capacity;
    }
    UVVertexKey* const keys = index.keys_.get();
    uint32_t* const next = index.next_.get();
    for (int32_t j = 0; j < corners; ++j) {
      const auto v = static_cast<uint32_t>(points[j]);
      if (v >= vertexSlots) continue;
      const auto entry = static_cast<uint32_t>(count++);
      keys[entry] = UVVertexKey::Pack(face, j);
      next[entry] = kNone;
      if (first[v] == kNone) {
        first[v] = entry;
      } else {
        next[last[v]] = entry;
      }
      last[v] = entry;
    }
  }
  index.keyCount_ = count;
  return index;
}

}  // namespace pavlex

#include "plugin/tools/select/select_same_vertex.h"

#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

namespace {

// A vertex's related faces and each of their vertex lists are read once per
// selected corner, millions of times a press, and are a few entries long:
// up to kShort of them are read into a fixed array, longer ones into a
// vector kept for the run.
constexpr int32_t kShort = 16;

class ShortList {
 public:
  // Room for `count` entries, which the host then fills whole.
  int32_t* Room(int32_t count) {
    size_ = count;
    if (count <= kShort) return data_ = local_;
    spill_.resize(static_cast<size_t>(count));
    return data_ = spill_.data();
  }
  void Clear() { size_ = 0; }
  const int32_t* begin() const { return data_; }
  const int32_t* end() const { return data_ + size_; }
  int32_t size() const { return size_; }
  int32_t operator[](int32_t i) const { return data_[i]; }

 private:
  int32_t local_[kShort];
  std::vector<int32_t> spill_;
  int32_t* data_ = local_;
  int32_t size_ = 0;
};

// The host calls of CMQObject::GetVertexRelatedFaces and GetFacePointArray.
void ReadRelatedFaces(const cmq::CMQObject& object, int32_t vertex, ShortList& faces) {
  faces.Clear();
  if (object.object() == nullptr) return;
  const int32_t count = Host().MQObj_GetVertexRelatedFaces(object.object(), vertex, nullptr);
  if (count > 0) Host().MQObj_GetVertexRelatedFaces(object.object(), vertex, faces.Room(count));
}

void ReadFacePoints(const cmq::CMQObject& object, int32_t face, ShortList& points) {
  points.Clear();
  const int32_t count = object.GetFacePointCount(face);
  if (count > 0) Host().MQObj_GetFacePointArray(object.object(), face, points.Room(count));
}

}  // namespace

bool SelectSameVertex(MQDocument document) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  std::vector<int32_t> points;
  ShortList related, relatedPoints;
  std::vector<UVVertexKey> partners;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    object.GetFacePointArray(f, points);
    for (size_t j = 0; j < points.size(); ++j) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, static_cast<int32_t>(j)))) continue;
      const int32_t vertex = points[j];
      // Collected in full before any is selected, then selected in order.
      partners.clear();
      ReadRelatedFaces(object, vertex, related);
      for (const int32_t g : related) {
        ReadFacePoints(object, g, relatedPoints);
        const int32_t n = relatedPoints.size();
        int32_t k = 0;
        while (k < n && relatedPoints[k] != vertex) ++k;
        if (k == n) continue;
        partners.push_back(UVVertexKey::Pack(g, k));
      }
      for (const UVVertexKey key : partners) object.AddSelectUVVertex(key);
    }
  }
  return true;
}

}  // namespace pavlex

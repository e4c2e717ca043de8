#include "model/uv_island.h"

#include <vector>

#include "model/cmq_face_range.h"
#include "model/face_uv_buffer.h"
#include "model/uv_identity.h"

namespace pavlex {
namespace {

// Faces marked by index in a flat array: the reached set of a whole-object
// scan, which is tested for every neighbour corner of every face and would
// otherwise dominate the run as hash lookups.
class DenseFaceMarks {
 public:
  explicit DenseFaceMarks(int32_t faceCount)
      : marks_(faceCount > 0 ? static_cast<size_t>(faceCount) : 0, 0) {}
  // Faces outside the object's slots are held nowhere and read as unmarked;
  // the index never names one.
  bool Contains(int32_t face) const { return InRange(face) && marks_[static_cast<size_t>(face)] != 0; }
  void Insert(int32_t face) {
    if (InRange(face)) marks_[static_cast<size_t>(face)] = 1;
  }

 private:
  bool InRange(int32_t face) const { return face >= 0 && static_cast<size_t>(face) < marks_.size(); }
  std::vector<uint8_t> marks_;
};

// Scratch storage for floods, so that a scan that floods many small islands
// does not allocate per island. `Reached` is FaceSet or DenseFaceMarks.
template <typename Reached>
class IslandFlood {
 public:
  IslandFlood(const cmq::CMQObject& object, const VertexUVIndex& index) : object_(object), index_(index) {}

  void Run(int32_t seed, FaceSet& island, Reached& reached) {
    // First in, first out: a vector read from `head` on, cleared per flood.
    queue_.clear();
    queue_.push_back(seed);
    for (size_t head = 0; head < queue_.size(); ++head) {
      const int32_t f = queue_[head];
      island.Insert(f);
      const size_t corners = face_.ReadCorners(object_, f);
      for (size_t c = 0; c < corners; ++c) {
        const UVPair uv = face_.uv(c);
        for (const UVVertexKey key : index_.Find(face_.vertex(c))) {
          const UVVertexRef ref = key.Unpack();
          if (reached.Contains(ref.face)) continue;
          // Read now rather than remembered: the index holds no UVs.
          if (static_cast<size_t>(ref.corner) >= neighbour_.ReadUVs(object_, ref.face)) continue;
          if (!UVsCoincide(uv, neighbour_.uv(static_cast<size_t>(ref.corner)))) continue;
          reached.Insert(ref.face);
          queue_.push_back(ref.face);
        }
      }
    }
  }

 private:
  const cmq::CMQObject& object_;
  const VertexUVIndex& index_;
  std::vector<int32_t> queue_;
  FaceUVBuffer face_;
  FaceUVBuffer neighbour_;
};

}  // namespace

void FloodUVIsland(const cmq::CMQObject& object, int32_t seed, FaceSet& island, const VertexUVIndex& index,
                   FaceSet& reached) {
  IslandFlood<FaceSet>(object, index).Run(seed, island, reached);
}

void CollectSelectedIslands(const cmq::CMQObject& object, FaceSet& island) {
  const VertexUVIndex index = BuildVertexUVIndex(object);
  DenseFaceMarks reached(object.GetFaceCount());
  IslandFlood<DenseFaceMarks> flood(object, index);
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    if (reached.Contains(f)) continue;
    const int32_t corners = object.GetFacePointCount(f);
    for (int32_t c = 0; c < corners; ++c) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, c))) continue;
      flood.Run(f, island, reached);
      break;
    }
  }
}

}  // namespace pavlex

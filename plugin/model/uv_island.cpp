#include "plugin/model/uv_island.h"

#include <vector>

#include "plugin/model/cmq_face_range.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/uv_identity.h"

namespace pavlex {
namespace {

// Scratch storage for floods, so that a scan that floods many small islands
// does not allocate per island. `Reached` is FaceSet or FaceMarks.
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

void FloodUVIsland(const cmq::CMQObject& object, int32_t seed, FaceSet& island, const VertexUVIndex& index,
                   FaceMarks& reached) {
  IslandFlood<FaceMarks>(object, index).Run(seed, island, reached);
}

void CollectSelectedIslands(const cmq::CMQObject& object, FaceSet& island) {
  const VertexUVIndex index = BuildVertexUVIndex(object);
  FaceMarks reached(object.GetFaceCount());
  IslandFlood<FaceMarks> flood(object, index);
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

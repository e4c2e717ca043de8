#include "plugin/tools/transform/grab_uv.h"

#include <cmath>
#include <optional>
#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_set.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/uv_island.h"
#include "plugin/model/vertex_uv_index.h"
#include "plugin/tools/transform/edge_neighbours.h"
#include "plugin/tools/transform/edge_similarity.h"
#include "plugin/tools/transform/polygon_unfold.h"
#include "plugin/tools/transform/shape_placement.h"
#include "plugin/tools/transform/triangle_placement.h"

namespace pavlex {

namespace {

class GrabRun {
 public:
  GrabRun(const cmq::CMQObject& object, bool moveGroup, bool useShape, bool selectedFacesOnly)
      : object_(object), moveGroup_(moveGroup), useShape_(useShape), selectedFacesOnly_(selectedFacesOnly) {}

  void Attach(const EdgeTarget& target, const EdgeMatch& match) {
    if (!moveGroup_) {
      // The match's face alone: no set to build for every selected edge.
      const int32_t only[1] = {match.a.face};
      Move(target, match, only);
      return;
    }
    FaceSet candidates;
    candidates.Insert(match.a.face);
    // Built once per run: the index holds no UVs, and this tool changes
    // neither faces nor vertices, so every match would build the same one.
    if (!index_) index_ = BuildVertexUVIndex(object_);
    // Sized to the face count, as flags: the flood tests it for every
    // neighbour corner of an island that may span the whole object.
    FaceMarks reached(object_.GetFaceCount());
    reached.Insert(match.a.face);
    FloodUVIsland(object_, match.a.face, candidates, *index_, reached);
    Move(target, match, candidates);
  }

 private:
  template <class Faces>
  void Move(const EdgeTarget& target, const EdgeMatch& match, const Faces& candidates) {
    if (useShape_) {
      LayOutShapes(target, match, candidates);
    } else {
      MoveBySimilarity(target, match, candidates);
    }
  }

  bool Skipped(int32_t face) const { return selectedFacesOnly_ && !object_.IsSelectFace(face); }

  template <class Faces>
  void MoveBySimilarity(const EdgeTarget& target, const EdgeMatch& match, const Faces& candidates) {
    const size_t n = face_.ReadUVs(object_, match.a.face);
    if (static_cast<size_t>(match.a.corner) >= n || static_cast<size_t>(match.b.corner) >= n) return;
    const EdgeSimilarity similarity = MakeEdgeSimilarity(
        target, face_.uv(static_cast<size_t>(match.a.corner)), face_.uv(static_cast<size_t>(match.b.corner)));
    for (const int32_t h : candidates) {
      if (Skipped(h)) continue;
      const size_t corners = face_.ReadUVs(object_, h);
      for (size_t c = 0; c < corners; ++c) {
        const UVPair moved = ApplyEdgeSimilarity(similarity, face_.uv(c));
        if (IsFiniteUV(moved)) face_.uv(c) = moved;
      }
      face_.WriteUVs(object_, h);
    }
  }

  template <class Faces>
  void LayOutShapes(const EdgeTarget& target, const EdgeMatch& match, const Faces& candidates) {
    std::optional<ShapeFrame> triangleFrame;
    for (const int32_t h : candidates) {
      if (Skipped(h)) continue;
      if (object_.GetFacePointCount(h) <= 3) {
        if (!triangleFrame) triangleFrame = TriangleFrame(target, match);
        if (triangleFrame) PlaceFace(h, *triangleFrame);
      } else {
        Unfold(h, target, match);
      }
    }
  }

  std::optional<ShapeFrame> TriangleFrame(const EdgeTarget& target, const EdgeMatch& match) {
    const int32_t g = match.a.face;
    object_.GetFacePointArray(g, vertices_);
    const size_t n = vertices_.size();
    if (static_cast<size_t>(match.a.corner) >= n || static_cast<size_t>(match.b.corner) >= n) return {};
    const MQPoint a = Position(vertices_[static_cast<size_t>(match.a.corner)]);
    const MQPoint b = Position(vertices_[static_cast<size_t>(match.b.corner)]);
    return TrianglePlacementFrame(a, b, object_.GetEdgeVector(g, match.a.corner),
                                  object_.GetEdgeVector(g, match.a.corner - 1), target);
  }

  void PlaceFace(int32_t h, const ShapeFrame& frame) {
    const size_t corners = face_.ReadCorners(object_, h);
    for (size_t c = 0; c < corners; ++c) {
      const UVPair placed = PlaceShapePoint(frame, Position(face_.vertex(c)));
      if (IsFiniteUV(placed)) face_.uv(c) = placed;
    }
    face_.WriteUVs(object_, h);
  }

  void Unfold(int32_t h, const EdgeTarget& target, const EdgeMatch& match) {
    TriangulateFace(h);
    const size_t corners = face_.ReadCorners(object_, h);
    positions_.resize(corners);
    for (size_t c = 0; c < corners; ++c) positions_[c] = Position(face_.vertex(c));
    if (!UnfoldPolygon(triangles_, positions_.data(), corners, match.a.corner, match.b.corner, target,
                       unfold_, scratch_))
      return;
    // Corners the unfold did not reach keep their UV rather than a marker.
    for (size_t c = 0; c < corners; ++c) {
      if (unfold_.placed[c]) face_.uv(c) = unfold_.uvs[c];
    }
    face_.WriteUVs(object_, h);
  }

  // The face's triangles as the host cuts them, into triangles_ (empty
  // below three corners or when the host refuses). The host calls of
  // CMQObject::TriangulateFace, into lists kept from face to face: a face
  // laid out once per selected edge is triangulated as often.
  void TriangulateFace(int32_t face) {
    object_.GetFacePointArray(face, vertices_);
    const auto n = static_cast<int32_t>(vertices_.size());
    if (n < 3) {
      triangles_.clear();
      return;
    }
    framePositions_.resize(vertices_.size());
    for (size_t i = 0; i < vertices_.size(); ++i)
      Host().MQObj_GetVertex(object_.object(), vertices_[i], &framePositions_[i]);
    const int32_t indexCount = 3 * (n - 2);
    indices_.resize(static_cast<size_t>(indexCount));
    if (Host().MQDoc_Triangulate(object_.document(), framePositions_.data(), n, indices_.data(),
                                 indexCount) == 0) {
      triangles_.clear();
      return;
    }
    // Every triangle is written below: a list already of this length (face
    // after face of one kind) is not cleared and filled first.
    triangles_.resize(static_cast<size_t>(n - 2));
    for (size_t t = 0; t < triangles_.size(); ++t) {
      triangles_[t] = {indices_[3 * t], indices_[3 * t + 1], indices_[3 * t + 2]};
    }
  }

  MQPoint Position(int32_t vertex) const {
    MQPoint p{0.0f, 0.0f, 0.0f};
    Host().MQObj_GetVertex(object_.object(), vertex, &p);
    return p;
  }

  const cmq::CMQObject& object_;
  const bool moveGroup_;
  const bool useShape_;
  const bool selectedFacesOnly_;
  std::optional<VertexUVIndex> index_;
  FaceUVBuffer face_;
  std::vector<int32_t> vertices_;
  std::vector<MQPoint> positions_;
  std::vector<MQPoint> framePositions_;  // the triangulation's input
  std::vector<int32_t> indices_;
  std::vector<std::array<int32_t, 3>> triangles_;
  UnfoldResult unfold_;
  UnfoldScratch scratch_;
};

}  // namespace

bool GrabUV(MQDocument document, GrabMode mode, bool selectedFacesOnly) {
  // The three switches the run is written in terms of.
  const bool moveGroup = mode == GrabMode::kAttachIslands;
  const bool useShape = mode == GrabMode::kReshapeFaces || mode == GrabMode::kRegularize;
  const bool ownFace = mode == GrabMode::kRegularize;
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  GrabRun run(object, moveGroup, useShape, selectedFacesOnly);
  FaceUVBuffer edgeFace;
  std::vector<int32_t> vertices;
  std::vector<EdgeMatch> matches;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    object.GetFacePointArray(f, vertices);
    const auto n = static_cast<int32_t>(vertices.size());
    for (int32_t p = 0; p < n; ++p) {
      // Neighbour corners by compare, not remainder: a division per edge
      // costs more than the rest of the test.
      const int32_t q = p + 1 < n ? p + 1 : 0;
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, p)) ||
          !object.IsSelectUVVertex(UVVertexKey::Pack(f, q)))
        continue;
      // Afresh: an earlier edge may have moved this face.
      if (edgeFace.ReadUVs(object, f) != static_cast<size_t>(n)) continue;
      const int32_t r = p > 0 ? p - 1 : n - 1;
      const EdgeTarget target =
          MakeEdgeTarget(edgeFace.uv(static_cast<size_t>(p)), edgeFace.uv(static_cast<size_t>(q)),
                         edgeFace.uv(static_cast<size_t>(r)), ownFace);
      if (target.dir.u == 0.0f && target.dir.v == 0.0f) continue;
      if (ownFace) {
        run.Attach(target, {{f, q}, {f, p}});
        continue;
      }
      FindEdgeNeighbours(object, vertices[static_cast<size_t>(p)], vertices[static_cast<size_t>(q)], matches);
      for (const EdgeMatch& match : matches) run.Attach(target, match);
    }
  }
  return true;
}

}  // namespace pavlex

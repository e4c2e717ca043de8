#include "plugin/tools/transform/mirror_vertex_map.h"

#include <utility>

#include "plugin/hostlink/host_functions.h"
#include "plugin/tools/transform/mirror_partner_search.h"

namespace pavlex {

MirrorVertexMap::MirrorVertexMap(int32_t vertexCount)
    : mirror_(static_cast<size_t>(vertexCount > 0 ? vertexCount : 0), -1) {}

bool MirrorVertexMap::Insert(int32_t vertex, int32_t mirror) {
  if (vertex < 0 || static_cast<size_t>(vertex) >= mirror_.size()) return false;
  int32_t& slot = mirror_[static_cast<size_t>(vertex)];
  if (slot >= 0) return false;
  slot = mirror;
  ++size_;
  return true;
}

int32_t MirrorVertexMap::Find(int32_t vertex) const {
  if (vertex < 0 || static_cast<size_t>(vertex) >= mirror_.size()) return -1;
  return mirror_[static_cast<size_t>(vertex)];
}

MirrorVertexMatch MatchMirrorVertices(const std::vector<MQPoint>& positions, const std::vector<uint8_t>& live,
                                      MirrorSearch search) {
  const auto count = static_cast<int32_t>(positions.size());
  MirrorVertexMatch match{MirrorVertexMap(count), {}};
  // Built only when wanted: the scan needs no index.
  const MirrorPartnerGrid grid =
      search == MirrorSearch::kGrid ? MirrorPartnerGrid(positions, live) : MirrorPartnerGrid({}, {});
  for (int32_t i = 0; i < count; ++i) {
    if (live[static_cast<size_t>(i)] == 0 || match.map.Contains(i)) continue;
    const MQPoint& p = positions[static_cast<size_t>(i)];
    if (IsOnMirrorPlane(p)) {
      match.map.Insert(i, i);
      match.deselected.push_back(i);
      continue;
    }
    // The partner may already have an entry (it was matched to an earlier
    // vertex, or lies on the plane); its entry is then kept, but it is
    // still deselected.
    const int32_t j =
        search == MirrorSearch::kGrid ? grid.FindPartner(i, p) : FindMirrorPartnerByScan(positions, live, i);
    if (j < 0) continue;
    match.map.Insert(j, i);
    match.map.Insert(i, j);
    match.deselected.push_back(i);
    match.deselected.push_back(j);
  }
  return match;
}

MirrorVertexMap BuildMirrorVertexMap(const cmq::CMQObject& object) {
  const int32_t count = object.GetVertexCount();
  if (count <= 0) return MirrorVertexMap();
  std::vector<MQPoint> positions(static_cast<size_t>(count), MQPoint{0.0f, 0.0f, 0.0f});
  std::vector<uint8_t> live(static_cast<size_t>(count), 0);
  for (int32_t v = 0; v < count; ++v) {
    if (object.GetVertexRefCount(v) == 0) continue;
    live[static_cast<size_t>(v)] = 1;
    Host().MQObj_GetVertex(object.object(), v, &positions[static_cast<size_t>(v)]);
  }
  MirrorVertexMatch match = MatchMirrorVertices(positions, live);
  const int32_t objectIndex = object.GetIndex();
  for (int32_t v : match.deselected) Host().MQDoc_DeleteSelectVertex(object.document(), objectIndex, v);
  return std::move(match.map);
}

std::vector<int32_t> MirrorVertexList(const std::vector<int32_t>& vertices, const MirrorVertexMap& map) {
  std::vector<int32_t> mirrored;
  mirrored.reserve(vertices.size());
  for (int32_t v : vertices) {
    const int32_t m = map.Find(v);
    if (m < 0) break;
    mirrored.push_back(m);
  }
  return mirrored;
}

}  // namespace pavlex

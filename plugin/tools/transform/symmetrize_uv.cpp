#include "plugin/tools/transform/symmetrize_uv.h"

#include "platform/wait_cursor.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/tools/transform/face_with_vertices.h"
#include "plugin/tools/transform/mirror_vertex_map.h"

namespace pavlex {

std::vector<FaceCorner> MirroredFaceCorners(const std::vector<FaceCorner>& partner, int32_t k0, bool wide) {
  const auto m = static_cast<int32_t>(partner.size());
  std::vector<FaceCorner> corners(partner.size());
  for (int32_t r = 0; r < m; ++r) {
    FaceCorner corner = partner[static_cast<size_t>((m - r + k0) % m)];
    if (wide) corner.u = 1.0f - corner.u;
    corners[static_cast<size_t>(r)] = corner;
  }
  return corners;
}

bool SymmetrizeUV(MQDocument document, bool wide) {
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const MirrorVertexMap map = BuildMirrorVertexMap(object);
  std::vector<int32_t> points;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t e = it.index();
    if (!object.IsSelectFace(e) || Host().MQObj_GetFaceVisible(object.object(), e) != 1) continue;
    object.GetFacePointArray(e, points);
    const std::vector<int32_t> mirrored = MirrorVertexList(points, map);
    if (mirrored.size() < points.size()) continue;
    const int32_t h = FindFaceWithVertices(object, mirrored);
    if (h < 0 || h == e) continue;
    const std::vector<FaceCorner> partner = object.GetFaceCorners(h);
    // Two vertices of e can share one mirror, so the partner can have fewer
    // (or more) corners than e; there is then no corner-to-corner copy.
    if (partner.size() != points.size()) continue;
    int32_t k0 = 0;
    while (static_cast<size_t>(k0) < partner.size() && partner[static_cast<size_t>(k0)].vertex != mirrored[0])
      ++k0;
    if (static_cast<size_t>(k0) == partner.size()) continue;  // the host's face lists disagree
    object.SetFaceCorners(e, MirroredFaceCorners(partner, k0, wide));
  }
  return true;
}

}  // namespace pavlex

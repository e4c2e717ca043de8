#include "plugin/tools/transform/sew_uv.h"

#include <cmath>
#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/uv_identity.h"
#include "plugin/model/vertex_uv_index.h"

namespace pavlex {

bool SewUV(MQDocument document, SewMode mode, bool selectedFacesOnly) {
  const bool grabMode = mode == SewMode::kToSelected;
  platform::WaitCursor wait;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const VertexUVIndex index = BuildVertexUVIndex(object);
  // Every vertex with entries lies below vertexBound(); one outside it has
  // nothing to sew, so it needs no mark.
  std::vector<bool> handled(static_cast<size_t>(index.vertexBound()), false);
  FaceUVBuffer face, other;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t o = it.index();
    // The reference values for this face: later writes to o's other
    // corners do not change them.
    const size_t corners = face.ReadCorners(object, o);
    for (size_t i = 0; i < corners; ++i) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(o, static_cast<int32_t>(i)))) continue;
      const int32_t e = face.vertex(i);
      const bool tracked = e >= 0 && e < index.vertexBound();
      if (tracked && handled[static_cast<size_t>(e)]) continue;
      const VertexUVIndex::Entries entries = index.Find(e);

      int32_t count = 0;
      UVPair sum{0.0f, 0.0f};
      bool consistent = true;
      for (const UVVertexKey key : entries) {
        if (!object.IsSelectUVVertex(key)) continue;
        const UVVertexRef ref = key.Unpack();
        if (static_cast<size_t>(ref.corner) >= other.ReadUVs(object, ref.face)) continue;
        const UVPair uv = other.uv(static_cast<size_t>(ref.corner));
        if (grabMode && !UVsCoincide(uv, face.uv(i))) {
          consistent = false;
          break;
        }
        count += 1;
        sum.u += uv.u;
        sum.v += uv.v;
      }
      // Not marked handled: each later selected corner of e tests again
      // with itself as reference, and reaches the same verdict.
      if (!consistent) continue;

      const UVPair target =
          count > 1 ? UVPair{sum.u / static_cast<float>(count), sum.v / static_cast<float>(count)} : sum;
      // A NaN UV would spread to every corner written, and an overflowed
      // sum would throw finite UVs to infinity; neither is a position.
      if (std::isfinite(target.u) && std::isfinite(target.v)) {
        for (const UVVertexKey key : entries) {
          const UVVertexRef ref = key.Unpack();
          if (selectedFacesOnly && !object.IsSelectFace(ref.face)) continue;
          if (!grabMode && !object.IsSelectUVVertex(key)) continue;
          if (static_cast<size_t>(ref.corner) >= other.ReadUVs(object, ref.face)) continue;
          other.uv(static_cast<size_t>(ref.corner)) = target;
          other.WriteUVs(object, ref.face);
        }
      }
      if (tracked) handled[static_cast<size_t>(e)] = true;
    }
  }
  return true;
}

}  // namespace pavlex

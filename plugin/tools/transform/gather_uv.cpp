#include "plugin/tools/transform/gather_uv.h"

#include <vector>

#include "platform/wait_cursor.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/cmq_vertex_range.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/vertex_uv_index.h"

namespace pavlex {

bool GatherUV(MQDocument document, float threshold) {
  platform::WaitCursor wait;
  const float thresholdSquared = GatherThresholdSquared(threshold);
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const VertexUVIndex index = BuildVertexUVIndex(object);
  std::vector<UVPair> earlier;  // this vertex's selected UVs handled so far, as they now stand
  FaceUVBuffer face;
  for (const int32_t vertex : cmq::CMQVertexRange(object)) {
    earlier.clear();
    for (const UVVertexKey key : index.Find(vertex)) {
      if (!object.IsSelectUVVertex(key)) continue;
      const UVVertexRef ref = key.Unpack();
      const auto corner = static_cast<size_t>(ref.corner);
      if (corner >= face.ReadUVs(object, ref.face)) continue;
      UVPair& uv = face.uv(corner);
      for (const UVPair& r : earlier) {
        if (!GatherSnaps(GatherDistanceSquared(uv, r), thresholdSquared)) continue;
        uv = r;
        face.WriteUVs(object, ref.face);
        break;
      }
      earlier.push_back(uv);
    }
  }
  return true;
}

}  // namespace pavlex

#include "plugin/tools/transform/equal_alloc_uv.h"

#include <cmath>
#include <cstdint>

#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/uv_vertex_key.h"
#include "plugin/tools/transform/value_order.h"

namespace pavlex {

EqualAllocAxis ChooseEqualAllocAxis(const UVBounds& bounds) {
  const float width = bounds.umax - bounds.umin;
  const float height = bounds.vmax - bounds.vmin;
  if (width < height) return {true, bounds.vmin, height};
  return {false, bounds.umin, width};
}

bool EqualAllocUV(MQDocument document) {
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const EqualAllocAxis axis = ChooseEqualAllocAxis(SelectionUVBounds(object));

  ValueBuckets values;
  FaceUVBuffer face;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    const size_t n = face.ReadCorners(object, f);
    for (size_t j = 0; j < n; ++j) {
      const auto c = static_cast<int32_t>(j);
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, c))) continue;
      const float key = axis.alongV ? face.uv(j).v : face.uv(j).u;
      // A NaN is no value to space: such a corner stays where it is.
      if (std::isnan(key)) continue;
      values.Add(FloatOrderBits(key), {f, c});
    }
  }

  // Equal values (0.0 and -0.0 among them) share a rank, in walk order.
  values.Finish();
  const auto distinct = static_cast<int32_t>(values.distinct());
  if (distinct <= 2) return true;
  const float step = axis.span / static_cast<float>(distinct - 1);
  // Infinite bounds would turn every middle value into inf or NaN.
  if (!std::isfinite(step)) return true;

  values.ForEachInOrder([&](uint32_t rank, UVVertexRef ref) {
    const auto m = static_cast<int32_t>(rank);
    if (m == 0 || m == distinct - 1) return;
    const float value = static_cast<float>(m) * step + axis.base;
    if (static_cast<size_t>(ref.corner) >= face.ReadCorners(object, ref.face)) return;
    UVPair& uv = face.uv(static_cast<size_t>(ref.corner));
    (axis.alongV ? uv.v : uv.u) = value;
    face.WriteUVs(object, ref.face);
  });
  return true;
}

}  // namespace pavlex

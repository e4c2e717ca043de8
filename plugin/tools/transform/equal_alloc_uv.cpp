#include "plugin/tools/transform/equal_alloc_uv.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/uv_vertex_key.h"

namespace pavlex {
namespace {

// An unsigned number that orders like the float: equal for 0.0 and -0.0,
// ascending with the value. NaN must be kept out beforehand.
uint32_t OrderBits(float value) {
  if (value == 0.0f) value = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

struct Entry {
  uint32_t order;  // OrderBits of the corner's value
  UVVertexRef corner;
};

// Ascending by order, stable: a least-significant-digit radix sort, one
// byte a pass, so the cost stays linear however many values are distinct.
void SortEntries(std::vector<Entry>& entries) {
  std::vector<Entry> scratch(entries.size());
  for (uint32_t shift = 0; shift < 32; shift += 8) {
    size_t start[257] = {};
    for (const Entry& e : entries) ++start[((e.order >> shift) & 0xFFu) + 1];
    for (size_t b = 0; b < 256; ++b) start[b + 1] += start[b];
    for (const Entry& e : entries) scratch[start[(e.order >> shift) & 0xFFu]++] = e;
    entries.swap(scratch);
  }
}

}  // namespace

EqualAllocAxis ChooseEqualAllocAxis(const UVBounds& bounds) {
  const float width = bounds.umax - bounds.umin;
  const float height = bounds.vmax - bounds.vmin;
  if (width < height) return {true, bounds.vmin, height};
  return {false, bounds.umin, width};
}

bool EqualAllocUV(MQDocument document) {
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  const EqualAllocAxis axis = ChooseEqualAllocAxis(SelectionUVBounds(object));

  std::vector<Entry> entries;
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
      entries.push_back({OrderBits(key), {f, c}});
    }
  }

  // Equal values (0.0 and -0.0 among them) end up adjacent, in walk order.
  SortEntries(entries);
  const auto startsValue = [&](size_t k) { return k == 0 || entries[k - 1].order != entries[k].order; };
  int32_t distinct = 0;
  for (size_t k = 0; k < entries.size(); ++k) distinct += startsValue(k) ? 1 : 0;
  if (distinct <= 2) return true;
  const float step = axis.span / static_cast<float>(distinct - 1);
  // Infinite bounds would turn every middle value into inf or NaN.
  if (!std::isfinite(step)) return true;

  int32_t m = -1;
  for (size_t k = 0; k < entries.size(); ++k) {
    if (startsValue(k)) ++m;
    if (m == 0 || m == distinct - 1) continue;
    const float value = static_cast<float>(m) * step + axis.base;
    const UVVertexRef ref = entries[k].corner;
    if (static_cast<size_t>(ref.corner) >= face.ReadCorners(object, ref.face)) continue;
    UVPair& uv = face.uv(static_cast<size_t>(ref.corner));
    (axis.alongV ? uv.v : uv.u) = value;
    face.WriteUVs(object, ref.face);
  }
  return true;
}

}  // namespace pavlex

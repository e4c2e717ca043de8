#include "plugin/tools/transform/polygon_unfold.h"

#include "plugin/tools/transform/shape_vector.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pavlex {

UnfoldFrame MakeUnfoldFrame(MQPoint origin, MQPoint end, MQPoint third) {
  UnfoldFrame f{};
  f.origin = origin;
  const MQPoint x = Sub(end, origin);
  f.length = Length(x);
  if (f.length > 0.0f) {
    f.xAxis = Divide(x, f.length);
    const MQPoint n = NormalizedOrZero(Cross(f.xAxis, Sub(third, origin)));
    f.yAxis = NormalizedOrZero(Cross(n, f.xAxis));
  }
  return f;
}

namespace {

// Frame `at` (3 * node + edge) of the nodes: its origin, end and third
// corner, as UnfoldPolygon anchors a node on its edge.
struct FrameCorners {
  MQPoint origin, end, third;
};
FrameCorners CornersOf(const std::vector<UnfoldNode>& nodes, const MQPoint* positions, size_t at) {
  const std::array<int32_t, 3>& c = nodes[at / 3].corners;
  const size_t l = at % 3;
  return {positions[static_cast<size_t>(c[(l + 1) % 3])], positions[static_cast<size_t>(c[l])],
          positions[static_cast<size_t>(c[(l + 2) % 3])]};
}

#if defined(__SSE2__)

// Three coordinates of four points, one point a lane.
struct Lanes3 {
  __m128 x, y, z;
};

Lanes3 Sub4(Lanes3 a, Lanes3 b) { return {_mm_sub_ps(a.x, b.x), _mm_sub_ps(a.y, b.y), _mm_sub_ps(a.z, b.z)}; }
// Left to right as Length: (x * x + y * y) + z * z.
__m128 Length4(Lanes3 a) {
  return _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(a.x, a.x), _mm_mul_ps(a.y, a.y)), _mm_mul_ps(a.z, a.z)));
}
Lanes3 Divide4(Lanes3 a, __m128 d) { return {_mm_div_ps(a.x, d), _mm_div_ps(a.y, d), _mm_div_ps(a.z, d)}; }
Lanes3 Cross4(Lanes3 a, Lanes3 b) {
  return {_mm_sub_ps(_mm_mul_ps(a.y, b.z), _mm_mul_ps(a.z, b.y)),
          _mm_sub_ps(_mm_mul_ps(a.z, b.x), _mm_mul_ps(a.x, b.z)),
          _mm_sub_ps(_mm_mul_ps(a.x, b.y), _mm_mul_ps(a.y, b.x))};
}
// +0 in the lanes whose length is not above 0 (NaN included), as
// NormalizedOrZero answers.
Lanes3 NormalizedOrZero4(Lanes3 a) {
  const __m128 length = Length4(a);
  const __m128 above = _mm_cmpgt_ps(length, _mm_setzero_ps());
  const Lanes3 q = Divide4(a, length);
  return {_mm_and_ps(above, q.x), _mm_and_ps(above, q.y), _mm_and_ps(above, q.z)};
}

Lanes3 Load4(const MQPoint (&p)[4]) {
  return {_mm_setr_ps(p[0].x, p[1].x, p[2].x, p[3].x), _mm_setr_ps(p[0].y, p[1].y, p[2].y, p[3].y),
          _mm_setr_ps(p[0].z, p[1].z, p[2].z, p[3].z)};
}

// Four frames at once, each lane the steps of MakeUnfoldFrame in the same
// order, so every lane holds its bits. Lanes whose edge has no length get
// axes all the same; UnfoldFrame leaves those undefined.
void MakeFourFrames(const MQPoint (&origin)[4], const MQPoint (&end)[4], const MQPoint (&third)[4],
                    UnfoldFrame* out, size_t count) {
  const Lanes3 o = Load4(origin);
  const Lanes3 x = Sub4(Load4(end), o);
  const __m128 length = Length4(x);
  const Lanes3 xAxis = Divide4(x, length);
  const Lanes3 n = NormalizedOrZero4(Cross4(xAxis, Sub4(Load4(third), o)));
  const Lanes3 yAxis = NormalizedOrZero4(Cross4(n, xAxis));
  alignas(16) float lanes[7][4];
  _mm_store_ps(lanes[0], length);
  _mm_store_ps(lanes[1], xAxis.x);
  _mm_store_ps(lanes[2], xAxis.y);
  _mm_store_ps(lanes[3], xAxis.z);
  _mm_store_ps(lanes[4], yAxis.x);
  _mm_store_ps(lanes[5], yAxis.y);
  _mm_store_ps(lanes[6], yAxis.z);
  for (size_t i = 0; i < count; ++i) {
    out[i].origin = origin[i];
    out[i].length = lanes[0][i];
    out[i].xAxis = {lanes[1][i], lanes[2][i], lanes[3][i]};
    out[i].yAxis = {lanes[4][i], lanes[5][i], lanes[6][i]};
  }
}

#endif

}  // namespace

void MakeUnfoldFrames(const std::vector<UnfoldNode>& nodes, const MQPoint* positions, UnfoldFrame* frames) {
  const size_t count = 3 * nodes.size();
#if defined(__SSE2__)
  // A frame is three square roots and nine divisions, each waiting on the
  // one before: four frames side by side take the time of one.
  for (size_t at = 0; at < count; at += 4) {
    MQPoint origin[4] = {}, end[4] = {}, third[4] = {};
    const size_t lanes = count - at < 4 ? count - at : 4;
    for (size_t i = 0; i < lanes; ++i) {
      const FrameCorners c = CornersOf(nodes, positions, at + i);
      origin[i] = c.origin;
      end[i] = c.end;
      third[i] = c.third;
    }
    MakeFourFrames(origin, end, third, frames + at, lanes);
  }
#else
  for (size_t at = 0; at < count; ++at) {
    const FrameCorners c = CornersOf(nodes, positions, at);
    frames[at] = MakeUnfoldFrame(c.origin, c.end, c.third);
  }
#endif
}

}  // namespace pavlex

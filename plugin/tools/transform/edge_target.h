// A selected UV edge as an anchor for faces laid onto it.
#pragma once

#include <cmath>

#include "plugin/model/uv_pair.h"
#include "plugin/model/uv_vertex_key.h"

namespace pavlex {

// The edge of a face from corner p to corner q = (p + 1) mod n.
struct EdgeTarget {
  UVPair start;  // UV(p); UV(q) when the face lays itself out (ownFace)
  UVPair dir;    // UV(q) - UV(p); negated for ownFace
  float side;    // +1 when the face lies left of the stored edge p -> q (u right, v up), else -1
};

// `before` is the UV of the corner preceding p. The side is taken from the
// edge as stored, before any reversal, so a face laid onto the reversed
// edge stays on its own side.
inline EdgeTarget MakeEdgeTarget(UVPair p, UVPair q, UVPair before, bool ownFace) {
  const UVPair d{q.u - p.u, q.v - p.v};
  const UVPair w{before.u - p.u, before.v - p.v};
  const float side = d.u * w.v - d.v * w.u >= 0.0f ? 1.0f : -1.0f;
  if (ownFace) return {q, {p.u - q.u, p.v - q.v}, side};
  return {p, d, side};
}

inline float UVLength(UVPair d) {
  return std::sqrt(d.u * d.u + d.v * d.v);
}

// One face to lay onto a target: `a` holds the target's start vertex and
// `b` its end vertex.
struct EdgeMatch {
  UVVertexRef a;
  UVVertexRef b;
};

}  // namespace pavlex

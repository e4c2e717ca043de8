#include "plugin/tools/transform/edge_similarity.h"

namespace pavlex {

EdgeSimilarity MakeEdgeSimilarity(const EdgeTarget& target, UVPair a, UVPair b) {
  const float l = UVLength(target.dir);
  const UVPair d{target.dir.u / l, target.dir.v / l};
  const UVPair e{b.u - a.u, b.v - a.v};
  float m = UVLength(e);
  if (m == 0.0f) m = 1.0f;
  const UVPair eHat{e.u / m, e.v / m};
  EdgeSimilarity similarity;
  similarity.origin = a;
  similarity.k = l / m;
  similarity.c = eHat.u * d.u + eHat.v * d.v;
  similarity.s = eHat.u * d.v - eHat.v * d.u;
  similarity.start = target.start;
  return similarity;
}

UVPair ApplyEdgeSimilarity(const EdgeSimilarity& t, UVPair uv) {
  const float x = uv.u - t.origin.u;
  const float y = uv.v - t.origin.v;
  return {(x * t.c - y * t.s) * t.k + t.start.u, (y * t.c + x * t.s) * t.k + t.start.v};
}

}  // namespace pavlex

// The rotation, uniform scale and translation that lays one UV edge of a
// face onto a target edge ("F" and "G" of Grab).
#pragma once

#include "plugin/model/uv_pair.h"
#include "plugin/tools/transform/edge_target.h"

namespace pavlex {

struct EdgeSimilarity {
  UVPair origin;  // the face's UV at the match's corner a
  float c;        // cosine of the rotation
  float s;        // sine of the rotation
  float k;        // scale |D| / |E|
  UVPair start;   // where `origin` lands
};

// From the face's UVs at corners a and b. An edge of zero length on the
// face is taken as length 1 so the scale stays finite (the face is then
// only moved, and b does not reach the target's end). A zero-length target
// yields a non-finite transform; callers skip such targets.
EdgeSimilarity MakeEdgeSimilarity(const EdgeTarget& target, UVPair a, UVPair b);

// Rotation and scale about `origin`, then translation onto `start`: never a
// reflection, so the face keeps its orientation.
UVPair ApplyEdgeSimilarity(const EdgeSimilarity& similarity, UVPair uv);

}  // namespace pavlex

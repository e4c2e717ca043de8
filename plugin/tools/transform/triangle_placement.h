// The frame that lays a face of at most three corners onto a target edge
// from its 3D shape.
#pragma once

#include "hostapi/mq_types.h"
#include "plugin/tools/transform/edge_target.h"
#include "plugin/tools/transform/shape_placement.h"

namespace pavlex {

// `a`, `b`: positions of the match's corners; `edgeFromA` and
// `edgeIntoA`: the face's edge vectors from corner a and into corner a.
// Corner a lands on the target's start and b on its end. A zero-length 3D
// edge a-b is taken as length 1, which collapses the face onto the start
// (finite, never NaN); a face with no area gets no in-plane axis and is laid
// along the edge line.
ShapeFrame TrianglePlacementFrame(MQPoint a, MQPoint b, MQPoint edgeFromA, MQPoint edgeIntoA,
                                  const EdgeTarget& target);

}  // namespace pavlex

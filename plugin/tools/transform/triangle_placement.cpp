#include "plugin/tools/transform/triangle_placement.h"

#include "plugin/tools/transform/shape_vector.h"

namespace pavlex {

ShapeFrame TrianglePlacementFrame(MQPoint a, MQPoint b, MQPoint edgeFromA, MQPoint edgeIntoA,
                                  const EdgeTarget& target) {
  const MQPoint x = Sub(b, a);
  float lambda = Length(x);
  if (lambda == 0.0f) lambda = 1.0f;
  const float l = UVLength(target.dir);
  ShapeFrame frame;
  frame.origin = a;
  frame.xAxis = Divide(x, lambda);
  frame.yAxis = Cross(NormalizedOrZero(Cross(edgeFromA, edgeIntoA)), frame.xAxis);
  frame.start = target.start;
  frame.direction = {target.dir.u / l, target.dir.v / l};
  frame.side = target.side;
  frame.scale = l / lambda;
  return frame;
}

}  // namespace pavlex

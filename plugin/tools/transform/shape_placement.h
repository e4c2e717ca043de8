// Laying 3D points flat onto a UV target edge ("R" of Grab, "Regularize").
#pragma once

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"

namespace pavlex {

// A 3D frame (origin, unit axis along the anchoring edge, in-plane axis
// towards the face) and the UV edge it is laid onto.
struct ShapeFrame {
  MQPoint origin;
  MQPoint xAxis;
  MQPoint yAxis;
  UVPair start;      // where `origin` lands
  UVPair direction;  // unit UV direction of the target edge
  float side;        // the target's side: the face is put on side -side
  float scale;       // UV length per 3D length
};

// The point's UV. Points on the far side of the anchoring edge (positive
// along yAxis) land on the opposite side of the target edge from the face
// that holds it.
inline UVPair PlaceShapePoint(const ShapeFrame& f, MQPoint p) {
  const MQPoint r{p.x - f.origin.x, p.y - f.origin.y, p.z - f.origin.z};
  const float x = r.x * f.xAxis.x + r.y * f.xAxis.y + r.z * f.xAxis.z;
  const float y = -f.side * (r.x * f.yAxis.x + r.y * f.yAxis.y + r.z * f.yAxis.z);
  return {f.start.u + f.scale * (x * f.direction.u - y * f.direction.v),
          f.start.v + f.scale * (x * f.direction.v + y * f.direction.u)};
}

}  // namespace pavlex

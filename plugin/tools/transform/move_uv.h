// "Move" of the Numerical Manipulate dialog: shifts the selected UV
// vertices of the current object by a fixed offset.
#pragma once

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"

namespace pavlex {

inline UVPair MoveUVPoint(UVPair uv, UVPair offset) {
  return {uv.u + offset.u, uv.v + offset.v};
}

// Moves every selected corner of the current object and rewrites every
// live face, changed or not. Always true, also with no current object.
// Shows the wait cursor while it runs.
bool MoveUV(MQDocument document, UVPair offset);

}  // namespace pavlex

// "Scale" of the Numerical Manipulate dialog: scales the selected UV
// vertices of the current object about a pivot. A negative factor mirrors
// through the pivot; 0 collapses the selection onto it.
#pragma once

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"

namespace pavlex {

inline UVPair ScaleUVPoint(UVPair uv, UVPair pivot, float factor) {
  return {pivot.u + (uv.u - pivot.u) * factor, pivot.v + (uv.v - pivot.v) * factor};
}

// Scales every selected corner of the current object and rewrites every
// live face, changed or not. Always true, also with no current object.
// Shows the wait cursor while it runs.
bool ScaleUV(MQDocument document, float factor, UVPair pivot);

}  // namespace pavlex

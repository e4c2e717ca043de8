// "Gather": snaps nearly coincident selected UV vertices of one model vertex
// of the current object together.
#pragma once

#include <cmath>

#include "hostapi/mq_types.h"
#include "plugin/model/uv_pair.h"

namespace pavlex {

// Visits the live model vertices in ascending order and, within each, its
// selected UV vertices in ascending face, then corner order. Each one moves
// onto the first earlier one of the same model vertex (as that one now
// stands) that lies strictly within `threshold` of it; exactly coincident
// UVs are left alone. Never moves a UV vertex onto another model vertex's.
// The selection never changes. Shows the wait cursor; always answers true.
bool GatherUV(MQDocument document, float threshold);

// The roundings below decide which pairs sit exactly on the boundary, so
// they are part of the tool's behaviour: the squared threshold is t to the
// power 2 in double, stored as a float; distances are float differences,
// squared and summed in double.
inline float GatherThresholdSquared(float threshold) {
  return static_cast<float>(std::pow(static_cast<double>(threshold), 2));
}

inline double GatherDistanceSquared(UVPair a, UVPair b) {
  const float du = a.u - b.u;
  const float dv = a.v - b.v;
  return static_cast<double>(du) * static_cast<double>(du) +
         static_cast<double>(dv) * static_cast<double>(dv);
}

// Strictly within the threshold and not already there. NaN never snaps.
inline bool GatherSnaps(double distanceSquared, float thresholdSquared) {
  return distanceSquared > 0.0 && distanceSquared < static_cast<double>(thresholdSquared);
}

}  // namespace pavlex

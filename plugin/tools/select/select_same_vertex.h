// "same vertex": widens the UV selection of the current object to every UV
// vertex of each model vertex that has a selected one, whatever the UVs.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// For each selected corner, found by a live test as the ascending face walk
// reaches it, selects in each face the host relates to that corner's vertex
// the first corner using the vertex (a related face without one adds
// nothing). Nothing is deselected. Shows the wait cursor; always answers
// true (also with no current object).
bool SelectSameVertex(MQDocument document);

}  // namespace pavlex

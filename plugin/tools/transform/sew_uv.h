// "Sew" and the "V" of "Grab": bring the UV vertices of each model vertex
// of the current object together where some of them are selected.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

enum class SewMode {
  kToMean,      // "Sew": the selected UV vertices meet at their mean
  kToSelected,  // "V" of "Grab": every UV vertex jumps onto the selected ones
};

// For each model vertex with a selected UV vertex (found by a live test as
// the ascending face walk reaches it), takes the mean of its selected UV
// vertices and writes it:
//  - kToMean: to the selected UV vertices only, closing seams
//    between selected parts;
//  - kToSelected: to every UV vertex of the model vertex, so the
//    unselected side of a seam jumps onto the selected side. Only when the
//    selected UV vertices already coincide (model/uv_identity.h) with the
//    one that triggered the visit; otherwise the model vertex is left alone.
// With selectedFacesOnly, only corners of faces selected in the host are
// written. A mean that is not a finite number (a NaN among the UVs, or a
// sum beyond float range) is not written. The selection never changes.
// Shows the wait cursor; always answers true.
bool SewUV(MQDocument document, SewMode mode, bool selectedFacesOnly);

}  // namespace pavlex

// "UV -> Object": carries the UV-vertex selection of the current object to
// its model vertices, lines or faces.
//
// Each tool only adds to the target selection and leaves the UV selection
// as it is. It walks the live faces in ascending order and tests the UV
// selection live, corner by corner. It answers true when it issued at least
// one addition to the host, even if that element was selected already, and
// false when it issued none (also with no current object). The wait cursor
// is shown for the whole run.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// Selects the model vertex of every selected UV vertex; a vertex shared by
// several selected corners is added once per corner.
bool UVToObjectVertex(MQDocument document);

// Selects line j of a face when the UV vertices of corners j and (j + 1)
// mod n are both selected.
bool UVToObjectLine(MQDocument document);

// Selects every face whose UV vertices are all selected.
bool UVToObjectFace(MQDocument document);

}  // namespace pavlex

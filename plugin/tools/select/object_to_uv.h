// "Object -> UV": carries the model selection of vertices, lines or faces
// of the current object to its UV vertices (face corners).
//
// Each tool only adds UV vertices and leaves the model selection as it is.
// It walks the live faces in ascending order and tests the model selection
// live. It answers true when it issued at least one addition to the host,
// even if that UV vertex was selected already, and false when it issued none
// (also with no current object). The wait cursor is shown for the whole run.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// Selects every corner of every selected model vertex, in every face and
// whatever its UV, so a UV seam does not stop it.
bool ObjectToUVVertex(MQDocument document);

// Selects both end corners of every selected line.
bool ObjectToUVLine(MQDocument document);

// Selects every corner of every selected face.
bool ObjectToUVFace(MQDocument document);

}  // namespace pavlex

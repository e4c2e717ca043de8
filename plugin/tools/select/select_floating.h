// "floating": narrows the UV selection of the current object to whole faces.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// Deselects every corner of each face that has some corner unselected;
// faces with all corners selected keep them. Faces are visited in ascending
// order and their corners tested live, so the state as each face is reached
// counts. Shows the wait cursor; always answers true (also with no current
// object).
bool SelectFloating(MQDocument document);

}  // namespace pavlex

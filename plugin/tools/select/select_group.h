// "group": widens the UV selection of the current object to whole UV
// islands.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// Selects every corner of every face of each UV island (model/uv_island.h)
// that holds a selected UV vertex. Nothing is deselected. Shows the wait
// cursor; always answers true (also with no current object).
bool SelectGroup(MQDocument document);

}  // namespace pavlex

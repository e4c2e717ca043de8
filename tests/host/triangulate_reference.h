// The plain ear clipping the host's triangulation must agree with.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"

namespace pavlex::host::reference {

// Same contract and same triangles as TriangulatePolygon, in quadratic time
// or worse: for tests of moderate polygons only.
bool TriangulateByRingScan(const MQPoint* points, int32_t count, int32_t* indices);

}  // namespace pavlex::host::reference

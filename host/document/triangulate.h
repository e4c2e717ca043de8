// Triangulation of one 3D polygon, as MQDoc_Triangulate offers it.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"

namespace pavlex::host {

// Triangulates the polygon points[0..count-1] (corner order, any plane,
// possibly concave, possibly non-planar or degenerate) into exactly
// count - 2 triangles, written to `indices` as 3 * (count - 2) corner
// positions. Every triangle keeps the polygon's winding. For a simple
// polygon the triangles tile it exactly; for a degenerate or
// self-intersecting one the count is still count - 2, the least-bad corner
// being cut off where no proper ear exists.
//
// Answers false (writing nothing) for count < 3 or null pointers. Needs no
// heap memory for count <= 64; above that it may throw std::bad_alloc.
bool TriangulatePolygon(const MQPoint* points, int32_t count, int32_t* indices);

}  // namespace pavlex::host

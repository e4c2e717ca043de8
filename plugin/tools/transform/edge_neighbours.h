// The faces across a model edge that a selected UV edge can pull along.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/model/cmq_object.h"
#include "plugin/tools/transform/edge_target.h"

namespace pavlex {

// Every face that uses both vertices and holds them as adjacent corners,
// in ascending face order, with `a` the corner of `start` and `b` the corner
// of `end`. A face with any selected UV vertex (tested live) is left out, so
// the face holding the selected edge never matches itself. Both windings
// match, and a non-manifold edge gives one match per face. `matches` is
// replaced; a caller that asks per edge keeps it, and its storage, between
// calls.
void FindEdgeNeighbours(const cmq::CMQObject& object, int32_t start, int32_t end,
                        std::vector<EdgeMatch>& matches);

}  // namespace pavlex

// The face of an object that uses every vertex of a list.
#pragma once

#include <cstdint>
#include <vector>

#include "plugin/model/cmq_object.h"

namespace pavlex {

// The smallest index among the faces that use all of `vertices` (in any
// order and position), or -1 when there is none or the list is empty.
// Asks the host for each vertex's related faces, stopping as soon as no
// face is left.
int32_t FindFaceWithVertices(const cmq::CMQObject& object, const std::vector<int32_t>& vertices);

}  // namespace pavlex

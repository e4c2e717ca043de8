// "Symmetrize": gives the selected faces of the current object mirror copies
// of the UVs of their partner faces across the model's symmetry plane x = 0.
#pragma once

#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/model/face_corner.h"

namespace pavlex {

// The corners a face receives from its mirror partner, whose corners are
// `partner` (m of them): record r takes partner corner (m - r + k0) mod m,
// so the face's corner 0 pairs with partner corner k0 and the rest follow
// in reverse, the way a mirrored face winds. With `wide`, u becomes
// 1 - u (mirrored about u = 0.5); v is kept. k0 must lie in [0, m).
std::vector<FaceCorner> MirroredFaceCorners(const std::vector<FaceCorner>& partner, int32_t k0, bool wide);

// Builds the mirror vertex map of the current object, which deselects every
// vertex that has a mirror (or lies on the plane). Then, in ascending
// order, each face that is selected and visible, whose vertices all have
// mirrors and whose mirrored vertices all belong to another face with the
// same corner count, takes that face's UVs as read at that moment. Other
// faces are left as they are. Always answers true. Shows the wait cursor
// while it runs.
bool SymmetrizeUV(MQDocument document, bool wide);

}  // namespace pavlex

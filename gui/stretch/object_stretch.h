// The stretch colours of a host object, one per face, for the views that
// paint them.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/stretch/face_stretch.h"
#include "host/document/host_object.h"

namespace pavlex::gui::stretch {

// Per-face colours of `object`, indexed by the object's face index (all
// faceCount() slots, deleted faces included): 4 bytes r, g, b, a per face.
// A deleted face (no corners) gets alpha 0, a face that cannot be judged
// (fewer than three corners, no model area, non-finite values) mid grey.
// `scratch` keeps the measures between calls so repeated runs allocate
// nothing.
void ObjectStretchColours(const host::HostObject& object, std::vector<FaceStretch>* scratch,
                          std::vector<uint8_t>* colours);

}  // namespace pavlex::gui::stretch

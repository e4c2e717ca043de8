// The UV rectangle the transform tools work against, and the bounds of the
// UV-vertex selection of one object.
#pragma once

#include "plugin/model/cmq_object.h"

namespace pavlex {

// A rectangle in UV space. Smaller u is left and smaller v is up (top). No
// ordering between min and max is enforced: every tool uses the fields
// exactly as passed.
struct UVBounds {
  float umin;
  float umax;
  float vmin;
  float vmax;
};

inline constexpr UVBounds kUnitUVSquare = {0.0f, 1.0f, 0.0f, 1.0f};

// The smallest rectangle holding every selected UV vertex (face corner) of
// `object`, or the unit square when no corner is selected, the object has
// no live face or the handle is null. NaN coordinates never widen the
// rectangle. Shows the wait cursor while it runs.
UVBounds SelectionUVBounds(const cmq::CMQObject& object);

}  // namespace pavlex

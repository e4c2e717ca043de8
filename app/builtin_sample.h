// The document pavlex opens when no model is named: small enough to read
// in a `print uv`, varied enough that every tool has something to do.
#pragma once

#include <string>

#include "host/obj/obj_file.h"

namespace pavlex::app {

// Objects, in slot order (the first is current):
//   0 "Crate"  a box: its four sides in one UV strip cut along one edge (a
//              seam), its top and bottom as two more islands; materials
//              "Wood" (sides) and "WoodDark" (caps).
//   1 "Mask"   a 2 x 2 quad grid symmetric about x = 0 whose right half is
//              mapped slightly off the mirror image of its left; "Paint".
//   2 "Banner" a pentagon and a hexagon sharing one edge, one island; "Wood".
// "Wood" and "WoodDark" share the texture "wood.png". The scene holds one
// warm light. Every UV lies in the unit square and no two objects overlap
// there.
host::ObjImport LoadBuiltinSample();

// The OBJ text of the sample, for people who want to start from it.
const std::string& BuiltinSampleText();

}  // namespace pavlex::app

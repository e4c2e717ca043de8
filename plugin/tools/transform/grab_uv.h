// "F", "G" and "R" of "Grab", and "Regularize": faces attached to each
// selected UV edge of the current object.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// For every selected UV edge (both corners of a face edge selected, tested
// live in ascending face and corner order; edges of zero UV length are
// skipped), one after another so later edges see earlier moves:
//  - without ownFace, each face across the model edge with no selected UV
//    vertex is attached to the edge on the far side:
//      - useShape false: by the similarity that lays its copy of the edge
//        onto the selected one ("F"); with moveGroup its whole UV island
//        moves by that similarity ("G");
//      - useShape true: laid out anew from its 3D shape ("R");
//  - with ownFace and useShape, the face holding the edge is laid out anew
//    from its 3D shape, the edge staying where it is ("Regularize").
// With selectedFacesOnly, only faces selected as faces in the host move.
// Only UVs change; the selection never does. A UV that would come out NaN
// or infinite is not written: that corner keeps its previous UV. With
// moveGroup and useShape together (no button asks for it) each face of the
// island is laid out by its own kind, a face of up to three corners from
// the matched face's frame, a polygon by its own unfold.
// Shows the wait cursor; always answers true.
bool GrabUV(MQDocument document, bool moveGroup, bool useShape, bool ownFace, bool selectedFacesOnly);

}  // namespace pavlex

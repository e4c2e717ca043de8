// "F", "G" and "R" of "Grab", and "Regularize": faces attached to each
// selected UV edge of the current object.
#pragma once

#include "hostapi/mq_types.h"

namespace pavlex {

// What each selected UV edge does, one mode per button.
enum class GrabMode {
  kAttachFaces,    // "F": neighbours keep their UV shape and are laid onto the edge
  kAttachIslands,  // "G": as kAttachFaces, but each neighbour's whole UV island moves
  kReshapeFaces,   // "R": neighbours are laid out anew from their 3D shape
  kRegularize,     // "Regularize": the edge's own face is laid out anew, the edge kept
};

// For every selected UV edge (both corners of a face edge selected, tested
// live in ascending face and corner order; edges of zero UV length are
// skipped), one after another so later edges see earlier moves:
//  - without ownFace (every mode but kRegularize), each face across the model edge with no selected UV
//    vertex is attached to the edge on the far side:
//      - kAttachFaces: by the similarity that lays its copy of the edge
//        onto the selected one; kAttachIslands: its whole UV island moves
//        by that similarity;
//      - kReshapeFaces: laid out anew from its 3D shape;
//  - kRegularize: the face holding the edge is laid out anew from its 3D
//    shape, the edge staying where it is.
// With selectedFacesOnly, only faces selected as faces in the host move.
// Only UVs change; the selection never does. A UV that would come out NaN
// or infinite is not written: that corner keeps its previous UV.
// Shows the wait cursor; always answers true.
bool GrabUV(MQDocument document, GrabMode mode, bool selectedFacesOnly);

}  // namespace pavlex

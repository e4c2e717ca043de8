// UV islands: faces connected through corners that are one UV vertex
// (model/uv_identity.h). Two faces that share a single such vertex are
// connected; faces that share a model vertex across a UV seam are not.
//
// Both operations read UVs live from the host and change nothing in it.
#pragma once

#include <cstdint>

#include "plugin/model/cmq_object.h"
#include "plugin/model/face_marks.h"
#include "plugin/model/face_set.h"
#include "plugin/model/vertex_uv_index.h"

namespace pavlex {

// Adds to `island` every face connected to `seed`, breadth first, and marks
// in `reached` each face found through a matching corner. A face already in
// `reached` is never entered again, so one reached set shared over several
// floods keeps each island from being walked twice.
//
// The seed itself is not marked by this call (a caller may have marked it
// already). Since the seed's corners are entries of the index too, an
// unmarked seed matches itself, is marked and visited once more, adding
// nothing. A seed whose UVs match nothing (NaN, say) still joins `island`.
// `index` must describe the object as it is now.
void FloodUVIsland(const cmq::CMQObject& object, int32_t seed, FaceSet& island, const VertexUVIndex& index,
                   FaceSet& reached);
// The same with the reached faces kept as flags over the object's face
// slots: the fast form for floods that may cover the whole object.
void FloodUVIsland(const cmq::CMQObject& object, int32_t seed, FaceSet& island, const VertexUVIndex& index,
                   FaceMarks& reached);

// Adds to `island` every face of every island that holds a selected UV
// vertex. Faces are scanned in ascending order and the selection is tested
// live as each face is reached; a face already reached by an earlier island
// is not tested. No selection is changed.
void CollectSelectedIslands(const cmq::CMQObject& object, FaceSet& island);

}  // namespace pavlex

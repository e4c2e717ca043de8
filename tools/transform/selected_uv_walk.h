// The walk shared by the tools that move selected UV vertices in place: the
// live faces of one object in ascending order, each face's corners in
// order, the selection tested live at the moment each corner is reached.
#pragma once

#include <cstdint>
#include <vector>

#include "model/cmq_face_range.h"
#include "model/cmq_object.h"
#include "model/face_corner.h"

namespace pavlex {

// Calls visit(u, v) for every selected corner. Writes nothing.
template <typename Visit>
void ForEachSelectedUV(const cmq::CMQObject& object, Visit&& visit) {
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    const std::vector<FaceCorner> corners = object.GetFaceCorners(f);
    for (size_t j = 0; j < corners.size(); ++j) {
      if (object.IsSelectUVVertex(UVVertexKey::Pack(f, static_cast<int32_t>(j)))) {
        visit(corners[j].u, corners[j].v);
      }
    }
  }
}

// Calls move(corner) for every selected corner, and writes every live face
// back whether or not a corner changed: the host sees one UV write per face
// per run, whatever the selection.
template <typename Move>
void MoveSelectedUVs(const cmq::CMQObject& object, Move&& move) {
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    std::vector<FaceCorner> corners = object.GetFaceCorners(f);
    for (size_t j = 0; j < corners.size(); ++j) {
      if (object.IsSelectUVVertex(UVVertexKey::Pack(f, static_cast<int32_t>(j)))) move(corners[j]);
    }
    object.SetFaceCorners(f, corners);
  }
}

}  // namespace pavlex

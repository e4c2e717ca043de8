// The walk shared by the tools that move selected UV vertices in place: the
// live faces of one object in ascending order, each face's corners in
// order, the selection tested live at the moment each corner is reached.
// Each face is read afresh into one buffer reused for the whole walk.
#pragma once

#include <cstdint>

#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_uv_buffer.h"
#include "plugin/model/uv_pair.h"
#include "plugin/model/uv_vertex_key.h"

namespace pavlex {

// Calls visit(uv) for every selected corner. Writes nothing.
template <typename Visit>
void ForEachSelectedUV(const cmq::CMQObject& object, Visit&& visit) {
  FaceUVBuffer face;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    const size_t n = face.ReadCorners(object, f);
    for (size_t j = 0; j < n; ++j) {
      if (object.IsSelectUVVertex(UVVertexKey::Pack(f, static_cast<int32_t>(j)))) visit(face.uv(j));
    }
  }
}

// Calls move(uv) for every selected corner, and writes every live face
// back whether or not a corner changed: the host sees one UV write per face
// per run, whatever the selection. A move that would turn a finite UV into
// NaN or infinity (UVs near the float range, turned or scaled past it) is
// undone for that corner: it keeps its UV, since a file could not hold the
// result and every later tool would spread it.
template <typename Move>
void MoveSelectedUVs(const cmq::CMQObject& object, Move&& move) {
  FaceUVBuffer face;
  const cmq::CMQFaceRange faces(object);
  for (auto it = faces.begin(); it != faces.end(); ++it) {
    const int32_t f = it.index();
    const size_t n = face.ReadCorners(object, f);
    for (size_t j = 0; j < n; ++j) {
      if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, static_cast<int32_t>(j)))) continue;
      UVPair& uv = face.uv(j);
      const UVPair before = uv;
      move(uv);
      if (!IsFiniteUV(uv) && IsFiniteUV(before)) uv = before;
    }
    face.WriteUVs(object, f);
  }
}

}  // namespace pavlex

// A handle on one host object in one document.
//
// The handle copies nothing: every operation reads or writes the host at the
// moment it is called, so a later call sees any change made in between. A
// handle lives for one tool run. A handle whose object is null (no current
// object, or an empty slot) behaves as an object without faces or vertices
// and never calls the host.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/face_corner.h"
#include "plugin/model/uv_vertex_key.h"

namespace cmq {

class CMQObject {
 public:
  CMQObject(MQDocument document, MQObject object) : object_(object), document_(document) {}
  // Clears both handles; releases nothing in the host.
  virtual ~CMQObject();
  CMQObject(const CMQObject&) = default;
  CMQObject& operator=(const CMQObject&) = default;

  // The current object of `document`, possibly null.
  static CMQObject Current(MQDocument document);

  MQObject object() const { return object_; }
  MQDocument document() const { return document_; }

  // The object's slot in the document, asked afresh; -1 when the object is
  // null or not in the document. Every selection operation below passes it.
  int32_t GetIndex() const {
    if (object_ == nullptr) return -1;
    return pavlex::Host().MQDoc_GetObjectIndex(document_, object_);
  }

  // The per-face and per-corner questions are inline: tools ask them
  // millions of times a press.
  int32_t GetFaceCount() const {  // face slots, deleted ones included
    return object_ != nullptr ? pavlex::Host().MQObj_GetFaceCount(object_) : 0;
  }
  int32_t GetFacePointCount(int32_t face) const {  // 0 for a deleted face
    return object_ != nullptr ? pavlex::Host().MQObj_GetFacePointCount(object_, face) : 0;
  }
  int32_t GetVertexCount() const;                   // vertex slots, deleted ones included
  int32_t GetVertexRefCount(int32_t vertex) const;  // 0 for a deleted vertex

  // Vertex indices of the face's corners; empty for a deleted face (and
  // then only the corner count is asked). The second form reuses `out`;
  // it is inline, as tools read a face per corner they visit.
  std::vector<int32_t> GetFacePointArray(int32_t face) const;
  void GetFacePointArray(int32_t face, std::vector<int32_t>& out) const {
    const int32_t count = GetFacePointCount(face);
    if (count <= 0) {
      out.clear();
      return;
    }
    // The host writes every entry, so a list already of the face's length
    // (the usual case, face after face) is neither cleared nor filled first.
    out.resize(static_cast<size_t>(count));
    pavlex::Host().MQObj_GetFacePointArray(object_, face, out.data());
  }

  // The face's corners with their UVs; empty for a deleted face.
  std::vector<pavlex::FaceCorner> GetFaceCorners(int32_t face) const;

  // Writes the u, v of `corners`, in list order, as the face's UVs; vertex
  // fields are ignored. The host reads one UV per corner of the face, so a
  // list whose length differs from the face's corner count is refused:
  // answers false and writes nothing. Empty lists write nothing either.
  bool SetFaceCorners(int32_t face, const std::vector<pavlex::FaceCorner>& corners) const;

  // Faces that use the vertex, in the host's order. The second form reuses
  // `out`, and is inline for the same reason as GetFacePointArray.
  std::vector<int32_t> GetVertexRelatedFaces(int32_t vertex) const;
  void GetVertexRelatedFaces(int32_t vertex, std::vector<int32_t>& out) const {
    const int32_t count =
        object_ != nullptr ? pavlex::Host().MQObj_GetVertexRelatedFaces(object_, vertex, nullptr) : 0;
    if (count <= 0) {
      out.clear();
      return;
    }
    // Filled whole by the host: no clear and refill first.
    out.resize(static_cast<size_t>(count));
    pavlex::Host().MQObj_GetVertexRelatedFaces(object_, vertex, out.data());
  }

  // Position of the edge's end minus its start, where the edge runs from
  // `corner` to the next corner (the last corner's successor is corner 0).
  // Negative corners count back from the end: -1 is the edge from the last
  // corner to corner 0. A deleted face gives (0, 0, 0).
  MQPoint GetEdgeVector(int32_t face, int32_t corner) const;

  // The face split into n - 2 triangles of corner positions, as the host
  // triangulates it; empty below three corners or when the host refuses.
  std::vector<std::array<int32_t, 3>> TriangulateFace(int32_t face) const;

  // Selection states and additions. Add* answer true when the host reports
  // the element exists, whether or not it was selected already.
  bool IsSelectUVVertex(pavlex::UVVertexKey key) const {
    if (object_ == nullptr) return false;
    const pavlex::UVVertexRef ref = key.Unpack();
    return pavlex::Host().MQDoc_IsSelectUVVertex(document_, GetIndex(), ref.face, ref.corner) != 0;
  }
  bool AddSelectUVVertex(pavlex::UVVertexKey key) const {
    if (object_ == nullptr) return false;
    const pavlex::UVVertexRef ref = key.Unpack();
    return pavlex::Host().MQDoc_AddSelectUVVertex(document_, GetIndex(), ref.face, ref.corner) != 0;
  }
  bool IsSelectVertex(int32_t vertex) const;
  bool AddSelectVertex(int32_t vertex) const;
  bool IsSelectLine(int32_t face, int32_t line) const;  // line j: corner j to (j + 1) mod n
  bool AddSelectLine(int32_t face, int32_t line) const;
  bool IsSelectFace(int32_t face) const;
  bool AddSelectFace(int32_t face) const;

 private:
  MQObject object_;
  MQDocument document_;
};

}  // namespace cmq

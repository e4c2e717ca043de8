// The mesh of one host object as flat arrays, and writes back from them.
// Corners are those of the live faces (corner count > 0) in ascending face
// order, each face's corners in order: the order `print uv` lists them in.
// Nothing here knows Python; the module hands these functions raw buffers
// it has checked for size and type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/document/host_object.h"

namespace pavlex::python {

// Corners of the live faces.
size_t LiveCornerCount(const host::HostObject& object);

// `out` holds 2 * LiveCornerCount() floats: u, v per corner.
void CopyUVs(const host::HostObject& object, float* out);
// `out` holds faceCount() counts, one per face slot, 0 for a deleted face.
void CopyFaceCornerCounts(const host::HostObject& object, int32_t* out);
// `out` holds LiveCornerCount() vertex indices.
void CopyCornerVertices(const host::HostObject& object, int32_t* out);
// `out` holds 3 * vertexCount() floats, deleted vertex slots included, so
// the corner vertex indices index it directly.
void CopyPositions(const host::HostObject& object, float* out);
// `out` holds LiveCornerCount() flags.
void CopyUVSelection(const host::HostObject& object, bool* out);

// The index of the first corner whose u or v is not finite, or -1. The
// command language refuses such numbers, and an OBJ file cannot keep them.
std::ptrdiff_t FirstNonFiniteUV(const float* uvs, size_t corners);

// Writes `uvs` (2 * LiveCornerCount() floats) through HostObject::setUV,
// the host's one way to change a UV, touching only the corners whose value
// differs, so the undo step holds just what changed. Answers how many
// corners changed.
size_t WriteUVs(host::HostObject& object, const float* uvs);
// The same for the UV selection, through setUVSelected.
size_t WriteUVSelection(host::HostObject& object, const bool* selected);

}  // namespace pavlex::python

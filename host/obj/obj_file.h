// Wavefront OBJ and MTL files in and out of the stand-in host.
//
// Import rules:
// - Objects: each `o` or `g` starts a new host object, except that while the
//   current object has no faces yet it is renamed instead, and a `g` naming
//   an object the file already started continues that object. Statements
//   before any `o`/`g` belong to an object named after the file. Objects
//   that end up without faces are left out (a file without any face gives
//   one empty object, so the document always has a current object).
// - Each host object gets its own vertex array: the `v` entries its faces
//   use, in file order. A `v` used by two objects becomes one vertex in
//   each.
// - `f` takes v, v/vt, v//vn and v/vt/vn corners with positive or negative
//   (relative) indices. A positive index may point past the entries read
//   so far (a patched save appends its vt lines at the end); it is checked
//   against the whole file. A corner without vt gets UV (0, 0). Corners
//   that share a `v` but differ in `vt` (UV seams) keep both their shared
//   vertex and their own UVs.
// - `l` polylines become one two-corner face per segment. `s` sets the
//   smoothing group of the following faces ("off" = 0). `usemtl` sets their
//   material (no name = none); a name no library defines gets a material
//   with the host's default values.
// - `vn` entries are checked and kept in the file, not in the document;
//   `p`, free-form geometry and unknown statements are ignored with a
//   warning.
// - mtllib: see mtl_reader.h for how MTL values map onto host materials. A
//   library is a side file: one that is missing, cannot be read or is not
//   text, and any statement in it that cannot be understood, is a warning,
//   never a reason not to load the model.
//
// Export: while every object still has the structure it was read with, the
// saved OBJ is the original file, byte for byte, except that a face whose
// UVs changed gets new vt references (new vt lines are appended at the end
// of the file). Otherwise a clean OBJ is generated (comments, normals and
// ignored statements are then lost). Materials: while they are unchanged,
// the libraries read are kept; otherwise one MTL file named after the OBJ
// holds them all, image names rewritten to lead to the files they led to
// from the library that defined each material.
// Kept libraries, saved into the folder the model was read from: the mtllib
// statements stay, and a library inside that folder is written back only
// if the file no longer holds what was read. Saved into another folder:
// each library read is copied beside the OBJ under its own file name ("-2",
// "-3"... before the extension when two would share one or one would
// replace another library of the model), its image names rewritten to lead
// to the same files from there, and the mtllib statements name the copies;
// a library that was not read keeps its name as written.
// Refused before anything is written: an OBJ target that is the file of a
// library the save writes or names, and a NaN or infinite UV, vertex
// position or material value (the reader would refuse the file).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/document/host_document.h"
#include "host/obj/obj_source.h"

namespace pavlex::host {

struct ObjImport {
  std::unique_ptr<HostDocument> document;
  std::unique_ptr<ObjSource> source;  // what was read, for a lossless save
  std::vector<std::string> warnings;  // "file:line: message", at most a few dozen
};

// An OBJ file of at least this size is kept for the lossless save in a
// private copy on disk (io::FileBytes) rather than in memory.
constexpr uint64_t kObjKeptOnDiskFrom = uint64_t{1} << 20;

// Reads an OBJ file and the material libraries it names (relative to the
// file's folder). Nothing is half-loaded: on failure `out` is untouched and
// `error` is one line, "file:line: message" (or "file: message").
bool LoadObjFile(const std::string& path, ObjImport* out, std::string* error);

// As LoadObjFile for text already in memory. `displayName` names the text in
// messages and names its default object; material libraries are looked up
// in `baseDir` (the current folder when empty).
bool LoadObjText(std::string_view text, const std::string& displayName, const std::string& baseDir,
                 ObjImport* out, std::string* error);

// Writes the document as an OBJ file at `path`, plus its material file(s)
// beside it when it has materials. `source` (may be null) is the image of
// the file the document was read from; see above for how it is used. Every
// file is written to a temporary file in its folder and renamed over the
// target only when all of them were written completely, so a failed save
// leaves existing files as they were. On failure `error` is one line.
bool SaveObjFile(const HostDocument& doc, const ObjSource* source, const std::string& path,
                 std::string* error);

}  // namespace pavlex::host

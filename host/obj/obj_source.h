// The retained image of an imported OBJ file: its bytes and what the reader
// learned from them. A save compares the document with this image; while
// only UVs changed it patches the bytes instead of writing a new file, so
// everything the host does not model (comments, normals, spacing, line
// breaks, statements it ignores) survives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/document/host_material.h"
#include "host/io/file_bytes.h"
#include "host/obj/obj_elements.h"
#include "hostapi/mq_types.h"

namespace pavlex::host {

class HostDocument;

class ObjSource {
 public:
  // A host object the file produced, as it was right after the import.
  struct ObjectImage {
    int32_t slot;
    int32_t uniqueId;
    std::string name;
    uint64_t structureRevision;
  };

  // A material library an mtllib statement named and the reader found.
  struct Library {
    std::string reference;  // as written in the file
    std::string path;       // the file read: `reference` resolved from `folder`
    std::string bytes;      // its content when read
  };

  // One mtllib statement. A save into another folder rewrites its names.
  struct LibraryStatement {
    uint64_t offset;                  // first byte of its names in `text`
    std::vector<std::string> names;   // the files it names, as written
    std::vector<int32_t> libraries;   // per name: index into `libraries`, -1 when not read
  };

  io::FileBytes text;                   // the file, byte for byte (a large one on disk)
  std::string lineBreak;                // "\r\n" or "\n": the file's style, for added lines
  std::vector<MQCoordinate> texcoords;  // every vt, in file order
  std::vector<float> texcoordW;         // third vt component, NaN when absent;
                                        // empty when no vt has one
  // Every f and l statement; a run's `object` is an index into `objects`.
  obj::PackedElements elements;
  std::vector<ObjectImage> objects;
  std::vector<HostMaterial> materials;         // copies of the document's, by slot
  std::vector<std::string> libraryReferences;  // every mtllib name, in order
  std::vector<LibraryStatement> libraryStatements;  // the same statements, name by name
  std::vector<Library> libraries;              // those that were read
  std::vector<int32_t> materialLibraries;      // per entry of `materials`: index into
                                               // `libraries` of the one defining it, or -1
  std::string folder;  // the folder names in the file are relative to ("" = the current one)

  // The UV a corner had when read: that of its vt (0-based), or (0, 0)
  // for -1 (none).
  MQCoordinate originalUV(int32_t vt) const {
    return vt < 0 ? MQCoordinate{0.0f, 0.0f} : texcoords[static_cast<size_t>(vt)];
  }

  // True while the document holds exactly the objects the file made, in
  // their slots, with their names, structure and smoothing groups: then
  // only UVs (or things OBJ does not store) changed, and patching `text`
  // describes the document.
  bool structureMatches(const HostDocument& doc) const;

  // True while the document's materials are the ones read, in the same
  // slots, with every value unchanged.
  bool materialsMatch(const HostDocument& doc) const;

  // The folder the image names of a material are relative to: that of the
  // library that defined it. False for a material no library read from disk
  // defined (the plug-in's own, or one a usemtl named): its names have no
  // folder of origin.
  bool imageFolder(const HostMaterial& material, std::string* out) const;
};

namespace obj {

// Bitwise equality of UVs: a save must notice a change from 0 to -0.
bool SameUV(const MQCoordinate& a, const MQCoordinate& b);

// Field-by-field equality of what a material file stores (identity ignored;
// floats compared bitwise).
bool SameMaterialValues(const HostMaterial& a, const HostMaterial& b);

// The file a material's texture image (map_Kd) is read from: its name
// resolved from the folder of the library that defined the material, as
// the reader resolved that library's names; a material no library defined
// resolves from the folder of `documentPath` (the current folder when it
// is empty). `source` may be null. Empty when the material names no image.
std::string MaterialTexturePath(const HostMaterial& material, const ObjSource* source,
                                const std::string& documentPath);

}  // namespace obj

}  // namespace pavlex::host

// The lossless save: the imported file's bytes with only what the UV edits
// require changed. A face (or polyline) whose UVs all still equal what was
// read keeps its line as it was. A line with a changed UV is rewritten
// token by token, blanks and comments kept: changed corners, and corners
// that had no vt, get a reference to a new vt entry; other tokens stay as
// written. New vt lines go at the end of the file, so earlier relative
// indices stay valid and positive ones keep their meaning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/document/host_document.h"
#include "host/obj/obj_source.h"

namespace pavlex::host::obj {

// Bytes of the source text to replace as well (the names of an mtllib
// statement); never inside an f or l line.
struct TextEdit {
  uint64_t offset;
  uint64_t length;
  std::string text;
};

// Needs source.structureMatches(doc); `edits` ascend by offset. Answers
// false when no patch can describe the document: a polyline point whose
// two segments now have different UVs, or more vt entries than indices can
// address.
bool PatchObjText(const HostDocument& doc, const ObjSource& source, std::string* out,
                  const std::vector<TextEdit>& edits = {});

}  // namespace pavlex::host::obj

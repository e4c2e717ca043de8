// The lossless save: the imported file's bytes with only what the UV edits
// require changed. A face (or polyline) whose UVs all still equal what was
// read keeps its line as it was. A line with a changed UV is rewritten
// token by token, blanks and comments kept: changed corners, and corners
// that had no vt, get a reference to a new vt entry; other tokens stay as
// written. New vt lines go at the end of the file, so earlier relative
// indices stay valid and positive ones keep their meaning.
#pragma once

#include <string>

#include "host/document/host_document.h"
#include "host/obj/obj_source.h"

namespace pavlex::host::obj {

// Needs source.structureMatches(doc). Answers false when no patch can
// describe the document: a polyline point whose two segments now have
// different UVs, or more vt entries than indices can address.
bool PatchObjText(const HostDocument& doc, const ObjSource& source, std::string* out);

}  // namespace pavlex::host::obj

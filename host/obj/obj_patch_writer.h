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
#include "platform/byte_sink.h"

namespace pavlex::host::obj {

// Bytes of the source text to replace as well (the names of an mtllib
// statement); never inside an f or l line.
struct TextEdit {
  uint64_t offset;
  uint64_t length;
  std::string text;
};

enum class PatchResult {
  kWritten,
  kNotDescribable,    // no patch describes the document (see below); nothing useful was written
  kSinkRefused,       // the sink refused bytes; its owner knows why
  kSourceUnreadable,  // the kept copy of the file could not be read
};

// Needs source.structureMatches(doc); `edits` ascend by offset. Streams the
// patched text into `sink`, with about a megabyte held at a time. No patch
// describes the document when a polyline point's two segments now have
// different UVs, or when there would be more vt entries than indices can
// address; that is found partway, so a caller that gets kNotDescribable
// discards what the sink took. `reason` (may be null) receives the
// system's words for kSourceUnreadable.
PatchResult PatchObjText(const HostDocument& doc, const ObjSource& source, platform::ByteSink& sink,
                         const std::vector<TextEdit>& edits, std::string* reason);

// The same into a string; false unless the whole text was written.
bool PatchObjText(const HostDocument& doc, const ObjSource& source, std::string* out,
                  const std::vector<TextEdit>& edits = {});

}  // namespace pavlex::host::obj

// A new OBJ file for a document, for when the imported file can no longer
// describe it (or there was none).
//
// Per live object with at least one live face: `o name`, its vertices (all
// but deleted ones), its vt entries, then its faces (`f`) and two-corner
// faces (`l`), with `usemtl` and `s` wherever the material or smoothing
// group changes. Corners of one vertex with bitwise equal UVs share a vt
// entry, so the UV seams of the document come back as they are. A face
// whose UVs are all (0, 0) is written without vt.
#pragma once

#include <string>
#include <vector>

#include "host/document/host_document.h"
#include "platform/byte_sink.h"

namespace pavlex::host::obj {

// `libraries` are written as mtllib statements first. Streams into `sink`
// with about a megabyte held at a time; false when the sink refused bytes.
bool WriteCleanObj(const HostDocument& doc, const std::vector<std::string>& libraries,
                   const std::string& lineBreak, platform::ByteSink& sink);

// The same as a string.
std::string WriteCleanObj(const HostDocument& doc, const std::vector<std::string>& libraries,
                          const std::string& lineBreak);

}  // namespace pavlex::host::obj

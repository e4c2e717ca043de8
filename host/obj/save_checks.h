// What a save refuses before it writes anything: numbers the reader would
// refuse. A plug-in may put any float into the document; a file the host
// cannot read back is worse than a save that fails with a reason.
#pragma once

#include <string>
#include <vector>

#include "host/document/host_document.h"

namespace pavlex::host::obj {

// False, with e.g. "object 'Crate', face 3, corner 1: the UV (nan, 0.5) is
// not a finite number" in `problem`, when a UV of a live face, or (with
// `positions`) the position of a vertex a clean file would write, is NaN or
// infinite.
bool AllNumbersFinite(const HostDocument& doc, bool positions, std::string* problem);

// The same for the values an MTL library would hold for these materials
// (Kd is colour times diffuse, so two finite values can still overflow).
bool AllNumbersFinite(const std::vector<const HostMaterial*>& materials, std::string* problem);

}  // namespace pavlex::host::obj

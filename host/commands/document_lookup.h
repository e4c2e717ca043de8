// Objects and materials of the host's document as commands name them: by
// slot index or by name.
#pragma once

#include <cstdint>
#include <string>

#include "host/document/host_document.h"

namespace pavlex::commands {

// The current object; throws CommandError when the document has none.
host::HostObject& CurrentObject(host::HostDocument& doc);
// The slot of the object (material) a word names: a whole number is a slot
// index, anything else a name. Throws CommandError listing the known ones.
int32_t ObjectSlot(const host::HostDocument& doc, const std::string& word);
int32_t MaterialSlot(const host::HostDocument& doc, const std::string& word);

}  // namespace pavlex::commands

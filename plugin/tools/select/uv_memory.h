// UV memory: the "Store" and "Restore" rows of the window's "Memory" group.
// A slot remembers which UV vertices were selected in every visible,
// unlocked object, keyed by object and face unique IDs so that it still
// restores the same corners after faces or objects were added or deleted.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Replaces the slot's content with the UV-vertex selection of every object
// of `document` that is visible and not locked in the host. True when at
// least one UV vertex was stored; false (slot left empty) when none was
// selected. A slot outside 0..3 answers false and changes nothing. Shows the
// wait cursor while it runs.
bool StoreUVSelection(PluginState& state, MQDocument document, int32_t slot);

// Adds the slot's UV vertices to the host's UV selection; never clears it
// and never changes the slot. Objects, faces and corners that no longer
// exist are skipped. True when the slot holds UV vertices of at least one
// object that still exists. A slot outside 0..3 answers false. Shows the
// wait cursor while it runs.
bool RestoreUVSelection(PluginState& state, MQDocument document, int32_t slot);

}  // namespace pavlex

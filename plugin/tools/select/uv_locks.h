// UV locks: the "Lock" row of the window's "Memory" group. A lock slot holds
// the UVs of corners pinned in place, keyed by object and face unique IDs;
// while the slot is active and the plug-in is switched on, every redraw of
// the host writes those UVs back into the current object.
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Adds every selected UV vertex of the current object to the slot, at its
// present UV. A corner already locked in the slot keeps its first UV. The
// slot becomes active exactly when it holds a lock; answers that. While the
// plug-in is switched off it answers false and changes nothing; a slot
// outside 0..3 answers false.
bool AddUVLock(PluginState& state, MQDocument document, int32_t slot);

// Empties the slot and makes it inactive. Slots outside 0..3 are ignored.
void ClearUVLock(PluginState& state, int32_t slot);

// A plain click on a Lock button: active when the button was not `pressed`
// and the slot holds locks, inactive otherwise (the locks are kept for a
// later switch on). Answers the new state; false for a slot outside 0..3.
bool ToggleUVLock(PluginState& state, int32_t slot, bool pressed);

// Writes the locked UVs of every active slot back into the current object,
// slot 0 first, so a later slot wins for a corner locked in several. Faces
// that no longer exist and corners beyond a face's count are skipped. Does
// nothing while the plug-in is switched off. Runs at every redraw.
void ApplyUVLocks(const PluginState& state, MQDocument document);

// The document ended: empties all lock slots and makes them inactive.
// Memory slots are kept.
void ClearAllUVLocks(PluginState& state);

}  // namespace pavlex

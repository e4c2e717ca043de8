// What outlives one button press: whether the window is switched on, the
// four UV memory and lock slots, and the options of the last output. One
// instance lives in the plug-in object from library load to unload; the
// window, the memory and lock operations and the output hold references.
//
// Everything that must survive mesh edits is keyed by the host's unique
// IDs (object: value code 260; face: MQObj_GetFaceUniqueID), never by
// indices.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "plugin/model/fnv1a.h"
#include "plugin/model/uv_pair.h"
#include "plugin/model/uv_vertex_key.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/slot_hash_table.h"

namespace pavlex {

constexpr int kUVSlotCount = 4;  // memory and lock slots each, labelled 1 to 4

// Object unique IDs hash as their 4 bytes, low byte first.
struct ObjectIdHash {
  size_t operator()(int32_t id) const { return Fnv1a32(static_cast<uint32_t>(id), 4); }
};

// Every slot container is created asking for this many buckets, with a
// maximum load factor of 1.
constexpr size_t kSlotInitialBuckets = 8;

// Keys: face unique ID in the high half, corner in the low half. Walked in
// the order of std::unordered_set / unordered_map with the same hash.
using UVKeySet = SlotHashSet<UVVertexKey, UVVertexKeyHash>;
using UVLockMap = SlotHashMap<UVVertexKey, UVPair, UVVertexKeyHash>;

// An empty container with the slots' bucket count and load factor.
template <class Container>
Container MakeSlotContainer() {
  Container container(kSlotInitialBuckets);
  container.max_load_factor(1.0f);
  return container;
}

// The UV vertices stored by one Store, per object. An object is present
// only when at least one of its UV vertices was stored.
struct UVMemorySlot {
  std::unordered_map<int32_t, UVKeySet, ObjectIdHash> objects =
      MakeSlotContainer<std::unordered_map<int32_t, UVKeySet, ObjectIdHash>>();
};

// The UVs held in place by one Lock slot, per object. An object is present
// only while it has at least one locked UV vertex.
struct UVLockSlot {
  std::unordered_map<int32_t, UVLockMap, ObjectIdHash> objects =
      MakeSlotContainer<std::unordered_map<int32_t, UVLockMap, ObjectIdHash>>();
};

// The image sizes the Output dialog's spin boxes take, in pixels.
constexpr int32_t kOutputSizeMin = 1;
constexpr int32_t kOutputSizeMax = 0xFFFF;

// The options of the last file output, shown again by the output dialog.
struct OutputSettings {
  std::u16string fileName;  // empty until the first file output
  OutputFlags flags = kOutputWireframe | kOutputCurrentObject | kOutputCurrentMaterial;
  int32_t width = -1;       // pixels; -1 until read from the settings at initialization
  int32_t height = -1;      // pixels; as width
};

struct PluginState {
  bool activated = false;  // the window is shown by the host's activation; gates locking
  std::array<UVMemorySlot, kUVSlotCount> memorySlots;
  std::array<UVLockSlot, kUVSlotCount> lockSlots;
  std::array<bool, kUVSlotCount> lockActive = {};  // lock slot i is enforced
  OutputSettings output;
};

// The user hid the window: clears `activated` and, only when it was set,
// tells the host with message 100 that the plug-in switched itself off.
void SwitchOff(PluginState& state);

}  // namespace pavlex

#include "plugin/tools/select/uv_locks.h"

#include <utility>
#include <vector>

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"
#include "plugin/model/face_uv_buffer.h"

namespace pavlex {

namespace {

bool ValidSlot(int32_t slot) {
  return slot >= 0 && slot < kUVSlotCount;
}

}  // namespace

bool AddUVLock(PluginState& state, MQDocument document, int32_t slot) {
  if (!state.activated || !ValidSlot(slot)) return false;
  const size_t s = static_cast<size_t>(slot);
  auto& objects = state.lockSlots[s].objects;

  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  if (object.object() != nullptr) {
    const int32_t objectId = Host().MQObj_GetIntValue(object.object(), MQOBJ_ID_UNIQUE_ID);
    auto entry = objects.find(objectId);
    if (entry == objects.end()) entry = objects.emplace(objectId, MakeSlotContainer<UVLockMap>()).first;
    UVLockMap& locks = entry->second;

    // Gathered in walk order and added in one batch: the map ends exactly
    // as after adding them one by one, at a fraction of the cost.
    std::vector<std::pair<UVVertexKey, UVPair>> selected;
    FaceUVBuffer face;
    const cmq::CMQFaceRange faces(object);
    for (auto it = faces.begin(); it != faces.end(); ++it) {
      const int32_t f = it.index();
      const size_t n = face.ReadUVs(object, f);
      bool faceIdKnown = false;
      int32_t faceId = 0;
      for (size_t j = 0; j < n; ++j) {
        const int32_t corner = static_cast<int32_t>(j);
        if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, corner))) continue;
        if (!faceIdKnown) {
          faceId = Host().MQObj_GetFaceUniqueID(object.object(), f);
          faceIdKnown = true;
        }
        selected.push_back({UVVertexKey::Pack(faceId, corner), face.uv(j)});
      }
    }
    // A key already held keeps its UV: locking again never moves a lock.
    locks.emplace_all(selected);
    if (locks.empty()) objects.erase(entry);
  }

  state.lockActive[s] = !objects.empty();
  return state.lockActive[s];
}

void ClearUVLock(PluginState& state, int32_t slot) {
  if (!ValidSlot(slot)) return;
  const size_t s = static_cast<size_t>(slot);
  state.lockSlots[s].objects.clear();
  state.lockActive[s] = false;
}

bool ToggleUVLock(PluginState& state, int32_t slot, bool pressed) {
  if (!ValidSlot(slot)) return false;
  const size_t s = static_cast<size_t>(slot);
  state.lockActive[s] = !pressed && !state.lockSlots[s].objects.empty();
  return state.lockActive[s];
}

void ApplyUVLocks(const PluginState& state, MQDocument document) {
  if (!state.activated) return;
  const cmq::CMQObject object = cmq::CMQObject::Current(document);
  if (object.object() == nullptr) return;
  const HostFunctions& host = Host();
  const int32_t objectId = host.MQObj_GetIntValue(object.object(), MQOBJ_ID_UNIQUE_ID);

  FaceUVBuffer face;
  for (size_t s = 0; s < static_cast<size_t>(kUVSlotCount); ++s) {
    if (!state.lockActive[s]) continue;
    const auto& objects = state.lockSlots[s].objects;
    const auto entry = objects.find(objectId);
    if (entry == objects.end()) continue;
    // Each face is read afresh and written per locked corner, so a face with
    // corners in several slots ends with the later slot's value.
    for (const auto& [key, uv] : entry->second) {
      const UVVertexRef ref = key.Unpack();
      const int32_t f = host.MQObj_GetFaceIndexFromUniqueID(object.object(), ref.face);
      if (f < 0) continue;
      const size_t n = face.ReadUVs(object, f);
      if (ref.corner < 0 || static_cast<size_t>(ref.corner) >= n) continue;
      face.uv(static_cast<size_t>(ref.corner)) = uv;
      face.WriteUVs(object, f);
    }
  }
}

void ClearAllUVLocks(PluginState& state) {
  for (int32_t slot = 0; slot < kUVSlotCount; ++slot) ClearUVLock(state, slot);
}

}  // namespace pavlex

#include "plugin/tools/select/uv_memory.h"

#include <utility>
#include <vector>

#include "hostapi/mq_codes.h"
#include "platform/wait_cursor.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/cmq_face_range.h"
#include "plugin/model/cmq_object.h"

namespace pavlex {

namespace {

bool ValidSlot(int32_t slot) {
  return slot >= 0 && slot < kUVSlotCount;
}

}  // namespace

bool StoreUVSelection(PluginState& state, MQDocument document, int32_t slot) {
  if (!ValidSlot(slot)) return false;
  platform::WaitCursor wait;
  const HostFunctions& host = Host();
  auto& objects = state.memorySlots[static_cast<size_t>(slot)].objects;
  objects.clear();

  bool stored = false;
  const int32_t objectCount = host.MQDoc_GetObjectCount(document);
  for (int32_t i = 0; i < objectCount; ++i) {
    const MQObject handle = host.MQDoc_GetObject(document, i);
    if (handle == nullptr || host.MQDoc_GetObjectIndex(document, handle) < 0) continue;
    if (host.MQObj_GetIntValue(handle, MQOBJ_ID_LOCKING) != 0 || host.MQObj_GetVisible(handle) == 0) continue;

    const cmq::CMQObject object(document, handle);
    const int32_t objectId = host.MQObj_GetIntValue(handle, MQOBJ_ID_UNIQUE_ID);
    UVKeySet keys = MakeSlotContainer<UVKeySet>();
    const int32_t faceCount = object.GetFaceCount();
    if (faceCount > 0) keys.reserve(static_cast<size_t>(faceCount));
    // Gathered in walk order and added in one batch: the set ends exactly as
    // after adding them one by one, at a fraction of the cost.
    std::vector<UVVertexKey> selected;
    // Room for four corners a face: only the part filled is ever touched,
    // and growing by copies would touch all of it twice.
    if (faceCount > 0) selected.reserve(static_cast<size_t>(faceCount) * 4);

    const cmq::CMQFaceRange faces(object);
    for (auto it = faces.begin(); it != faces.end(); ++it) {
      const int32_t f = it.index();
      const int32_t corners = object.GetFacePointCount(f);
      bool faceIdKnown = false;
      int32_t faceId = 0;
      for (int32_t k = 0; k < corners; ++k) {
        if (!object.IsSelectUVVertex(UVVertexKey::Pack(f, k))) continue;
        // Asked once per face, and only for faces with a selected corner.
        if (!faceIdKnown) {
          faceId = host.MQObj_GetFaceUniqueID(handle, f);
          faceIdKnown = true;
        }
        selected.push_back(UVVertexKey::Pack(faceId, k));
      }
    }
    keys.insert_all(selected);
    if (keys.empty()) continue;
    stored = true;
    // Two objects answering one unique ID: the earlier entry stays.
    objects.emplace(objectId, std::move(keys));
  }
  return stored;
}

bool RestoreUVSelection(PluginState& state, MQDocument document, int32_t slot) {
  if (!ValidSlot(slot)) return false;
  platform::WaitCursor wait;
  const HostFunctions& host = Host();
  const auto& objects = state.memorySlots[static_cast<size_t>(slot)].objects;
  if (objects.empty()) return false;

  bool restored = false;
  for (const auto& [objectId, keys] : objects) {
    const MQObject handle = host.MQDoc_GetObjectFromUniqueID(document, objectId);
    if (handle == nullptr) continue;
    const int32_t objectIndex = host.MQDoc_GetObjectIndex(document, handle);
    if (objectIndex < 0) continue;
    if (!keys.empty()) restored = true;
    for (const UVVertexKey key : keys) {
      const UVVertexRef ref = key.Unpack();
      const int32_t face = host.MQObj_GetFaceIndexFromUniqueID(handle, ref.face);
      if (face < 0) continue;
      if (ref.corner >= host.MQObj_GetFacePointCount(handle, face)) continue;
      host.MQDoc_AddSelectUVVertex(document, objectIndex, face, ref.corner);
    }
  }
  return restored;
}

}  // namespace pavlex

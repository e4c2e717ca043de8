#include "plugin/output/layout_face_filter.h"

#include <cmath>
#include <cstring>

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"
#include "plugin/model/uv_vertex_key.h"

namespace pavlex {

std::string ReadTextureName(MQMaterial material) {
  if (!material) return {};
  char buffer[kTextureNameBufferBytes] = {};
  Host().MQMat_GetTextureName(material, buffer, kTextureNameBufferBytes);
  buffer[kTextureNameBufferBytes - 1] = '\0';
  return std::string(buffer, std::strlen(buffer));
}

LayoutFilter::LayoutFilter(MQDocument doc, const PluginState& pluginState, bool materialOnly, MemoryMask mask)
    : document(doc),
      state(&pluginState),
      currentMaterialIndex(Host().MQDoc_GetCurrentMaterialIndex(doc)),
      currentTextureName(ReadTextureName(Host().MQDoc_GetMaterial(doc, currentMaterialIndex))),
      currentMaterialOnly(materialOnly),
      memoryMask(mask) {}

std::vector<MQObject> LayoutObjects(MQDocument document, bool currentObjectOnly) {
  std::vector<MQObject> objects;
  const int32_t count = Host().MQDoc_GetObjectCount(document);
  for (int32_t i = 0; i < count; ++i) {
    MQObject object = Host().MQDoc_GetObject(document, i);
    if (!object || Host().MQDoc_GetObjectIndex(document, object) < 0 || !Host().MQObj_GetVisible(object)) {
      continue;
    }
    if (currentObjectOnly &&
        object != Host().MQDoc_GetObject(document, Host().MQDoc_GetCurrentObjectIndex(document))) {
      continue;
    }
    objects.push_back(object);
  }
  return objects;
}

bool PassesMaterialTests(LayoutFilter& filter, MQObject object, int32_t face) {
  const int32_t material = Host().MQObj_GetFaceMaterial(object, face);
  if (filter.currentMaterialOnly && material != filter.currentMaterialIndex) return false;
  if (material < 0) return true;
  const size_t slot = static_cast<size_t>(material);
  if (slot >= filter.textureMatch.size()) filter.textureMatch.resize(slot + 1, -1);
  int8_t& match = filter.textureMatch[slot];
  if (match < 0) {
    MQMaterial handle = Host().MQDoc_GetMaterial(filter.document, material);
    // A face whose material slot is empty has no material either.
    match = !handle || ReadTextureName(handle) == filter.currentTextureName ? 1 : 0;
  }
  return match == 1;
}

bool IsLayoutFace(LayoutFilter& filter, MQObject object, int32_t face) {
  if (!PassesMaterialTests(filter, object, face)) return false;
  return filter.memoryMask == 0 || IsFaceInMemorySlots(*filter.state, object, face, filter.memoryMask);
}

bool IsFaceInMemorySlots(const PluginState& state, MQObject object, int32_t face, MemoryMask mask) {
  const int32_t faceId = Host().MQObj_GetFaceUniqueID(object, face);
  const int32_t objectId = Host().MQObj_GetIntValue(object, MQOBJ_ID_UNIQUE_ID);
  for (int s = 0; s < kUVSlotCount; ++s) {
    if (!(mask & (1u << s))) continue;
    const auto& objects = state.memorySlots[static_cast<size_t>(s)].objects;
    const auto found = objects.find(objectId);
    if (found == objects.end()) continue;
    const int32_t corners = Host().MQObj_GetFacePointCount(object, face);
    if (corners < 2) continue;
    bool all = true;
    for (int32_t j = 0; j < corners && all; ++j) all = found->second.count(UVVertexKey::Pack(faceId, j)) != 0;
    if (all) return true;
  }
  return false;
}

size_t LayoutFaceReader::Read(MQObject object, int32_t face) {
  const int32_t count = Host().MQObj_GetFacePointCount(object, face);
  count_ = count > 0 ? static_cast<size_t>(count) : 0;
  if (uvs_.size() < count_) uvs_.resize(count_);
  if (count_ > 0) Host().MQObj_GetFaceCoordinateArray(object, face, uvs_.data());
  return count_;
}

bool LayoutFaceReader::finite() const {
  for (size_t i = 0; i < count_; ++i) {
    if (!std::isfinite(uvs_[i].u) || !std::isfinite(uvs_[i].v)) return false;
  }
  return true;
}

}  // namespace pavlex

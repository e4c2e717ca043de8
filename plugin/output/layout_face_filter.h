// Which objects and faces a layout layer draws.
//
// Objects: every slot of the document in order, skipping empty slots,
// objects no longer in the document, hidden objects and, with "current
// object", every object but the current one. Later objects and faces cover
// earlier ones.
//
// Faces (IsLayoutFace): with "current material", the face's material must
// be the current one; the face's material must use exactly the current
// material's texture file (a face without a material passes); and with a
// memory mask, one single memory slot must hold every corner of the face.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/state/output_flags.h"
#include "plugin/state/plugin_state.h"

namespace pavlex {

// Texture names are read into buffers of this many bytes, up to the first
// zero byte, so names longer than 249 bytes compare by their first 249.
constexpr int32_t kTextureNameBufferBytes = 250;

// The material's texture file name; empty for a null material.
std::string ReadTextureName(MQMaterial material);

// The face filter's inputs for one layer run. The texture match of each
// material slot is asked once per run and kept here: nothing in the
// document changes while a layer draws.
struct LayoutFilter {
  LayoutFilter(MQDocument document, const PluginState& state, bool currentMaterialOnly, MemoryMask memoryMask);

  MQDocument document;
  const PluginState* state;
  int32_t currentMaterialIndex;
  std::string currentTextureName;  // empty without a current material
  bool currentMaterialOnly;
  MemoryMask memoryMask;
  std::vector<int8_t> textureMatch;  // per material slot: -1 not asked yet, 0 no, 1 yes
};

// The visiting rule's objects, in document order.
std::vector<MQObject> LayoutObjects(MQDocument document, bool currentObjectOnly);

// The current-material and texture tests alone (the shaded layer's pre-scan
// uses them without the memory test).
bool PassesMaterialTests(LayoutFilter& filter, MQObject object, int32_t face);

bool IsLayoutFace(LayoutFilter& filter, MQObject object, int32_t face);

// True when one of the slots named in `mask` holds every corner of the face
// (keys: face unique ID in the high half, corner in the low half). Faces
// with fewer than 2 corners never pass.
bool IsFaceInMemorySlots(const PluginState& state, MQObject object, int32_t face, MemoryMask mask);

// One face's corners read into storage reused from face to face.
class LayoutFaceReader {
 public:
  // Reads the face's UVs; answers its corner count (0 for a deleted face).
  size_t Read(MQObject object, int32_t face);
  // False when a corner's u or v is NaN or infinite; such faces are not
  // drawn by any layer, since they have no place in the picture.
  bool finite() const;
  const MQCoordinate& uv(size_t corner) const { return uvs_[corner]; }
  size_t size() const { return count_; }

 private:
  std::vector<MQCoordinate> uvs_;
  size_t count_ = 0;
};

}  // namespace pavlex

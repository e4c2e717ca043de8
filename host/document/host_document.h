// A document of the stand-in host: the storage behind an MQDocument.
//
// Objects and materials live in slots; deleting one empties its slot. The
// document keeps deleted objects and materials alive until it is destroyed,
// so a handle a plug-in still holds reads as "not in this document" (slot
// -1) instead of pointing at freed memory.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "host/document/host_material.h"
#include "host/document/host_object.h"
#include "host/document/host_scene.h"

namespace pavlex::host {

class HostDocument {
 public:
  HostDocument();
  ~HostDocument();
  HostDocument(const HostDocument&) = delete;
  HostDocument& operator=(const HostDocument&) = delete;

  // --- objects ---------------------------------------------------------------
  int32_t objectSlotCount() const { return static_cast<int32_t>(objects_.size()); }
  // Null for an empty slot or bad index. Inline: every per-corner host
  // call that names an object by slot asks it.
  HostObject* object(int32_t slot) const {
    if (static_cast<uint32_t>(slot) >= objects_.size()) return nullptr;
    return objects_[static_cast<size_t>(slot)].get();
  }
  HostObject* objectFromUniqueId(int32_t uid) const;
  // Takes ownership; answers the new slot. The first object added becomes
  // current when there is none.
  int32_t addObject(std::unique_ptr<HostObject> obj);
  // As addObject for a raw object that belongs to no document: takes it
  // only on success. Answers -1 (ownership not taken) for a null object or
  // one that belongs to a document; throws std::bad_alloc having taken
  // nothing.
  int32_t adoptObject(HostObject* obj);
  void deleteObject(int32_t slot);
  int32_t currentObject() const { return currentObject_; }  // -1 when none
  void setCurrentObject(int32_t slot);
  // True when obj is an object handle this document owns (live or deleted).
  bool ownsObject(const HostObject* obj) const;

  // --- materials -------------------------------------------------------------
  int32_t materialSlotCount() const { return static_cast<int32_t>(materials_.size()); }
  HostMaterial* material(int32_t slot) const;
  HostMaterial* materialFromUniqueId(int32_t uid) const;
  int32_t addMaterial(std::unique_ptr<HostMaterial> mat);
  int32_t adoptMaterial(HostMaterial* mat);  // as adoptObject
  // Empties the slot; faces that used it get material -1.
  void deleteMaterial(int32_t slot);
  int32_t currentMaterial() const { return currentMaterial_; }
  void setCurrentMaterial(int32_t slot);
  bool ownsMaterial(const HostMaterial* mat) const;

  HostScene& scene() { return scene_; }
  const HostScene& scene() const { return scene_; }

  void compact();                      // compacts every object
  void clearSelection(uint32_t flags);  // MQCLEARSELECT_* in every object

  // A new document's scene holds one white light (HostLight's defaults).

  // --- for the edit history ----------------------------------------------------
  // The recorder every object of the document reports to (null: none).
  void setRecorder(EditRecorder* recorder);
  EditRecorder* recorder() const { return recorder_; }
  // The slot tables as they are now (null for an empty slot).
  std::vector<HostObject*> objectSlots() const;
  std::vector<HostMaterial*> materialSlots() const;
  // Puts slot tables back. Every pointer must be an object or material this
  // document owns (live or deleted); the ones left out become deleted, so
  // handles on them stay safe. Current indices are taken as given (-1 for
  // none). May throw std::bad_alloc.
  void restoreSlots(const std::vector<HostObject*>& objects, const std::vector<HostMaterial*>& materials,
                    int32_t currentObject, int32_t currentMaterial);
  // The bytes the objects' mesh arrays hold, deleted objects included.
  size_t memoryBytes() const;

 private:
  std::vector<std::unique_ptr<HostObject>> objects_;
  std::vector<std::unique_ptr<HostObject>> deletedObjects_;
  std::unordered_map<int32_t, int32_t> objectSlotByUid_;
  int32_t currentObject_ = -1;

  std::vector<std::unique_ptr<HostMaterial>> materials_;
  std::vector<std::unique_ptr<HostMaterial>> deletedMaterials_;
  int32_t currentMaterial_ = -1;

  HostScene scene_;
  EditRecorder* recorder_ = nullptr;
};

// Process-wide unique IDs for objects and materials; never reused.
int32_t NextObjectUniqueId();
int32_t NextMaterialUniqueId();

}  // namespace pavlex::host

// The document of the stand-in host. See host_document.h.
#include "host/document/host_document.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <new>
#include <utility>

namespace pavlex::host {
namespace {

std::atomic<int32_t> g_nextObjectUid{1};
std::atomic<int32_t> g_nextMaterialUid{1};

int32_t takeUid(std::atomic<int32_t>& counter) {
  int32_t uid = counter.load(std::memory_order_relaxed);
  do {
    // Never wrap around: reuse would break "never reused in the process".
    if (uid == std::numeric_limits<int32_t>::max()) throw std::bad_alloc();
  } while (!counter.compare_exchange_weak(uid, uid + 1, std::memory_order_relaxed));
  return uid;
}

}  // namespace

int32_t NextObjectUniqueId() {
  return takeUid(g_nextObjectUid);
}
int32_t NextMaterialUniqueId() {
  return takeUid(g_nextMaterialUid);
}

HostDocument::HostDocument() {
  // A new document is lit by one white light, as a modeller's default scene.
  scene_.lights.push_back(HostLight{});
}

HostDocument::~HostDocument() = default;

// --- objects -----------------------------------------------------------------

HostObject* HostDocument::objectFromUniqueId(int32_t uid) const {
  const auto it = objectSlotByUid_.find(uid);
  return it == objectSlotByUid_.end() ? nullptr : object(it->second);
}

int32_t HostDocument::adoptObject(HostObject* obj) {
  if (obj == nullptr || obj->document_ != nullptr) return -1;
  if (objects_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
  const auto slot = static_cast<int32_t>(objects_.size());
  // Both allocations happen before anything is taken.
  objects_.emplace_back();
  try {
    objectSlotByUid_.emplace(obj->uniqueId(), slot);
  } catch (...) {
    objects_.pop_back();
    throw;
  }
  objects_.back().reset(obj);
  obj->document_ = this;
  obj->setRecorder(recorder_);
  obj->slot_ = slot;
  if (currentObject_ < 0) currentObject_ = slot;
  return slot;
}

int32_t HostDocument::addObject(std::unique_ptr<HostObject> obj) {
  const int32_t slot = adoptObject(obj.get());
  if (slot >= 0) static_cast<void>(obj.release());
  return slot;
}

void HostDocument::deleteObject(int32_t slot) {
  HostObject* obj = object(slot);
  if (obj == nullptr) return;
  deletedObjects_.push_back(std::move(objects_[static_cast<size_t>(slot)]));
  objectSlotByUid_.erase(obj->uniqueId());
  obj->slot_ = -1;  // document_ stays: the graveyard owns it now
  if (currentObject_ == slot) {
    currentObject_ = -1;
    for (int32_t s = slot + 1; s < objectSlotCount() && currentObject_ < 0; ++s) {
      if (objects_[static_cast<size_t>(s)]) currentObject_ = s;
    }
    for (int32_t s = slot - 1; s >= 0 && currentObject_ < 0; --s) {
      if (objects_[static_cast<size_t>(s)]) currentObject_ = s;
    }
  }
}

void HostDocument::setCurrentObject(int32_t slot) {
  if (object(slot) != nullptr) currentObject_ = slot;
}

bool HostDocument::ownsObject(const HostObject* obj) const {
  return obj != nullptr && obj->document_ == this;
}

// --- materials ---------------------------------------------------------------

HostMaterial* HostDocument::material(int32_t slot) const {
  if (slot < 0 || slot >= materialSlotCount()) return nullptr;
  return materials_[static_cast<size_t>(slot)].get();
}

HostMaterial* HostDocument::materialFromUniqueId(int32_t uid) const {
  // Documents hold few materials; a scan is as fast as a hash here.
  for (const auto& m : materials_) {
    if (m && m->uniqueId == uid) return m.get();
  }
  return nullptr;
}

int32_t HostDocument::adoptMaterial(HostMaterial* mat) {
  if (mat == nullptr || mat->document != nullptr) return -1;
  if (materials_.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
  materials_.emplace_back(mat);
  const auto slot = static_cast<int32_t>(materials_.size() - 1);
  mat->slot = slot;
  mat->document = this;
  if (currentMaterial_ < 0) currentMaterial_ = slot;
  return slot;
}

int32_t HostDocument::addMaterial(std::unique_ptr<HostMaterial> mat) {
  materials_.reserve(materials_.size() + 1);  // the adoption below cannot throw then
  const int32_t slot = adoptMaterial(mat.get());
  if (slot >= 0) static_cast<void>(mat.release());
  return slot;
}

void HostDocument::deleteMaterial(int32_t slot) {
  HostMaterial* mat = material(slot);
  if (mat == nullptr) return;
  deletedMaterials_.push_back(std::move(materials_[static_cast<size_t>(slot)]));
  mat->slot = -1;
  for (const auto& obj : objects_) {
    if (!obj) continue;
    for (int32_t f = 0; f < obj->faceCount(); ++f) {
      if (obj->faceMaterial(f) == slot) obj->setFaceMaterial(f, -1);
    }
  }
  if (currentMaterial_ == slot) {
    currentMaterial_ = -1;
    for (int32_t s = slot + 1; s < materialSlotCount() && currentMaterial_ < 0; ++s) {
      if (materials_[static_cast<size_t>(s)]) currentMaterial_ = s;
    }
    for (int32_t s = slot - 1; s >= 0 && currentMaterial_ < 0; --s) {
      if (materials_[static_cast<size_t>(s)]) currentMaterial_ = s;
    }
  }
}

void HostDocument::setCurrentMaterial(int32_t slot) {
  if (material(slot) != nullptr) currentMaterial_ = slot;
}

bool HostDocument::ownsMaterial(const HostMaterial* mat) const {
  return mat != nullptr && mat->document == this;
}

// --- whole document ----------------------------------------------------------

void HostDocument::compact() {
  for (const auto& obj : objects_) {
    if (obj) obj->compact();
  }
}

void HostDocument::clearSelection(uint32_t flags) {
  for (const auto& obj : objects_) {
    if (obj) obj->clearSelection(flags);
  }
}

// --- the edit history ------------------------------------------------------------

void HostDocument::setRecorder(EditRecorder* recorder) {
  recorder_ = recorder;
  for (const auto& obj : objects_) {
    if (obj) obj->setRecorder(recorder);
  }
  for (const auto& obj : deletedObjects_) obj->setRecorder(recorder);
}

std::vector<HostObject*> HostDocument::objectSlots() const {
  std::vector<HostObject*> slots;
  slots.reserve(objects_.size());
  for (const auto& obj : objects_) slots.push_back(obj.get());
  return slots;
}

std::vector<HostMaterial*> HostDocument::materialSlots() const {
  std::vector<HostMaterial*> slots;
  slots.reserve(materials_.size());
  for (const auto& mat : materials_) slots.push_back(mat.get());
  return slots;
}

namespace {

// Deals the owned elements of `live` and `dead` out again: those `wanted`
// names go to their slots, the rest to `dead`. Allocates first.
template <typename T>
void Redeal(std::vector<std::unique_ptr<T>>& live, std::vector<std::unique_ptr<T>>& dead,
            const std::vector<T*>& wanted) {
  std::vector<std::unique_ptr<T>> all;
  all.reserve(live.size() + dead.size());
  std::vector<std::unique_ptr<T>> slots(wanted.size());
  std::vector<std::unique_ptr<T>> rest;
  rest.reserve(live.size() + dead.size());
  // No allocation below.
  for (auto& p : live) {
    if (p) all.push_back(std::move(p));
  }
  for (auto& p : dead) all.push_back(std::move(p));
  for (auto& p : all) {
    const auto at = std::find(wanted.begin(), wanted.end(), p.get());
    if (at != wanted.end()) {
      slots[static_cast<size_t>(at - wanted.begin())] = std::move(p);
    } else {
      rest.push_back(std::move(p));
    }
  }
  live.swap(slots);
  dead.swap(rest);
}

}  // namespace

void HostDocument::restoreSlots(const std::vector<HostObject*>& objects, const std::vector<HostMaterial*>& materials,
                                int32_t currentObject, int32_t currentMaterial) {
  std::unordered_map<int32_t, int32_t> byUid;
  byUid.reserve(objects.size());
  for (size_t s = 0; s < objects.size(); ++s) {
    if (objects[s] != nullptr) byUid.emplace(objects[s]->uniqueId(), static_cast<int32_t>(s));
  }
  Redeal(objects_, deletedObjects_, objects);
  Redeal(materials_, deletedMaterials_, materials);
  objectSlotByUid_.swap(byUid);
  for (size_t s = 0; s < objects_.size(); ++s) {
    if (objects_[s]) objects_[s]->slot_ = static_cast<int32_t>(s);
  }
  for (const auto& obj : deletedObjects_) obj->slot_ = -1;
  for (size_t s = 0; s < materials_.size(); ++s) {
    if (materials_[s]) materials_[s]->slot = static_cast<int32_t>(s);
  }
  for (const auto& mat : deletedMaterials_) mat->slot = -1;
  currentObject_ = currentObject;
  currentMaterial_ = currentMaterial;
}

size_t HostDocument::memoryBytes() const {
  size_t bytes = 0;
  for (const auto& obj : objects_) bytes += obj ? obj->memoryBytes() : 0;
  for (const auto& obj : deletedObjects_) bytes += obj->memoryBytes();
  return bytes;
}

}  // namespace pavlex::host

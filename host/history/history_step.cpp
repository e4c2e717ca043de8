#include "host/history/history_step.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace pavlex::host {
namespace {

// Elements of each tracked array in a mesh state, for checking that a
// block still fits the arrays it will be written back to.
size_t StateCount(const HostObject::State& state, TrackedArray array) {
  switch (array) {
    case TrackedArray::kPositions: return state.positions.size();
    case TrackedArray::kVertexSelected: return state.vertexSelected.size();
    case TrackedArray::kFaceMaterial: return state.faceMaterial.size();
    case TrackedArray::kFaceVisible: return state.faceVisible.size();
    case TrackedArray::kFaceSelected: return state.faceSelected.size();
    case TrackedArray::kFaceSmoothing: return state.faceSmoothing.size();
    case TrackedArray::kCornerUV: return state.cornerUV.size();
    case TrackedArray::kCornerFlags: return state.cornerFlags.size();
  }
  return 0;
}

bool SameColor(const MQColor& a, const MQColor& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameFloat(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The first byte at which two runs of `bytes` bytes that are known to
// differ do, and the last. Word by word: the runs are blocks of thousands
// of elements, and a comparison per element costs a library call each.
size_t FirstDifference(const unsigned char* a, const unsigned char* b, size_t bytes) {
  size_t i = 0;
  for (; i + sizeof(uint64_t) <= bytes; i += sizeof(uint64_t)) {
    uint64_t x, y;
    std::memcpy(&x, a + i, sizeof x);
    std::memcpy(&y, b + i, sizeof y);
    if (x != y) break;
  }
  while (a[i] == b[i]) ++i;
  return i;
}

size_t LastDifference(const unsigned char* a, const unsigned char* b, size_t bytes) {
  size_t end = bytes;
  for (; end >= sizeof(uint64_t); end -= sizeof(uint64_t)) {
    uint64_t x, y;
    std::memcpy(&x, a + end - sizeof x, sizeof x);
    std::memcpy(&y, b + end - sizeof y, sizeof y);
    if (x != y) break;
  }
  size_t i = end - 1;
  while (a[i] == b[i]) --i;
  return i;
}

}  // namespace

HistoryStep::~HistoryStep() = default;

bool HistoryStep::empty() const {
  return objects_.empty() && attributes_.empty() && materials_.empty() && slots_.empty() && replaced_.empty();
}

HistoryStep::ObjectAttributes HistoryStep::AttributesOf(const HostObject& object) {
  return ObjectAttributes{object.name(), object.visible, object.locked,
                          object.color, object.shading, object.smoothAngle};
}

void HistoryStep::Exchange(HostObject& object, ObjectAttributes& values) {
  ObjectAttributes now = AttributesOf(object);
  object.setName(std::move(values.name));
  object.visible = values.visible;
  object.locked = values.locked;
  object.color = values.color;
  object.shading = values.shading;
  object.smoothAngle = values.smoothAngle;
  values = std::move(now);
}

bool HistoryStep::SameAttributes(const ObjectAttributes& a, const ObjectAttributes& b) {
  return a.name == b.name && a.visible == b.visible && a.locked == b.locked && SameColor(a.color, b.color) &&
         a.shading == b.shading && SameFloat(a.smoothAngle, b.smoothAngle);
}

HistoryStep::MaterialValues HistoryStep::ValuesOf(const HostMaterial& m) {
  return MaterialValues{m.name,    m.textureName, m.alphaName, m.bumpName, m.color,   m.alpha,
                        m.diffuse, m.ambient,     m.emission,  m.specular, m.power};
}

void HistoryStep::Exchange(HostMaterial& m, MaterialValues& values) {
  MaterialValues now = ValuesOf(m);
  m.name = std::move(values.name);
  m.textureName = std::move(values.textureName);
  m.alphaName = std::move(values.alphaName);
  m.bumpName = std::move(values.bumpName);
  m.color = values.color;
  m.alpha = values.alpha;
  m.diffuse = values.diffuse;
  m.ambient = values.ambient;
  m.emission = values.emission;
  m.specular = values.specular;
  m.power = values.power;
  values = std::move(now);
}

bool HistoryStep::SameValues(const MaterialValues& a, const MaterialValues& b) {
  return a.name == b.name && a.textureName == b.textureName && a.alphaName == b.alphaName &&
         a.bumpName == b.bumpName && SameColor(a.color, b.color) && SameFloat(a.alpha, b.alpha) &&
         SameFloat(a.diffuse, b.diffuse) && SameFloat(a.ambient, b.ambient) && SameFloat(a.emission, b.emission) &&
         SameFloat(a.specular, b.specular) && SameFloat(a.power, b.power);
}

// Undo writes the blocks into the state the whole copy brings back; redo
// writes them into the arrays as they are, before the copy goes back in.
bool HistoryStep::blocksFit(bool undoing) const {
  for (const ObjectChange& change : objects_) {
    for (const BlockCopy& block : change.blocks) {
      const HostObject::ArrayBytes now = change.object->trackedArray(block.array);
      const size_t count = undoing && change.whole ? StateCount(*change.whole, block.array) : now.count;
      if (block.first + block.bytes.size() / now.elementSize > count) return false;
    }
  }
  return true;
}

void HistoryStep::exchangeObjects(bool undoing) {
  for (ObjectChange& change : objects_) {
    HostObject& object = *change.object;
    if (undoing && change.whole) object.exchangeState(*change.whole);
    for (BlockCopy& block : change.blocks) {
      const HostObject::ArrayBytes now = object.trackedArray(block.array);
      std::swap_ranges(block.bytes.begin(), block.bytes.end(), now.data + block.first * now.elementSize);
    }
    if (!undoing && change.whole) object.exchangeState(*change.whole);
    object.setStructureRevision(undoing ? change.revisionBefore : change.revisionAfter);
  }
}

void HistoryStep::exchangeRest(DocumentHolder&, bool) {
  for (AttributeChange& change : attributes_) Exchange(*change.object, change.values);
  for (MaterialChange& change : materials_) Exchange(*change.material, change.values);
  for (SlotChange& change : slots_) {
    HostDocument& doc = *change.document;
    std::vector<HostObject*> objects = doc.objectSlots();
    std::vector<HostMaterial*> materials = doc.materialSlots();
    const int32_t currentObject = doc.currentObject(), currentMaterial = doc.currentMaterial();
    doc.restoreSlots(change.objects, change.materials, change.currentObject, change.currentMaterial);
    change.objects.swap(objects);
    change.materials.swap(materials);
    change.currentObject = currentObject;
    change.currentMaterial = currentMaterial;
  }
}

bool HistoryStep::undo(DocumentHolder& holder, std::string* error) {
  if (!blocksFit(true)) {
    if (error != nullptr) *error = "the document was changed outside the history; it cannot be undone";
    return false;
  }
  exchangeObjects(true);
  exchangeRest(holder, true);
  for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it) holder.exchangeDocument(*it);
  return true;
}

bool HistoryStep::redo(DocumentHolder& holder, std::string* error) {
  // The documents come back first: the other records may live in them.
  for (DocumentImage& image : replaced_) holder.exchangeDocument(image);
  if (!blocksFit(false)) {
    for (auto it = replaced_.rbegin(); it != replaced_.rend(); ++it) holder.exchangeDocument(*it);
    if (error != nullptr) *error = "the document was changed outside the history; it cannot be redone";
    return false;
  }
  exchangeObjects(false);
  exchangeRest(holder, false);
  return true;
}

// --- recording ---------------------------------------------------------------------

StepRecorder::StepRecorder(uint32_t step, size_t byteLimit, HostDocument& document)
    : EditRecorder(step), step_(std::make_unique<HistoryStep>()), byteLimit_(byteLimit) {
  attach(document);
}

StepRecorder::~StepRecorder() {
  detach();
}

void StepRecorder::attach(HostDocument& document) {
  Snapshot snapshot;
  snapshot.objects = document.objectSlots();
  snapshot.materials = document.materialSlots();
  snapshot.currentObject = document.currentObject();
  snapshot.currentMaterial = document.currentMaterial();
  for (HostObject* object : snapshot.objects) {
    if (object != nullptr) snapshot.attributes.push_back(HistoryStep::AttributesOf(*object));
  }
  for (HostMaterial* material : snapshot.materials) {
    if (material != nullptr) snapshot.values.push_back(HistoryStep::ValuesOf(*material));
  }
  snapshot_ = std::move(snapshot);
  document_ = &document;
  document.setRecorder(this);
}

void StepRecorder::detach() {
  if (document_ == nullptr) return;
  HostDocument& doc = *document_;
  doc.setRecorder(nullptr);
  document_ = nullptr;
  if (overflowed_) return;
  try {
    HistoryStep& step = *step_;
    size_t k = 0;
    for (HostObject* object : snapshot_.objects) {
      if (object == nullptr) continue;
      HistoryStep::ObjectAttributes& before = snapshot_.attributes[k++];
      if (!HistoryStep::SameAttributes(before, HistoryStep::AttributesOf(*object)))
        step.attributes_.push_back({object, std::move(before)});
    }
    k = 0;
    for (HostMaterial* material : snapshot_.materials) {
      if (material == nullptr) continue;
      HistoryStep::MaterialValues& before = snapshot_.values[k++];
      if (!HistoryStep::SameValues(before, HistoryStep::ValuesOf(*material)))
        step.materials_.push_back({material, std::move(before)});
    }
    if (doc.objectSlots() != snapshot_.objects || doc.materialSlots() != snapshot_.materials ||
        doc.currentObject() != snapshot_.currentObject || doc.currentMaterial() != snapshot_.currentMaterial) {
      step.slots_.push_back({&doc, std::move(snapshot_.objects), std::move(snapshot_.materials),
                             snapshot_.currentObject, snapshot_.currentMaterial});
    }
    // Blocks are compared while the arrays are still the ones they came
    // from; after a replacement this document changes no more.
    for (HistoryStep::ObjectChange& change : step.objects_) {
      if (change.object->document() != &doc || change.finished) continue;
      if (!change.whole) trimBlocks(change);
      change.revisionAfter = change.object->structureRevision();
      change.finished = true;
    }
  } catch (const std::bad_alloc&) {
    giveUp();
  }
  snapshot_ = Snapshot{};
}

void StepRecorder::documentReplaced(DocumentImage old, HostDocument& now) {
  detach();
  try {
    add(old.document->memoryBytes() + (old.source ? old.source->text.size() : 0));
    step_->replaced_.push_back(std::move(old));
    attach(now);
  } catch (const std::bad_alloc&) {
    giveUp();
  }
}

std::unique_ptr<HistoryStep> StepRecorder::finish() {
  detach();
  if (overflowed_) return nullptr;
  HistoryStep& step = *step_;
  std::vector<HistoryStep::ObjectChange> kept;
  size_t bytes = 0;
  for (HistoryStep::ObjectChange& change : step.objects_) {
    if (!change.finished) change.revisionAfter = change.object->structureRevision();
    if (change.blocks.empty() && !change.whole && change.revisionBefore == change.revisionAfter) continue;
    for (const HistoryStep::BlockCopy& block : change.blocks) bytes += block.bytes.size() + sizeof block;
    if (change.whole) bytes += change.whole->bytes();
    bytes += sizeof change;
    kept.push_back(std::move(change));
  }
  step.objects_.swap(kept);
  for (const auto& change : step.attributes_) bytes += sizeof change + change.values.name.size();
  for (const auto& change : step.materials_) bytes += sizeof change + change.values.name.size();
  for (const auto& change : step.slots_)
    bytes += sizeof change + (change.objects.size() + change.materials.size()) * sizeof(void*);
  for (const DocumentImage& image : step.replaced_)
    bytes += image.document->memoryBytes() + (image.source ? image.source->text.size() : 0);
  step.bytes_ = bytes;
  if (step.empty()) return nullptr;
  return std::move(step_);
}

HistoryStep::ObjectChange& StepRecorder::changeOf(HostObject& object) {
  const auto found = changeIndex_.find(&object);
  if (found != changeIndex_.end()) return step_->objects_[found->second];
  HistoryStep::ObjectChange change;
  change.object = &object;
  change.revisionBefore = object.structureRevision();
  step_->objects_.reserve(step_->objects_.size() + 1);
  changeIndex_.emplace(&object, step_->objects_.size());
  step_->objects_.push_back(std::move(change));
  return step_->objects_.back();
}

void StepRecorder::saveBlock(HostObject& object, TrackedArray array, size_t block) noexcept {
  if (overflowed_) return;
  try {
    HistoryStep::ObjectChange& change = changeOf(object);
    const HostObject::ArrayBytes now = object.trackedArray(array);
    const size_t first = block << kTrackedBlockShift;
    const size_t count = std::min(kTrackedBlockSize, now.count - first);
    const unsigned char* from = now.data + first * now.elementSize;
    change.blocks.push_back({array, first, std::vector<unsigned char>(from, from + count * now.elementSize)});
    add(count * now.elementSize);
  } catch (const std::bad_alloc&) {
    giveUp();
  }
}

void StepRecorder::saveObject(HostObject& object) noexcept {
  if (overflowed_) return;
  try {
    HistoryStep::ObjectChange& change = changeOf(object);
    // The blocks saved so far must be compared before the structure moves.
    trimBlocks(change);
    add(object.memoryBytes());
    if (overflowed_) return;
    change.whole = object.copyState();
  } catch (const std::bad_alloc&) {
    giveUp();
  }
}

void StepRecorder::trimBlocks(HistoryStep::ObjectChange& change) {
  std::vector<HistoryStep::BlockCopy> kept;
  for (HistoryStep::BlockCopy& block : change.blocks) {
    const HostObject::ArrayBytes now = change.object->trackedArray(block.array);
    const size_t size = now.elementSize;
    const size_t bytes = block.bytes.size();
    const unsigned char* was = block.bytes.data();
    const unsigned char* is = now.data + block.first * size;
    // Compared byte-wise, a whole block at a time: an element differs when
    // any of its bytes does.
    if (std::memcmp(was, is, bytes) == 0) continue;
    const size_t first = FirstDifference(was, is, bytes) / size;
    const size_t last = (LastDifference(was, is, bytes) / size) + 1;
    if (first == 0 && last * size == bytes) {
      // Changed at both ends (a tool that rewrote the block): the copy is
      // already the trimmed one.
      kept.push_back(std::move(block));
      continue;
    }
    kept.push_back({block.array, block.first + first,
                    std::vector<unsigned char>(was + first * size, was + last * size)});
  }
  change.blocks.swap(kept);
}

void StepRecorder::add(size_t bytes) {
  bytesSeen_ += bytes;
  if (bytesSeen_ > byteLimit_) giveUp();
}

void StepRecorder::giveUp() {
  overflowed_ = true;
  // Whatever was kept is of no use now; replaced documents stay until the
  // command ends, as a plug-in may still hold their handles.
  step_->objects_.clear();
  step_->objects_.shrink_to_fit();
  step_->attributes_.clear();
  step_->materials_.clear();
  step_->slots_.clear();
  changeIndex_.clear();
}

}  // namespace pavlex::host

// One undo step: what one user command changed in the document, kept as the
// smallest record that can put it back.
//
// - Per-element arrays (UVs, UV/line/vertex/face selections, face
//   visibility, materials and smoothing groups, vertex positions): the
//   1024-element blocks a command wrote, copied before the first write and
//   trimmed afterwards to the run between the first and last element that
//   really changed; blocks that ended as they began are dropped.
// - Structural edits (faces or vertices added, deleted, compacted,
//   reversed): the object's whole mesh state as it was before the first one.
// - Object attributes (name, visibility, lock, colour, shading), material
//   values, the slot tables of objects and materials and the current object
//   and material: the values before, for those that differ after.
// - A replaced document (open, close): the old document, its OBJ image and
//   path, whole.
//
// Undo and redo exchange each record with what is in the document now, so
// the same memory serves both directions and redo after undo is exact by
// construction. Records name objects, materials and documents by pointer;
// documents keep deleted objects and materials alive, and a replaced
// document lives in the step that replaced it, so every pointer a step
// holds stays valid while the step exists.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/document/edit_recorder.h"
#include "host/document/host_document.h"
#include "host/obj/obj_source.h"

namespace pavlex::host {

// A document with what the session keeps beside it.
struct DocumentImage {
  std::unique_ptr<HostDocument> document;
  std::unique_ptr<ObjSource> source;  // null for a document from no file
  std::string path;                   // where a save without a path writes
};

// What undo and redo need from the running host.
class DocumentHolder {
 public:
  virtual HostDocument& currentDocument() = 0;
  // Ends the current document for the plug-ins (event 201) and exchanges it,
  // with its image and path, for `image`.
  virtual void exchangeDocument(DocumentImage& image) = 0;

 protected:
  ~DocumentHolder() = default;
};

class HistoryStep {
 public:
  HistoryStep() = default;
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;
  ~HistoryStep();

  // What the records hold, in bytes.
  size_t bytes() const { return bytes_; }
  bool empty() const;
  // False, with a reason, when the document no longer has the shape the
  // step was recorded on (something changed it outside the history);
  // nothing is changed then.
  bool undo(DocumentHolder& holder, std::string* error);
  bool redo(DocumentHolder& holder, std::string* error);

 private:
  friend class StepRecorder;

  struct ObjectAttributes {
    std::string name;
    bool visible = true;
    bool locked = false;
    MQColor color{};
    int32_t shading = 0;
    float smoothAngle = 0;
  };
  struct MaterialValues {
    std::string name, textureName, alphaName, bumpName;
    MQColor color{};
    float alpha = 0, diffuse = 0, ambient = 0, emission = 0, specular = 0, power = 0;
  };
  struct BlockCopy {
    TrackedArray array;
    size_t first;  // element index
    std::vector<unsigned char> bytes;
  };
  struct ObjectChange {
    HostObject* object = nullptr;
    std::vector<BlockCopy> blocks;             // written before `whole` was taken
    std::unique_ptr<HostObject::State> whole;  // before the first structural edit
    uint64_t revisionBefore = 0;               // structure revision around the step
    uint64_t revisionAfter = 0;
    bool finished = false;  // compared with the document as the step left it
  };
  struct AttributeChange {
    HostObject* object;
    ObjectAttributes values;
  };
  struct MaterialChange {
    HostMaterial* material;
    MaterialValues values;
  };
  struct SlotChange {
    HostDocument* document;
    std::vector<HostObject*> objects;
    std::vector<HostMaterial*> materials;
    int32_t currentObject;
    int32_t currentMaterial;
  };

  static ObjectAttributes AttributesOf(const HostObject& object);
  static void Exchange(HostObject& object, ObjectAttributes& values);
  static MaterialValues ValuesOf(const HostMaterial& material);
  static void Exchange(HostMaterial& material, MaterialValues& values);
  static bool SameAttributes(const ObjectAttributes& a, const ObjectAttributes& b);
  static bool SameValues(const MaterialValues& a, const MaterialValues& b);

  bool blocksFit(bool wholeFirst) const;
  void exchangeObjects(bool undoing);
  void exchangeRest(DocumentHolder& holder, bool undoing);

  std::vector<ObjectChange> objects_;
  std::vector<AttributeChange> attributes_;
  std::vector<MaterialChange> materials_;
  std::vector<SlotChange> slots_;
  std::vector<DocumentImage> replaced_;  // in the order the command replaced them
  size_t bytes_ = 0;
};

// Records one step while a command runs: it is the document's recorder,
// snapshots the small document-wide values when it attaches and compares
// them when it detaches. It keeps at most `byteLimit` bytes; past that it
// gives the step up (overflowed()), and so does a failed allocation.
class StepRecorder final : public EditRecorder {
 public:
  StepRecorder(uint32_t step, size_t byteLimit, HostDocument& document);
  virtual ~StepRecorder();
  StepRecorder(const StepRecorder&) = delete;
  StepRecorder& operator=(const StepRecorder&) = delete;

  // The session replaced the document: the old one, with its image, goes
  // into the step, and recording goes on in `now`.
  void documentReplaced(DocumentImage old, HostDocument& now);
  // Stops recording and answers the step (null when nothing changed). After
  // overflowed() it answers null and the caller must clear the history.
  std::unique_ptr<HistoryStep> finish();
  bool overflowed() const { return overflowed_; }
  // The bytes the step would have needed, at least, once overflowed.
  size_t bytesSeen() const { return bytesSeen_; }

  void saveBlock(HostObject& object, TrackedArray array, size_t block) noexcept override;
  void saveObject(HostObject& object) noexcept override;

 private:
  struct Snapshot {
    std::vector<HostObject*> objects;
    std::vector<HostMaterial*> materials;
    int32_t currentObject = -1;
    int32_t currentMaterial = -1;
    std::vector<HistoryStep::ObjectAttributes> attributes;  // per live object slot
    std::vector<HistoryStep::MaterialValues> values;        // per live material slot
  };

  void attach(HostDocument& document);
  void detach();
  HistoryStep::ObjectChange& changeOf(HostObject& object);
  void trimBlocks(HistoryStep::ObjectChange& change);
  void add(size_t bytes);
  void giveUp();

  std::unique_ptr<HistoryStep> step_;
  HostDocument* document_ = nullptr;
  Snapshot snapshot_;
  std::unordered_map<const HostObject*, size_t> changeIndex_;
  size_t byteLimit_;
  size_t bytesSeen_ = 0;
  bool overflowed_ = false;
};

}  // namespace pavlex::host

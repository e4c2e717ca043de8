// One mesh object of the stand-in host: the storage behind an MQObject.
//
// Faces live in slots. A face's corners are a contiguous run of the corner
// arrays starting at faceFirst; a deleted face keeps its slot with 0 corners
// (its old corner run becomes garbage) until compact(). Vertex-to-face
// adjacency is a CSR table rebuilt lazily after topology edits, so queries
// between edits cost time in proportion to their answer.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/document/edit_recorder.h"
#include "hostapi/mq_types.h"

namespace pavlex::host {

class HostDocument;

class HostObject {
 public:
  HostObject();
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;

  // A deep copy with a new object unique ID and fresh face and vertex unique
  // IDs; selections are not copied. The copy belongs to no document.
  HostObject* clone() const;

  // --- identity and object attributes ------------------------------------
  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  int32_t uniqueId() const { return uniqueId_; }  // process-wide, never reused
  bool visible = true;
  bool locked = false;                       // value code 259
  MQColor color = {0.9f, 0.9f, 0.9f};        // value code 0x201
  int32_t shading = 1;                       // 0 flat, nonzero smooth
  float smoothAngle = 59.5f;                 // degrees

  // Slot in the owning document, -1 while owned by a caller or after the
  // object was deleted from its document.
  int32_t slot() const { return slot_; }
  HostDocument* document() const { return document_; }

  // --- vertices ------------------------------------------------------------
  int32_t vertexCount() const { return static_cast<int32_t>(positions_.size()); }
  // Bounded by the byte-per-vertex array every vertex has an entry in, so
  // no division by the 12-byte position size on each per-vertex host call.
  bool validVertex(int32_t v) const { return static_cast<uint32_t>(v) < vertexDeleted_.size(); }
  const MQPoint& position(int32_t v) const { return positions_[static_cast<size_t>(v)]; }
  void setPosition(int32_t v, const MQPoint& p);
  int32_t vertexRefCount(int32_t v) const { return refCount_[static_cast<size_t>(v)]; }
  int32_t vertexUniqueId(int32_t v) const { return vertexUid_[static_cast<size_t>(v)]; }
  int32_t vertexFromUniqueId(int32_t uid) const;  // -1 when gone
  int32_t addVertex(const MQPoint& p);
  // Marks an unreferenced vertex deleted (reference count stays 0, slot
  // stays). With deleteFaces, deletes the faces that use it first.
  bool deleteVertex(int32_t v, bool deleteFaces);
  bool vertexDeleted(int32_t v) const { return vertexDeleted_[static_cast<size_t>(v)] != 0; }

  // --- faces ---------------------------------------------------------------
  int32_t faceCount() const { return static_cast<int32_t>(faceFirst_.size()); }
  bool validFace(int32_t f) const { return static_cast<uint32_t>(f) < faceCorners_.size(); }
  int32_t cornerCount(int32_t f) const { return faceCorners_[static_cast<size_t>(f)]; }
  // True for a face slot holding a face (a deleted one has no corners), and
  // for a corner of such a face. The unsigned compares take in the sign
  // tests: the per-corner host calls ask this millions of times a press.
  bool liveFace(int32_t f) const { return validFace(f) && faceCorners_[static_cast<size_t>(f)] > 0; }
  bool liveCorner(int32_t f, int32_t c) const {
    return validFace(f) &&
           static_cast<uint32_t>(c) < static_cast<uint32_t>(faceCorners_[static_cast<size_t>(f)]);
  }
  const int32_t* faceVertices(int32_t f) const { return cornerVertex_.data() + faceFirst_[static_cast<size_t>(f)]; }
  const MQCoordinate* faceUVs(int32_t f) const { return cornerUV_.data() + faceFirst_[static_cast<size_t>(f)]; }
  // Counts as a write of the face's every UV (the edit history keeps them).
  MQCoordinate* faceUVs(int32_t f) {
    const size_t first = faceFirst_[static_cast<size_t>(f)];
    noteWrites(TrackedArray::kCornerUV, first, first + static_cast<size_t>(faceCorners_[static_cast<size_t>(f)]));
    return cornerUV_.data() + first;
  }
  // Writing the bits already there is no change, so the history is not
  // told (it would keep the element's block only to drop it again).
  void setUV(int32_t f, int32_t c, const MQCoordinate& uv) {
    const size_t i = faceFirst_[static_cast<size_t>(f)] + static_cast<uint32_t>(c);
    if (std::memcmp(&cornerUV_[i], &uv, sizeof uv) == 0) return;
    noteWrite(TrackedArray::kCornerUV, i);
    cornerUV_[i] = uv;
  }
  int32_t faceMaterial(int32_t f) const { return faceMaterial_[static_cast<size_t>(f)]; }
  void setFaceMaterial(int32_t f, int32_t material);
  bool faceVisible(int32_t f) const { return faceVisible_[static_cast<size_t>(f)] != 0; }
  void setFaceVisible(int32_t f, bool on) {
    noteWrite(TrackedArray::kFaceVisible, static_cast<size_t>(f));
    faceVisible_[static_cast<size_t>(f)] = on ? 1 : 0;
  }
  int32_t faceUniqueId(int32_t f) const { return faceUid_[static_cast<size_t>(f)]; }
  int32_t faceFromUniqueId(int32_t uid) const;  // -1 when gone; O(1)
  // Smoothing group number carried through from imported files (0 = off).
  int32_t faceSmoothingGroup(int32_t f) const { return faceSmoothing_[static_cast<size_t>(f)]; }
  void setFaceSmoothingGroup(int32_t f, int32_t group) {
    noteWrite(TrackedArray::kFaceSmoothing, static_cast<size_t>(f));
    faceSmoothing_[static_cast<size_t>(f)] = group;
  }

  // Sizes the arrays for a bulk load; changes nothing visible.
  void reserve(size_t vertices, size_t faces, size_t corners);

  // Appends a face of count >= 2 corners over existing, live vertices.
  // uvs may be null (every corner gets (0, 0)). Answers the face index or
  // -1 when an argument is invalid (nothing is changed then).
  int32_t addFace(int32_t count, const int32_t* vertices, const MQCoordinate* uvs = nullptr,
                  int32_t material = -1);
  // As addFace, inserted at slot index (0..faceCount); later faces shift up.
  int32_t insertFace(int32_t index, int32_t count, const int32_t* vertices);
  // Deletes a face: 0 corners, selections cleared, slot kept, unique ID
  // retired. With deleteVertices, vertices left without references are
  // deleted too.
  bool deleteFace(int32_t f, bool deleteVertices);
  bool invertFace(int32_t f);
  // Removes deleted faces and unreferenced vertices; later elements shift
  // down; unique IDs and selections of survivors are kept.
  void compact();
  void clear();
  // Appends a copy of source's live vertices and faces.
  void merge(const HostObject& source);

  // Live faces that use v, each once, ascending. The pointer stays valid
  // until the next topology edit. Inline but for the rebuild after an edit:
  // tools ask it twice per vertex (count, then list).
  const int32_t* relatedFaces(int32_t v, int32_t* count) const {
    if (!validVertex(v)) {
      if (count) *count = 0;
      return nullptr;
    }
    if (adjacencyDirty_) rebuildAdjacency();
    const int32_t begin = adjacencyOffset_[static_cast<size_t>(v)];
    if (count) *count = adjacencyOffset_[static_cast<size_t>(v) + 1] - begin;
    return adjacencyFaces_.data() + begin;
  }

  // --- selections (per element flags) --------------------------------------
  bool isVertexSelected(int32_t v) const { return vertexSelected_[static_cast<size_t>(v)] != 0; }
  void setVertexSelected(int32_t v, bool on) {
    noteWrite(TrackedArray::kVertexSelected, static_cast<size_t>(v));
    vertexSelected_[static_cast<size_t>(v)] = on ? 1 : 0;
  }
  bool isFaceSelected(int32_t f) const { return faceSelected_[static_cast<size_t>(f)] != 0; }
  void setFaceSelected(int32_t f, bool on) {
    noteWrite(TrackedArray::kFaceSelected, static_cast<size_t>(f));
    faceSelected_[static_cast<size_t>(f)] = on ? 1 : 0;
  }
  // Corner-addressed kinds; callers check corner < cornerCount(f).
  bool isUVSelected(int32_t f, int32_t c) const { return (cornerFlag(f, c) & kUVSelected) != 0; }
  void setUVSelected(int32_t f, int32_t c, bool on) { setCornerFlag(f, c, kUVSelected, on); }
  bool isLineSelected(int32_t f, int32_t c) const { return (cornerFlag(f, c) & kLineSelected) != 0; }
  void setLineSelected(int32_t f, int32_t c, bool on) { setCornerFlag(f, c, kLineSelected, on); }
  void clearSelection(uint32_t flags);  // MQCLEARSELECT_* bits

  // Bumped by every change of topology, positions or face materials; UV and
  // selection changes leave it alone. Exporters use it to tell whether the
  // mesh is still the one they read.
  uint64_t structureRevision() const { return structureRevision_; }

  // --- for the edit history --------------------------------------------------
  // Everything a structural edit may change, as one value the history can
  // keep and exchange: unique IDs, selections and the structure revision
  // come back with it, so a lossless save still recognises the mesh.
  struct State {
    std::vector<MQPoint> positions;
    std::vector<int32_t> refCount, vertexUid, uidToVertex;
    std::vector<uint8_t> vertexDeleted, vertexSelected;
    std::vector<uint32_t> faceFirst;
    std::vector<int32_t> faceCorners, faceMaterial, faceUid, uidToFace, faceSmoothing;
    std::vector<uint8_t> faceVisible, faceSelected;
    std::vector<int32_t> cornerVertex;
    std::vector<MQCoordinate> cornerUV;
    std::vector<uint8_t> cornerFlags;
    uint64_t structureRevision = 0;
    size_t bytes() const;  // what the arrays hold
  };
  // A copy of the mesh state; throws std::bad_alloc.
  std::unique_ptr<State> copyState() const;
  // Puts `state` in place and leaves the object's old state in it.
  void exchangeState(State& state) noexcept;
  // The raw elements of one tracked array.
  struct ArrayBytes {
    unsigned char* data;
    size_t count;        // elements
    size_t elementSize;  // bytes
  };
  ArrayBytes trackedArray(TrackedArray array);
  // A block-wise restore puts back the revision it saw before the step.
  void setStructureRevision(uint64_t revision) { structureRevision_ = revision; }
  // The bytes the mesh arrays hold (the history's and the benchmarks' measure).
  size_t memoryBytes() const;
  // Set by the owning document while a history step is recorded.
  void setRecorder(EditRecorder* recorder) {
    recorder_ = recorder;
    recordingStep_ = recorder != nullptr ? recorder->step() : 0;
  }

 private:
  friend class HostDocument;
  static constexpr uint8_t kUVSelected = 0x1;
  static constexpr uint8_t kLineSelected = 0x2;

  uint8_t cornerFlag(int32_t f, int32_t c) const {
    return cornerFlags_[faceFirst_[static_cast<size_t>(f)] + static_cast<uint32_t>(c)];
  }
  // As setUV: selecting a selected corner is no change for the history.
  void setCornerFlag(int32_t f, int32_t c, uint8_t bit, bool on) {
    const size_t i = faceFirst_[static_cast<size_t>(f)] + static_cast<uint32_t>(c);
    const uint8_t was = cornerFlags_[i];
    const uint8_t now = on ? static_cast<uint8_t>(was | bit) : static_cast<uint8_t>(was & ~bit);
    if (now == was) return;
    noteWrite(TrackedArray::kCornerFlags, i);
    cornerFlags_[i] = now;
  }
  // Tells the recorder, if any, before element `index` of `array` changes.
  // Inline because selection tools write millions of elements a press.
  void noteWrite(TrackedArray array, size_t index) {
    const uint32_t step = recordingStep_;
    if (step == 0 || wholeStamp_ == step) return;
    const std::vector<uint32_t>& stamps = blockStamps_[static_cast<size_t>(array)];
    const size_t block = index >> kTrackedBlockShift;
    if (block < stamps.size() && stamps[block] == step) return;
    noteBlocks(array, block, block + 1);
  }
  // The same for elements [first, end). Inline for the usual case of a
  // face's few corners in one block already kept.
  void noteWrites(TrackedArray array, size_t first, size_t end) {
    const uint32_t step = recordingStep_;
    if (step == 0 || first >= end || wholeStamp_ == step) return;
    const size_t firstBlock = first >> kTrackedBlockShift;
    const size_t endBlock = ((end - 1) >> kTrackedBlockShift) + 1;
    const std::vector<uint32_t>& stamps = blockStamps_[static_cast<size_t>(array)];
    if (endBlock == firstBlock + 1 && firstBlock < stamps.size() && stamps[firstBlock] == step) return;
    noteBlocks(array, firstBlock, endBlock);
  }
  void noteBlocks(TrackedArray array, size_t firstBlock, size_t endBlock);
  void noteSetBlocks(TrackedArray array, const std::vector<uint8_t>& values, uint8_t mask);
  // Before a structural edit.
  void noteStructure() {
    if (recorder_ != nullptr && wholeStamp_ != recorder_->step()) {
      recorder_->saveObject(*this);
      wholeStamp_ = recorder_->step();
    }
  }
  void touchTopology();
  void rebuildAdjacency() const;
  int32_t newFaceUid();
  int32_t appendFaceSlot(int32_t count, const int32_t* vertices, const MQCoordinate* uvs, int32_t material);

  std::string name_;
  int32_t uniqueId_ = 0;
  int32_t slot_ = -1;
  HostDocument* document_ = nullptr;

  std::vector<MQPoint> positions_;
  std::vector<int32_t> refCount_;
  std::vector<int32_t> vertexUid_;
  std::vector<int32_t> uidToVertex_;  // index by uid; -1 when gone
  std::vector<uint8_t> vertexDeleted_;
  std::vector<uint8_t> vertexSelected_;

  std::vector<uint32_t> faceFirst_;
  std::vector<int32_t> faceCorners_;
  std::vector<int32_t> faceMaterial_;
  std::vector<uint8_t> faceVisible_;
  std::vector<uint8_t> faceSelected_;
  std::vector<int32_t> faceUid_;
  std::vector<int32_t> uidToFace_;  // index by uid; -1 when gone
  std::vector<int32_t> faceSmoothing_;

  std::vector<int32_t> cornerVertex_;
  std::vector<MQCoordinate> cornerUV_;
  std::vector<uint8_t> cornerFlags_;

  mutable std::vector<int32_t> adjacencyOffset_;  // vertexCount + 1 entries
  mutable std::vector<int32_t> adjacencyFaces_;
  mutable bool adjacencyDirty_ = true;

  uint64_t structureRevision_ = 0;

  // Recording state: the step each block (and the whole object) was last
  // saved for.
  EditRecorder* recorder_ = nullptr;
  uint32_t recordingStep_ = 0;  // recorder_'s step, 0 without one (steps never are)
  uint32_t wholeStamp_ = 0;
  std::array<std::vector<uint32_t>, kTrackedArrayCount> blockStamps_;
};

}  // namespace pavlex::host

// The mesh storage of the stand-in host. See host_object.h for the layout.
//
// Exception safety: every editing operation either completes or throws
// std::bad_alloc having changed nothing visible. Allocation happens first
// (growVector), the no-throw writes after.
#include "host/document/host_object.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>

#include "host/document/host_document.h"
#include "hostapi/mq_codes.h"

namespace pavlex::host {
namespace {

// Makes room for `needed` elements with geometric growth, so that a run of
// single appends stays amortised O(1) even though every append reserves.
template <typename T>
void growVector(std::vector<T>& v, size_t needed) {
  if (needed <= v.capacity()) return;
  v.reserve(std::max(needed, v.capacity() + v.capacity() / 2 + 8));
}

// Next free index of a uid -> index table; uid 0 is never handed out.
int32_t nextUid(const std::vector<int32_t>& uidTable) {
  if (uidTable.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
  return static_cast<int32_t>(uidTable.size());
}

}  // namespace

HostObject::HostObject() : uniqueId_(NextObjectUniqueId()) {
  uidToVertex_.push_back(-1);  // uid 0: never valid
  uidToFace_.push_back(-1);
}

void HostObject::touchTopology() {
  adjacencyDirty_ = true;
  ++structureRevision_;
}

int32_t HostObject::newFaceUid() {
  const int32_t uid = nextUid(uidToFace_);
  uidToFace_.push_back(-1);  // caller stores the index
  return uid;
}

// --- vertices ----------------------------------------------------------------

void HostObject::setPosition(int32_t v, const MQPoint& p) {
  noteWrite(TrackedArray::kPositions, static_cast<size_t>(v));
  positions_[static_cast<size_t>(v)] = p;
  ++structureRevision_;
}

int32_t HostObject::vertexFromUniqueId(int32_t uid) const {
  if (uid <= 0 || static_cast<size_t>(uid) >= uidToVertex_.size()) return -1;
  return uidToVertex_[static_cast<size_t>(uid)];
}

int32_t HostObject::addVertex(const MQPoint& p) {
  const size_t n = positions_.size();
  if (n >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
  const int32_t uid = nextUid(uidToVertex_);
  noteStructure();
  growVector(positions_, n + 1);
  growVector(refCount_, n + 1);
  growVector(vertexUid_, n + 1);
  growVector(vertexDeleted_, n + 1);
  growVector(vertexSelected_, n + 1);
  growVector(uidToVertex_, uidToVertex_.size() + 1);
  if (!adjacencyDirty_) growVector(adjacencyOffset_, adjacencyOffset_.size() + 1);
  // No allocation below.
  const auto index = static_cast<int32_t>(n);
  positions_.push_back(p);
  refCount_.push_back(0);
  vertexUid_.push_back(uid);
  vertexDeleted_.push_back(0);
  vertexSelected_.push_back(0);
  uidToVertex_.push_back(index);
  // A new vertex has no faces: the adjacency table stays valid.
  if (!adjacencyDirty_) adjacencyOffset_.push_back(adjacencyOffset_.back());
  ++structureRevision_;
  return index;
}

bool HostObject::deleteVertex(int32_t v, bool deleteFaces) {
  if (!validVertex(v) || vertexDeleted(v)) return false;
  if (refCount_[static_cast<size_t>(v)] > 0 && !deleteFaces) return false;
  noteStructure();
  if (refCount_[static_cast<size_t>(v)] > 0) {
    int32_t count = 0;
    const int32_t* faces = relatedFaces(v, &count);
    const std::vector<int32_t> doomed(faces, faces + count);
    for (int32_t f : doomed) deleteFace(f, false);
  }
  const auto i = static_cast<size_t>(v);
  vertexDeleted_[i] = 1;
  vertexSelected_[i] = 0;
  uidToVertex_[static_cast<size_t>(vertexUid_[i])] = -1;
  vertexUid_[i] = 0;
  ++structureRevision_;
  return true;
}

// --- faces -------------------------------------------------------------------

int32_t HostObject::faceFromUniqueId(int32_t uid) const {
  if (uid <= 0 || static_cast<size_t>(uid) >= uidToFace_.size()) return -1;
  return uidToFace_[static_cast<size_t>(uid)];
}

void HostObject::setFaceMaterial(int32_t f, int32_t material) {
  noteWrite(TrackedArray::kFaceMaterial, static_cast<size_t>(f));
  faceMaterial_[static_cast<size_t>(f)] = material;
  ++structureRevision_;
}

void HostObject::reserve(size_t vertices, size_t faces, size_t corners) {
  positions_.reserve(vertices);
  refCount_.reserve(vertices);
  vertexUid_.reserve(vertices);
  uidToVertex_.reserve(uidToVertex_.size() + vertices);
  vertexDeleted_.reserve(vertices);
  vertexSelected_.reserve(vertices);
  faceFirst_.reserve(faces);
  faceCorners_.reserve(faces);
  faceMaterial_.reserve(faces);
  faceVisible_.reserve(faces);
  faceSelected_.reserve(faces);
  faceUid_.reserve(faces);
  uidToFace_.reserve(uidToFace_.size() + faces);
  faceSmoothing_.reserve(faces);
  cornerVertex_.reserve(corners);
  cornerUV_.reserve(corners);
  cornerFlags_.reserve(corners);
}

// Appends one face slot at the end (corner run and per-face entries) and
// answers its index; uidToFace_ is left for the caller to point at it. The
// arguments are already checked.
int32_t HostObject::appendFaceSlot(int32_t count, const int32_t* vertices, const MQCoordinate* uvs,
                                   int32_t material) {
  const size_t f = faceFirst_.size();
  const size_t first = cornerVertex_.size();
  const auto n = static_cast<size_t>(count);
  if (f >= static_cast<size_t>(std::numeric_limits<int32_t>::max()) ||
      first + n > std::numeric_limits<uint32_t>::max())
    throw std::bad_alloc();
  const int32_t uid = nextUid(uidToFace_);
  noteStructure();
  growVector(faceFirst_, f + 1);
  growVector(faceCorners_, f + 1);
  growVector(faceMaterial_, f + 1);
  growVector(faceVisible_, f + 1);
  growVector(faceSelected_, f + 1);
  growVector(faceUid_, f + 1);
  growVector(faceSmoothing_, f + 1);
  growVector(uidToFace_, uidToFace_.size() + 1);
  growVector(cornerVertex_, first + n);
  growVector(cornerUV_, first + n);
  growVector(cornerFlags_, first + n);
  // No allocation below.
  faceFirst_.push_back(static_cast<uint32_t>(first));
  faceCorners_.push_back(count);
  faceMaterial_.push_back(material);
  faceVisible_.push_back(1);
  faceSelected_.push_back(0);
  faceUid_.push_back(uid);
  faceSmoothing_.push_back(0);
  uidToFace_.push_back(static_cast<int32_t>(f));
  for (size_t c = 0; c < n; ++c) {
    cornerVertex_.push_back(vertices[c]);
    cornerUV_.push_back(uvs ? uvs[c] : MQCoordinate{0.0f, 0.0f});
    cornerFlags_.push_back(0);
    ++refCount_[static_cast<size_t>(vertices[c])];
  }
  touchTopology();
  return static_cast<int32_t>(f);
}

int32_t HostObject::addFace(int32_t count, const int32_t* vertices, const MQCoordinate* uvs,
                            int32_t material) {
  if (count < 2 || vertices == nullptr) return -1;
  for (int32_t c = 0; c < count; ++c) {
    if (!validVertex(vertices[c]) || vertexDeleted(vertices[c])) return -1;
  }
  return appendFaceSlot(count, vertices, uvs, material);
}

int32_t HostObject::insertFace(int32_t index, int32_t count, const int32_t* vertices) {
  if (index < 0 || index > faceCount()) return -1;
  if (count < 2 || vertices == nullptr) return -1;
  for (int32_t c = 0; c < count; ++c) {
    if (!validVertex(vertices[c]) || vertexDeleted(vertices[c])) return -1;
  }
  // Room for the inserted element in every per-face array, so that the
  // rotations below cannot throw once the face is appended.
  const int32_t last = appendFaceSlot(count, vertices, nullptr, -1);
  if (index == last) return last;
  const auto b = static_cast<std::ptrdiff_t>(index);
  auto rotateLastTo = [b](auto& v) { std::rotate(v.begin() + b, v.end() - 1, v.end()); };
  rotateLastTo(faceFirst_);
  rotateLastTo(faceCorners_);
  rotateLastTo(faceMaterial_);
  rotateLastTo(faceVisible_);
  rotateLastTo(faceSelected_);
  rotateLastTo(faceUid_);
  rotateLastTo(faceSmoothing_);
  for (int32_t f = index; f < faceCount(); ++f) {
    const int32_t uid = faceUid_[static_cast<size_t>(f)];
    if (uid > 0) uidToFace_[static_cast<size_t>(uid)] = f;
  }
  return index;
}

bool HostObject::deleteFace(int32_t f, bool deleteVertices) {
  if (!validFace(f) || cornerCount(f) <= 0) return false;
  noteStructure();
  const auto i = static_cast<size_t>(f);
  const uint32_t first = faceFirst_[i];
  const int32_t n = faceCorners_[i];
  for (int32_t c = 0; c < n; ++c) {
    const auto v = static_cast<size_t>(cornerVertex_[first + static_cast<uint32_t>(c)]);
    --refCount_[v];
    cornerFlags_[first + static_cast<uint32_t>(c)] = 0;
  }
  if (deleteVertices) {
    for (int32_t c = 0; c < n; ++c) {
      const auto v = static_cast<size_t>(cornerVertex_[first + static_cast<uint32_t>(c)]);
      if (refCount_[v] == 0 && !vertexDeleted_[v]) {
        vertexDeleted_[v] = 1;
        vertexSelected_[v] = 0;
        uidToVertex_[static_cast<size_t>(vertexUid_[v])] = -1;
        vertexUid_[v] = 0;
      }
    }
  }
  faceCorners_[i] = 0;
  faceSelected_[i] = 0;
  faceMaterial_[i] = -1;
  faceVisible_[i] = 0;
  uidToFace_[static_cast<size_t>(faceUid_[i])] = -1;
  faceUid_[i] = 0;
  touchTopology();
  return true;
}

bool HostObject::invertFace(int32_t f) {
  if (!validFace(f) || cornerCount(f) <= 0) return false;
  noteStructure();
  const size_t first = faceFirst_[static_cast<size_t>(f)];
  const auto n = static_cast<size_t>(cornerCount(f));
  std::reverse(cornerVertex_.begin() + static_cast<std::ptrdiff_t>(first),
               cornerVertex_.begin() + static_cast<std::ptrdiff_t>(first + n));
  std::reverse(cornerUV_.begin() + static_cast<std::ptrdiff_t>(first),
               cornerUV_.begin() + static_cast<std::ptrdiff_t>(first + n));
  // A UV selection moves with its corner. Line j runs from corner j to
  // j + 1; after reversal, new line j is old line (n - 2 - j) mod n walked
  // backwards. Lines are undirected, so the flag follows it.
  uint8_t* flags = cornerFlags_.data() + first;
  std::reverse(flags, flags + n);  // UV bits now right; line bits off by one
  if (n > 1) {
    // After the reverse, position j holds old corner n-1-j's line bit, but it
    // must hold old line (n-2-j) mod n = old corner at position j+1: rotate
    // the line bits left by one.
    const uint8_t firstLine = flags[0] & kLineSelected;
    for (size_t j = 0; j + 1 < n; ++j) {
      flags[j] = static_cast<uint8_t>((flags[j] & ~kLineSelected) | (flags[j + 1] & kLineSelected));
    }
    flags[n - 1] = static_cast<uint8_t>((flags[n - 1] & ~kLineSelected) | firstLine);
  }
  ++structureRevision_;  // winding changed; adjacency did not
  return true;
}

void HostObject::compact() {
  const size_t faces = faceFirst_.size();
  const size_t verts = positions_.size();
  size_t liveFaces = 0;
  size_t liveCorners = 0;
  for (size_t f = 0; f < faces; ++f) {
    if (faceCorners_[f] > 0) {
      ++liveFaces;
      liveCorners += static_cast<size_t>(faceCorners_[f]);
    }
  }
  std::vector<int32_t> vertexMap(verts, -1);
  size_t liveVerts = 0;
  for (size_t v = 0; v < verts; ++v) {
    if (refCount_[v] > 0) vertexMap[v] = static_cast<int32_t>(liveVerts++);
  }
  if (liveFaces == faces && liveVerts == verts && liveCorners == cornerVertex_.size()) return;
  noteStructure();

  // Build the new arrays aside, then swap them in (strong guarantee).
  std::vector<MQPoint> positions;
  std::vector<int32_t> refCount, vertexUid;
  std::vector<uint8_t> vertexDeleted, vertexSelected;
  positions.reserve(liveVerts);
  refCount.reserve(liveVerts);
  vertexUid.reserve(liveVerts);
  vertexDeleted.assign(liveVerts, 0);
  vertexSelected.reserve(liveVerts);
  std::vector<uint32_t> faceFirst;
  std::vector<int32_t> faceCorners, faceMaterial, faceUid, faceSmoothing;
  std::vector<uint8_t> faceVisible, faceSelected;
  faceFirst.reserve(liveFaces);
  faceCorners.reserve(liveFaces);
  faceMaterial.reserve(liveFaces);
  faceUid.reserve(liveFaces);
  faceSmoothing.reserve(liveFaces);
  faceVisible.reserve(liveFaces);
  faceSelected.reserve(liveFaces);
  std::vector<int32_t> cornerVertex;
  std::vector<MQCoordinate> cornerUV;
  std::vector<uint8_t> cornerFlags;
  cornerVertex.reserve(liveCorners);
  cornerUV.reserve(liveCorners);
  cornerFlags.reserve(liveCorners);

  for (size_t v = 0; v < verts; ++v) {
    if (vertexMap[v] < 0) continue;
    positions.push_back(positions_[v]);
    refCount.push_back(refCount_[v]);
    vertexUid.push_back(vertexUid_[v]);
    vertexSelected.push_back(vertexSelected_[v]);
  }
  for (size_t f = 0; f < faces; ++f) {
    const int32_t n = faceCorners_[f];
    if (n <= 0) continue;
    faceFirst.push_back(static_cast<uint32_t>(cornerVertex.size()));
    faceCorners.push_back(n);
    faceMaterial.push_back(faceMaterial_[f]);
    faceUid.push_back(faceUid_[f]);
    faceSmoothing.push_back(faceSmoothing_[f]);
    faceVisible.push_back(faceVisible_[f]);
    faceSelected.push_back(faceSelected_[f]);
    const size_t first = faceFirst_[f];
    for (size_t c = first; c < first + static_cast<size_t>(n); ++c) {
      cornerVertex.push_back(vertexMap[static_cast<size_t>(cornerVertex_[c])]);
      cornerUV.push_back(cornerUV_[c]);
      cornerFlags.push_back(cornerFlags_[c]);
    }
  }
  // No allocation below: retire vanished uids, point survivors at new slots.
  for (size_t v = 0; v < verts; ++v) {
    if (vertexMap[v] < 0 && vertexUid_[v] > 0) uidToVertex_[static_cast<size_t>(vertexUid_[v])] = -1;
  }
  for (size_t v = 0; v < vertexUid.size(); ++v)
    uidToVertex_[static_cast<size_t>(vertexUid[v])] = static_cast<int32_t>(v);
  for (size_t f = 0; f < faceUid.size(); ++f)
    uidToFace_[static_cast<size_t>(faceUid[f])] = static_cast<int32_t>(f);

  positions_.swap(positions);
  refCount_.swap(refCount);
  vertexUid_.swap(vertexUid);
  vertexDeleted_.swap(vertexDeleted);
  vertexSelected_.swap(vertexSelected);
  faceFirst_.swap(faceFirst);
  faceCorners_.swap(faceCorners);
  faceMaterial_.swap(faceMaterial);
  faceUid_.swap(faceUid);
  faceSmoothing_.swap(faceSmoothing);
  faceVisible_.swap(faceVisible);
  faceSelected_.swap(faceSelected);
  cornerVertex_.swap(cornerVertex);
  cornerUV_.swap(cornerUV);
  cornerFlags_.swap(cornerFlags);
  touchTopology();
}

void HostObject::clear() {
  noteStructure();
  for (int32_t uid : vertexUid_) {
    if (uid > 0) uidToVertex_[static_cast<size_t>(uid)] = -1;
  }
  for (int32_t uid : faceUid_) {
    if (uid > 0) uidToFace_[static_cast<size_t>(uid)] = -1;
  }
  positions_.clear();
  refCount_.clear();
  vertexUid_.clear();
  vertexDeleted_.clear();
  vertexSelected_.clear();
  faceFirst_.clear();
  faceCorners_.clear();
  faceMaterial_.clear();
  faceVisible_.clear();
  faceSelected_.clear();
  faceUid_.clear();
  faceSmoothing_.clear();
  cornerVertex_.clear();
  cornerUV_.clear();
  cornerFlags_.clear();
  touchTopology();
}

void HostObject::merge(const HostObject& source) {
  if (&source == this) {
    const std::unique_ptr<HostObject> copy(clone());
    merge(*copy);
    return;
  }
  // Vertices first; a failure part way leaves appended, unused vertices,
  // which compact() would drop. Faces use only vertices appended here.
  std::vector<int32_t> vertexMap(static_cast<size_t>(source.vertexCount()), -1);
  size_t corners = 0;
  int32_t faces = 0;
  for (int32_t f = 0; f < source.faceCount(); ++f) {
    if (source.cornerCount(f) > 0) {
      corners += static_cast<size_t>(source.cornerCount(f));
      ++faces;
    }
  }
  reserve(positions_.size() + vertexMap.size(), faceFirst_.size() + static_cast<size_t>(faces),
          cornerVertex_.size() + corners);
  for (int32_t v = 0; v < source.vertexCount(); ++v) {
    if (!source.vertexDeleted(v)) vertexMap[static_cast<size_t>(v)] = addVertex(source.position(v));
  }
  std::vector<int32_t> points;
  for (int32_t f = 0; f < source.faceCount(); ++f) {
    const int32_t n = source.cornerCount(f);
    if (n <= 0) continue;
    points.resize(static_cast<size_t>(n));
    const int32_t* sv = source.faceVertices(f);
    for (int32_t c = 0; c < n; ++c) points[static_cast<size_t>(c)] = vertexMap[static_cast<size_t>(sv[c])];
    const int32_t nf = appendFaceSlot(n, points.data(), source.faceUVs(f), source.faceMaterial(f));
    faceVisible_[static_cast<size_t>(nf)] = source.faceVisible_[static_cast<size_t>(f)];
    faceSmoothing_[static_cast<size_t>(nf)] = source.faceSmoothingGroup(f);
  }
}

HostObject* HostObject::clone() const {
  auto copy = std::make_unique<HostObject>();
  copy->name_ = name_;
  copy->visible = visible;
  copy->locked = locked;
  copy->color = color;
  copy->shading = shading;
  copy->smoothAngle = smoothAngle;

  // Same slots as the original (deleted ones included), fresh unique IDs.
  copy->positions_ = positions_;
  copy->refCount_ = refCount_;
  copy->vertexDeleted_ = vertexDeleted_;
  copy->vertexSelected_.assign(positions_.size(), 0);
  copy->vertexUid_.assign(positions_.size(), 0);
  copy->uidToVertex_.reserve(positions_.size() + 1);
  for (size_t v = 0; v < positions_.size(); ++v) {
    if (vertexDeleted_[v]) continue;
    copy->vertexUid_[v] = static_cast<int32_t>(copy->uidToVertex_.size());
    copy->uidToVertex_.push_back(static_cast<int32_t>(v));
  }
  copy->faceFirst_ = faceFirst_;
  copy->faceCorners_ = faceCorners_;
  copy->faceMaterial_ = faceMaterial_;
  copy->faceVisible_ = faceVisible_;
  copy->faceSelected_.assign(faceFirst_.size(), 0);
  copy->faceSmoothing_ = faceSmoothing_;
  copy->faceUid_.assign(faceFirst_.size(), 0);
  copy->uidToFace_.reserve(faceFirst_.size() + 1);
  for (size_t f = 0; f < faceFirst_.size(); ++f) {
    if (faceCorners_[f] <= 0) continue;
    copy->faceUid_[f] = static_cast<int32_t>(copy->uidToFace_.size());
    copy->uidToFace_.push_back(static_cast<int32_t>(f));
  }
  copy->cornerVertex_ = cornerVertex_;
  copy->cornerUV_ = cornerUV_;
  copy->cornerFlags_.assign(cornerFlags_.size(), 0);
  return copy.release();
}

// --- adjacency ---------------------------------------------------------------

void HostObject::rebuildAdjacency() const {
  const size_t verts = positions_.size();
  // Counting pass; lastFace[v] stops a face that uses v twice from counting twice.
  std::vector<int32_t> lastFace(verts, -1);
  std::vector<int32_t> offset(verts + 1, 0);
  const auto faces = static_cast<int32_t>(faceFirst_.size());
  for (int32_t f = 0; f < faces; ++f) {
    const int32_t n = faceCorners_[static_cast<size_t>(f)];
    const int32_t* cv = cornerVertex_.data() + faceFirst_[static_cast<size_t>(f)];
    for (int32_t c = 0; c < n; ++c) {
      const auto v = static_cast<size_t>(cv[c]);
      if (lastFace[v] != f) {
        lastFace[v] = f;
        ++offset[v + 1];
      }
    }
  }
  for (size_t v = 0; v < verts; ++v) offset[v + 1] += offset[v];
  std::vector<int32_t> list(static_cast<size_t>(offset[verts]));
  // Filling pass in ascending face order keeps every list ascending;
  // `cursor` reuses lastFace's storage as the write position.
  std::vector<int32_t>& cursor = lastFace;
  std::copy(offset.begin(), offset.end() - 1, cursor.begin());
  for (int32_t f = 0; f < faces; ++f) {
    const int32_t n = faceCorners_[static_cast<size_t>(f)];
    const int32_t* cv = cornerVertex_.data() + faceFirst_[static_cast<size_t>(f)];
    for (int32_t c = 0; c < n; ++c) {
      const auto v = static_cast<size_t>(cv[c]);
      const int32_t pos = cursor[v];
      if (pos > offset[v] && list[static_cast<size_t>(pos - 1)] == f) continue;
      list[static_cast<size_t>(pos)] = f;
      cursor[v] = pos + 1;
    }
  }
  adjacencyOffset_.swap(offset);
  adjacencyFaces_.swap(list);
  adjacencyDirty_ = false;
}

// --- selections --------------------------------------------------------------

void HostObject::clearSelection(uint32_t flags) {
  if (flags & MQCLEARSELECT_VERTEX) {
    noteSetBlocks(TrackedArray::kVertexSelected, vertexSelected_, 0xff);
    std::fill(vertexSelected_.begin(), vertexSelected_.end(), 0);
  }
  if (flags & MQCLEARSELECT_FACE) {
    noteSetBlocks(TrackedArray::kFaceSelected, faceSelected_, 0xff);
    std::fill(faceSelected_.begin(), faceSelected_.end(), 0);
  }
  uint8_t mask = 0;
  if (flags & MQCLEARSELECT_LINE) mask |= kLineSelected;
  if (flags & MQCLEARSELECT_UVVERTEX) mask |= kUVSelected;
  if (mask == 0) return;
  noteSetBlocks(TrackedArray::kCornerFlags, cornerFlags_, mask);
  const auto keep = static_cast<uint8_t>(~mask);
  for (uint8_t& f : cornerFlags_) f &= keep;
}

// --- the edit history's hooks --------------------------------------------------

void HostObject::noteBlocks(TrackedArray array, size_t firstBlock, size_t endBlock) {
  if (recorder_ == nullptr || wholeStamp_ == recorder_->step()) return;
  std::vector<uint32_t>& stamps = blockStamps_[static_cast<size_t>(array)];
  const size_t count = trackedArray(array).count;
  const size_t blocks = (count + kTrackedBlockSize - 1) >> kTrackedBlockShift;
  if (stamps.size() < blocks) {
    try {
      stamps.resize(blocks, 0);
    } catch (const std::bad_alloc&) {
      // No room to keep stamps: keep the whole object instead (the recorder
      // gives the step up when even that fails).
      noteStructure();
      return;
    }
  }
  const uint32_t step = recorder_->step();
  for (size_t b = firstBlock; b < endBlock && b < blocks; ++b) {
    if (stamps[b] == step) continue;
    recorder_->saveBlock(*this, array, b);
    stamps[b] = step;
  }
}

// Only blocks holding a bit of `mask` will change when those bits are cleared.
void HostObject::noteSetBlocks(TrackedArray array, const std::vector<uint8_t>& values, uint8_t mask) {
  if (recorder_ == nullptr) return;
  for (size_t first = 0; first < values.size(); first += kTrackedBlockSize) {
    const size_t end = std::min(values.size(), first + kTrackedBlockSize);
    for (size_t i = first; i < end; ++i) {
      if (values[i] & mask) {
        noteWrites(array, first, end);
        break;
      }
    }
  }
}

HostObject::ArrayBytes HostObject::trackedArray(TrackedArray array) {
  auto bytes = [](auto& v) {
    return ArrayBytes{reinterpret_cast<unsigned char*>(v.data()), v.size(), sizeof(v[0])};
  };
  switch (array) {
    case TrackedArray::kPositions: return bytes(positions_);
    case TrackedArray::kVertexSelected: return bytes(vertexSelected_);
    case TrackedArray::kFaceMaterial: return bytes(faceMaterial_);
    case TrackedArray::kFaceVisible: return bytes(faceVisible_);
    case TrackedArray::kFaceSelected: return bytes(faceSelected_);
    case TrackedArray::kFaceSmoothing: return bytes(faceSmoothing_);
    case TrackedArray::kCornerUV: return bytes(cornerUV_);
    case TrackedArray::kCornerFlags: return bytes(cornerFlags_);
  }
  return ArrayBytes{nullptr, 0, 1};
}

namespace {

template <typename T>
size_t VectorBytes(const std::vector<T>& v) {
  return v.size() * sizeof(T);
}

}  // namespace

size_t HostObject::State::bytes() const {
  return VectorBytes(positions) + VectorBytes(refCount) + VectorBytes(vertexUid) + VectorBytes(uidToVertex) +
         VectorBytes(vertexDeleted) + VectorBytes(vertexSelected) + VectorBytes(faceFirst) +
         VectorBytes(faceCorners) + VectorBytes(faceMaterial) + VectorBytes(faceUid) + VectorBytes(uidToFace) +
         VectorBytes(faceSmoothing) + VectorBytes(faceVisible) + VectorBytes(faceSelected) +
         VectorBytes(cornerVertex) + VectorBytes(cornerUV) + VectorBytes(cornerFlags);
}

size_t HostObject::memoryBytes() const {
  return VectorBytes(positions_) + VectorBytes(refCount_) + VectorBytes(vertexUid_) + VectorBytes(uidToVertex_) +
         VectorBytes(vertexDeleted_) + VectorBytes(vertexSelected_) + VectorBytes(faceFirst_) +
         VectorBytes(faceCorners_) + VectorBytes(faceMaterial_) + VectorBytes(faceUid_) + VectorBytes(uidToFace_) +
         VectorBytes(faceSmoothing_) + VectorBytes(faceVisible_) + VectorBytes(faceSelected_) +
         VectorBytes(cornerVertex_) + VectorBytes(cornerUV_) + VectorBytes(cornerFlags_);
}

std::unique_ptr<HostObject::State> HostObject::copyState() const {
  auto state = std::make_unique<State>();
  state->positions = positions_;
  state->refCount = refCount_;
  state->vertexUid = vertexUid_;
  state->uidToVertex = uidToVertex_;
  state->vertexDeleted = vertexDeleted_;
  state->vertexSelected = vertexSelected_;
  state->faceFirst = faceFirst_;
  state->faceCorners = faceCorners_;
  state->faceMaterial = faceMaterial_;
  state->faceUid = faceUid_;
  state->uidToFace = uidToFace_;
  state->faceSmoothing = faceSmoothing_;
  state->faceVisible = faceVisible_;
  state->faceSelected = faceSelected_;
  state->cornerVertex = cornerVertex_;
  state->cornerUV = cornerUV_;
  state->cornerFlags = cornerFlags_;
  state->structureRevision = structureRevision_;
  return state;
}

void HostObject::exchangeState(State& state) noexcept {
  positions_.swap(state.positions);
  refCount_.swap(state.refCount);
  vertexUid_.swap(state.vertexUid);
  uidToVertex_.swap(state.uidToVertex);
  vertexDeleted_.swap(state.vertexDeleted);
  vertexSelected_.swap(state.vertexSelected);
  faceFirst_.swap(state.faceFirst);
  faceCorners_.swap(state.faceCorners);
  faceMaterial_.swap(state.faceMaterial);
  faceUid_.swap(state.faceUid);
  uidToFace_.swap(state.uidToFace);
  faceSmoothing_.swap(state.faceSmoothing);
  faceVisible_.swap(state.faceVisible);
  faceSelected_.swap(state.faceSelected);
  cornerVertex_.swap(state.cornerVertex);
  cornerUV_.swap(state.cornerUV);
  cornerFlags_.swap(state.cornerFlags);
  std::swap(structureRevision_, state.structureRevision);
  adjacencyDirty_ = true;
}

}  // namespace pavlex::host

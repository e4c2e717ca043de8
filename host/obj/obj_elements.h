// The f and l statements of an OBJ file as the lossless save needs them,
// packed: about one byte per corner instead of a record per statement and
// an index per corner. Every use walks them in file order, so they are
// read with a cursor instead of by index.
//
// Layout: the statements form runs of neighbours that share their object,
// smoothing group and material (one run per `o`, `g`, `s` or `usemtl`
// that changed something). Per statement the bytes hold three kinds of
// unsigned LEB128 numbers:
// - the distance of its line from the line of the statement before (the
//   run's first statement: from the run's own offset, so 0);
// - its corner count times two, plus one for an `l`;
// - per corner, its vt as a step from the corner before, zigzag-coded
//   (vt + 1, so 0 stands for a corner without one; a run starts from 0).
// Each run starts afresh, so reading may begin at any run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pavlex::host::obj {

// One f or l statement.
struct Element {
  uint64_t offset = 0;      // first byte of its line in the file
  uint32_t firstToken = 0;  // its first corner among all corners of the file
  uint32_t tokenCount = 0;  // corners (f) or points (l)
  int32_t object = 0;
  int32_t firstFace = 0;    // host face of the first corner (f) or first segment (l); see ElementCursor
  int32_t smoothing = 0;    // smoothing group in effect, 0 = off
  int32_t material = -1;
  bool isLine = false;      // l: tokenCount - 1 two-corner faces, one per segment
};

struct ElementRun {
  uint64_t byte = 0;     // where its first statement starts in PackedElements::bytes
  uint64_t offset = 0;   // first byte of its first statement's line in the file
  uint32_t firstElement = 0;
  uint32_t firstToken = 0;
  int32_t object = 0;    // what `object` means is up to the owner
  int32_t smoothing = 0;
  int32_t material = -1;
};

struct PackedElements {
  std::vector<uint8_t> bytes;
  std::vector<ElementRun> runs;
  uint32_t count = 0;   // statements
  uint32_t tokens = 0;  // corners of all statements

  // Statements in run `run`.
  uint32_t runSize(size_t run) const {
    return (run + 1 < runs.size() ? runs[run + 1].firstElement : count) - runs[run].firstElement;
  }
  size_t memoryBytes() const { return bytes.capacity() + runs.capacity() * sizeof(ElementRun); }
};

// Appends statements in file order.
class ElementPacker {
 public:
  explicit ElementPacker(PackedElements* out) : out_(out) {}
  // `texcoords`: per corner the 0-based vt, -1 for none.
  void add(uint64_t offset, int32_t object, int32_t smoothing, int32_t material, bool isLine,
           const int32_t* texcoords, uint32_t count);

 private:
  void put(uint64_t value);

  PackedElements* out_;
  uint64_t lastOffset_ = 0;
  int64_t lastTexcoord_ = 0;  // vt + 1 of the corner before
};

// Reads the statements in file order, from the first of a run on.
class ElementCursor {
 public:
  explicit ElementCursor(const PackedElements& elements, size_t firstRun = 0);

  // Moves to the next statement; false after the last.
  bool next();
  // firstFace counts the faces of the statements of the same object the
  // cursor passed: the host face when the walk began at the first run.
  const Element& element() const { return element_; }
  // Per corner of the current statement: its 0-based vt, -1 for none.
  const int32_t* texcoords() const { return texcoords_.data(); }

 private:
  uint64_t get();

  const PackedElements& elements_;
  const uint8_t* p_;
  size_t nextRun_;
  uint32_t index_;  // of the next statement
  Element element_;
  int64_t lastTexcoord_ = 0;
  std::vector<int32_t> texcoords_;
  std::vector<int32_t> facesPassed_;  // per object
};

}  // namespace pavlex::host::obj

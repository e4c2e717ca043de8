// A set of face indices kept as one flag per face slot of an object.
//
// Whole-object floods test membership for every neighbour corner they look
// at; a flag array indexed by face is a single, mostly cache-local load,
// where even an open-addressing hash table scatters neighbouring faces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pavlex {

class FaceMarks {
 public:
  // Flags for faces 0..faceCount-1, all clear.
  explicit FaceMarks(int32_t faceCount) : marks_(faceCount > 0 ? static_cast<size_t>(faceCount) : 0, 0) {}

  // Faces outside the slots are held nowhere and read as unmarked.
  bool Contains(int32_t face) const { return InRange(face) && marks_[static_cast<size_t>(face)] != 0; }
  void Insert(int32_t face) {
    if (InRange(face)) marks_[static_cast<size_t>(face)] = 1;
  }

 private:
  bool InRange(int32_t face) const { return face >= 0 && static_cast<size_t>(face) < marks_.size(); }
  std::vector<uint8_t> marks_;
};

}  // namespace pavlex

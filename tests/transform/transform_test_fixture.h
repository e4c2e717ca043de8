// Helpers for the transform tool tests: faces built from UV lists, corner
// selection, UV reads straight from the host's storage, and tool runs that
// check the wait cursor.
#pragma once

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "tests/support/host_document_fixture.h"

namespace pavlex::testing {

class TransformTest : public HostDocumentTest {
 protected:
  // One face per UV list, each over vertices of its own (placed apart so no
  // two faces share a vertex or a position).
  host::HostObject& AddUVFaces(const std::vector<std::vector<MQCoordinate>>& uvs) {
    std::vector<MQPoint> points;
    std::vector<FaceData> faces;
    for (size_t f = 0; f < uvs.size(); ++f) {
      FaceData face;
      for (size_t c = 0; c < uvs[f].size(); ++c) {
        face.vertices.push_back(static_cast<int32_t>(points.size()));
        const double angle = 6.283185307179586 * static_cast<double>(c) / static_cast<double>(uvs[f].size());
        points.push_back({static_cast<float>(3.0 * static_cast<double>(f) + std::cos(angle)),
                          static_cast<float>(std::sin(angle)), 0.0f});
      }
      face.uvs = uvs[f];
      faces.push_back(face);
    }
    return AddObject(points, faces);
  }

  static std::vector<MQCoordinate> UVs(const host::HostObject& object, int32_t face) {
    const MQCoordinate* uvs = object.faceUVs(face);
    return {uvs, uvs + object.cornerCount(face)};
  }

  static void SelectUV(host::HostObject& object, int32_t face, std::initializer_list<int32_t> corners) {
    for (int32_t c : corners) object.setUVSelected(face, c, true);
  }

  // Runs `tool` and checks that it switched the cursor `shows` times to the
  // wait cursor and back, ending on the arrow.
  template <typename Tool>
  bool RunShowing(int shows, Tool&& tool) {
    const uint64_t changes = platform::CursorChangeCount();
    const bool result = tool();
    EXPECT_EQ(platform::CurrentCursorId(), platform::kArrowCursorId);
    EXPECT_EQ(platform::CursorChangeCount(), changes + 2u * static_cast<uint64_t>(shows));
    return result;
  }
};

// Exact, bit-for-bit comparison (NaN equals an identical NaN, 0.0 differs
// from -0.0): unselected UVs must come back untouched.
inline bool SameBits(const std::vector<MQCoordinate>& a, const std::vector<MQCoordinate>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

}  // namespace pavlex::testing

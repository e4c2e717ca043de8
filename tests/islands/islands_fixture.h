// Documents for the island, select, Sew and Gather tests, built in the real
// host, plus a runner for tools that take more than the document.
#pragma once

#include <cstring>
#include <utility>
#include <vector>

#include "tests/support/host_document_fixture.h"

namespace pavlex::testing {

class IslandsTest : public HostDocumentTest {
 protected:
  // Runs `tool(document)` and checks the wait cursor as Run does.
  template <typename Tool>
  bool RunTool(Tool&& tool) {
    const uint64_t changes = platform::CursorChangeCount();
    const bool result = tool(document());
    EXPECT_EQ(platform::CurrentCursorId(), platform::kArrowCursorId);
    EXPECT_EQ(platform::CursorChangeCount(), changes + 2);
    return result;
  }

  //  3---4---5
  //  | 0 | 1 |   face 1's UVs are its positions shifted by `gap`, so with a
  //  0---1---2   gap the shared edge 1-4 is a UV seam
  host::HostObject& AddTwoQuads(MQCoordinate gap) {
    const float u = gap.u, v = gap.v;
    return AddObject({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}},
                     {{{0, 1, 4, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
                      {{1, 2, 5, 4}, {{1 + u, v}, {2 + u, v}, {2 + u, 1 + v}, {1 + u, 1 + v}}}});
  }

  static std::pair<float, float> UV(const host::HostObject& object, int32_t face, int32_t corner) {
    const MQCoordinate uv = object.faceUVs(face)[corner];
    return {uv.u, uv.v};
  }
  static void SetUV(host::HostObject& object, int32_t face, int32_t corner, MQCoordinate uv) {
    object.faceUVs(face)[corner] = uv;
  }
  static void SelectUV(host::HostObject& object, int32_t face, std::initializer_list<int32_t> corners) {
    for (int32_t c : corners) object.setUVSelected(face, c, true);
  }
  static void SelectFaceUVs(host::HostObject& object, int32_t face) {
    for (int32_t c = 0; c < object.cornerCount(face); ++c) object.setUVSelected(face, c, true);
  }

  // Every corner's UV selection, face by face.
  static std::vector<std::vector<bool>> UVSelection(const host::HostObject& object) {
    std::vector<std::vector<bool>> selection(static_cast<size_t>(object.faceCount()));
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      for (int32_t c = 0; c < object.cornerCount(f); ++c) selection[f].push_back(object.isUVSelected(f, c));
    }
    return selection;
  }
  // Every corner's UV as bits, so NaNs compare too.
  static std::vector<uint64_t> UVBits(const host::HostObject& object) {
    std::vector<uint64_t> bits;
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      for (int32_t c = 0; c < object.cornerCount(f); ++c) {
        uint64_t pair;
        std::memcpy(&pair, &object.faceUVs(f)[c], sizeof pair);
        bits.push_back(pair);
      }
    }
    return bits;
  }
};

}  // namespace pavlex::testing

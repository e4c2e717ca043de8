// Documents for the UV-vertex, island, select and sew/gather tests, built in
// the real host, plus a runner for tools that take more than the document.
#pragma once

#include <cmath>
#include <cstring>
#include <initializer_list>
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
    const bool result = std::forward<Tool>(tool)(document());
    EXPECT_EQ(platform::CurrentCursorId(), platform::kArrowCursorId);
    EXPECT_EQ(platform::CursorChangeCount(), changes + 2);
    return result;
  }

  //  3---4---5
  //  | 0 | 1 |   face 1's UVs are its positions shifted by `gap`, so with a
  //  0---1---2   gap the shared edge 1-4 is a UV seam
  host::HostObject& AddTwoQuads(MQCoordinate gap) {
    return AddObject(
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}},
        {{{0, 1, 4, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
         {{1, 2, 5, 4},
          {{1 + gap.u, gap.v}, {2 + gap.u, gap.v}, {2 + gap.u, 1 + gap.v}, {1 + gap.u, 1 + gap.v}}}});
  }

  //  3---2 6---5
  //  | 0 |/  1 |   two quads sharing only vertex 2, with the same UV there
  //  0---1 2---4
  host::HostObject& AddBowtie() {
    return AddObject(
        {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {2, 1, 0}, {2, 2, 0}, {1, 2, 0}},
        {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}, {{2, 4, 5, 6}, {{1, 1}, {2, 1}, {2, 2}, {1, 2}}}});
  }

  static MQCoordinate UV(const host::HostObject& object, int32_t face, int32_t corner) {
    return object.faceUVs(face)[corner];
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
  // Every corner's UV, face by face, as (u, v) pairs compared bitwise.
  static std::vector<std::pair<uint32_t, uint32_t>> UVBits(const host::HostObject& object) {
    std::vector<std::pair<uint32_t, uint32_t>> bits;
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      for (int32_t c = 0; c < object.cornerCount(f); ++c) {
        const MQCoordinate uv = UV(object, f, c);
        bits.emplace_back(Bits(uv.u), Bits(uv.v));
      }
    }
    return bits;
  }
  static uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }
};

// Equal to the last bit (NaNs of the same payload included).
#define EXPECT_UV_EQ(actual, u_, v_)                                     \
  do {                                                                   \
    const MQCoordinate uv_ = (actual);                                   \
    EXPECT_EQ(IslandsTest::Bits(uv_.u), IslandsTest::Bits(u_)) << uv_.u; \
    EXPECT_EQ(IslandsTest::Bits(uv_.v), IslandsTest::Bits(v_)) << uv_.v; \
  } while (0)

}  // namespace pavlex::testing

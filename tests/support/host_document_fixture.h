// A test fixture that binds the plug-in to the real host library, exactly as
// MQInit does, and gives each test a fresh host document plus a few small
// meshes built with the host's own C++ API.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/api/handles.h"
#include "host/document/host_document.h"
#include "platform/cursor.h"
#include "plugin/hostlink/host_functions.h"

namespace pavlex::testing {

inline bool BindRealHost() {
  static const bool bound = BindHostFunctions(PAVLEX_HOST_LIBRARY).status == HostBindStatus::kBound;
  return bound;
}

// Corner positions and UVs of one face.
struct FaceData {
  std::vector<int32_t> vertices;
  std::vector<MQCoordinate> uvs;
};

class HostDocumentTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(BindRealHost()); }

  MQDocument document() { return host::api::ToHandle(&doc_); }

  // Runs a tool on the document and checks that it showed the wait cursor
  // once and left the arrow.
  bool Run(bool (*tool)(MQDocument)) {
    const uint64_t changes = platform::CursorChangeCount();
    const bool result = tool(document());
    EXPECT_EQ(platform::CurrentCursorId(), platform::kArrowCursorId);
    EXPECT_EQ(platform::CursorChangeCount(), changes + 2);
    return result;
  }

  // Adds an object with the given vertices and faces to the document (it
  // becomes current if it is the first one) and answers it.
  host::HostObject& AddObject(const std::vector<MQPoint>& points, const std::vector<FaceData>& faces) {
    auto object = std::make_unique<host::HostObject>();
    for (const MQPoint& p : points) object->addVertex(p);
    for (const FaceData& face : faces) {
      const int32_t index = object->addFace(static_cast<int32_t>(face.vertices.size()), face.vertices.data(),
                                            face.uvs.empty() ? nullptr : face.uvs.data());
      EXPECT_GE(index, 0);
    }
    host::HostObject* raw = object.get();
    doc_.addObject(std::move(object));
    return *raw;
  }

  //  3---2
  //  |   |   one quad, UV = position
  //  0---1
  host::HostObject& AddQuad() {
    return AddObject({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}},
                     {{{0, 1, 2, 3}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}}});
  }

  host::HostObject& AddTriangle() {
    return AddObject({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{{0, 1, 2}, {{0, 0}, {1, 0}, {0, 1}}}});
  }

  //  6---7---8
  //  | 2 | 3 |   four quads around vertex 4; every face is its own UV
  //  3---4---5   island (offset by 2 in u per face), so all inner edges
  //  | 0 | 1 |   are UV seams
  //  0---1---2
  host::HostObject& AddSeamedGrid() {
    std::vector<MQPoint> points;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 3; ++x) points.push_back({static_cast<float>(x), static_cast<float>(y), 0});
    }
    std::vector<FaceData> faces;
    for (int q = 0; q < 4; ++q) {
      const int32_t x = q % 2, y = q / 2, base = y * 3 + x;
      const float u = 2.0f * static_cast<float>(q);
      faces.push_back({{base, base + 1, base + 4, base + 3}, {{u, 0}, {u + 1, 0}, {u + 1, 1}, {u, 1}}});
    }
    return AddObject(points, faces);
  }

  // Three quads in a row over eight vertices; faces 0, 1, 2.
  host::HostObject& AddStrip() {
    std::vector<MQPoint> points;
    for (int i = 0; i < 4; ++i) {
      points.push_back({static_cast<float>(i), 0, 0});
      points.push_back({static_cast<float>(i), 1, 0});
    }
    std::vector<FaceData> faces;
    for (int32_t q = 0; q < 3; ++q) faces.push_back({{2 * q, 2 * q + 2, 2 * q + 3, 2 * q + 1}, {}});
    return AddObject(points, faces);
  }

  host::HostDocument doc_;
};

}  // namespace pavlex::testing

// The shared grid generator: the layout its header promises, read through
// the host's importer.
#include "bench/grid_mesh.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/obj/obj_test_support.h"

namespace pavlex::testing {
namespace {

TEST(GridMesh, LayoutSymmetryAndSeams) {
  // 5 quads per side in 2 x 2 islands: block columns of 2 and 3 quads.
  const std::string text = bench::MakeGridObj({5, 2, "g5"});
  host::ObjImport import;
  std::string error;
  ASSERT_TRUE(host::LoadObjText(text, "grid.obj", "", &import, &error)) << error;
  const MQObject obj = ObjectAt(import, 0);
  EXPECT_EQ(import.document->object(0)->name(), "g5");
  ASSERT_EQ(MQObj_GetVertexCount(obj), 36);
  ASSERT_EQ(MQObj_GetFaceCount(obj), 25);

  // Vertex (i, j) mirrors vertex (n - i, j) exactly in x.
  for (int32_t j = 0; j <= 5; ++j) {
    for (int32_t i = 0; i <= 5; ++i) {
      const MQPoint p = Position(obj, j * 6 + i), q = Position(obj, j * 6 + 5 - i);
      EXPECT_EQ(Bits({p.x, p.y}), Bits({-q.x, q.y}));
    }
  }
  EXPECT_EQ(Position(obj, 0).x, -0.5f);

  // Quad (i, j) is face j * n + i, counter-clockwise.
  EXPECT_EQ(ReadFace(obj, 7).vertices, (std::vector<int32_t>{8, 9, 15, 14}));

  // Distinct UVs per vertex: 1 inside an island, 2 on a block border, 4 where
  // four islands meet (vertex (2, 2)).
  std::map<int32_t, std::set<uint64_t>> uvsAt;
  for (int32_t f = 0; f < 25; ++f) {
    const FaceView face = ReadFace(obj, f);
    for (size_t c = 0; c < 4; ++c) {
      uvsAt[face.vertices[c]].insert(Bits(face.uvs[c]));
      EXPECT_GT(face.uvs[c].u, 0.0f);
      EXPECT_LT(face.uvs[c].u, 1.0f);
    }
  }
  EXPECT_EQ(uvsAt[0].size(), 1u);
  EXPECT_EQ(uvsAt[2].size(), 2u);
  EXPECT_EQ(uvsAt[2 * 6 + 2].size(), 4u);
  size_t pairs = 0;
  for (const auto& entry : uvsAt) pairs += entry.second.size();
  EXPECT_EQ(pairs, 49u);  // (n + islands)^2 vt entries
}

TEST(GridMesh, RejectsSpecsOutsideItsRange) {
  EXPECT_THROW(bench::MakeGridObj({0, 1, "g"}), std::invalid_argument);
  EXPECT_THROW(bench::MakeGridObj({4, 5, "g"}), std::invalid_argument);
}

}  // namespace
}  // namespace pavlex::testing

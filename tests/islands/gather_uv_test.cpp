// "Gather" through the real host, and its distance test on plain values.
#include "plugin/tools/transform/gather_uv.h"

#include <limits>

#include "tests/islands/islands_fixture.h"

namespace pavlex {
namespace {

using UV2 = std::pair<float, float>;

TEST(GatherMathTest, DistanceStaysInDoubleWhileTheThresholdRoundsToFloat) {
  const float t2 = GatherThresholdSquared(0.001f);
  // 0.001f squared is 1.00000009e-6 in double but rounds up to 1.00000011e-6
  // as a float, so a UV exactly t away snaps; a float distance would not.
  EXPECT_TRUE(GatherSnaps(GatherDistanceSquared({0.0f, 0.0f}, {0.001f, 0.0f}), t2));
  EXPECT_FALSE(GatherSnaps(GatherDistanceSquared({0.0f, 0.0f}, {0.0011f, 0.0f}), t2));
  EXPECT_FALSE(GatherSnaps(GatherDistanceSquared({0.3f, 0.7f}, {0.3f, 0.7f}), t2));
}

class GatherUVTest : public testing::IslandsTest {
 protected:
  bool Gather(float t) {
    return RunTool([t](MQDocument d) { return GatherUV(d, t); });
  }
};

TEST_F(GatherUVTest, CloseUVsSnapToTheFirstInIndexOrderFarOrUnselectedOnesStay) {
  host::HostObject& close = AddTwoQuads({5e-4f, 0.0f});
  SelectFaceUVs(close, 0);
  SelectFaceUVs(close, 1);
  EXPECT_TRUE(Gather(0.001f));
  EXPECT_EQ(UV(close, 1, 0), UV2(1.0f, 0.0f));  // face 1 comes after face 0
  EXPECT_EQ(UV(close, 1, 3), UV2(1.0f, 1.0f));
  EXPECT_EQ(UV(close, 0, 1), UV2(1.0f, 0.0f));

  host::HostObject& far = AddTwoQuads({0.002f, 0.0f});
  SelectFaceUVs(far, 0);
  SelectFaceUVs(far, 1);
  host::HostObject& unselected = AddTwoQuads({5e-4f, 0.0f});
  SelectFaceUVs(unselected, 0);
  for (host::HostObject* object : {&far, &unselected}) {
    doc_.setCurrentObject(object->slot());
    const auto before = UVBits(*object);
    EXPECT_TRUE(Gather(0.001f));
    EXPECT_EQ(UVBits(*object), before);
  }
}

TEST_F(GatherUVTest, ChainDoesNotCreep) {
  // Vertex 4's corners in index order: faces 0, 1, 2 (selected) and 3 (not).
  host::HostObject& grid = AddSeamedGrid();
  SetUV(grid, 0, 2, {0.5f, 0.5f});
  SetUV(grid, 1, 3, {0.5008f, 0.5f});
  SetUV(grid, 2, 1, {0.5016f, 0.5f});
  SetUV(grid, 3, 0, {0.5003f, 0.5f});
  SelectUV(grid, 0, {2});
  SelectUV(grid, 1, {3});
  SelectUV(grid, 2, {1});
  EXPECT_TRUE(Gather(0.001f));
  EXPECT_EQ(UV(grid, 1, 3), UV2(0.5f, 0.5f));
  EXPECT_EQ(UV(grid, 2, 1), UV2(0.5016f, 0.5f));  // 1.6e-3 from both, as snapped
  EXPECT_EQ(UV(grid, 3, 0), UV2(0.5003f, 0.5f));
}

TEST_F(GatherUVTest, NeverAcrossModelVerticesNorOntoNonFiniteUVs) {
  host::HostObject& quad = AddQuad();
  SetUV(quad, 0, 1, {1e-5f, 0.0f});  // vertex 1 right beside vertex 0
  SelectFaceUVs(quad, 0);
  host::HostObject& broken = AddTwoQuads({5e-4f, 0.0f});
  SetUV(broken, 0, 1, {std::numeric_limits<float>::quiet_NaN(), 0.0f});
  SetUV(broken, 0, 2, {std::numeric_limits<float>::infinity(), 1.0f});
  SelectFaceUVs(broken, 0);
  SelectFaceUVs(broken, 1);
  for (host::HostObject* object : {&quad, &broken}) {
    doc_.setCurrentObject(object->slot());
    const auto before = UVBits(*object);
    EXPECT_TRUE(Gather(0.001f));
    EXPECT_TRUE(Gather(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(UVBits(*object), before);
  }
}

}  // namespace
}  // namespace pavlex

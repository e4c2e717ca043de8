// Equal Alloc through the real host.
#include "plugin/tools/transform/equal_alloc_uv.h"

#include <cmath>
#include <limits>

#include "tests/transform/transform_test_fixture.h"

namespace pavlex {
namespace {

class EqualAllocTest : public testing::TransformTest {
 protected:
  // A new current object: one face whose corners are all selected, with
  // the given u values and v = 0.5 + 0.01 * corner (so the selection is
  // wider than tall), and an unselected face with u values in between.
  // Runs Equal Alloc and answers the first face's u values.
  std::vector<float> EqualAllocUs(const std::vector<float>& us) {
    std::vector<MQCoordinate> uvs;
    for (size_t c = 0; c < us.size(); ++c) uvs.push_back({us[c], 0.5f + 0.01f * static_cast<float>(c)});
    host::HostObject& object = AddUVFaces({uvs, {{0.33f, 0.5f}, {0.66f, 0.5f}, {0.77f, 0.5f}}});
    doc_.setCurrentObject(object.slot());
    for (int32_t c = 0; c < static_cast<int32_t>(us.size()); ++c) SelectUV(object, 0, {c});
    EXPECT_TRUE(RunShowing(1, [&] { return EqualAllocUV(document()); }));
    EXPECT_EQ(UVs(object, 1)[0].u, 0.33f);
    std::vector<float> after;
    for (const MQCoordinate& uv : UVs(object, 0)) after.push_back(uv.u);
    return after;
  }
};

TEST_F(EqualAllocTest, SpacesTallSelectionAlongV) {
  host::HostObject& object = AddUVFaces({{{0.40f, 0.0f}, {0.45f, 0.1f}, {0.42f, 0.5f}},  //
                                         {{0.41f, 0.9f}, {0.44f, 0.2f}, {0.43f, 0.7f}}});
  SelectUV(object, 0, {0, 1, 2});
  SelectUV(object, 1, {0});
  const std::vector<MQCoordinate> face0 = UVs(object, 0);
  EXPECT_TRUE(RunShowing(1, [&] { return EqualAllocUV(document()); }));
  const std::vector<MQCoordinate> after0 = UVs(object, 0), after1 = UVs(object, 1);
  EXPECT_EQ(after0[0].v, 0.0f);
  // step = 0.9f / 3 in single precision, then m * step + 0: each one step
  // below 0.3f and 0.6f.
  EXPECT_EQ(after0[1].v, std::nextafter(0.3f, 0.0f));
  EXPECT_EQ(after0[2].v, std::nextafter(0.6f, 0.0f));
  EXPECT_EQ(after1[0].v, 0.9f);
  EXPECT_EQ(after1[1].v, 0.2f);  // unselected corners neither count nor move
  for (size_t c = 0; c < 3; ++c) EXPECT_EQ(after0[c].u, face0[c].u);
}

TEST_F(EqualAllocTest, SpacesWideSelectionAlongU) {
  const std::vector<float> us = EqualAllocUs({0.2f, 0.25f, 0.7f});
  EXPECT_EQ(us[1], 0.45f);  // (0.7f - 0.2f) / 2 + 0.2f
  EXPECT_EQ(us[2], 0.7f);
  // A square selection is spaced along u too.
  host::HostObject& square = AddUVFaces({{{0.0f, 0.0f}, {0.1f, 0.9f}, {1.0f, 1.0f}}});
  doc_.setCurrentObject(square.slot());
  SelectUV(square, 0, {0, 1, 2});
  EXPECT_TRUE(RunShowing(1, [&] { return EqualAllocUV(document()); }));
  EXPECT_EQ(UVs(square, 0)[1].u, 0.5f);
  EXPECT_EQ(UVs(square, 0)[1].v, 0.9f);
}

TEST_F(EqualAllocTest, DistinctValuesCompareAsFloats) {
  EXPECT_EQ(EqualAllocUs({0.0f, 0.3f, 1.0f, 0.3f}), (std::vector<float>{0.0f, 0.5f, 1.0f, 0.5f}));
  const std::vector<float> apart = EqualAllocUs({0.0f, 0.3f, 1.0f, std::nextafter(0.3f, 1.0f)});
  EXPECT_EQ(apart[1], 1.0f / 3.0f);
  EXPECT_EQ(apart[3], 2.0f * (1.0f / 3.0f));
  // -1, 0 and 3: both zeros are the middle value.
  EXPECT_EQ(EqualAllocUs({-1.0f, -0.0f, 3.0f, 0.0f}), (std::vector<float>{-1.0f, 1.0f, 3.0f, 1.0f}));
}

TEST_F(EqualAllocTest, FewerThanThreeValuesMoveNothing) {
  EXPECT_EQ(EqualAllocUs({0.1f, 0.9f, 0.1f, 0.9f}), (std::vector<float>{0.1f, 0.9f, 0.1f, 0.9f}));
  EXPECT_TRUE(RunShowing(1, [&] { return EqualAllocUV(nullptr); }));
}

TEST_F(EqualAllocTest, NaNCornersStayAndDoNotCount) {
  const std::vector<float> us = EqualAllocUs({0.0f, std::nanf(""), 0.4f, 1.0f, std::nanf("")});
  EXPECT_EQ(us[2], 0.5f);
  EXPECT_TRUE(std::isnan(us[1]));
  EXPECT_TRUE(std::isnan(us[4]));
}

TEST_F(EqualAllocTest, InfiniteSpanMovesNothing) {
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(EqualAllocUs({0.0f, 0.4f, inf})[1], 0.4f);
  EXPECT_EQ(EqualAllocUs({-inf, 0.4f, inf})[1], 0.4f);
  EXPECT_EQ(EqualAllocUs({-3e38f, 0.4f, 3e38f})[1], 0.4f);  // the span overflows
}

}  // namespace
}  // namespace pavlex

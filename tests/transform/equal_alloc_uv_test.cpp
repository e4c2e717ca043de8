// Equal Alloc through the real host.
#include "tools/transform/equal_alloc_uv.h"

#include <cmath>
#include <limits>

#include "tests/transform/transform_test_fixture.h"

namespace pavlex {
namespace {

using testing::SameBits;

class EqualAllocTest : public testing::TransformTest {
 protected:
  void EqualAlloc() {
    EXPECT_TRUE(RunShowing(1, [&] { return EqualAllocUV(document()); }));
  }

  // One face whose corners are all selected, with the given u values and
  // v = 0.5 + 0.01 * corner (so the selection is wider than tall), plus an
  // unselected face with u values in between.
  host::HostObject& AddSelectedUs(const std::vector<float>& us) {
    std::vector<MQCoordinate> uvs;
    for (size_t c = 0; c < us.size(); ++c) uvs.push_back({us[c], 0.5f + 0.01f * static_cast<float>(c)});
    host::HostObject& object = AddUVFaces({uvs, {{0.33f, 0.5f}, {0.66f, 0.5f}, {0.77f, 0.5f}}});
    for (int32_t c = 0; c < static_cast<int32_t>(us.size()); ++c) SelectUV(object, 0, {c});
    return object;
  }
  static std::vector<float> Us(const host::HostObject& object) {
    std::vector<float> us;
    for (const MQCoordinate& uv : UVs(object, 0)) us.push_back(uv.u);
    return us;
  }
};

TEST_F(EqualAllocTest, SpacesTallSelectionAlongV) {
  host::HostObject& object = AddUVFaces({{{0.40f, 0.0f}, {0.45f, 0.1f}, {0.42f, 0.5f}},  //
                                         {{0.41f, 0.9f}, {0.44f, 0.2f}, {0.43f, 0.7f}}});
  SelectUV(object, 0, {0, 1, 2});
  SelectUV(object, 1, {0});
  const std::vector<MQCoordinate> face0 = UVs(object, 0), face1 = UVs(object, 1);
  EqualAlloc();
  const std::vector<MQCoordinate> after0 = UVs(object, 0), after1 = UVs(object, 1);
  EXPECT_EQ(after0[0].v, 0.0f);
  EXPECT_FLOAT_EQ(after0[1].v, 0.3f);
  EXPECT_FLOAT_EQ(after0[2].v, 0.6f);
  EXPECT_EQ(after1[0].v, 0.9f);
  for (size_t c = 0; c < 3; ++c) {
    EXPECT_EQ(after0[c].u, face0[c].u);  // the other axis is untouched
    EXPECT_EQ(after1[c].u, face1[c].u);
  }
  EXPECT_EQ(after1[1].v, 0.2f);  // unselected corners neither count nor move
  EXPECT_EQ(after1[2].v, 0.7f);
}

TEST_F(EqualAllocTest, SpacesWideSelectionAlongU) {
  host::HostObject& object = AddSelectedUs({0.2f, 0.25f, 0.7f});
  EqualAlloc();
  const std::vector<float> us = Us(object);
  EXPECT_EQ(us[0], 0.2f);
  EXPECT_FLOAT_EQ(us[1], 0.45f);
  EXPECT_EQ(us[2], 0.7f);
  EXPECT_EQ(UVs(object, 1)[0].u, 0.33f);
}

TEST_F(EqualAllocTest, SquareSelectionIsSpacedAlongU) {
  host::HostObject& object = AddUVFaces({{{0.0f, 0.0f}, {0.1f, 0.9f}, {1.0f, 1.0f}, {0.3f, 0.2f}}});
  SelectUV(object, 0, {0, 1, 2});
  EqualAlloc();
  const std::vector<MQCoordinate> uv = UVs(object, 0);
  EXPECT_EQ(uv[1].u, 0.5f);
  EXPECT_EQ(uv[1].v, 0.9f);
  EXPECT_EQ(uv[3].u, 0.3f);
}

TEST_F(EqualAllocTest, EqualValuesMoveTogetherAndOneFloatApartAreTwo) {
  host::HostObject& same = AddSelectedUs({0.0f, 0.3f, 1.0f, 0.3f});
  EqualAlloc();
  EXPECT_EQ(Us(same), (std::vector<float>{0.0f, 0.5f, 1.0f, 0.5f}));

  doc_.deleteObject(0);
  host::HostObject& apart = AddSelectedUs({0.0f, 0.3f, 1.0f, std::nextafter(0.3f, 1.0f)});
  doc_.setCurrentObject(apart.slot());
  EqualAlloc();
  const std::vector<float> us = Us(apart);
  EXPECT_FLOAT_EQ(us[1], 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(us[3], 2.0f / 3.0f);
}

TEST_F(EqualAllocTest, SignedZerosAreOneValue) {
  host::HostObject& object = AddSelectedUs({-1.0f, -0.0f, 3.0f, 0.0f});
  EqualAlloc();  // three values -1, 0, 3: both zeros go to the middle rung
  EXPECT_EQ(Us(object), (std::vector<float>{-1.0f, 1.0f, 3.0f, 1.0f}));
}

TEST_F(EqualAllocTest, FewerThanThreeValuesMoveNothing) {
  host::HostObject& object = AddSelectedUs({0.1f, 0.9f, 0.1f, 0.9f});
  const std::vector<MQCoordinate> before = UVs(object, 0);
  EqualAlloc();
  EXPECT_TRUE(SameBits(UVs(object, 0), before));
  object.clearSelection(0xFFFFFFFFu);
  EqualAlloc();  // nothing selected: the unit square, no values
  EXPECT_TRUE(SameBits(UVs(object, 0), before));
  doc_.deleteObject(0);
  EqualAlloc();  // no current object
}

TEST_F(EqualAllocTest, NaNCornersStayAndDoNotCount) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  host::HostObject& object = AddSelectedUs({0.0f, nan, 0.4f, 1.0f, nan});
  EqualAlloc();
  const std::vector<float> us = Us(object);
  EXPECT_EQ(us[2], 0.5f);
  EXPECT_TRUE(std::isnan(us[1]));
  EXPECT_TRUE(std::isnan(us[4]));
}

TEST_F(EqualAllocTest, InfiniteBoundsMoveNothing) {
  const float inf = std::numeric_limits<float>::infinity();
  for (const std::vector<float>& us :
       {std::vector<float>{0.0f, 0.4f, inf}, std::vector<float>{-inf, 0.4f, inf},
        std::vector<float>{-3e38f, 0.4f, 3e38f}}) {
    host::HostObject& object = AddSelectedUs(us);
    doc_.setCurrentObject(object.slot());
    const std::vector<MQCoordinate> before = UVs(object, 0);
    EqualAlloc();
    EXPECT_TRUE(SameBits(UVs(object, 0), before)) << us[0];
  }
}

}  // namespace
}  // namespace pavlex

// The model layer's value records and the arithmetic that needs no host.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "plugin/model/corner_index.h"
#include "plugin/model/face_set.h"
#include "plugin/model/fnv1a.h"
#include "plugin/model/uv_vertex_key.h"

namespace pavlex {
namespace {

TEST(UVVertexKeyTest, PacksFaceHighAndCornerLow) {
  const UVVertexKey key = UVVertexKey::Pack(3, 2);
  EXPECT_EQ(key.value, 3ull * 0x100000000ull + 2ull);
  const UVVertexRef ref = key.Unpack();
  EXPECT_EQ(ref.face, 3);
  EXPECT_EQ(ref.corner, 2);
  EXPECT_EQ(UVVertexKey::Pack(ref), key);
  const UVVertexRef large = UVVertexKey::Pack(INT32_MAX, 65535).Unpack();
  EXPECT_EQ(large.face, INT32_MAX);
  EXPECT_EQ(large.corner, 65535);
}

TEST(UVVertexKeyTest, CornersPast16BitsRoundTrip) {
  const UVVertexRef ref = UVVertexKey{(7ull << 32) | 0x00010005ull}.Unpack();
  EXPECT_EQ(ref.face, 7);
  EXPECT_EQ(ref.corner, 0x10005);
  EXPECT_EQ(UVVertexKey::Pack(ref).value, (7ull << 32) | 0x00010005ull);
}

TEST(FaceSetTest, HoldsEachFaceOnceThroughGrowthAndVisitsEachOnce) {
  FaceSet faces;
  faces.Reserve(3);
  std::set<int32_t> expected;
  // Strided indices collide in a small table; growth must keep them all.
  for (int32_t i = 0; i < 5000; ++i) {
    const int32_t face = (i * 977) % 100003;
    EXPECT_EQ(faces.Insert(face), expected.insert(face).second) << face;
  }
  EXPECT_FALSE(faces.Insert(977));
  EXPECT_FALSE(faces.Insert(INT32_MIN));  // the empty-slot marker is never held
  EXPECT_EQ(faces.size(), expected.size());
  EXPECT_TRUE(faces.Contains(0));
  EXPECT_FALSE(faces.Contains(1));
  EXPECT_FALSE(faces.Contains(INT32_MIN));
  std::set<int32_t> visited;
  for (int32_t face : faces) EXPECT_TRUE(visited.insert(face).second) << face;
  EXPECT_EQ(visited, expected);
  EXPECT_TRUE(FaceSet().empty());
  EXPECT_EQ(FaceSet().begin(), FaceSet().end());
}

// Published FNV-1a test vectors pin the constants and the byte order.
TEST(Fnv1aTest, MatchesPublishedVectorsLowByteFirst) {
  EXPECT_EQ(Fnv1a32(0, 0), 0x811C9DC5u);
  EXPECT_EQ(Fnv1a32('a', 1), 0xE40C292Cu);
  EXPECT_EQ(Fnv1a32(0x7261626F6F66ull, 6), 0xBF9CF968u);  // "foobar"
}

TEST(Fnv1aTest, KeyHashCoversAllEightBytes) {
  const UVVertexKeyHash hash;
  EXPECT_EQ(hash(UVVertexKey::Pack(3, 2)), 0x661F7274u);  // bytes 02 00 00 00 03 00 00 00
  EXPECT_NE(hash(UVVertexKey::Pack(3, 2)), hash(UVVertexKey::Pack(4, 2)));
}

TEST(WrapCornerIndexTest, NegativeCornersCountFromTheEndAndAnyInputLandsInside) {
  EXPECT_EQ(WrapCornerIndex(-1, 4), 3);
  EXPECT_EQ(WrapCornerIndex(-4, 4), 0);
  EXPECT_EQ(WrapCornerIndex(0, 4), 0);
  EXPECT_EQ(WrapCornerIndex(3, 4), 3);
  EXPECT_EQ(WrapCornerIndex(4, 4), 0);
  for (int32_t corner : {INT32_MIN, INT32_MIN + 1, -9, -5, 9, INT32_MAX}) {
    const int32_t wrapped = WrapCornerIndex(corner, 4);
    EXPECT_GE(wrapped, 0) << corner;
    EXPECT_LT(wrapped, 4) << corner;
  }
}

}  // namespace
}  // namespace pavlex

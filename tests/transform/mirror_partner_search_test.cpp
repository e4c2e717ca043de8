// The mirror-partner test, the grid search against the plain scan, and the
// matching that turns partners into a map and a deselection order.
#include "tools/transform/mirror_partner_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tools/transform/mirror_vertex_map.h"

namespace pavlex {
namespace {

// The largest y with y * y below the partner tolerance in single precision,
// and the next float up; 0.001f itself is outside.
constexpr float kJustInside = 0x1.0624dcp-10f;
constexpr float kJustOutside = 0x1.0624dep-10f;
static_assert(kJustOutside == 0.001f);

TEST(MirrorPartnerTest, ToleranceBoundaries) {
  EXPECT_TRUE(IsOnMirrorPlane({5e-4f, 0, 0}));
  EXPECT_TRUE(IsOnMirrorPlane({-std::nextafter(0.001f, 0.0f), 0, 0}));
  EXPECT_FALSE(IsOnMirrorPlane({0.001f, 0, 0}));
  EXPECT_FALSE(IsOnMirrorPlane({0.002f, 0, 0}));
  EXPECT_FALSE(IsOnMirrorPlane({std::numeric_limits<float>::quiet_NaN(), 0, 0}));

  EXPECT_TRUE(IsMirrorPartner({0.5f, 0, 1}, {-0.5f, 0, 1}));
  EXPECT_TRUE(IsMirrorPartner({0.5f, 0, 1}, {-0.5f, kJustInside, 1}));
  EXPECT_FALSE(IsMirrorPartner({0.5f, 0, 1}, {-0.5f, kJustOutside, 1}));
  EXPECT_FALSE(IsMirrorPartner({0.5f, 0, 1}, {0.5f, 0, 1}));  // the point itself is no mirror
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(IsMirrorPartner({inf, 0, 0}, {-inf, 0, 0}));
  EXPECT_FALSE(IsMirrorPartner({0, inf, 0}, {0, inf, 0}));
  EXPECT_FALSE(IsMirrorPartner({3e38f, 0, 0}, {-3e38f, 0, 0.5f}));
}

// Random clouds built to hit every way the grid could differ from the scan:
// pairs just inside and just outside the tolerance in all directions,
// coordinates on and beside cell borders, the plane and its tolerance,
// duplicates, dead slots, non-finite and huge coordinates.
struct Cloud {
  std::vector<MQPoint> positions;
  std::vector<uint8_t> live;
};

Cloud MakeCloud(uint32_t seed, size_t count) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  std::uniform_int_distribution<int> kind(0, 9);
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Cloud cloud;
  auto add = [&](MQPoint p) {
    cloud.positions.push_back(p);
    cloud.live.push_back(rng() % 10 != 0 ? 1 : 0);
  };
  while (cloud.positions.size() < count) {
    const MQPoint base = {unit(rng) * 0.02f, unit(rng) * 0.02f, unit(rng) * 0.02f};
    switch (kind(rng)) {
      case 0:
      case 1:
      case 2: {  // a partner at the edge of the tolerance, in a random direction
        add(base);
        float dx = unit(rng), dy = unit(rng), dz = unit(rng);
        const float length = std::sqrt(dx * dx + dy * dy + dz * dz) + 1e-30f;
        const float r = 0.001f * (1.0f + unit(rng) * 2e-6f);
        dx *= r / length;
        dy *= r / length;
        dz *= r / length;
        add({-base.x + dx, base.y + dy, base.z + dz});
        break;
      }
      case 3:  // an exact mirror image, often twice
        add(base);
        add({-base.x, base.y, base.z});
        if (rng() % 2) add({-base.x, base.y, base.z});
        break;
      case 4: {  // on cell borders (multiples of 1/512) and one float beside them
        const float border = std::floor(unit(rng) * 20.0f) / 512.0f;
        const float beside = rng() % 2 ? std::nextafter(border, 1.0f) : std::nextafter(border, -1.0f);
        add({border, beside, border});
        add({-beside + 0.0009f * unit(rng), border, beside});
        break;
      }
      case 5:  // on, at and beside the plane tolerance
        add({0.001f * unit(rng), base.y, base.z});
        add({rng() % 2 ? 0.001f : -0.001f, base.y, base.z});
        add({std::nextafter(0.001f, 1.0f) + 0.0005f * unit(rng), base.y, base.z});
        break;
      case 6: {  // non-finite coordinates
        const float bad[] = {nan, inf, -inf};
        MQPoint p = base;
        (&p.x)[rng() % 3] = bad[rng() % 3];
        add(p);
        add({-p.x, p.y, p.z});
        break;
      }
      case 7: {  // huge coordinates, beyond the cell clamp and near the float limit
        const float huge[] = {3.4e38f, -3.4e38f, 1e20f, -1e15f};
        const float h = huge[rng() % 4];
        add({h, base.y, base.z});
        add({-h, base.y, base.z});
        add({-h, base.y, std::nextafter(h, 0.0f)});
        break;
      }
      default:  // loose points
        add(base);
        break;
    }
  }
  return cloud;
}

TEST(MirrorPartnerTest, GridFindsExactlyTheScansPartner) {
  size_t inside = 0, outside = 0;
  for (uint32_t seed = 1; seed <= 6; ++seed) {
    const Cloud cloud = MakeCloud(seed, 2500);
    const MirrorPartnerGrid grid(cloud.positions, cloud.live);
    const auto count = static_cast<int32_t>(cloud.positions.size());
    for (int32_t i = 0; i < count; ++i) {
      const MQPoint& p = cloud.positions[static_cast<size_t>(i)];
      ASSERT_EQ(grid.FindPartner(i, p), FindMirrorPartnerByScan(cloud.positions, cloud.live, i))
          << "seed " << seed << " vertex " << i;
      // Pairs within 1e-5 of the tolerance distance, on either side of it.
      for (int32_t j = 0; j < count; ++j) {
        const MQPoint& q = cloud.positions[static_cast<size_t>(j)];
        const double dx = q.x + p.x, dy = q.y - p.y, dz = q.z - p.z;
        if (std::fabs(std::sqrt(dx * dx + dy * dy + dz * dz) - 0.001) > 1e-8) continue;
        (IsMirrorPartner(p, q) ? inside : outside) += 1;
      }
    }
  }
  // The clouds did exercise both sides of the boundary.
  EXPECT_GT(inside, 100u);
  EXPECT_GT(outside, 100u);
}

TEST(MirrorPartnerTest, GridAndScanMatchingAgreeOnMapAndDeselectionOrder) {
  for (uint32_t seed = 11; seed <= 16; ++seed) {
    const Cloud cloud = MakeCloud(seed, 3000);
    const MirrorVertexMatch grid = MatchMirrorVertices(cloud.positions, cloud.live, MirrorSearch::kGrid);
    const MirrorVertexMatch scan = MatchMirrorVertices(cloud.positions, cloud.live, MirrorSearch::kScan);
    EXPECT_TRUE(grid.map == scan.map) << "seed " << seed;
    EXPECT_EQ(grid.deselected, scan.deselected) << "seed " << seed;
    EXPECT_GT(grid.map.size(), 1000u);
  }
}

TEST(MirrorPartnerTest, EmptyAndDeadInputsFindNothing) {
  const MirrorPartnerGrid empty({}, {});
  EXPECT_EQ(empty.FindPartner(0, {1, 0, 0}), -1);
  const std::vector<MQPoint> positions = {{1, 0, 0}, {-1, 0, 0}};
  const MirrorPartnerGrid dead(positions, {1, 0});
  EXPECT_EQ(dead.FindPartner(0, positions[0]), -1);
  EXPECT_EQ(MatchMirrorVertices(positions, {1, 0}).map.size(), 0u);
}

// A partner that already has an entry keeps it, but is still deselected; a
// later duplicate of a matched vertex finds the same, lowest partner.
TEST(MirrorPartnerTest, MatchingKeepsFirstEntriesButDeselectsAgain) {
  MirrorVertexMatch m = MatchMirrorVertices({{1, 0, 0}, {-1, 0, 0}, {1, 0, 0}}, {1, 1, 1});
  EXPECT_EQ(m.map.Find(0), 1);
  EXPECT_EQ(m.map.Find(1), 0);
  EXPECT_EQ(m.map.Find(2), 1);
  EXPECT_EQ(m.deselected, (std::vector<int32_t>{0, 1, 2, 1}));

  // Vertex 0 is on the plane and maps to itself; vertex 1, off the plane,
  // finds it as its partner, and vertex 0 keeps its own entry.
  m = MatchMirrorVertices({{-0.0005f, 0, 0}, {0.0012f, 0, 0}, {0.3f, 0, 0}}, {1, 1, 1});
  EXPECT_EQ(m.map.Find(0), 0);
  EXPECT_EQ(m.map.Find(1), 0);
  EXPECT_FALSE(m.map.Contains(2));
  EXPECT_EQ(m.deselected, (std::vector<int32_t>{0, 1, 0}));
}

TEST(MirrorPartnerTest, MirrorVertexListStopsAtFirstUnmapped) {
  MirrorVertexMap map(5);
  EXPECT_TRUE(map.Insert(0, 3));
  EXPECT_TRUE(map.Insert(1, 1));
  EXPECT_FALSE(map.Insert(0, 4));  // kept
  EXPECT_FALSE(map.Insert(7, 0));  // out of range
  EXPECT_EQ(MirrorVertexList({1, 0, 1}, map), (std::vector<int32_t>{1, 3, 1}));
  EXPECT_EQ(MirrorVertexList({0, 2, 1}, map), (std::vector<int32_t>{3}));
  EXPECT_EQ(MirrorVertexList({-1, 0}, map), (std::vector<int32_t>{}));
}

}  // namespace
}  // namespace pavlex

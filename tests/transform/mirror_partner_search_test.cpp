// The grid partner search against the plain scan, and the matching that
// turns partners into a map and a deselection order.
#include "plugin/tools/transform/mirror_partner_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "plugin/tools/transform/mirror_vertex_map.h"

namespace pavlex {
namespace {

struct Cloud {
  std::vector<MQPoint> positions;
  std::vector<uint8_t> live;
};

// Random clouds built to hit every way the grid could differ from the scan:
// partners just inside and just outside the tolerance in all directions,
// repeated mirrors, coordinates on and beside cell borders (multiples of
// 1/512), the plane and its tolerance, non-finite and huge coordinates, and
// dead slots.
Cloud MakeCloud(uint32_t seed, size_t count) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  const float inf = std::numeric_limits<float>::infinity();
  Cloud cloud;
  auto add = [&](MQPoint p) {
    cloud.positions.push_back(p);
    cloud.live.push_back(rng() % 10 != 0 ? 1 : 0);
  };
  while (cloud.positions.size() < count) {
    const MQPoint p = {unit(rng) * 0.02f, unit(rng) * 0.02f, unit(rng) * 0.02f};
    const float border = std::floor(unit(rng) * 20.0f) / 512.0f, beside = std::nextafter(border, unit(rng));
    switch (rng() % 7) {
      case 0:
      case 1: {
        const MQPoint d = {unit(rng), unit(rng), unit(rng)};
        const float scale =
            0.001f * (1.0f + unit(rng) * 2e-6f) / std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        add(p);
        add({-p.x + d.x * scale, p.y + d.y * scale, p.z + d.z * scale});
        break;
      }
      case 2:
        add(p);
        add({-p.x, p.y, p.z});
        add({-p.x, p.y, p.z});
        break;
      case 3:
        add({border, beside, border});
        add({-beside + 0.0009f * unit(rng), border, beside});
        break;
      case 4:
        add({0.001f * unit(rng), p.y, p.z});
        add({rng() % 2 ? 0.001f : -0.001f, p.y, p.z});
        break;
      case 5: {
        const float odd[] = {std::nanf(""), inf, -inf, 3.4e38f, -3.4e38f, 1e20f};
        const float h = odd[rng() % 6];
        add({h, p.y, p.z});
        add({-h, p.y, p.z});
        add({p.x, h, p.z});
        break;
      }
      default:
        add(p);
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
    for (int32_t i = 0; i < static_cast<int32_t>(cloud.positions.size()); ++i) {
      const MQPoint& p = cloud.positions[static_cast<size_t>(i)];
      ASSERT_EQ(grid.FindPartner(i, p), FindMirrorPartnerByScan(cloud.positions, cloud.live, i))
          << "seed " << seed << " vertex " << i;
      for (const MQPoint& q : cloud.positions) {
        const double dx = q.x + p.x, dy = q.y - p.y, dz = q.z - p.z;
        if (std::fabs(std::sqrt(dx * dx + dy * dy + dz * dz) - 0.001) < 1e-8)
          ++(IsMirrorPartner(p, q) ? inside : outside);
      }
    }
  }
  // The clouds did put pairs on both sides of the boundary.
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

// A partner that already has an entry keeps it but is deselected again; a
// later duplicate of a matched vertex finds the same, lowest partner.
TEST(MirrorPartnerTest, MatchingKeepsFirstEntriesButDeselectsAgain) {
  MirrorVertexMatch m = MatchMirrorVertices({{1, 0, 0}, {-1, 0, 0}, {1, 0, 0}}, {1, 1, 1});
  EXPECT_EQ(m.map.Find(1), 0);
  EXPECT_EQ(m.map.Find(2), 1);
  EXPECT_EQ(m.deselected, (std::vector<int32_t>{0, 1, 2, 1}));
  // Vertex 0 lies on the plane; vertex 1 finds it as its partner.
  m = MatchMirrorVertices({{-0.0005f, 0, 0}, {0.0012f, 0, 0}, {0.3f, 0, 0}}, {1, 1, 1});
  EXPECT_EQ(m.map.Find(0), 0);
  EXPECT_EQ(m.map.Find(1), 0);
  EXPECT_FALSE(m.map.Contains(2));
  EXPECT_EQ(m.deselected, (std::vector<int32_t>{0, 1, 0}));
}

}  // namespace
}  // namespace pavlex

// Which vertex of an object is the mirror image of another across the
// model's symmetry plane x = 0.
//
// Pure functions over vertex positions and live flags (one entry per vertex
// slot; a slot is live when the host reports a non-zero reference count),
// so the search can be tested and measured without a host.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"

namespace pavlex {

// Both tolerances are fixed single-precision values; the bit patterns are
// what the tool's results have always been measured against.
inline constexpr float kMirrorPlaneTolerance = 0.001f;           // |x| below it: on the plane
inline constexpr float kMirrorPartnerTolerance = 1.0000001e-6f;  // squared distance below it: partners
static_assert(__builtin_bit_cast(uint32_t, kMirrorPlaneTolerance) == 0x3A83126Fu);
static_assert(__builtin_bit_cast(uint32_t, kMirrorPartnerTolerance) == 0x358637BEu);

inline bool IsOnMirrorPlane(const MQPoint& p) {
  return std::fabs(p.x) < kMirrorPlaneTolerance;
}

// True when `candidate` lies within the partner tolerance of `p` mirrored
// across x = 0, by the squared distance summed in single precision in x, y,
// z order. Any NaN or infinity on either side makes it false.
inline bool IsMirrorPartner(const MQPoint& p, const MQPoint& candidate) {
  const MQPoint mirrored = {-p.x, p.y, p.z};
  const float dx = candidate.x - mirrored.x;
  const float dy = candidate.y - mirrored.y;
  const float dz = candidate.z - mirrored.z;
  return dx * dx + dy * dy + dz * dz < kMirrorPartnerTolerance;
}

// The definition of a vertex's mirror partner: the lowest-index live vertex
// j != i for which IsMirrorPartner(positions[i], positions[j]) holds, or -1.
// Quadratic when asked for every vertex; kept as the reference the grid
// below must agree with.
int32_t FindMirrorPartnerByScan(const std::vector<MQPoint>& positions, const std::vector<uint8_t>& live,
                                int32_t i);

// The same answer as FindMirrorPartnerByScan, found through a uniform grid
// over the live vertices with finite positions.
//
// Cells are 1/512 units on a side: at least the partner distance plus the
// rounding of the single-precision test (1/512 > 0.00100001), so every
// partner lies in the query's cell or one of its 26 neighbours. Scaling by
// 512 is exact, so cell indices carry no rounding of their own; they are
// clamped far beyond any real model, which merges distant cells but cannot
// separate neighbours. Non-finite positions are left out: the partner test
// never holds for them.
class MirrorPartnerGrid {
 public:
  // positions and live hold one entry per vertex slot and must be equally
  // long; neither is referenced after construction.
  MirrorPartnerGrid(const std::vector<MQPoint>& positions, const std::vector<uint8_t>& live);

  // The lowest-index indexed vertex other than `self` that is a mirror
  // partner of `position`, or -1. With position = positions[i] and self = i
  // this is FindMirrorPartnerByScan(positions, live, i).
  int32_t FindPartner(int32_t self, const MQPoint& position) const;

 private:
  struct Entry {
    MQPoint position;
    int32_t vertex;
  };

  uint64_t BucketOf(int64_t cx, int64_t cy, int64_t cz) const;

  // Vertices hashed by cell into buckets, ascending by vertex within each
  // bucket; bucket b holds entries_[bucketStart_[b] .. bucketStart_[b + 1]).
  // Cells that share a bucket only add candidates; the exact test decides.
  std::vector<uint32_t> bucketStart_;
  std::vector<Entry> entries_;
  uint64_t bucketMask_ = 0;
};

}  // namespace pavlex

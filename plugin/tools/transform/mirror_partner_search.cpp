#include "plugin/tools/transform/mirror_partner_search.h"

#include <algorithm>
#include <limits>

namespace pavlex {
namespace {

constexpr double kCellsPerUnit = 512.0;
// Beyond any model, and small enough that a neighbour offset and the hash
// arithmetic stay far from overflow.
constexpr double kCellLimit = 1099511627776.0;  // 2^40

bool IsFinite(const MQPoint& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Only called for finite coordinates; the product is exact in double.
int64_t CellOf(float coordinate) {
  const double cell = std::floor(static_cast<double>(coordinate) * kCellsPerUnit);
  return static_cast<int64_t>(std::clamp(cell, -kCellLimit, kCellLimit));
}

}  // namespace

int32_t FindMirrorPartnerByScan(const std::vector<MQPoint>& positions, const std::vector<uint8_t>& live,
                                int32_t i) {
  const MQPoint& p = positions[static_cast<size_t>(i)];
  const auto count = static_cast<int32_t>(positions.size());
  for (int32_t j = 0; j < count; ++j) {
    if (live[static_cast<size_t>(j)] == 0 || j == i) continue;
    if (IsMirrorPartner(p, positions[static_cast<size_t>(j)])) return j;
  }
  return -1;
}

uint64_t MirrorPartnerGrid::BucketOf(int64_t cx, int64_t cy, int64_t cz) const {
  // Linear in cx, so the three cells of a row sit in adjacent buckets and
  // queries that walk a mesh row by row stay in cache; the large odd
  // multipliers spread rows and layers. Unsigned arithmetic: the
  // wrap-around is intended.
  const uint64_t h = static_cast<uint64_t>(cx) + static_cast<uint64_t>(cy) * 0x9E3779B97F4A7C15ull +
                     static_cast<uint64_t>(cz) * 0xC2B2AE3D27D4EB4Full;
  return h & bucketMask_;
}

MirrorPartnerGrid::MirrorPartnerGrid(const std::vector<MQPoint>& positions,
                                     const std::vector<uint8_t>& live) {
  const size_t count = std::min(positions.size(), live.size());
  std::vector<uint32_t> bucketOfVertex(count);
  size_t indexed = 0;
  for (size_t v = 0; v < count; ++v) {
    if (live[v] != 0 && IsFinite(positions[v])) ++indexed;
  }
  size_t buckets = 1;
  while (buckets < 2 * indexed) buckets *= 2;
  bucketMask_ = buckets - 1;

  // Counting sort by bucket, walking vertices in ascending order so each
  // bucket lists its vertices ascending and a query can stop early.
  bucketStart_.assign(buckets + 1, 0);
  for (size_t v = 0; v < count; ++v) {
    if (live[v] == 0 || !IsFinite(positions[v])) continue;
    const MQPoint& p = positions[v];
    const auto b = static_cast<uint32_t>(BucketOf(CellOf(p.x), CellOf(p.y), CellOf(p.z)));
    bucketOfVertex[v] = b;
    ++bucketStart_[b + 1];
  }
  for (size_t b = 0; b < buckets; ++b) bucketStart_[b + 1] += bucketStart_[b];
  entries_.resize(indexed);
  std::vector<uint32_t> next(bucketStart_.begin(), bucketStart_.end() - 1);
  for (size_t v = 0; v < count; ++v) {
    if (live[v] == 0 || !IsFinite(positions[v])) continue;
    entries_[next[bucketOfVertex[v]]++] = {positions[v], static_cast<int32_t>(v)};
  }
}

int32_t MirrorPartnerGrid::FindPartner(int32_t self, const MQPoint& position) const {
  if (entries_.empty() || !IsFinite(position)) return -1;
  const int64_t cx = CellOf(-position.x);
  const int64_t cy = CellOf(position.y);
  const int64_t cz = CellOf(position.z);
  int32_t best = std::numeric_limits<int32_t>::max();
  for (int64_t dz = -1; dz <= 1; ++dz) {
    for (int64_t dy = -1; dy <= 1; ++dy) {
      for (int64_t dx = -1; dx <= 1; ++dx) {
        const uint64_t b = BucketOf(cx + dx, cy + dy, cz + dz);
        const uint32_t end = bucketStart_[b + 1];
        for (uint32_t k = bucketStart_[b]; k < end; ++k) {
          const Entry& e = entries_[k];
          if (e.vertex >= best) break;  // ascending: nothing lower follows
          if (e.vertex != self && IsMirrorPartner(position, e.position)) {
            best = e.vertex;
            break;
          }
        }
      }
    }
  }
  return best == std::numeric_limits<int32_t>::max() ? -1 : best;
}

}  // namespace pavlex

#include "bench/grid_mesh.h"

#include <charconv>
#include <stdexcept>
#include <vector>

namespace pavlex::bench {
namespace {

void AppendNumber(std::string* out, float value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out->append(buffer, static_cast<size_t>(result.ptr - buffer));
}

void AppendNumber(std::string* out, long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out->append(buffer, static_cast<size_t>(result.ptr - buffer));
}

// First quad column (or row) of each block, plus n at the end.
std::vector<int> BlockStarts(int n, int k) {
  std::vector<int> starts(static_cast<size_t>(k) + 1);
  for (int b = 0; b <= k; ++b)
    starts[static_cast<size_t>(b)] = static_cast<int>(static_cast<long long>(b) * n / k);
  return starts;
}

}  // namespace

std::string MakeGridObj(const GridShape& grid) {
  const int n = grid.n;
  const int k = grid.islandsPerSide;
  if (n < 1 || n > 46340 || k < 1 || k > n)
    throw std::invalid_argument("grid size or island count out of range");
  const std::vector<int> starts = BlockStarts(n, k);
  const auto vertsPerSide = static_cast<long long>(n) + 1;

  std::string out;
  out.reserve(static_cast<size_t>(vertsPerSide * vertsPerSide) * 60 + static_cast<size_t>(n) * n * 40);
  out += "# ";
  AppendNumber(&out, static_cast<long long>(n));
  out += " x ";
  AppendNumber(&out, static_cast<long long>(n));
  out += " quad grid in ";
  AppendNumber(&out, static_cast<long long>(k) * k);
  out += " UV islands\no ";
  out += grid.objectName;
  out += '\n';

  const float halfStep = 0.5f / static_cast<float>(n);
  for (int j = 0; j <= n; ++j) {
    const float y = static_cast<float>(j) / static_cast<float>(n);
    for (int i = 0; i <= n; ++i) {
      out += "v ";
      // The product of an exact integer and one factor rounds the same way
      // for i and n - i, so the two mirror exactly.
      AppendNumber(&out, static_cast<float>(2 * i - n) * halfStep);
      out += ' ';
      AppendNumber(&out, y);
      out += " 0\n";
    }
  }

  // vt numbers of each island's first entry; an island's vertices follow
  // row by row.
  std::vector<long long> islandFirst(static_cast<size_t>(k) * k);
  long long next = 1;
  for (int bj = 0; bj < k; ++bj) {
    const int j0 = starts[static_cast<size_t>(bj)], j1 = starts[static_cast<size_t>(bj) + 1];
    for (int bi = 0; bi < k; ++bi) {
      const int i0 = starts[static_cast<size_t>(bi)], i1 = starts[static_cast<size_t>(bi) + 1];
      islandFirst[static_cast<size_t>(bj) * k + bi] = next;
      for (int j = j0; j <= j1; ++j) {
        const float v = (static_cast<float>(bj) + 0.1f +
                         0.8f * static_cast<float>(j - j0) / static_cast<float>(j1 - j0)) /
                        static_cast<float>(k);
        for (int i = i0; i <= i1; ++i) {
          const float u = (static_cast<float>(bi) + 0.1f +
                           0.8f * static_cast<float>(i - i0) / static_cast<float>(i1 - i0)) /
                          static_cast<float>(k);
          out += "vt ";
          AppendNumber(&out, u);
          out += ' ';
          AppendNumber(&out, v);
          out += '\n';
          ++next;
        }
      }
    }
  }

  int bj = 0;
  for (int j = 0; j < n; ++j) {
    while (j >= starts[static_cast<size_t>(bj) + 1]) ++bj;
    const int j0 = starts[static_cast<size_t>(bj)];
    int bi = 0;
    for (int i = 0; i < n; ++i) {
      while (i >= starts[static_cast<size_t>(bi) + 1]) ++bi;
      const int i0 = starts[static_cast<size_t>(bi)];
      const long long rowLength = starts[static_cast<size_t>(bi) + 1] - i0 + 1;
      const long long first = islandFirst[static_cast<size_t>(bj) * k + bi];
      const int ci[4] = {i, i + 1, i + 1, i};
      const int cj[4] = {j, j, j + 1, j + 1};
      out += 'f';
      for (int c = 0; c < 4; ++c) {
        out += ' ';
        AppendNumber(&out, cj[c] * vertsPerSide + ci[c] + 1);
        out += '/';
        AppendNumber(&out, first + (cj[c] - j0) * rowLength + (ci[c] - i0));
      }
      out += '\n';
    }
  }
  return out;
}

}  // namespace pavlex::bench

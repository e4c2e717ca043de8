// pavlex-make-grid N ISLANDS OUTPUT.obj: writes the grid of bench/grid_mesh.h.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "bench/grid_mesh.h"

namespace {

bool ParsePositive(const char* text, int* out) {
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 1 || value > 46340) return false;
  *out = static_cast<int>(value);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  pavlex::bench::GridShape grid;
  if (argc != 4 || !ParsePositive(argv[1], &grid.n) || !ParsePositive(argv[2], &grid.islandsPerSide) ||
      grid.islandsPerSide > grid.n) {
    std::fprintf(stderr,
                 "usage: pavlex-make-grid N ISLANDS OUTPUT.obj\n"
                 "Writes an N x N quad grid (N*N faces), symmetric about x = 0, cut into\n"
                 "ISLANDS x ISLANDS UV islands (1 <= ISLANDS <= N).\n");
    return 2;
  }
  const std::string text = pavlex::bench::MakeGridObj(grid);
  FILE* file = std::fopen(argv[3], "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "pavlex-make-grid: %s: %s\n", argv[3], std::strerror(errno));
    return 1;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "pavlex-make-grid: %s: write failed\n", argv[3]);
    return 1;
  }
  return 0;
}

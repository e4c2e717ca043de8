// Test and benchmark meshes: flat quad grids cut into UV islands, as OBJ text.
//
// Layout of MakeGridObj(grid), with n = grid.n and k = grid.islandsPerSide:
// - One object, `o <objectName>`, of n x n quads: n * n faces.
// - Vertex (i, j), 0 <= i, j <= n, is `v` number j * (n + 1) + i + 1, at
//   x = (2i - n) * (0.5 / n), y = j / n, z = 0 (single precision). The grid
//   spans x in [-0.5, 0.5] and is symmetric about x = 0 exactly: vertex
//   (n - i, j) has the negated x of vertex (i, j), bit for bit.
// - Quad (i, j), 0 <= i, j < n, is face number j * n + i + 1 (file order),
//   corners (i, j) (i+1, j) (i+1, j+1) (i, j+1): counter-clockwise seen from +z.
// - Islands: the quads are cut into k x k blocks; block column b holds quad
//   columns [b * n / k, (b + 1) * n / k) (integer division), rows likewise.
//   Each block is one UV island with its own vt entries, so a vertex on a
//   block border has one vt per island around it (a UV seam: same `v`,
//   different `vt`). vt entries come island by island (row of blocks by row
//   of blocks), within an island row by row.
// - Island (bi, bj) fills the cell [bi/k, (bi+1)/k] x [bj/k, (bj+1)/k] of
//   the unit square, inset by a tenth of the cell on every side, and maps
//   the block's quads onto it linearly.
#pragma once

#include <string>

namespace pavlex::bench {

struct GridShape {
  int n = 10;              // quads per side, >= 1; n = 1000 gives 1,000,000 faces
  int islandsPerSide = 1;  // 1..n
  std::string objectName = "grid";
};

// Throws std::invalid_argument for a grid outside the ranges above.
std::string MakeGridObj(const GridShape& grid);

}  // namespace pavlex::bench

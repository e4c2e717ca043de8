// Cutting a line segment to an axis-aligned rectangle, for drawing
// surfaces that must not walk far-away coordinates pixel by pixel.
#pragma once

#include <algorithm>

namespace pavlex {

struct ClipBox {
  double xLo, xHi, yLo, yHi;
};

// Cuts the segment (x0, y0)-(x1, y1) to `box` in place (Liang-Barsky);
// false when nothing of it is inside.
inline bool ClipSegment(double& x0, double& y0, double& x1, double& y1, const ClipBox& box) {
  double t0 = 0.0, t1 = 1.0;
  const double dx = x1 - x0, dy = y1 - y0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - box.xLo, box.xHi - x0, y0 - box.yLo, box.yHi - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0) {
      t0 = std::max(t0, r);
    } else {
      t1 = std::min(t1, r);
    }
    if (t0 > t1) return false;
  }
  const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy;
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = nx0;
  y0 = ny0;
  return true;
}

}  // namespace pavlex

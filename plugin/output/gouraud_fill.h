// The shaded layer's scan-line fill: corner colours interpolated along the
// face's two chains of edges, then across each row, one pixel at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/output/color_rgb.h"
#include "plugin/output/layout_image.h"

namespace pavlex {

// The per-row tables of one face, kept between faces so a run of a million
// faces allocates once.
struct GouraudScratch {
  struct Span {
    int32_t x;  // 0 until an edge reaches the row
    ColorRGB color;
  };
  std::vector<Span> forward;
  std::vector<Span> backward;
};

// Fills the polygon through `uvs` (n corners) with `colors` (n entries).
//
// Rules, as the layer has always drawn them:
// - Rows and columns come from round(v * (height - 0.1)) and
//   round(u * (width - 0.1)) in double precision; the top and bottom
//   corners are those of least and greatest v, the lowest index on ties.
// - The forward chain walks corner indices upward from the top corner to
//   the bottom one, the backward chain downward; edges that run upward are
//   skipped, and on rows two edges of a chain share, the later edge wins.
// - Along an edge and across a row the weights are (steps - i) / steps and
//   i / steps in single precision, so the last pixel never gets the far
//   end's full weight.
// - Both ends of a row's span are drawn (count = right - left + 1).
//
// Guards added to those rules, which change no pixel inside the image:
// - Rows are clipped to the image before the tables are sized, and columns
//   before the span loop, so huge UVs cost neither memory nor time; pixels
//   cut away only set the image's out-of-range status.
// - A face whose corners all share one row (top corner = bottom corner)
//   draws nothing: it has no chains to fill between.
void FillGouraudPolygon(LayoutImage& image, const MQCoordinate* uvs, const ColorRGB* colors, size_t n,
                        int32_t width, int32_t height, GouraudScratch& scratch);

}  // namespace pavlex

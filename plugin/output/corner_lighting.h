// One colour per face corner, from the scene's lights, the material's
// ambient and diffuse coefficients and the (optionally smoothed) normal.
// The material colour does not enter: the shaded layer shows light only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hostapi/mq_types.h"
#include "plugin/output/color_rgb.h"

namespace pavlex {

struct LightRecord {
  float direction[3];  // the way the light travels
  float color[3];
};

// The scene's lights (scene 0) in index order.
std::vector<LightRecord> ReadSceneLights(MQDocument document);

// Face normals of one object, indexed by face. Live faces only.
struct FaceNormalMap {
  std::vector<MQPoint> normals;
  std::vector<uint8_t> present;  // 1 where the face has an entry
  bool Has(int32_t face) const {
    return face >= 0 && static_cast<size_t>(face) < present.size() && present[static_cast<size_t>(face)];
  }
};

// Corner colours of one object: the colours of face f start at offsets[f].
// Faces without an entry have an empty range.
struct CornerColorMap {
  std::vector<size_t> offsets;  // faceCount + 1 entries
  std::vector<ColorRGB> colors;
  // The colour of (face, corner); black for a corner without an entry.
  ColorRGB Find(int32_t face, size_t corner) const {
    if (face < 0 || static_cast<size_t>(face) + 1 >= offsets.size()) return {0.0f, 0.0f, 0.0f};
    const size_t at = offsets[static_cast<size_t>(face)] + corner;
    return at < offsets[static_cast<size_t>(face) + 1] ? colors[at] : ColorRGB{0.0f, 0.0f, 0.0f};
  }
};

// Arithmetic, in single precision unless said otherwise:
// - face normal: a = corner 1 - corner 0, b = corner 0 - last corner; with
//   more than 3 corners b = (b - (corner 2 - corner 1)) * 0.5; n = a x b,
//   divided by its length (double sqrt of the single sum of squares,
//   rounded to single) when that is above 0;
// - smoothing: cosLimit = cos(angle * 6.2831855 / 360), the cosine in
//   double; with smooth shading a corner averages its face's normal with
//   the related faces' normals whose dot with it is >= cosLimit, in the
//   host's order, not normalised again;
// - per light: w = ambient * 0.3 + max(0, -(n . dir)) * diffuse * 0.7, with
//   0.5 for both coefficients without a material; acc += w * colour, each
//   channel then clamped to at most 1.
CornerColorMap ComputeCornerLighting(MQDocument document, MQObject object);

// The same with the lights already read (they are the same for every
// object of one layer run).
CornerColorMap ComputeCornerLighting(MQDocument document, MQObject object, const std::vector<LightRecord>& lights);

}  // namespace pavlex

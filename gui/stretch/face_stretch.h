// How far a face's UVs depart from its shape in the model: the measures
// and the colours the stretch display paints them in. Plain values in and
// out, no host.
//
// Area: the face's UV area over its model area, against the object's mean
// of the same ratio (total UV area over total model area), so a layout
// scaled as a whole shows no stretch. Angles: per corner, the interior
// angle in UV against the one in the model, both in [0, pi]; the face's
// value is the mean absolute difference over its corners. A corner whose
// UV edges have no length counts pi/2 (its angle is gone).
#pragma once

#include <cstdint>

#include "hostapi/mq_types.h"

namespace pavlex::gui::stretch {

struct FaceStretch {
  float modelArea = 0;   // area in the model (units squared), >= 0
  float uvArea = 0;      // area in UV, >= 0 (a mirrored face counts as positive)
  float angleError = 0;  // mean |UV angle - model angle| over the corners, radians
  bool valid = false;    // false: fewer than 3 corners, no model area, or a non-finite value
};

// One face: corner c sits at positions[vertices[c]] with UV uvs[c].
// Every vertices[c] must index `positions`.
FaceStretch MeasureFace(const MQPoint* positions, const int32_t* vertices, const MQCoordinate* uvs,
                        int32_t corners);

// The object's mean ratio: the sum of UV areas over the sum of model
// areas of the valid faces; 0 when there is none or the sum is not finite.
struct AreaSums {
  double model = 0;
  double uv = 0;
  void add(const FaceStretch& face) {
    if (!face.valid) return;
    model += face.modelArea;
    uv += face.uvArea;
  }
  double meanRatio() const;
};

// log2 of the face's ratio over the object's mean, clamped to
// [-kAreaRange, kAreaRange]; -kAreaRange for a face with no UV area; 0
// when the face or the mean cannot be judged.
constexpr float kAreaRange = 2;  // octaves: a quarter to four times the mean
float RelativeAreaLog2(const FaceStretch& face, double meanRatio);

// The colour of a face, RGBA8: white where UV and model agree, towards
// blue where the UV is smaller than the mean (kAreaRange octaves: full
// blue), towards red where it is larger, darkened by angle error (full at
// kAngleRange). Faces that cannot be judged are mid grey. Never NaN-driven:
// every input gives one of these colours.
constexpr float kAngleRange = 0.7853982f;  // radians (45 degrees)
void StretchColour(const FaceStretch& face, double meanRatio, uint8_t rgba[4]);
constexpr uint8_t kUnjudgedGrey = 128;

// The colour of an area value t in [-1, 1] (-1: a quarter of the mean,
// 1: four times) and an angle value k in [0, 1] (1: kAngleRange), for the
// legend and StretchColour alike.
void StretchScale(float t, float k, uint8_t rgba[4]);

}  // namespace pavlex::gui::stretch

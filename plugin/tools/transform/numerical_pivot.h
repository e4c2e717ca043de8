// The arithmetic behind the Numerical Manipulate dialog's pivot and Move
// fields. The fields hold doubles; the offset is worked out in single
// precision against the rectangle the dialog opened with, so that a pivot
// left at the opening centre gives an offset of exactly 0.
#pragma once

namespace pavlex {

// The middle of one side of the typed rectangle, in double precision.
inline double PivotBetween(double low, double high) {
  return (low + high) * 0.5;
}

// The Move offset along one axis that carries the opening rectangle's
// centre onto `pivot`.
inline float MoveOffsetTo(double pivot, float openMin, float openMax) {
  return static_cast<float>(pivot) - (openMax + openMin) * 0.5f;
}

// The opening rectangle's centre along one axis, in single precision, as
// the pivot fields' "Init" sets it.
inline float OpenCentre(float openMin, float openMax) {
  return (openMin + openMax) * 0.5f;
}

}  // namespace pavlex

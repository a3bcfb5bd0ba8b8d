#pragma once
// Core Animation's named timing curves, for the poses surfaces draw in loop time: cubic
// Béziers from (0, 0) to (1, 1) through two control points.
namespace velmora {

// The curve's progress at time fraction `x` (0…1), for control points (x1, y1) and (x2, y2).
double cubicTimingCurve(double x1, double y1, double x2, double y2, double x);

inline double easeIn(double x) {
  return cubicTimingCurve(0.42, 0, 1, 1, x);
}
inline double easeInEaseOut(double x) {
  return cubicTimingCurve(0.42, 0, 0.58, 1, x);
}

}  // namespace velmora

#include "surfaces/timing_curve.h"

namespace velmora {

double cubicTimingCurve(double x1, double y1, double x2, double y2, double x) {
  auto bezier = [](double a, double b, double u) {
    double v = 1 - u;
    return 3 * v * v * u * a + 3 * v * u * u * b + u * u * u;
  };
  // The parameter whose x is `x`, by bisection: the curve's x rises monotonically.
  double lo = 0, hi = 1;
  for (int i = 0; i < 40; ++i) {
    double mid = (lo + hi) / 2;
    (bezier(x1, x2, mid) < x ? lo : hi) = mid;
  }
  return bezier(y1, y2, (lo + hi) / 2);
}

}  // namespace velmora

#pragma once

namespace engine {

// The B-spline of the given degree (at least 1) on the knots t_i = o + i h, starting at knot
// t_j, scaled by h (h times the normalised B-spline): Cox–de Boor's recursion down to hats of
// height h,
//   degree 1:   x - t_j  on [t_j, t_(j+1)),  t_(j+2) - x  on [t_(j+1), t_(j+2)],  else 0
//   degree k:   B(k-1, j)(x) (x - o - jh) / (kh)  +  B(k-1, j+1)(x) (o + (j+k+1)h - x) / (kh)
// It is exactly 0 outside (t_j, t_(j+k+1)), and at those two knots.
double bspline(double o, int k, int j, double x, double h);

} // namespace engine

// B-splines on uniform knots, the wavelets built from them, and the built-in test function.

#include "app/Main_f.h"
#include "numerics/Levels.h"

#include <cmath>

// The B-spline of the given degree on the knots t_i = o + i h, starting at knot t_j, scaled by h
// (h times the normalised B-spline): Cox–de Boor's recursion down to hats of height h.
//
//   degree 1:   x - t_j  on [t_j, t_(j+1)),  t_(j+2) - x  on [t_(j+1), t_(j+2)],  else 0
//   degree k:   B(k-1, j)(x) (x - o - jh) / (kh)  +  B(k-1, j+1)(x) (o + (j+k+1)h - x) / (kh)
double TMainForm::bspline(double o, int k, int j, double x, double h)
{
    if (k == 1) {
        double t0 = o + j * h;
        double t1 = o + (j + 1) * h;
        double t2 = o + (j + 2) * h;
        if (t0 <= x && x < t1)
            return x - t0;
        if (t1 <= x && x <= t2)
            return t2 - x;
        return 0;
    }
    double u0 = j * h;
    double u1 = (j + 1) * h;
    double uk = (j + k) * h;
    double uk1 = (j + k + 1) * h;
    double left = bspline(o, k - 1, j, x, h) * ((x - o - u0) / (uk - u0));
    double right = bspline(o, k - 1, j + 1, x, h) * ((o + uk1 - x) / (uk1 - u1));
    return left + right;
}

double TMainForm::testFunction(double x) const
{
    return userFunction.value(x);
}

// psi_(level, p)(x) = sum over the keys r of wavelet p of alphaW[p][r] N_(level, r)(x), in
// ascending r. The keys follow the class of p on the finest level J, whatever level is asked for.
double TMainForm::waveletValue(double x, int p, int level)
{
    const double h = (b - a) / pow2(level);
    double sum = 0.0;
    for (int r : waveletKeys(p, m, finestLevel))
        sum += alphaW[p][r] * bspline(a, m - 1, r, x, h);
    return sum;
}

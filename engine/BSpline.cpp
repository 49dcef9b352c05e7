#include "engine/BSpline.h"

namespace engine {

double bspline(double o, int k, int j, double x, double h)
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

} // namespace engine

// The one scalar product of the system: a weighted sum over the fine mesh of [a, b].

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "numerics/Levels.h"

#include <algorithm>
#include <cmath>

// N_(J,k): spacing h; N_(J-1,k): spacing 2h; N_(J0,k): spacing (b - a)/2^J0, computed afresh.
double TMainForm::fineSpline(int k, double x)
{
    return bspline(a, m - 1, k, x, step);
}
double TMainForm::halfSpline(int k, double x)
{
    return bspline(a, m - 1, k, x, 2 * step);
}

double TMainForm::coarsestSpline(int k, double x)
{
    return bspline(a, m - 1, k, x, (b - a) / pow2(coarsestLevel));
}

// G(x) = sum over r = 2p .. 2p + 3m - 2 of alpha[0][r - 2p] N_(J,r)(x): the central wavelet
// translated by p, summed from 0.0 in ascending r.
double TMainForm::centralCombination(int p, double x)
{
    double sum = 0.0;
    for (int r = 2 * p; r <= 2 * p + 3 * m - 2; ++r)
        sum += alpha[0][r - 2 * p] * fineSpline(r, x);
    return sum;
}

// The integrand of a formula at x; the left factor is evaluated before the right one.
//   0: N_(J,p1) N_(J-1,p2)     1: N_(J-1,p1) N_(J,p2)       2: N_(J,p1) N_(J,p2)
//   3: f N_(J,p2)              4: N_(J0,p1) N_(J0,p2)       5: psi_(p3,p1) psi_(p4,p2)
//   6: G_p1 N_(J-1,p2)         9: psi_(p3,p1) N_(J0,p2)
double TMainForm::integrand(int formula, int p1, int p2, int p3, int p4, double x)
{
    double left = 0;
    switch (formula) {
    case 0:
        left = fineSpline(p1, x);
        return left * halfSpline(p2, x);
    case 1:
        left = halfSpline(p1, x);
        return left * fineSpline(p2, x);
    case 2:
        left = fineSpline(p1, x);
        return left * fineSpline(p2, x);
    case 3:
        left = testFunction(x);
        return left * fineSpline(p2, x);
    case 4:
        left = coarsestSpline(p1, x);
        return left * coarsestSpline(p2, x);
    case 5:
        left = waveletValue(x, p1, p3);
        return left * waveletValue(x, p2, p4);
    case 6:
        left = centralCombination(p1, x);
        return left * halfSpline(p2, x);
    case 9:
        left = waveletValue(x, p1, p3);
        return left * coarsestSpline(p2, x);
    }
    return 0;
}

// sum over the fine subintervals [x_l, x_r] of sum over k = 0 .. 2m - 2 of w_k F(x_l + k delta),
// with delta = (x_r - x_l)/(2m - 2): 2m - 1 equally spaced points, both ends included, each
// with the Gauss weight of the same index. No factor for the subinterval length is applied.
// An unknown formula is a programming error: it is reported once and the result is 0.
double TMainForm::getScalarProduct(int formula, int p1, int p2, int p3, int p4)
{
    static const std::initializer_list<int> formulas = {0, 1, 2, 3, 4, 5, 6, 9};
    if (std::find(formulas.begin(), formulas.end(), formula) == formulas.end()) {
        ShowMessage("TMainForm::getScalarProduct: Не найдена формула " + IntToStr(formula));
        return 0.0;
    }
    const double intervals = pow2(finestLevel);
    double result = 0.0;
    for (int i = 0; i < intervals; ++i) {
        double xl = a + i * step;
        double xr = a + (i + 1) * step;
        double delta = (xr - xl) / (2 * m - 2);
        double sum = 0.0;
        for (int k = 0; k <= 2 * m - 2; ++k) {
            double x = xl + k * delta;
            double f = integrand(formula, p1, p2, p3, p4, x);
            sum = sum + gaussWeights[k] * f;
        }
        result = result + sum;
    }
    return result;
}

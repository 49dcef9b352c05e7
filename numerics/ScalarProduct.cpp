// The one scalar product of the system: a weighted sum over the fine mesh of [a, b], under one
// of two quadrature rules.

#include "app/Main_f.h"
#include "numerics/Levels.h"

#include <stdexcept>
#include <string>

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

// G(x) = sum over the keys r of psi_p of alpha[0][r - 2p] N_(J,r)(x): the central wavelet
// translated by p, summed from 0.0 in ascending r.
double TMainForm::centralCombination(int p, double x)
{
    double sum = 0.0;
    for (int r : translateKeys(p, m))
        sum += alpha[0][r - 2 * p] * fineSpline(r, x);
    return sum;
}

// The integrand of a formula at x (see Formula); the left factor is evaluated before the right
// one. A number that names no formula is a programming error.
double TMainForm::integrand(Formula formula, int p1, int p2, int p3, int p4, double x)
{
    double left = 0;
    switch (formula) {
    case Formula::FineHalf:
        left = fineSpline(p1, x);
        return left * halfSpline(p2, x);
    case Formula::HalfFine:
        left = halfSpline(p1, x);
        return left * fineSpline(p2, x);
    case Formula::FineFine:
        left = fineSpline(p1, x);
        return left * fineSpline(p2, x);
    case Formula::TestFunctionFine:
        left = testFunction(x);
        return left * fineSpline(p2, x);
    case Formula::CoarsestCoarsest:
        left = coarsestSpline(p1, x);
        return left * coarsestSpline(p2, x);
    case Formula::WaveletWavelet:
        left = waveletValue(x, p1, p3);
        return left * waveletValue(x, p2, p4);
    case Formula::TranslateHalf:
        left = centralCombination(p1, x);
        return left * halfSpline(p2, x);
    case Formula::WaveletCoarsest:
        left = waveletValue(x, p1, p3);
        return left * coarsestSpline(p2, x);
    }
    throw std::invalid_argument(
        "TMainForm::getScalarProduct: Не найдена формула " + std::to_string(int(formula)));
}

// The quadrature points of the fine mesh, subinterval by subinterval [x_l, x_r], 2m - 1 each;
// point k of a subinterval takes Gauss weight k. Under the default rule the points are
// equally spaced, x_l + k delta with delta = (x_r - x_l)/(2m - 2), both ends included; under
// the exact rule they are the Gauss nodes mapped onto the subinterval, (x_l + x_r)/2 +
// (x_r - x_l)/2 node_k, where the rule integrates every product of two splines exactly.
std::vector<double> TMainForm::quadraturePoints()
{
    std::vector<double> abscissae;
    for (int i : meshIntervals(finestLevel)) {
        const double xl = a + i * step;
        const double xr = a + (i + 1) * step;
        if (exactIntegration) {
            const double middle = (xl + xr) / 2;
            const double halfWidth = (xr - xl) / 2;
            for (double node : gaussNodes)
                abscissae.push_back(middle + halfWidth * node);
            continue;
        }
        const double delta = (xr - xl) / (2 * m - 2);
        for (std::size_t k = 0; k < gaussWeights.size(); ++k)
            abscissae.push_back(xl + k * delta);
    }
    return abscissae;
}

// The weight of point k in every subinterval: Gauss weight k as it stands under the default
// rule (no factor for the subinterval length); under the exact rule times h/2, so that the
// products are the integrals. Either way the factor is one for all formulas and subintervals,
// so the coefficients of the basis and of the transform do not depend on it.
std::vector<double> TMainForm::quadratureWeights()
{
    std::vector<double> weights = gaussWeights;
    if (exactIntegration)
        for (double& weight : weights)
            weight = weight * (step / 2);
    return weights;
}

// A function at the quadrature points, in mesh order.
std::vector<double> TMainForm::sampled(const std::function<double(double)>& function)
{
    std::vector<double> values = quadraturePoints();
    for (double& x : values)
        x = function(x);
    return values;
}

// Per subinterval S = sum over k of weight k times values[k], added to the result in mesh
// order.
double TMainForm::weightedSum(const std::vector<double>& values)
{
    const std::vector<double> weights = quadratureWeights();
    const std::size_t perInterval = weights.size();
    double result = 0.0;
    for (std::size_t first = 0; first < values.size(); first += perInterval) {
        double sum = 0.0;
        for (std::size_t k = 0; k < perInterval; ++k)
            sum = sum + weights[k] * values[first + k];
        result = result + sum;
    }
    return result;
}

double TMainForm::getScalarProduct(Formula formula, int p1, int p2, int p3, int p4)
{
    return weightedSum(sampled([&](double x) { return integrand(formula, p1, p2, p3, p4, x); }));
}

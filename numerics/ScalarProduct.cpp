// The one scalar product of the system: a weighted sum over the fine mesh of [a, b], under one
// of two quadrature rules.

#include "app/Main_f.h"
#include "engine/Levels.h"

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

// The quadrature points of the fine mesh, interval by interval, and the weight of point k in
// every interval: those of the engine's basis (engine/Quadrature.h), under the rule in force.
std::vector<double> TMainForm::quadraturePoints()
{
    return fastTransform->basis().quadrature().allPoints();
}

std::vector<double> TMainForm::quadratureWeights()
{
    return fastTransform->basis().quadrature().weights();
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

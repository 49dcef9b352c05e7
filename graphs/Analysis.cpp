// The numbers of the analysis page: the expansion given by the current coefficients on a dense
// grid of [a, b], split into the coarse approximation sum d_k N_(J0,k) and one detail curve
// sum c_(e,i) psi_(J0+e,i) per level, with the wavelet coefficients below a threshold counted as
// zero; its error against f; and the error of the expansions that keep the K largest |c|.
//
//   x_(16i+s) = points[i][0] + s h/16   (i = 0 .. 2^J-1, s = 0 .. 15),   x_(16 2^J) = b
//
// Every sample point of the inverse transform is a grid point (s = 0), and the whole sum there
// is the inverse transform's own: the same basis values, multiplied by the same coefficients and
// added in the same order, from 0.0.

#include "app/Main_f.h"

#include <algorithm>
#include <cmath>

// The basis functions at the grid points, once per basis set-up.
void TMainForm::sampleDenseBasis()
{
    denseGrid.clear();
    for (const auto& point : points)
        for (int s = 0; s < densePerInterval; ++s)
            denseGrid.push_back(point[0] + s * step / densePerInterval);
    denseGrid.push_back(b);
    denseBasis.clear();
    for (const BasisFunction& function : gramBasis()) {
        std::vector<double>& values = denseBasis.emplace_back();
        for (double x : denseGrid)
            values.push_back(basisValue(function, x));
    }
}

std::vector<double> TMainForm::keptCoefficients(double below)
{
    std::vector<double> kept;
    for (const BasisFunction& function : gramBasis()) {
        const double value = storedCoefficient(function);
        kept.push_back(function.wavelet && std::abs(value) < below ? 0.0 : value);
    }
    return kept;
}

// Term by term in the basis order, as the inverse transform sums: a coefficient counted as zero
// adds a zero, which leaves every sum as it was.
std::vector<double> TMainForm::denseSum(
    const std::vector<double>& coefficients, std::optional<int> level)
{
    const std::vector<BasisFunction> basis = gramBasis();
    std::vector<double> sum(denseGrid.size(), 0.0);
    for (std::size_t u = 0; u < basis.size(); ++u)
        if (!level || basis[u].level == *level)
            for (std::size_t q = 0; q < sum.size(); ++q)
                sum[q] += denseBasis[u][q] * coefficients[u];
    return sum;
}

// The wavelet coefficients that the threshold keeps: |c| >= threshold.
int TMainForm::keptCount()
{
    int count = 0;
    for (const BasisFunction& function : gramBasis())
        count += function.wavelet && !(std::abs(storedCoefficient(function)) < threshold);
    return count;
}

// The curves of the page under the current threshold, in the order of the series of chAnalysis:
// f when it is known, the reconstruction, the coarse approximation, the details level by level.
DenseMatrix TMainForm::analysisCurves()
{
    const std::vector<double> kept = keptCoefficients(threshold);
    DenseMatrix curves;
    if (coefficientSource == CoefficientSource::ForwardTransform)
        curves.push_back(denseFunction);
    curves.push_back(denseSum(kept));
    for (int L = coarsestLevel; L <= finestLevel; ++L)
        curves.push_back(denseSum(kept, L));
    return curves;
}

// The error can be measured only against a known f that is finite on the whole grid (the
// forward transform checked it only at its own points).
bool TMainForm::errorsKnown() const
{
    return coefficientSource == CoefficientSource::ForwardTransform
        && std::all_of(denseFunction.begin(), denseFunction.end(),
            [](double value) { return std::isfinite(value); });
}

// max over the grid of |f(x_q) - values[q]|.
double TMainForm::largestError(const std::vector<double>& values) const
{
    double largest = 0;
    for (std::size_t q = 0; q < values.size(); ++q)
        largest = std::max(largest, std::abs(denseFunction[q] - values[q]));
    return largest;
}

// sqrt(mean over the grid of (f(x_q) - values[q])^2).
double TMainForm::rmsError(const std::vector<double>& values) const
{
    double squares = 0;
    for (std::size_t q = 0; q < values.size(); ++q)
        squares += (denseFunction[q] - values[q]) * (denseFunction[q] - values[q]);
    return std::sqrt(squares / double(values.size()));
}

// (K, the largest error of the expansion with every d and the K wavelet coefficients of largest
// |c|), K = 0 .. N; equal |c| are taken in the basis order. A threshold keeps exactly such a set,
// so its error is a point of this curve.
QList<QPointF> TMainForm::nTermErrors()
{
    const std::vector<BasisFunction> basis = gramBasis();
    const std::vector<double> all = keptCoefficients(0);
    std::vector<double> kept = keptCoefficients(INFINITY);
    std::vector<std::size_t> order; // the wavelets' places in the basis, largest |c| first
    for (std::size_t u = 0; u < basis.size(); ++u)
        if (basis[u].wavelet)
            order.push_back(u);
    std::stable_sort(order.begin(), order.end(),
        [&all](std::size_t u, std::size_t v) { return std::abs(all[u]) > std::abs(all[v]); });
    QList<QPointF> errors {{0, largestError(denseSum(kept))}};
    for (std::size_t u : order) {
        kept[u] = all[u];
        errors.append({double(errors.size()), largestError(denseSum(kept))});
    }
    return errors;
}

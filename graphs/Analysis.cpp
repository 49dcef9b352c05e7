// The numbers of the analysis page: the expansion given by the current coefficients on a dense
// grid of [a, b], split into the coarse approximation sum d_k N_(J0,k) and one detail curve
// sum c_(e,i) psi_(J0+e,i) per level, with the wavelet coefficients below a threshold counted as
// zero; its error against f; and the error of the expansions that keep the K largest |c|.
//
//   x_(Si+s) = points[i][0] + s h/S   (i = 0 .. 2^J-1, s = 0 .. S-1),   x_(S 2^J) = b
//
// Every curve is a fast inverse transform, O(N m + grid m). Every sample point of the inverse
// transform is a grid point (s = 0), and the whole sum there is the inverse transform's own.
// The grid's points are those of the engine's mesh values, a + (i + s/S) h, computed here.

#include "app/Main_f.h"

#include <algorithm>
#include <cmath>

// 16 points per mesh interval up to J = 10; above, 2^14 points in all (one per interval from
// J = 14 on), more than a chart can show.
int TMainForm::densePerInterval() const
{
    return std::clamp((1 << 14) >> finestLevel, 1, 16);
}

void TMainForm::sampleDenseGrid()
{
    const int perInterval = densePerInterval();
    denseGrid.clear();
    for (const auto& point : points)
        for (int s = 0; s < perInterval; ++s)
            denseGrid.push_back(point[0] + s * step / perInterval);
    denseGrid.push_back(b);
}

engine::Coefficients TMainForm::keptCoefficients(double below)
{
    engine::Coefficients kept = storedCoefficients();
    for (double& c : kept.c)
        if (std::abs(c) < below)
            c = 0.0;
    return kept;
}

std::vector<double> TMainForm::denseSum(const engine::Coefficients& coefficients)
{
    return fastTransform->meshValues(fastTransform->compose(coefficients), densePerInterval());
}

// The other levels' coefficients zero.
std::vector<double> TMainForm::denseLevel(engine::Coefficients coefficients, int level)
{
    if (level != coarsestLevel)
        std::fill(coefficients.d.begin(), coefficients.d.end(), 0.0);
    for (int L : waveletLevels(coarsestLevel, finestLevel))
        if (L != level)
            std::ranges::fill(coefficients.level(L), 0.0);
    return denseSum(coefficients);
}

// The wavelet coefficients that the threshold keeps: |c| >= threshold.
int TMainForm::keptCount()
{
    const engine::Coefficients stored = storedCoefficients();
    return int(
        std::ranges::count_if(stored.c, [this](double c) { return !(std::abs(c) < threshold); }));
}

// The curves of the page under the current threshold, in the order of the series of chAnalysis:
// f when it is known, the reconstruction, the coarse approximation, the details level by level.
DenseMatrix TMainForm::analysisCurves()
{
    const engine::Coefficients kept = keptCoefficients(threshold);
    DenseMatrix curves;
    if (coefficientSource == CoefficientSource::ForwardTransform)
        curves.push_back(denseFunction);
    curves.push_back(denseSum(kept));
    for (int L = coarsestLevel; L <= finestLevel; ++L)
        curves.push_back(denseLevel(kept, L));
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
// |c|), equal |c| taken in the order of the levels: every K up to 100, then steps growing by a
// constant factor up to all N of them, at most 200 points. A threshold keeps exactly such a
// set, so its error is a point of this curve where the curve has that K.
QList<QPointF> TMainForm::nTermErrors()
{
    const engine::Coefficients all = storedCoefficients();
    engine::Coefficients kept = keptCoefficients(INFINITY);
    std::vector<std::size_t> order(all.c.size()); // largest |c| first
    for (std::size_t u = 0; u < order.size(); ++u)
        order[u] = u;
    std::stable_sort(order.begin(), order.end(),
        [&all](std::size_t u, std::size_t v) { return std::abs(all.c[u]) > std::abs(all.c[v]); });
    const std::size_t N = order.size(), linear = 100, points = 200;
    const double growth = N > linear ? std::pow(double(N) / linear, 1.0 / (points - linear)) : 1;
    QList<QPointF> errors;
    std::size_t K = 0;
    for (;;) {
        errors.append({double(K), largestError(denseSum(kept))});
        if (K == N)
            return errors;
        const std::size_t next = std::min(
            N, K < linear ? K + 1 : std::max(K + 1, std::size_t(std::ceil(double(K) * growth))));
        for (; K < next; ++K)
            kept.c[order[K]] = all.c[order[K]];
    }
}

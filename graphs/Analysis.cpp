// The numbers of the analysis page: the expansion given by the current coefficients on a dense
// grid of [a, b], split into the coarse approximation sum d_k N_(J0,k) and one detail curve
// sum c_(e,i) psi_(J0+e,i) per level, with the wavelet coefficients below a threshold counted as
// zero; its error against f; and the error of the expansions that keep the K largest |c|.
//
//   x_(Si+s) = points[i][0] + s h/S   (i = 0 .. 2^J-1, s = 0 .. S-1),   x_(S 2^J) = b
//
// Every curve is a fast inverse transform, O(N m + grid m), the J - J0 + 2 of them
// O((J - J0)(N m + grid m)). Every sample point of the inverse transform is a grid point (s = 0),
// and the whole sum there is the inverse transform's own. The grid's points are those of the
// engine's mesh values, a + (i + s/S) h, computed here.

#include "app/Main_f.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace {

// Adds c psi_(L,p) to an expansion's values on the grid of Transform::meshValues (S points per
// fine interval, then b), at the grid points of the wavelet's support only. The wavelet's row is
// refined from its level to the finest by the two-scale relation, as Transform::compose refines
// a whole level but over the support alone; its fine spline is then summed at the grid points
// as meshValues sums, over the m B-splines non-zero on each interval. A wavelet of level L spans
// about (4m - 2) 2^(J-L) fine intervals: O(S m 2^(J-L)) per wavelet, O(N S m) per level.
class WaveletOnGrid
{
public:
    WaveletOnGrid(const engine::Basis& basis, int S)
        : basis(basis)
        , S(S)
        , value(std::size_t(S * basis.m()))
    {
        const int m = basis.m(), J = basis.finestLevel();
        const double a = basis.parameters().a, h = basis.quadrature().spacing();
        for (int s = 0; s < S; ++s) // as meshValues takes them: N_(J,-j) at a + s h/S
            for (int j = 0; j < m; ++j)
                value[std::size_t(s * m + j)] = basis.splineValue(J, -j, a + s * h / S);
    }

    void add(int L, int p, double c, std::vector<double>& values) const
    {
        const engine::SplineRow row = basis.wavelet(L, p);
        int first = row.first;
        std::vector<double> spline(row.values.begin(), row.values.end());
        for (double& coefficient : spline)
            coefficient *= c;
        for (int finer = L + 1; finer <= basis.finestLevel(); ++finer)
            refine(finer, first, spline);
        addValues(first, spline, values);
    }

private:
    // The spline over the B-splines of level L - 1, keys from first on, over those of level L.
    void refine(int L, int& first, std::vector<double>& spline) const
    {
        const int lowest = basis.twoScale(L, first).first;
        std::vector<double> finer(
            std::size_t(basis.twoScale(L, first + int(spline.size()) - 1).last() - lowest + 1));
        for (std::size_t k = 0; k < spline.size(); ++k) {
            const engine::SplineRow row = basis.twoScale(L, first + int(k));
            for (std::size_t i = 0; i < row.values.size(); ++i)
                finer[std::size_t(row.first - lowest) + i] += row.values[i] * spline[k];
        }
        first = lowest;
        spline = std::move(finer);
    }

    // The fine spline, keys first .. last, added at the grid points of the intervals it meets.
    void addValues(int first, const std::vector<double>& spline, std::vector<double>& values) const
    {
        const int m = basis.m(), N = 1 << basis.finestLevel();
        const int last = first + int(spline.size()) - 1;
        for (int i = std::max(first, 0); i <= std::min(last + m - 1, N); ++i)
            for (int s = 0; s < (i < N ? S : 1); ++s) {
                double sum = 0.0;
                for (int k = std::max(i - m + 1, first); k <= std::min(i, last); ++k)
                    sum += spline[std::size_t(k - first)] * value[std::size_t(s * m + i - k)];
                values[std::size_t(i) * S + s] += sum;
            }
    }

    const engine::Basis& basis;
    const int S;
    std::vector<double> value; // [s m + j]: N_(J,-j) at a + s h/S
};

} // namespace

// 16 points per mesh interval up to J = 10; above, 2^14 points in all up to J = 14, from where
// there is one per interval: more than a chart can show, which draws their envelope.
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
// set, so its error is a point of this curve where the curve has that K (up to rounding: the
// curve adds the terms in another order).
//
// The expansion is built up term by term rather than by one inverse transform per point: 200
// inverse transforms cost O(200 grid m), 2.6 * 10^8 operations at J = 16, too slow for a Build.
// Starting from the coarse approximation, each coefficient adds its wavelet on its support
// (WaveletOnGrid): O(grid m) per level, O(grid m (J - J0)) for the whole curve; with the sort,
// O(N log N), and the largest error at each point, O(200 grid).
QList<QPointF> TMainForm::nTermErrors()
{
    const engine::Coefficients all = storedCoefficients();
    std::vector<std::size_t> order(all.c.size()); // largest |c| first
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
        [&all](std::size_t u, std::size_t v) { return std::abs(all.c[u]) > std::abs(all.c[v]); });
    const WaveletOnGrid wavelets(fastTransform->basis(), densePerInterval());
    std::vector<double> sum = denseLevel(all, coarsestLevel);
    const std::size_t N = order.size(), linear = 100, points = 200;
    const double growth = N > linear ? std::pow(double(N) / linear, 1.0 / (points - linear)) : 1;
    QList<QPointF> errors;
    std::size_t K = 0;
    for (;;) {
        errors.append({double(K), largestError(sum)});
        if (K == N)
            return errors;
        const std::size_t next = std::min(
            N, K < linear ? K + 1 : std::max(K + 1, std::size_t(std::ceil(double(K) * growth))));
        for (; K < next; ++K) {
            // c[u] is wavelet p of level L: level L starts at u = 2^(L-1) - 2^J0.
            const std::size_t u = order[K];
            const int L = std::bit_width(u + (std::size_t(1) << coarsestLevel));
            const int p = int(u) - (waveletCount(L) - (1 << coarsestLevel)) + 1 - m;
            wavelets.add(L, p, all.c[u], sum);
        }
    }
}

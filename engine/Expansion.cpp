#include "engine/Expansion.h"

#include "engine/Norms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>

namespace engine {

namespace {

    // Adds c psi_(L,p) to an expansion's values on the grid of Transform::meshValues (S points
    // per fine interval, then b), at the grid points of the wavelet's support only. The wavelet's
    // row is refined from its level to the finest by the two-scale relation, as
    // Transform::compose refines a whole level but over the support alone; its fine spline is
    // then summed at the grid points as meshValues sums, over the m B-splines non-zero on each
    // interval. A wavelet of level L spans about (4m - 2) 2^(J-L) fine intervals:
    // O(S m 2^(J-L)) per wavelet, O(N S m) per level.
    class WaveletOnGrid
    {
    public:
        WaveletOnGrid(const Basis& basis, int S)
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
            const SplineRow row = basis.wavelet(L, p);
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
                const SplineRow row = basis.twoScale(L, first + int(k));
                for (std::size_t i = 0; i < row.values.size(); ++i)
                    finer[std::size_t(row.first - lowest) + i] += row.values[i] * spline[k];
            }
            first = lowest;
            spline = std::move(finer);
        }

        // The fine spline, keys first .. last, added at the grid points of the intervals it meets.
        void addValues(
            int first, const std::vector<double>& spline, std::vector<double>& values) const
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

        const Basis& basis;
        const int S;
        std::vector<double> value; // [s m + j]: N_(J,-j) at a + s h/S
    };

    double largestDeviation(std::span<const double> reference, std::span<const double> values)
    {
        double largest = 0;
        for (std::size_t q = 0; q < values.size(); ++q)
            largest = std::max(largest, std::abs(reference[q] - values[q]));
        return largest;
    }

} // namespace

// max |reference - values| and sqrt(mean (reference - values)^2), summed in point order.
Deviation deviation(std::span<const double> reference, std::span<const double> values)
{
    double squares = 0;
    for (std::size_t q = 0; q < values.size(); ++q)
        squares += (reference[q] - values[q]) * (reference[q] - values[q]);
    return {largestDeviation(reference, values), std::sqrt(squares / double(values.size()))};
}

Expansion::Expansion(std::shared_ptr<const Transform> transform, Coefficients coefficients,
    Origin origin, std::string label)
    : transform_(std::move(transform))
    , coefficients_(std::move(coefficients))
    , origin_(origin)
    , label_(std::move(label))
{
}

std::vector<double> Expansion::at(std::span<const double> x) const
{
    return transform_->inverse(coefficients_, x);
}

std::vector<double> Expansion::onMesh(int S) const
{
    return transform_->meshValues(coefficients_, S);
}

Expansion Expansion::level(int L) const
{
    Expansion part = *this;
    Coefficients& c = part.coefficients_;
    if (L != c.J0)
        std::ranges::fill(c.d, 0.0);
    for (int other : waveletLevels(c.J0, c.J))
        if (other != L)
            std::ranges::fill(c.level(other), 0.0);
    return part;
}

double Expansion::measure(std::size_t u, Measure measure) const
{
    const double value = std::abs(coefficients_.c[u]);
    return measure == Measure::Value ? value : value * basisNorms().c[u];
}

Expansion Expansion::thresholded(double below, Measure measure) const
{
    Expansion kept = *this;
    for (std::size_t u = 0; u < coefficients_.c.size(); ++u)
        if (this->measure(u, measure) < below)
            kept.coefficients_.c[u] = 0.0;
    return kept;
}

std::vector<std::size_t> Expansion::ranking(Measure measure) const
{
    std::vector<double> size(coefficients_.c.size());
    for (std::size_t u = 0; u < size.size(); ++u)
        size[u] = this->measure(u, measure);
    std::vector<std::size_t> order(size.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::ranges::stable_sort(
        order, [&size](std::size_t u, std::size_t v) { return size[u] > size[v]; });
    return order;
}

Expansion Expansion::keepingLargest(std::size_t K, Measure measure) const
{
    Expansion kept = *this;
    const std::vector<std::size_t> order = ranking(measure);
    for (std::size_t r = std::min(K, order.size()); r < order.size(); ++r)
        kept.coefficients_.c[order[r]] = 0.0;
    return kept;
}

std::size_t Expansion::countAtLeast(double below, Measure measure) const
{
    std::size_t count = 0;
    for (std::size_t u = 0; u < coefficients_.c.size(); ++u)
        count += !(this->measure(u, measure) < below);
    return count;
}

std::vector<double> Expansion::levelSpline(int L) const
{
    const Coefficients& c = coefficients_;
    if (L == c.J0)
        return c.d;
    const Basis& basis = transform_->basis();
    std::vector<double> spline(scalingIndices(c.m, L).size(), 0.0);
    const std::span<const double> level = c.level(L);
    for (int p : waveletIndices(c.m, L)) {
        const SplineRow row = basis.wavelet(L, p);
        for (std::size_t i = 0; i < row.values.size(); ++i)
            spline[std::size_t(row.first + c.m - 1) + i]
                += row.values[i] * level[std::size_t(p + c.m - 1)];
    }
    return spline;
}

std::vector<double> Expansion::levelEnergies() const
{
    const Coefficients& c = coefficients_;
    std::vector<double> energies;
    for (int L = c.J0; L <= c.J; ++L)
        energies.push_back(SplineNorm(transform_->basis(), L).squared(1 - c.m, levelSpline(L)));
    return energies;
}

double Expansion::energy() const
{
    const Coefficients& c = coefficients_;
    return SplineNorm(transform_->basis(), c.J).squared(1 - c.m, transform_->compose(c));
}

std::vector<double> Expansion::sumsOfSquares() const
{
    auto squares = [](std::span<const double> values) {
        return std::inner_product(values.begin(), values.end(), values.begin(), 0.0);
    };
    std::vector<double> energies {squares(coefficients_.d)};
    for (int L : waveletLevels(coefficients_.J0, coefficients_.J))
        energies.push_back(squares(coefficients_.level(L)));
    return energies;
}

// Starting from the coarse approximation, each coefficient in the order of ranking() adds its
// wavelet on its support; 200 inverse transforms instead would cost O(200 N S m).
std::vector<std::pair<std::size_t, double>> Expansion::nTermCurve(
    std::span<const double> reference, int S, Measure measure) const
{
    const std::vector<std::size_t> order = ranking(measure);
    const WaveletOnGrid wavelets(transform_->basis(), S);
    const int J0 = coefficients_.J0, m = coefficients_.m;
    std::vector<double> sum = level(J0).onMesh(S);
    const std::size_t N = order.size(), linear = 100, points = 200;
    const double growth = N > linear ? std::pow(double(N) / linear, 1.0 / (points - linear)) : 1;
    std::vector<std::pair<std::size_t, double>> curve;
    std::size_t K = 0;
    for (;;) {
        curve.emplace_back(K, largestDeviation(reference, sum));
        if (K == N)
            return curve;
        const std::size_t next = std::min(
            N, K < linear ? K + 1 : std::max(K + 1, std::size_t(std::ceil(double(K) * growth))));
        for (; K < next; ++K) {
            // c[u] is wavelet p of level L: level L starts at u = 2^(L-1) - 2^J0.
            const std::size_t u = order[K];
            const int L = std::bit_width(u + (std::size_t(1) << J0));
            const int p = int(u) - (waveletCount(L) - (1 << J0)) + 1 - m;
            wavelets.add(L, p, coefficients_.c[u], sum);
        }
    }
}

} // namespace engine

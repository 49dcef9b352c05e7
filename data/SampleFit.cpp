#include "data/SampleFit.h"

#include "engine/Errors.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <string>

namespace {

// The mesh of level L of a basis: B-spline k of order m is non-zero on (a + k h, a + (k + m) h).
struct Mesh
{
    const engine::Basis& basis;
    int L;
    int m = basis.m(), intervals = 1 << L;
    double a = basis.parameters().a, h = (basis.parameters().b - a) / intervals;

    // The first and the last k whose B-spline is non-zero at x: the interval i holding x and
    // the m - 1 before it, but B-spline i vanishes at its first knot and none starts at b.
    std::pair<int, int> nonZero(double x) const
    {
        const double t = std::min((x - a) / h, double(intervals));
        const int i = int(std::floor(t));
        return {i - m + 1, t == i ? i - 1 : i};
    }
};

// Whether increasing B-splines k_1 < k_2 < ... can be matched to the samples, each non-zero at
// its sample: the smallest k each time, greedily. O(N).
bool schoenbergWhitney(const Mesh& mesh, const std::vector<double>& x)
{
    int last = -mesh.m;
    for (double point : x) {
        const auto [first, end] = mesh.nonZero(point);
        last = std::max(last + 1, first);
        if (last > end)
            return false;
    }
    return true;
}

// The KKT system with its unknowns in order of position: coefficient k at the centre of its
// B-spline, a + (k + m/2) h, the multiplier of a sample at its x (coefficients first on ties).
// order[u] is the place of unknown u, coefficients u = k + m - 1 then multipliers n + i.
std::vector<int> placesByPosition(const Mesh& mesh, const std::vector<double>& x, int n)
{
    std::vector<int> order(n + x.size());
    for (int u = 0, k = 0, i = 0; k < n || i < int(x.size()); ++u) {
        const bool coefficient = i == int(x.size())
            || (k < n && mesh.a + (k - mesh.m + 1 + mesh.m / 2.0) * mesh.h <= x[i]);
        order[coefficient ? k++ : n + i++] = u;
    }
    return order;
}

// The m-th (or q-th) difference operator's weights (-1)^(q-r) C(q, r), r = 0 .. q.
std::vector<double> differenceWeights(int q)
{
    std::vector<double> w(q + 1);
    double binomial = 1;
    for (int r = 0; r <= q; ++r) {
        w[r] = ((q - r) % 2 ? -1 : 1) * binomial;
        binomial = binomial * (q - r) / (r + 1);
    }
    return w;
}

[[noreturn]] void noSpline(const engine::Basis& basis, const std::string& why)
{
    throw DataError("Сплайн уровня J = " + std::to_string(basis.finestLevel())
        + " не проходит через отсчёты: " + why
        + "; увеличьте J или выберите проекцию сплайна через отсчёты.");
}

// Samples nearly too close for any spline of the level make a system whose solution misses
// them: each must come back within 1e-8 of the largest |y|. O(N m).
void checkResiduals(const Mesh& mesh, const SampledData& samples, const std::vector<double>& s)
{
    const engine::Basis& basis = mesh.basis;
    double largest = 0, residual = 0;
    for (std::size_t i = 0; i < samples.x.size(); ++i) {
        const auto [first, last] = mesh.nonZero(samples.x[i]);
        double value = 0;
        for (int k = std::max(first, 1 - mesh.m); k <= std::min(last, mesh.intervals - 1); ++k)
            value += s[k + mesh.m - 1] * basis.splineValue(mesh.L, k, samples.x[i]);
        largest = std::max(largest, std::abs(samples.y[i]));
        residual = std::max(residual, std::abs(value - samples.y[i]));
    }
    if (!(residual <= 1e-8 * largest))
        noSpline(basis, "отсчёты слишком близки друг к другу");
}

// The level: the coarsest from J0 on with 2^L >= 2 (N - 1), or J, whose B-splines can go
// through the samples.
int fitLevel(const engine::Basis& basis, const std::vector<double>& x)
{
    const int N = int(x.size()), J = basis.finestLevel();
    if (N > (1 << J) + 1)
        noSpline(basis,
            "отсчётов " + std::to_string(N) + ", а сплайн этого уровня проходит не более чем через "
                + std::to_string((1 << J) + 1));
    const int coarsest = std::min(J, int(std::bit_width(unsigned(N - 2))) + 1);
    for (int L = std::max(basis.coarsestLevel(), coarsest); L <= J; ++L)
        if (schoenbergWhitney({basis, L}, x))
            return L;
    noSpline(
        basis, "на некоторых интервалах сетки отсчётов больше, чем сплайнов, отличных там от нуля");
}

} // namespace

// The matrix is assembled in the natural numbering and placed by position: D^T D (band q) on
// the coefficients, the collocation rows A / h (B-splines normalised to sum 1, entries near 1
// as those of D^T D) and their transposes. Then dgbtrf on LAPACK's band storage.
SplineFit::SplineFit(const engine::Basis& basis, const std::vector<double>& x)
    : L(fitLevel(basis, x))
    , n((1 << L) + basis.m() - 1)
    , N(int(x.size()))
    , h((basis.parameters().b - basis.parameters().a) / (1 << L))
    , place(placesByPosition({basis, L}, x, n))
{
    const Mesh mesh {basis, L};
    const int q = std::min(mesh.m, N);
    const std::vector<double> w = differenceWeights(q);
    // The non-zero B-splines at each sample, normalised: [i m + k - first].
    std::vector<double> values(std::size_t(N) * mesh.m, 0.0);
    for (int i = 0; i < N; ++i) {
        const auto [first, last] = mesh.nonZero(x[i]);
        for (int k = std::max(first, 1 - mesh.m); k <= std::min(last, mesh.intervals - 1); ++k)
            values[std::size_t(i) * mesh.m + k - first] = basis.splineValue(L, k, x[i]) / h;
    }
    // visit(row, column, value) for every entry, in the natural numbering; twice, so that the
    // O(N m^2) entries need no memory of their own.
    auto forEachEntry = [&](auto visit) {
        for (int j = 0; j + q < n; ++j)
            for (int r = 0; r <= q; ++r)
                for (int c = 0; c <= q; ++c)
                    visit(j + r, j + c, w[r] * w[c]);
        for (int i = 0; i < N; ++i) {
            const int first = mesh.nonZero(x[i]).first;
            for (int k = std::max(first, 1 - mesh.m); k < first + mesh.m && k < mesh.intervals;
                 ++k) {
                const double value = values[std::size_t(i) * mesh.m + k - first];
                visit(n + i, k + mesh.m - 1, value);
                visit(k + mesh.m - 1, n + i, value);
            }
        }
    };
    int kl = 0, ku = 0;
    forEachEntry([&](int row, int column, double) {
        kl = std::max(kl, place[row] - place[column]);
        ku = std::max(ku, place[column] - place[row]);
    });
    const int ldab = 2 * kl + ku + 1;
    std::vector<double> band(std::size_t(ldab) * (n + N), 0.0);
    forEachEntry([&](int row, int column, double value) {
        band[kl + ku + place[row] - place[column] + std::size_t(place[column]) * ldab] += value;
    });
    try {
        factors = engine::BandLU(n + N, kl, ku, std::move(band));
    } catch (const engine::NumericalError&) {
        noSpline(basis, "отсчёты слишком близки друг к другу");
    }
}

// The right-hand side y / h on the samples' rows, 0 on the coefficients' (every place once).
template <std::size_t G>
void SplineFit::solveInterleaved(const double* y, double* s, double* work) const
{
    for (int u = 0; u < n; ++u)
        std::fill_n(work + std::size_t(place[u]) * G, G, 0.0);
    for (int i = 0; i < N; ++i)
        for (std::size_t g = 0; g < G; ++g)
            work[std::size_t(place[n + i]) * G + g] = y[std::size_t(i) * G + g] / h;
    if constexpr (G == 1)
        factors.solve(work);
    else
        factors.solveLanes(work);
    for (int u = 0; u < n; ++u)
        std::copy_n(work + std::size_t(place[u]) * G, G, s + std::size_t(u) * G);
}

void SplineFit::solve(const double* y, double* s, double* work) const
{
    solveInterleaved<1>(y, s, work);
}

void SplineFit::solveLanes(const double* y, double* s, double* work) const
{
    solveInterleaved<engine::BandLU::lanes>(y, s, work);
}

LevelSpline interpolatingSpline(const engine::Basis& basis, const SampledData& samples)
{
    const SplineFit fit(basis, samples.x);
    std::vector<double> s(fit.coefficientCount()), work(fit.workSize());
    fit.solve(samples.y.data(), s.data(), work.data());
    checkResiduals({basis, fit.level()}, samples, s);
    return {fit.level(), std::move(s)};
}

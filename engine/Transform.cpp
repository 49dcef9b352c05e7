#include "engine/Transform.h"

#include "engine/BSpline.h"
#include "engine/Banded.h"
#include "engine/Errors.h"

#include <algorithm>
#include <cmath>

namespace engine {

namespace {

    // One column of [P_L | Q_L]: N_(L-1,index) or psi_(L,index) over the B-splines of level L.
    struct Column
    {
        SplineRow row;
        int index;
        bool wavelet;
        int centre() const { return row.first + row.last(); } // twice the centre of its keys
    };

    // visit(j, column) for the columns of level L by position: P and Q columns each come in
    // increasing order of their centres, and merging them (P first on ties) keeps every column
    // near the diagonal.
    template <class Visit> void forEachColumn(const Basis& basis, int L, Visit visit)
    {
        const int m = basis.m(), lastScaling = waveletCount(L) - 1,
                  lastWavelet = waveletCount(L) - m;
        int k = 1 - m, p = 1 - m, j = 0;
        while (k <= lastScaling || p <= lastWavelet) {
            const Column scaling {basis.twoScale(L, std::min(k, lastScaling)), k, false};
            const Column wavelet {basis.wavelet(L, std::min(p, lastWavelet)), p, true};
            const bool next
                = p > lastWavelet || (k <= lastScaling && !(wavelet.centre() < scaling.centre()));
            visit(j++, next ? scaling : wavelet);
            ++(next ? k : p);
        }
    }

    // [P_L | Q_L] with the columns in that order; row k + m - 1 is the B-spline N_(L,k).
    void fillLevelMatrix(BandMatrix& matrix, const Basis& basis, int L)
    {
        const int m = basis.m();
        int kl = 0, ku = 0;
        forEachColumn(basis, L, [&](int j, const Column& column) {
            kl = std::max(kl, column.row.last() + m - 1 - j);
            ku = std::max(ku, j - (column.row.first + m - 1));
        });
        matrix.reset(int(scalingIndices(m, L).size()), kl, ku);
        forEachColumn(basis, L, [&](int j, const Column& column) {
            for (std::size_t i = 0; i < column.row.values.size(); ++i)
                matrix(column.row.first + int(i) + m - 1, j) = column.row.values[i];
        });
    }

} // namespace

Transform::Transform(const BasisParameters& parameters)
    : basis_(parameters)
{
    const MeshQuadrature& mesh = basis_.quadrature();
    const int m = basis_.m();
    const std::vector<double> x = mesh.points(0);
    pattern.resize(x.size() * m);
    for (std::size_t q = 0; q < x.size(); ++q)
        for (int j = 0; j < m; ++j)
            pattern[q * m + j] = basis_.splineValue(basis_.finestLevel(), -j, x[q]);
}

std::vector<double> Transform::samplePoints() const
{
    const BasisParameters& p = basis_.parameters();
    const double h = basis_.quadrature().spacing();
    std::vector<double> x(basis_.quadrature().intervals());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = p.a + i * h;
    return x;
}

// Per interval, S = S + w_q (f(x_q) N(x_q)), added to the product of each of its m B-splines
// in increasing interval order: the scalar product's order of summation.
std::vector<double> Transform::finestProducts(const std::function<double(double)>& f) const
{
    const MeshQuadrature& mesh = basis_.quadrature();
    const int m = basis_.m();
    const std::vector<double>& w = mesh.weights();
    const std::size_t n = w.size();
    std::vector<double> products(mesh.intervals() + m - 1, 0.0);
    std::vector<double> x(n), fx(n);
    for (int i = 0; i < mesh.intervals(); ++i) {
        mesh.points(i, x.data());
        for (std::size_t q = 0; q < n; ++q) {
            fx[q] = f(x[q]);
            if (!std::isfinite(fx[q]))
                throw NotFiniteError(x[q]);
        }
        for (int j = 0; j < m; ++j) {
            double S = 0.0;
            for (std::size_t q = 0; q < n; ++q)
                S = S + w[q] * (fx[q] * pattern[q * m + j]);
            products[i - j + m - 1] += S;
        }
    }
    return products;
}

// G_J by intervals: interval i adds block[j][j'] = sum over q of w_q N_(J,i-j) N_(J,i-j') to
// the entry (i-j, i-j').
std::vector<double> Transform::finestProjection(std::vector<double> products)
{
    const MeshQuadrature& mesh = basis_.quadrature();
    const int m = basis_.m();
    const std::vector<double>& w = mesh.weights();
    std::vector<double> block(m * m, 0.0);
    for (int j = 0; j < m; ++j)
        for (int jj = 0; jj < m; ++jj)
            for (std::size_t q = 0; q < w.size(); ++q)
                block[j * m + jj] += w[q] * pattern[q * m + j] * pattern[q * m + jj];
    gram.reset(int(products.size()), m - 1);
    for (int i = 0; i < mesh.intervals(); ++i)
        for (int j = 0; j < m; ++j)
            for (int jj = j; jj < m; ++jj)
                gram(i - j + m - 1, i - jj + m - 1) += block[j * m + jj];
    gram.solve(products);
    return products;
}

Coefficients Transform::decompose(std::vector<double> finestSpline)
{
    const int m = basis_.m();
    Coefficients result(m, basis_.coarsestLevel(), basis_.finestLevel());
    std::vector<double> s = std::move(finestSpline);
    for (int L = basis_.finestLevel(); L > basis_.coarsestLevel(); --L) {
        fillLevelMatrix(split, basis_, L);
        split.solve(s);
        std::vector<double> coarser(scalingIndices(m, L - 1).size());
        forEachColumn(basis_, L, [&](int j, const Column& column) { // + 0.0: never -0
            (column.wavelet ? result.wavelet(L, column.index) : coarser[column.index + m - 1])
                = s[j] + 0.0;
        });
        s = std::move(coarser);
    }
    result.d = std::move(s);
    return result;
}

Coefficients Transform::fromProducts(std::vector<double> products)
{
    return decompose(finestProjection(std::move(products)));
}

Coefficients Transform::forward(const std::function<double(double)>& f)
{
    return fromProducts(finestProducts(f));
}

std::vector<double> Transform::compose(const Coefficients& coefficients) const
{
    const int m = basis_.m();
    std::vector<double> s = coefficients.d;
    for (int L = basis_.coarsestLevel() + 1; L <= basis_.finestLevel(); ++L) {
        std::vector<double> finer(scalingIndices(m, L).size(), 0.0);
        auto add = [&](const SplineRow& row, double coefficient) {
            for (std::size_t i = 0; i < row.values.size(); ++i)
                finer[row.first + int(i) + m - 1] += row.values[i] * coefficient;
        };
        for (int k : scalingIndices(m, L - 1))
            add(basis_.twoScale(L, k), s[k + m - 1]);
        const std::span<const double> c = coefficients.level(L);
        for (int p : waveletIndices(m, L))
            add(basis_.wavelet(L, p), c[p + m - 1]);
        s = std::move(finer);
    }
    return s;
}

// The B-splines non-zero at x are those of the interval i = floor((x - a)/h) and the m - 1
// before it, among those that meet [a, b].
std::vector<double> Transform::splineValues(
    std::span<const double> spline, std::span<const double> x) const
{
    const int m = basis_.m(), N = basis_.quadrature().intervals();
    const double a = basis_.parameters().a, h = basis_.quadrature().spacing();
    std::vector<double> values(x.size());
    for (std::size_t q = 0; q < x.size(); ++q) {
        const double t = std::clamp((x[q] - a) / h, -1.0 * m, 1.0 * N); // NaN stays NaN
        const int i = std::isnan(t) ? N + m : int(std::floor(t));
        double sum = 0.0;
        for (int k = std::max(i - m + 1, 1 - m); k <= std::min(i, N - 1); ++k)
            sum += spline[k + m - 1] * basis_.splineValue(basis_.finestLevel(), k, x[q]);
        values[q] = sum;
    }
    return values;
}

std::vector<double> Transform::meshValues(std::span<const double> spline, int S) const
{
    const int m = basis_.m(), N = basis_.quadrature().intervals(), J = basis_.finestLevel();
    const double a = basis_.parameters().a, h = basis_.quadrature().spacing();
    std::vector<double> value(S * m); // [s m + j]: N_(J,-j) at a + s h/S
    for (int s = 0; s < S; ++s)
        for (int j = 0; j < m; ++j)
            value[s * m + j] = basis_.splineValue(J, -j, a + s * h / S);
    std::vector<double> values(std::size_t(N) * S + 1);
    for (int i = 0; i <= N; ++i)
        for (int s = 0; s < (i < N ? S : 1); ++s) {
            double sum = 0.0;
            for (int k = std::max(i - m + 1, 1 - m); k <= std::min(i, N - 1); ++k)
                sum += spline[k + m - 1] * value[s * m + i - k];
            values[std::size_t(i) * S + s] = sum;
        }
    return values;
}

std::vector<double> Transform::inverse(
    const Coefficients& coefficients, std::span<const double> x) const
{
    return splineValues(compose(coefficients), x);
}

} // namespace engine

#include "engine/Transform.h"

#include "engine/BSpline.h"
#include "engine/Errors.h"
#include "engine/Norms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

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

    // [P_L | Q_L] with the columns in that order; row k + m - 1 is the B-spline N_(L,k). The
    // unknown of column j goes to s_(L-1) or c_L as split() lays them out.
    BandLU::Columns levelColumns(const Basis& basis, int L)
    {
        return [&basis, L](const std::function<void(int, const BandColumn&)>& visit) {
            const int m = basis.m(), coarser = int(scalingIndices(m, L - 1).size());
            forEachColumn(basis, L, [&](int j, const Column& column) {
                visit(j,
                    {column.row.first + m - 1, column.row.values,
                        column.index + m - 1 + (column.wavelet ? coarser : 0)});
            });
        };
    }

    // Calls step(in, out) for each vector of v: `in` holds its n values contiguously (the vector
    // itself when along is 1, else a copy) and may be overwritten; the n values that step puts
    // in `out` replace the vector's. The buffers are kept per thread from one call to the next:
    // fresh pages for a level of millions of values would cost more than the step. O(count n).
    template <class Step> void eachVector(Strided v, std::size_t n, Step step)
    {
        thread_local std::vector<double> buffers;
        const std::size_t size = v.along == 1 ? n : 2 * n;
        buffers.resize(std::max(buffers.size(), size));
        double *out = buffers.data(), *copy = out + n;
        for (std::size_t r = 0; r < v.count; ++r) {
            double* base = v.data + std::ptrdiff_t(r) * v.between;
            if (v.along != 1)
                for (std::size_t i = 0; i < n; ++i)
                    copy[i] = base[std::ptrdiff_t(i) * v.along];
            step(v.along == 1 ? base : copy, out);
            for (std::size_t i = 0; i < n; ++i)
                base[std::ptrdiff_t(i) * v.along] = out[i];
        }
    }

    // Calls step(in, out) for the vectors of v in groups of BandLU::lanes: `in` holds their n
    // values interleaved (value i of vector g at [i lanes + g]; the vectors past the last are
    // 0) and may be overwritten; the values step puts in `out`, interleaved alike, replace the
    // vectors'. A group of neighbouring columns of an array reads and writes whole cache lines.
    // The buffers are kept per thread, as eachVector's. O(count n).
    template <class Step> void eachGroup(Strided v, std::size_t n, Step step)
    {
        constexpr std::size_t G = BandLU::lanes;
        thread_local std::vector<double> buffers;
        buffers.resize(std::max(buffers.size(), 2 * G * n));
        double *in = buffers.data(), *out = in + G * n;
        for (std::size_t r0 = 0; r0 < v.count; r0 += G) {
            const std::size_t count = std::min(G, v.count - r0);
            auto at = [&](std::size_t g, std::size_t i) -> double& {
                return v.data[std::ptrdiff_t(r0 + g) * v.between + std::ptrdiff_t(i) * v.along];
            };
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t g = 0; g < G; ++g)
                    in[i * G + g] = g < count ? at(g, i) : 0.0;
            step(in, out);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t g = 0; g < count; ++g)
                    at(g, i) = out[i * G + g];
        }
    }

    // out[2c + i] += row[i] coefficient[c] for the columns c = 0 .. count-1 in turn: the rows of
    // a level that are the whole two-scale relation or the whole central wavelet, two rows
    // apart, with their lengths known to the compiler for the orders there are.
    template <int Length>
    void addShiftedRows(double* out, const double* row, const double* coefficient, int count)
    {
        for (int c = 0; c < count; ++c, out += 2)
            for (int i = 0; i < Length; ++i)
                out[i] += row[i] * coefficient[c];
    }
    void addShiftedRows(
        double* out, std::span<const double> row, const double* coefficient, int count)
    {
        switch (row.size()) {
        case 3: // m + 1 for m = 2, 3, 4
            return addShiftedRows<3>(out, row.data(), coefficient, count);
        case 4:
            return addShiftedRows<4>(out, row.data(), coefficient, count);
        case 5: // also 3m - 1 for m = 2
            return addShiftedRows<5>(out, row.data(), coefficient, count);
        case 8:
            return addShiftedRows<8>(out, row.data(), coefficient, count);
        case 11:
            return addShiftedRows<11>(out, row.data(), coefficient, count);
        }
        for (int c = 0; c < count; ++c, out += 2)
            for (std::size_t i = 0; i < row.size(); ++i)
                out[i] += row[i] * coefficient[c];
    }

    // The first and the last index whose row is all of `whole`, uncut; they lie between the
    // cut or boundary rows at the two ends, so a few probes from each end find them.
    template <class RowOf>
    std::pair<int, int> wholeRows(Indices indices, RowOf rowOf, const std::vector<double>& whole)
    {
        auto isWhole = [&](int i) {
            const SplineRow row = rowOf(i);
            return row.values.data() == whole.data() && row.values.size() == whole.size();
        };
        int first = indices.front(), last = indices.back();
        while (first <= last && !isWhole(first))
            ++first;
        while (last >= first && !isWhole(last))
            --last;
        return {first, last};
    }

    // The quadrature points of this many intervals go to f at a time.
    constexpr int intervalsPerBatch = 4096;

} // namespace

BatchFunction pointwise(std::function<double(double)> f)
{
    return [f = std::move(f)](std::span<const double> x, std::span<double> fx) {
        for (std::size_t i = 0; i < x.size(); ++i)
            fx[i] = f(x[i]);
    };
}

// The Gram matrix by intervals: interval i adds block[j][j'] = sum over q of w_q N_(J,i-j)
// N_(J,i-j') to the entry (i-j, i-j'), alike on every interval.
Transform::Transform(const BasisParameters& parameters)
    : basis_(parameters)
    , norms(engine::basisNorms(basis_))
{
    const MeshQuadrature& mesh = basis_.quadrature();
    const int m = basis_.m();
    const std::vector<double> x = mesh.points(0);
    pattern.resize(x.size() * m);
    for (std::size_t q = 0; q < x.size(); ++q)
        for (int j = 0; j < m; ++j)
            pattern[q * m + j] = basis_.splineValue(basis_.finestLevel(), -j, x[q]);
    const std::vector<double>& w = mesh.weights();
    std::vector<double> block(m * m, 0.0);
    for (int j = 0; j < m; ++j)
        for (int jj = 0; jj < m; ++jj)
            for (std::size_t q = 0; q < w.size(); ++q)
                block[j * m + jj] += w[q] * pattern[q * m + j] * pattern[q * m + jj];
    gram = GramCholesky(mesh.intervals(), m - 1, block);
    for (int L : waveletLevels(basis_.coarsestLevel(), basis_.finestLevel()))
        levels.emplace_back(int(scalingIndices(m, L).size()), levelColumns(basis_, L));
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
// in increasing interval order: the scalar product's order of summation. Where an interval's
// first point is the previous one's last to the bit (the default rule's points include both
// ends), f is called there once and its value serves both.
std::vector<double> Transform::finestProducts(const BatchFunction& f) const
{
    const MeshQuadrature& mesh = basis_.quadrature();
    const int m = basis_.m(), N = mesh.intervals();
    const std::vector<double>& w = mesh.weights();
    const std::size_t n = w.size();
    std::vector<double> products(N + m - 1, 0.0);
    std::vector<double> x(std::min(N, intervalsPerBatch) * n), fx(x.size());
    std::vector<std::size_t> start(std::min(N, intervalsPerBatch)); // of each interval's points
    for (int first = 0; first < N; first += intervalsPerBatch) {
        const int count = std::min(N - first, intervalsPerBatch);
        std::size_t size = 0;
        for (int i = 0; i < count; ++i) {
            double* points = x.data() + size;
            mesh.points(first + i, points);
            const bool shared = i > 0
                && std::bit_cast<std::uint64_t>(points[0])
                    == std::bit_cast<std::uint64_t>(points[-1]);
            if (shared)
                std::copy(points + 1, points + n, points);
            start[i] = size - shared;
            size += n - shared;
        }
        f(std::span(x).first(size), std::span(fx).first(size));
        for (std::size_t q = 0; q < size; ++q)
            if (!std::isfinite(fx[q]))
                throw NotFiniteError(x[q]);
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < m; ++j) {
                double S = 0.0;
                for (std::size_t q = 0; q < n; ++q)
                    S = S + w[q] * (fx[start[i] + q] * pattern[q * m + j]);
                products[first + i - j + m - 1] += S;
            }
    }
    return products;
}

const BandLU& Transform::level(int L) const
{
    return levels.at(L - basis_.coarsestLevel() - 1);
}

// Each vector solved with the level's factors, then its unknowns put in place: + 0.0, never -0.
// Many vectors are solved a group at a time, each to the same bits as alone.
void Transform::split(int L, Strided v) const
{
    const BandLU& factors = level(L);
    const int n = factors.order();
    auto place = [&](const double* in, double* out, std::size_t G) {
        for (int j = 0; j < n; ++j)
            for (std::size_t g = 0; g < G; ++g)
                out[std::size_t(factors.place(j)) * G + g] = in[std::size_t(j) * G + g] + 0.0;
    };
    if (v.count == 1)
        eachVector(v, n, [&](double* in, double* out) {
            factors.solve(in);
            place(in, out, 1);
        });
    else
        eachGroup(v, n, [&](double* in, double* out) {
            factors.solveLanes(in);
            place(in, out, BandLU::lanes);
        });
}

// s_L = P_L s_(L-1) + Q_L c_L: each entry from 0.0, the scaling columns in ascending k, then
// the wavelet columns in ascending p; the many whole rows between the ends at once.
void Transform::merge(int L, Strided v) const
{
    const int m = basis_.m(), n = level(L).order(), coarser = int(scalingIndices(m, L - 1).size());
    auto twoScale = [&](int k) { return basis_.twoScale(L, k); };
    auto wavelet = [&](int p) { return basis_.wavelet(L, p); };
    const auto [k0, k1] = wholeRows(scalingIndices(m, L - 1), twoScale, basis_.betta());
    const auto [p0, p1] = wholeRows(waveletIndices(m, L), wavelet, basis_.centralWavelet());
    eachVector(v, n, [&](const double* in, double* out) {
        std::fill_n(out, n, 0.0);
        auto add = [&](auto rowOf, Indices indices, int whole0, int whole1, const double* c) {
            for (int i = indices.front(); i <= indices.back(); ++i) {
                const SplineRow row = rowOf(i);
                if (i == whole0 && whole0 <= whole1) {
                    addShiftedRows(out + row.first + m - 1, row.values, c + i, whole1 - i + 1);
                    i = whole1;
                } else
                    for (std::size_t j = 0; j < row.values.size(); ++j)
                        out[row.first + m - 1 + int(j)] += row.values[j] * c[i];
            }
        };
        add(twoScale, scalingIndices(m, L - 1), k0, k1, in + m - 1);
        add(wavelet, waveletIndices(m, L), p0, p1, in + coarser + m - 1);
    });
}

Coefficients Transform::decompose(std::vector<double> s, int level) const
{
    const int m = basis_.m();
    Coefficients result(m, basis_.coarsestLevel(), basis_.finestLevel());
    for (int L = level; L > basis_.coarsestLevel(); --L) {
        split(L, {s.data()});
        const std::size_t coarser = scalingIndices(m, L - 1).size();
        std::ranges::copy(std::span(s).subspan(coarser), result.level(L).begin());
        s.resize(coarser);
    }
    result.d = std::move(s);
    return result;
}

Coefficients Transform::fromProducts(std::vector<double> products) const
{
    gram.solve(products.data());
    return decompose(std::move(products), basis_.finestLevel());
}

Coefficients Transform::forward(const BatchFunction& f) const
{
    return fromProducts(finestProducts(f));
}

std::vector<double> Transform::compose(const Coefficients& coefficients) const
{
    const int m = basis_.m();
    std::vector<double> s = coefficients.d;
    s.reserve(scalingIndices(m, basis_.finestLevel()).size());
    for (int L : waveletLevels(basis_.coarsestLevel(), basis_.finestLevel())) {
        const std::span<const double> c = coefficients.level(L);
        s.insert(s.end(), c.begin(), c.end());
        merge(L, {s.data()});
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

#include "engine/Transform.h"

#include "engine/LevelMerge.h"
#include "engine/Norms.h"

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

    // At the point s of every interval i = 0 .. N-1 the sum of spline[k + m - 1] N_(J,k) over
    // k = i-m+1 .. i, in increasing k, from N_(J,-j) at that point of interval 0 (value[j]): every
    // interval the same M products, eight intervals side by side so that the compiler takes them
    // as one vector, each summed in its own order.
    template <int M>
    void meshSums(const double* spline, const double* value, int N, int S, double* values)
    {
        constexpr int lanes = 8;
        int i = 0;
        for (; i + lanes <= N; i += lanes) {
            double sum[lanes] = {};
            for (int j = M - 1; j >= 0; --j)
                for (int l = 0; l < lanes; ++l)
                    sum[l] += spline[i + l - j + M - 1] * value[j];
            for (int l = 0; l < lanes; ++l)
                values[std::size_t(i + l) * S] = sum[l];
        }
        for (; i < N; ++i) {
            double sum = 0.0;
            for (int j = M - 1; j >= 0; --j)
                sum += spline[i - j + M - 1] * value[j];
            values[std::size_t(i) * S] = sum;
        }
    }

    // A buffer of this thread's, kept from one call to the next: fresh pages for millions of
    // values cost more than the solves. A transform started while it is lent out (f calling
    // forward again) gets one of its own.
    class KeptBuffer
    {
    public:
        KeptBuffer()
            : lent(!lentOut)
        {
            lentOut = true;
        }
        ~KeptBuffer()
        {
            if (lent)
                lentOut = false;
        }
        KeptBuffer(const KeptBuffer&) = delete;
        KeptBuffer& operator=(const KeptBuffer&) = delete;

        std::vector<double>& values() { return lent ? kept : own; }

    private:
        static thread_local bool lentOut;
        static thread_local std::vector<double> kept;
        const bool lent;
        std::vector<double> own;
    };
    thread_local bool KeptBuffer::lentOut = false;
    thread_local std::vector<double> KeptBuffer::kept;

} // namespace

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

void Transform::merge(int L, Strided v) const
{
    const int n = level(L).order(), coarser = int(scalingIndices(basis_.m(), L - 1).size());
    eachVector(
        v, n, [&](const double* in, double* out) { mergeLevel(basis_, L, in, in + coarser, out); });
}

std::vector<double> Transform::finestProducts(const BatchFunction& f) const
{
    std::vector<double> products(basis_.quadrature().intervals() + basis_.m() - 1, 0.0);
    addFinestProducts(basis_.quadrature(), pattern, f, products.data());
    return products;
}

// Each level solved in s, then its unknowns put in place: the scaling ones to the front of s (an
// unknown's place is never after its own, so none is overwritten before it is read), the
// wavelets straight into the result.
Coefficients Transform::decomposed(double* s, int finest) const
{
    const int m = basis_.m(), J0 = basis_.coarsestLevel();
    Coefficients result(m, J0, basis_.finestLevel());
    for (int L = finest; L > J0; --L) {
        const BandLU& factors = level(L);
        factors.solve(s);
        const int coarser = int(scalingIndices(m, L - 1).size());
        const std::span<double> wavelets = result.level(L);
        for (int j = 0; j < factors.order(); ++j) {
            const int place = factors.place(j);
            (place < coarser ? s[place] : wavelets[place - coarser]) = s[j] + 0.0;
        }
    }
    std::copy_n(s, result.d.size(), result.d.begin());
    return result;
}

Coefficients Transform::decompose(std::vector<double> s, int L) const
{
    return decomposed(s.data(), L);
}

Coefficients Transform::fromProducts(std::span<const double> products) const
{
    KeptBuffer buffer;
    std::vector<double>& s = buffer.values();
    s.assign(products.begin(), products.end());
    gram.solve(s.data());
    return decomposed(s.data(), basis_.finestLevel());
}

Coefficients Transform::forward(const BatchFunction& f) const
{
    KeptBuffer buffer;
    std::vector<double>& products = buffer.values();
    products.assign(basis_.quadrature().intervals() + basis_.m() - 1, 0.0);
    addFinestProducts(basis_.quadrature(), pattern, f, products.data());
    gram.solve(products.data());
    return decomposed(products.data(), basis_.finestLevel());
}

// Level by level upwards, each merged from the level below into the other of two buffers, so
// that the finest lands in s.
void Transform::composeInto(const Coefficients& coefficients, double* s) const
{
    const int m = basis_.m(), J0 = basis_.coarsestLevel(), J = basis_.finestLevel();
    thread_local std::vector<double> other;
    other.resize(std::max(other.size(), std::size_t(scalingIndices(m, J - 1).size())));
    const double* coarse = coefficients.d.data();
    for (int L : waveletLevels(J0, J)) {
        double* out = (J - L) % 2 == 0 ? s : other.data();
        mergeLevel(basis_, L, coarse, coefficients.level(L).data(), out);
        coarse = out;
    }
    if (J == J0)
        std::ranges::copy(coefficients.d, s);
}

std::vector<double> Transform::compose(const Coefficients& coefficients) const
{
    std::vector<double> s(scalingIndices(basis_.m(), basis_.finestLevel()).size());
    composeInto(coefficients, s.data());
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
    for (int s = 0; s < S; ++s)
        switch (m) {
        case 2:
            meshSums<2>(spline.data(), value.data() + s * m, N, S, values.data() + s);
            break;
        case 3:
            meshSums<3>(spline.data(), value.data() + s * m, N, S, values.data() + s);
            break;
        default:
            meshSums<4>(spline.data(), value.data() + s * m, N, S, values.data() + s);
        }
    // At b the B-splines k = N-m+1 .. N-1, which take there the values N_(J,k-N) takes at a.
    double sum = 0.0;
    for (int k = N - m + 1; k <= N - 1; ++k)
        sum += spline[k + m - 1] * value[N - k];
    values[std::size_t(N) * S] = sum;
    return values;
}

std::vector<double> Transform::meshValues(const Coefficients& coefficients, int S) const
{
    thread_local std::vector<double> spline;
    spline.resize(scalingIndices(basis_.m(), basis_.finestLevel()).size());
    composeInto(coefficients, spline.data());
    return meshValues(spline, S);
}

std::vector<double> Transform::inverse(
    const Coefficients& coefficients, std::span<const double> x) const
{
    return splineValues(compose(coefficients), x);
}

} // namespace engine

#include "engine/Basis.h"

#include "engine/BSpline.h"
#include "engine/Errors.h"

#include <cmath>

namespace engine {

int smallestCoarsestLevel(int m, Rule rule)
{
    if (rule == Rule::Default)
        return int(std::floor(std::log(2.0 * m - 1) / std::log(2.0)));
    int J0 = 1;
    while ((1 << J0) < 2 * (m - 1))
        ++J0;
    return J0;
}

int smallestFinestLevel(int m, int J0)
{
    int J = J0 + 1;
    while ((1 << J) < 4 * m - 2)
        ++J;
    return J;
}

int initialFinestLevel(int m)
{
    return m + 1;
}

void checkParameters(const BasisParameters& parameters)
{
    const auto [m, J, J0, rule, a, b] = parameters;
    using Kind = ParameterError::Kind;
    auto fail = [&](Kind kind, int lowest, int highest) {
        throw ParameterError(kind, m, J, J0, rule, lowest, highest);
    };
    if (m < 2 || m > 4)
        fail(Kind::Order, 2, 4);
    if (!(a < b))
        fail(Kind::Interval, 0, 0);
    const int lowest = smallestCoarsestLevel(m, rule);
    if (J0 < lowest)
        fail(Kind::CoarsestLevel, lowest, J - 1);
    const int finest = smallestFinestLevel(m, J0);
    if (J < finest || J > largestFinestLevel)
        fail(Kind::FinestLevel, finest, largestFinestLevel);
}

Basis::Basis(const BasisParameters& parameters)
    : p((checkParameters(parameters), parameters))
    , mesh(p.m, p.J, p.a, p.b, p.rule)
{
    const int m = p.m, J = p.J;
    computeBetta();
    computeCentral();
    for (int r : waveletIndices(m, J)) {
        switch (::waveletClass(r, m, J)) {
        case WaveletClass::LeftBoundary:
            leftPartners.push_back(computePartners(r));
            break;
        case WaveletClass::RightBoundary:
            rightPartners.push_back(computePartners(r));
            break;
        case WaveletClass::Central:
            break;
        }
    }
    for (int r : waveletIndices(m, J))
        if (::waveletClass(r, m, J) != WaveletClass::Central)
            (r < 0 ? leftRows : rightRows).push_back(boundaryRow(r));
}

double Basis::spacing(int L) const
{
    return (p.b - p.a) / pow2(L);
}

auto Basis::fine(int k) const
{
    return [this, k](double x) { return bspline(p.a, p.m - 1, k, x, mesh.spacing()); };
}

auto Basis::half(int l) const
{
    return [this, l](double x) { return bspline(p.a, p.m - 1, l, x, 2 * mesh.spacing()); };
}

// Summed from 0.0 in ascending r.
auto Basis::translate(int c) const
{
    return [this, c](double x) {
        double sum = 0.0;
        for (int r : translateKeys(c, p.m))
            sum += central[r - 2 * c] * fine(r)(x);
        return sum;
    };
}

template <class F, class G>
double Basis::product(Support u, Support v, const F& f, const G& g) const
{
    return mesh.sum(std::max(u.first, v.first) - 1, std::min(u.last, v.last) + 1, [&](double x) {
        const double left = f(x);
        return left * g(x);
    });
}

std::vector<double> Basis::solve(const DenseMatrix& matrix, const std::vector<double>& rhs) const
{
    return p.rule == Rule::Default ? solveFixedPivots(matrix, rhs)
                                   : solvePartialPivoting(matrix, rhs);
}

// C_0 = sum over j = 0 .. m of betta[j] B_j: the Gram system <B_j, B_i> betta = <C_0, B_i>.
void Basis::computeBetta()
{
    const int m = p.m, n = m + 1;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            matrix[i][j] = product(fineSupport(j), fineSupport(i), fine(j), fine(i));
        rhs[i] = product(halfSupport(0), fineSupport(i), half(0), fine(i));
    }
    betta_ = solve(matrix, rhs);
}

// The central wavelet, orthogonal to every coarse B-spline C_l it meets (l = 1-m .. 2m-2),
// normalised so that its last coefficient alpha[0][3m-2] is 1:
//   sum over k = 0 .. 3m-3 of <B_k, C_l> alpha[0][k] = -<B_(3m-2), C_l>.
void Basis::computeCentral()
{
    const int m = p.m, n = 3 * m - 2;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int row = 0; row < n; ++row) {
        const int l = 1 - m + row;
        for (int k = 0; k < n; ++k)
            matrix[row][k] = product(fineSupport(k), halfSupport(l), fine(k), half(l));
        rhs[row] = -product(fineSupport(n), halfSupport(l), fine(n), half(l));
    }
    central = solve(matrix, rhs);
    central.push_back(1.0);
}

// Boundary wavelet r of level J is the translate psi_r less sum over its partners c of
// alpha[r][c] psi_c, orthogonal on [a, b] to the coarse B-splines l that cross the same end:
//   sum over c of <psi_c, C_l> alpha[r][c] = <psi_r, C_l>.
std::vector<double> Basis::computePartners(int r) const
{
    const Indices coarse = crossingSplines(r, p.m, p.J);
    const Indices partner = partners(r, p.m, p.J);
    const int n = p.m - 1;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int row = 0; row < n; ++row) {
        const int l = coarse[row];
        for (int col = 0; col < n; ++col)
            matrix[row][col] = product(
                translateSupport(partner[col]), halfSupport(l), translate(partner[col]), half(l));
        rhs[row] = product(translateSupport(r), halfSupport(l), translate(r), half(l));
    }
    return solve(matrix, rhs);
}

// alphaW[r][k] = alpha[0][k-2r] - sum over the partners c of alpha[r][c] alpha[0][k-2c], for
// the keys k of boundary wavelet r of level J; alpha[0][j] is 0 outside 0 .. 3m-2.
std::vector<double> Basis::boundaryRow(int r) const
{
    auto pattern = [this](int j) { return 0 <= j && j < int(central.size()) ? central[j] : 0.0; };
    const std::vector<double>& weights
        = r < 0 ? leftPartners[r + p.m - 1] : rightPartners[r - (waveletCount(p.J) - 2 * p.m + 2)];
    const Indices partner = partners(r, p.m, p.J);
    std::vector<double> row;
    for (int k : waveletKeys(r, p.m, p.J)) {
        double s = 0;
        for (int col = 0; col < p.m - 1; ++col)
            s += weights[col] * pattern(k - 2 * partner[col]);
        row.push_back(pattern(k - 2 * r) - s);
    }
    return row;
}

const std::vector<double>& Basis::partnerWeights(int r) const
{
    return r < 0 ? leftPartners.at(r + p.m - 1)
                 : rightPartners.at(r - (waveletCount(p.J) - 2 * p.m + 2));
}

WaveletClass Basis::waveletClass(int L, int index) const
{
    return ::waveletClass(index, p.m, p.rule == Rule::Exact ? L : p.J);
}

SplineRow Basis::cut(int L, int first, const std::vector<double>& values) const
{
    const int lo = std::max(first, 1 - p.m);
    const int hi = std::min(first + int(values.size()) - 1, (1 << L) - 1);
    return {lo, std::span<const double>(values).subspan(lo - first, std::max(0, hi - lo + 1))};
}

SplineRow Basis::wavelet(int L, int index) const
{
    switch (waveletClass(L, index)) {
    case WaveletClass::LeftBoundary:
        return cut(L, 1 - p.m, leftRows.at(index + p.m - 1));
    case WaveletClass::RightBoundary:
        return cut(L, 2 * index, rightRows.at(index - (waveletCount(L) - 2 * p.m + 2)));
    case WaveletClass::Central:
        break;
    }
    return cut(L, 2 * index, central);
}

SplineRow Basis::twoScale(int L, int k) const
{
    return cut(L, 2 * k, betta_);
}

double Basis::splineValue(int L, int k, double x) const
{
    return bspline(p.a, p.m - 1, k, x, spacing(L));
}

double Basis::waveletValue(int L, int index, double x) const
{
    const SplineRow row = wavelet(L, index);
    const double h = spacing(L);
    double sum = 0.0;
    for (std::size_t j = 0; j < row.values.size(); ++j)
        sum += row.values[j] * bspline(p.a, p.m - 1, row.first + int(j), x, h);
    return sum;
}

} // namespace engine

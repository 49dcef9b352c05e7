#pragma once

#include "engine/DenseSolve.h"
#include "engine/Levels.h"
#include "engine/Quadrature.h"

#include <span>
#include <vector>

namespace engine {

// What a basis is built for: the spline order m (B-splines of degree m - 1), the finest level J
// (2^J mesh intervals of [a, b]), the coarsest level J0, and the rule of the scalar product.
struct BasisParameters
{
    int m = 2;
    int J = 3;
    int J0 = 1;
    Rule rule = Rule::Default;
    double a = 0;
    double b = 1;
};

constexpr int largestFinestLevel = 22;

// The coarsest level that the rule allows. Default: floor(log2(2m - 1)) = 1, 2, 2, the levels
// this program has always used. Exact: the smallest level whose wavelets, 2^J0 of them on level
// J0 + 1, leave room for the m - 1 boundary wavelets of each end: 1, 2, 3 for m = 2, 3, 4.
int smallestCoarsestLevel(int m, Rule rule);
// The finest level holds the central wavelet, which spans 4m - 2 intervals: 2^J >= 4m - 2; and
// it lies above J0.
int smallestFinestLevel(int m, int J0);
// The level that the window starts with for each order: 3, 4, 5.
int initialFinestLevel(int m);
// Throws ParameterError (engine/Errors.h) when m, J, J0 or [a, b] do not make a basis.
void checkParameters(const BasisParameters& parameters);

// The coefficients of one function over the B-splines N_(L,k) of its level: keys first ..
// first + values.size() - 1, all of them B-splines that meet [a, b].
struct SplineRow
{
    int first = 0;
    std::span<const double> values;
    int last() const { return first + int(values.size()) - 1; }
};

// The spline-wavelet basis on [a, b]: the two-scale coefficients betta, the central wavelet,
// the boundary wavelets, and the B-spline coefficients of every wavelet of every level.
//
// All numbers come from the one scalar product on the finest mesh, each summed over the
// intervals where its integrand can be non-zero: the set-up costs O(m^4) products of O(m)
// intervals each, whatever J is. The central and boundary systems are solved with the row
// exchanges fixed before the elimination under the default rule (the numbers it has always
// had) and with partial pivoting under the exact rule, whose systems are partly rounding noise.
//
// Which wavelets a level has: the rows of the finest level J serve on every level L with the
// same keys, cut to the B-splines of level L that meet [a, b]. Under the default rule a wavelet
// takes its class from level J, so the coarser levels have cut-off central wavelets at the right
// end; under the exact rule from its own level, and the right boundary wavelets of level L are
// those of level J moved to level L's right end (index - (H_J - H_L), keys - 2 (H_J - H_L)).
class Basis
{
public:
    explicit Basis(const BasisParameters& parameters);

    const BasisParameters& parameters() const { return p; }
    int m() const { return p.m; }
    int finestLevel() const { return p.J; }
    int coarsestLevel() const { return p.J0; }
    Rule rule() const { return p.rule; }
    const MeshQuadrature& quadrature() const { return mesh; }

    // betta[0 .. m]: N_(L-1,0) = sum of betta[j] N_(L,j).
    const std::vector<double>& betta() const { return betta_; }
    // alpha[0][0 .. 3m-2]: the central wavelet over the B-splines 0 .. 3m-2; the last is 1.
    const std::vector<double>& centralWavelet() const { return central; }
    // alpha[r][c]: the weights of the partners c of boundary wavelet r of level J.
    const std::vector<double>& partnerWeights(int r) const;

    WaveletClass waveletClass(int L, int p) const;
    // Wavelet p of level L, and N_(L-1,k) (two-scale), over the B-splines of level L.
    SplineRow wavelet(int L, int p) const;
    SplineRow twoScale(int L, int k) const;
    // N_(L,k)(x) and psi_(L,p)(x), the latter summed from 0.0 in ascending key.
    double splineValue(int L, int k, double x) const;
    double waveletValue(int L, int p, double x) const;

private:
    // The fine mesh intervals where a function can be non-zero.
    struct Support
    {
        int first, last;
    };
    // B_k = N_(J,k) on the intervals k .. k+m-1, C_l = N_(J-1,l) on 2l .. 2l+2m-1, and the
    // translate G_c of the central wavelet (sum of alpha[0][r - 2c] B_r) on 2c .. 2c+4m-3.
    Support fineSupport(int k) const { return {k, k + p.m - 1}; }
    Support halfSupport(int l) const { return {2 * l, 2 * l + 2 * p.m - 1}; }
    Support translateSupport(int c) const { return {2 * c, 2 * c + 4 * p.m - 3}; }
    auto fine(int k) const;
    auto half(int l) const;
    auto translate(int c) const;
    double spacing(int L) const;
    SplineRow cut(int L, int first, const std::vector<double>& values) const;
    std::vector<double> solve(const DenseMatrix& matrix, const std::vector<double>& rhs) const;
    // The scalar product of f and g (the factors in that order), summed over the intervals where
    // both can be non-zero and one more on each side: a point of the default rule may stray
    // past a knot by a rounding.
    template <class F, class G> double product(Support u, Support v, const F& f, const G& g) const;
    void computeBetta();
    void computeCentral();
    std::vector<double> computePartners(int r) const;
    std::vector<double> boundaryRow(int r) const;

    BasisParameters p;
    MeshQuadrature mesh;
    std::vector<double> betta_;
    std::vector<double> central;
    std::vector<std::vector<double>> leftPartners, rightPartners; // [r - first of its end]
    std::vector<std::vector<double>> leftRows, rightRows; // alphaW of level J, [p - first]
};

} // namespace engine

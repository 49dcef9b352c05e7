#pragma once

#include "data/SampledData.h"
#include "engine/Banded.h"
#include "engine/Basis.h"

#include <vector>

// The spline of V_J through samples: of the splines of a level L <= J through them (A s = y, A
// the collocation matrix of the B-splines N_(L,k)), the one whose coefficients have the least
// sum of squared m-th differences ||D s||^2. On the uniform knots the m-th difference of the
// coefficients is, up to a constant factor, the jump of the (m-1)-th derivative at an inner
// knot, and it is 0 exactly when the spline is a polynomial of degree < m: the criterion asks
// for the spline that is piecewise as little as possible, and samples of a polynomial of degree
// < m give that polynomial. With N < m samples the N-th difference takes its place, and the
// spline is the polynomial of degree N - 1 through them.
//
// L is the coarsest level, from J0 on and at most J, with two mesh intervals or more to a gap
// between samples on average (2^L >= 2 (N - 1)) and B-splines that can go through them; its
// spline is a spline of V_J as well (the two-scale relation), with no wavelets above L. (With
// one interval to a gap, irregular noisy samples leave the spline little room and it swings:
// the samples came back only to some 1e-11 of their size.) On a mesh much finer than the samples the
// criterion could not be met in floating point: the m-th differences of a smooth spline's
// coefficients are of size h^m, below the rounding of the coefficients themselves, and the
// system's condition grows as the (2m)-th power of the mesh intervals between samples.
//
// The minimum is the solution of [D^T D, A^T; A, 0] [s; lambda] = [0; y], nonsingular when
// some B-spline of its own, in increasing order, is non-zero at each sample (Schoenberg-
// Whitney) and the samples determine the polynomials of the null space of D. With the unknowns
// interleaved by position it is banded: one band LU (LAPACK's dgbtrf), O(2^L m^2) <= O(N m^2),
// and one solve with its factors (dgbtrf's operations), O(2^L m), for each set of y at the x.
//
// The samples' x must lie in [a, b] of the basis, strictly increasing. Samples that no spline of
// V_J goes through (more than 2^J + 1 of them, or too many on a few mesh intervals) throw
// DataError, as do samples too close to one another for the spline through them to come out
// within 1e-8 of the largest |y|.
struct LevelSpline
{
    int level = 0;
    std::vector<double> coefficients; // s_L over N_(L,k) at [k + m - 1]
};
LevelSpline interpolatingSpline(const engine::Basis& basis, const SampledData& samples);

// The system above for fixed x, factored once: the spline through any values y at the x is one
// solve, so that many vectors sampled at the same points (the rows of an image) share it.
class SplineFit
{
public:
    // The level and the factors of its system: O(2^L m^2). Throws DataError for x that no
    // spline of V_J goes through (as interpolatingSpline).
    SplineFit(const engine::Basis& basis, const std::vector<double>& x);

    int level() const { return L; }
    int sampleCount() const { return N; }
    // 2^L + m - 1, the coefficients of N_(L,k).
    int coefficientCount() const { return n; }
    // The doubles of scratch space one solve needs.
    std::size_t workSize() const { return std::size_t(n + N); }
    // s[k + m - 1], the coefficients of the spline of level L through y[0 .. N-1] at the x;
    // work holds workSize() doubles. O(2^L m). No check of the residuals.
    void solve(const double* y, double* s, double* work) const;
    // The same for engine::BandLU::lanes vectors at once, interleaved: y[i lanes + g],
    // s[k lanes + g], work of workSize() lanes doubles; each to the bit as solve gives it.
    void solveLanes(const double* y, double* s, double* work) const;

private:
    template <std::size_t G> void solveInterleaved(const double* y, double* s, double* work) const;

    int L, n, N;
    double h; // of level L
    std::vector<int> place; // of unknown u in the system: coefficients u < n, samples n + i
    engine::BandLU factors;
};

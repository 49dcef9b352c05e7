#pragma once

#include "engine/Banded.h"
#include "engine/Basis.h"
#include "engine/Coefficients.h"
#include "engine/FinestProducts.h"

#include <functional>
#include <span>
#include <vector>

namespace engine {

// Many vectors in one array: value i of vector r at data[r between + i along].
struct Strided
{
    double* data = nullptr;
    std::size_t count = 1;
    std::ptrdiff_t along = 1;
    std::ptrdiff_t between = 0;
};

// The fast wavelet transform in the basis of a Basis, N = 2^J mesh intervals. The multilevel
// basis N_(J0,k), psi_(L,p) spans the space V_J of the finest B-splines N_(J,k); the forward
// transform gives the coefficients, in the multilevel basis, of the projection of f on V_J
// under the scalar product of the basis:
//   1. r_k = <f, N_(J,k)> by the quadrature of the scalar product;                 O(N m)
//   2. s_J = G_J^-1 r, G_J the Gram matrix of the finest B-splines, banded;        O(N m)
//   3. for L = J .. J0+1: s_L = P_L s_(L-1) + Q_L c_L, column k of P_L the two-scale
//      relation of N_(L-1,k), column p of Q_L wavelet p of level L; [P_L | Q_L] is square and,
//      its columns interleaved by position, banded: one banded solve per level;   O(N m)
//   4. d = s_J0.
// The inverse runs step 3 upwards and evaluates the finest spline at the points: O(N m).
// G_J and every [P_L | Q_L] depend on the basis alone: they are factored once, when the
// Transform is built (Banded.h: O(m^2) memory each, or O(2^L m) for a short level), and every
// transform only solves with the factors. A Transform does not change after it is built, so
// one may serve several threads at once.

class Transform
{
public:
    // The basis of the parameters (see Basis) and the factors of its systems: O(N m) time.
    // Invalid parameters throw ParameterError.
    explicit Transform(const BasisParameters& parameters);

    const Basis& basis() const { return basis_; }
    // ||N_(J0,k)|| and ||psi_(L,p)|| in L^2, in the layout of the coefficients (engine/Norms.h),
    // taken once with the basis: O(N + (J - J0) m^3).
    const Coefficients& basisNorms() const { return norms; }

    // The points a + i h, i = 0 .. 2^J-1, where the window samples f and its reconstruction.
    std::vector<double> samplePoints() const;
    // r_k, k = 1-m .. 2^J-1, at [k + m - 1]. f is called on the quadrature points of a few
    // thousand intervals at a time; where it is not finite, NotFiniteError names the first such
    // point in the order of the scalar product (interval by interval).            O(N m)
    std::vector<double> finestProducts(const BatchFunction& f) const;
    // The coefficients of the projection whose products with the finest B-splines are r.
    Coefficients fromProducts(std::span<const double> products) const;
    // All of the forward transform.
    Coefficients forward(const BatchFunction& f) const;
    // The multilevel coefficients of a spline of V_L, L = J0 .. J, given by its coefficients
    // over N_(L,k) at [k + m - 1] (step 3 from s_L on, then 4); the wavelet coefficients of the
    // levels above L are 0. For a spline made otherwise than by projection.      O(2^L m)
    Coefficients decompose(std::vector<double> spline, int L) const;

    // One level's step for many vectors at once, in place. split: s_L, the 2^L + m - 1
    // coefficients of N_(L,k) at [k + m - 1], becomes s_(L-1) at [k + m - 1] followed by c_L at
    // [2^(L-1) + m - 1 + p + m - 1] (the same count); merge is its inverse. Levels J0+1 .. J.
    // O(2^L m) per vector.
    void split(int L, Strided v) const;
    void merge(int L, Strided v) const;

    // s_J of the expansion given by the coefficients.                             O(N m)
    std::vector<double> compose(const Coefficients& coefficients) const;
    // sum of spline[k + m - 1] N_(J,k)(x) at each x, from 0.0 in ascending k; 0 away from [a, b].
    std::vector<double> splineValues(
        std::span<const double> spline, std::span<const double> x) const;
    // The expansion at each x.
    std::vector<double> inverse(const Coefficients& coefficients, std::span<const double> x) const;
    // The finest spline at a + (i + s/S) h for i = 0 .. 2^J-1, s = 0 .. S-1, then at b: the
    // same sum as splineValues, from B-spline values taken once for the S points of one
    // interval, which every interval repeats (at the mesh points, s = 0, to the bit). O(N S m).
    std::vector<double> meshValues(std::span<const double> spline, int S) const;
    // The expansion at those points: meshValues of compose, the finest spline held in a buffer
    // of this thread's, kept from one call to the next.                           O(N S m)
    std::vector<double> meshValues(const Coefficients& coefficients, int S) const;

private:
    const BandLU& level(int L) const;
    // decompose of the spline in s, which it overwrites.
    Coefficients decomposed(double* s, int L) const;
    // compose into s, 2^J + m - 1 values.
    void composeInto(const Coefficients& coefficients, double* s) const;

    Basis basis_;
    // On every fine interval i the B-splines N_(J,i-j), j = 0 .. m-1, are the non-zero ones,
    // and they take the same values at the points of every interval: [q m + j] at point q
    // (FinestProducts.h).
    std::vector<double> pattern;
    GramCholesky gram;
    std::vector<BandLU> levels; // [L - J0 - 1]: [P_L | Q_L], columns interleaved
    Coefficients norms;
};

} // namespace engine

#pragma once

#include "engine/Banded.h"
#include "engine/Basis.h"
#include "engine/Coefficients.h"

#include <functional>
#include <span>
#include <vector>

namespace engine {

// The fast wavelet transform in the basis of a Basis, N = 2^J mesh intervals. The multilevel
// basis N_(J0,k), psi_(L,p) spans the space V_J of the finest B-splines N_(J,k); the forward
// transform gives the coefficients, in the multilevel basis, of the projection of f on V_J
// under the scalar product of the basis:
//   1. r_k = <f, N_(J,k)> by the quadrature of the scalar product;                 O(N m)
//   2. s_J = G_J^-1 r, G_J the Gram matrix of the finest B-splines, banded;        O(N m^2)
//   3. for L = J .. J0+1: s_L = P_L s_(L-1) + Q_L c_L, column k of P_L the two-scale
//      relation of N_(L-1,k), column p of Q_L wavelet p of level L; [P_L | Q_L] is square and,
//      its columns interleaved by position, banded: one banded LU per level;       O(N m^2)
//   4. d = s_J0.
// The inverse runs step 3 upwards and evaluates the finest spline at the points: O(N m).
// Memory: O(N m), the largest being the band of level J, kept as a workspace between runs.

class Transform
{
public:
    // The basis of the parameters (see Basis); invalid parameters throw ParameterError.
    explicit Transform(const BasisParameters& parameters);

    const Basis& basis() const { return basis_; }

    // The points a + i h, i = 0 .. 2^J-1, where the window samples f and its reconstruction.
    std::vector<double> samplePoints() const;
    // r_k, k = 1-m .. 2^J-1, at [k + m - 1]. A point where f is not finite throws
    // NotFiniteError.
    std::vector<double> finestProducts(const std::function<double(double)>& f) const;
    // The coefficients of the projection whose products with the finest B-splines are r.
    Coefficients fromProducts(std::vector<double> products);
    // All of the forward transform.
    Coefficients forward(const std::function<double(double)>& f);

    // s_J of the expansion given by the coefficients.
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

private:
    std::vector<double> finestProjection(std::vector<double> products);
    Coefficients decompose(std::vector<double> finestSpline);

    Basis basis_;
    // On every fine interval i the B-splines N_(J,i-j), j = 0 .. m-1, are the non-zero ones,
    // and they take the same values at the points of every interval: [q m + j] at point q.
    std::vector<double> pattern;
    // Workspaces, kept from one run to the next.
    SymmetricBandMatrix gram;
    BandMatrix split;
};

} // namespace engine

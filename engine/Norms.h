#pragma once

#include "engine/Basis.h"
#include "engine/Coefficients.h"

#include <span>
#include <vector>

namespace engine {

// Squared L^2 norms on [a, b] of the splines of level L, sum of s_k N_(L,k): the Gauss rule of
// 2m - 1 nodes on every interval of the level's mesh, which integrates the square of a spline of
// degree m - 1 exactly, whichever rule the basis was built with.
class SplineNorm
{
public:
    SplineNorm(const Basis& basis, int L);

    // ||sum of s[k - first] N_(L,k)||^2 for the keys first .. first + s.size() - 1, summed over
    // the intervals they meet in increasing order. O(m^2) per interval met.
    double squared(int first, std::span<const double> s) const;

private:
    int m, intervals;
    std::vector<double> weights; // [q]: the node's weight times h_L/2
    std::vector<double> pattern; // [q m + j]: N_(L,i-j) at node q of interval i, for every i
};

// The L^2 norm of every function of the multilevel basis, in the layout of its coefficients: d
// holds ||N_(J0,k)||, c holds ||psi_(L,p)||. The translates of the central wavelet of one level
// share one norm; the others are summed over their supports: O(N + (J - J0) m^3).
Coefficients basisNorms(const Basis& basis);

} // namespace engine

#pragma once

#include "engine/Levels.h"

#include <span>
#include <vector>

namespace engine {

// The coefficients of a function in the multilevel basis: the scaling coefficients d_k of
// N_(J0,k), k = 1-m .. 2^J0-1, and the wavelet coefficients c_(L,p) of psi_(L,p), levels
// L = J0+1 .. J, p = 1-m .. 2^(L-1)-m, level after level in one array.
struct Coefficients
{
    Coefficients() = default;
    Coefficients(int m, int J0, int J)
        : m(m)
        , J0(J0)
        , J(J)
        , d(scalingIndices(m, J0).size())
        , c(waveletTotal(J0, J))
    {
    }

    int m = 0, J0 = 0, J = 0;
    std::vector<double> d; // [k + m - 1]
    std::vector<double> c; // [(2^(L-1) - 2^J0) + p + m - 1]

    std::span<double> level(int L) { return std::span(c).subspan(offset(L), waveletCount(L)); }
    std::span<const double> level(int L) const
    {
        return std::span(c).subspan(offset(L), waveletCount(L));
    }
    double& wavelet(int L, int p) { return c[offset(L) + p + m - 1]; }
    double& scaling(int k) { return d[k + m - 1]; }
    double wavelet(int L, int p) const { return c[offset(L) + p + m - 1]; }
    double scaling(int k) const { return d[k + m - 1]; }

private:
    std::size_t offset(int L) const { return std::size_t(waveletCount(L) - (1 << J0)); }
};

} // namespace engine

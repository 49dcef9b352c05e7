#pragma once

#include "engine/Basis.h"

namespace engine {

// s_L = P_L s_(L-1) + Q_L c_L into out, the 2^L + m - 1 coefficients of N_(L,k) at
// [k + m - 1], from coarse (s_(L-1) at [k + m - 1]) and wavelets (c_L at [p + m - 1]), neither
// of which out may overlap. Each entry is summed from 0.0: the scaling columns in ascending k,
// then the wavelet columns in ascending p.
//
// Away from the ends every column is the whole two-scale relation or the whole central wavelet,
// two rows further down than the column before; there each entry is gathered from the
// neighbouring coefficients, many entries side by side, in that same order. The entries that a
// boundary or cut column reaches are summed column by column. O(2^L m).
void mergeLevel(
    const Basis& basis, int L, const double* coarse, const double* wavelets, double* out);

} // namespace engine

#pragma once

#include "engine/Basis.h"

#include <memory>
#include <utility>
#include <vector>

// The functions of one level that the graph page draws: the wavelets psi_(L,p),
// p = 1-m .. 2^(L-1)-m, of a level L = J0+1 .. J, or at L = J0 the B-splines N_(J0,k),
// k = 1-m .. 2^J0-1, the scaling functions of the expansion. Each is non-zero only on its
// support, a few mesh intervals of its level wide; its class is that of the basis for a wavelet,
// and for a B-spline whether it is cut by an end of [a, b].
class LevelFunctions
{
public:
    // The part of [a, b] whose functions a level of many is drawn by.
    enum class Window
    {
        Left,
        Middle,
        Right
    };

    LevelFunctions(std::shared_ptr<const engine::Basis> basis, int level);

    const engine::BasisParameters& parameters() const { return basis->parameters(); }
    int level() const { return L; }
    bool scaling() const { return L == basis->coarsestLevel(); }
    int first() const { return 1 - basis->m(); }
    int last() const;
    int count() const { return last() - first() + 1; }
    WaveletClass functionClass(int index) const;
    double value(int index, double x) const;
    // [left, right] within [a, b], outside of which the function is 0.
    std::pair<double, double> support(int index) const;

    // At most `most` consecutive of the indices (ascending): the first, those around the
    // middle, or the last.
    static std::vector<int> window(const std::vector<int>& indices, Window where, int most);

private:
    std::shared_ptr<const engine::Basis> basis;
    int L;
};

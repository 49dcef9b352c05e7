#include "graphs/LevelFunctions.h"

#include "engine/Levels.h"

#include <algorithm>

LevelFunctions::LevelFunctions(std::shared_ptr<const engine::Basis> basis, int level)
    : basis(std::move(basis))
    , L(level)
{
}

int LevelFunctions::last() const
{
    return scaling() ? (1 << L) - 1 : waveletCount(L) - basis->m();
}

WaveletClass LevelFunctions::functionClass(int index) const
{
    if (!scaling())
        return basis->waveletClass(L, index);
    if (index < 0)
        return WaveletClass::LeftBoundary;
    return index <= (1 << L) - basis->m() ? WaveletClass::Central : WaveletClass::RightBoundary;
}

double LevelFunctions::value(int index, double x) const
{
    return scaling() ? basis->splineValue(L, index, x) : basis->waveletValue(L, index, x);
}

// The B-spline N_(L,k) lives on the knots k .. k+m of its level.
std::pair<double, double> LevelFunctions::support(int index) const
{
    const engine::BasisParameters& p = basis->parameters();
    const double h = (p.b - p.a) / double(1 << L);
    int firstKnot = index, lastKnot = index + p.m;
    if (!scaling()) {
        const engine::SplineRow row = basis->wavelet(L, index);
        firstKnot = row.first;
        lastKnot = row.last() + p.m;
    }
    return {std::max(p.a + firstKnot * h, p.a), std::min(p.a + lastKnot * h, p.b)};
}

std::vector<int> LevelFunctions::window(const std::vector<int>& indices, Window where, int most)
{
    const int surplus = std::max(int(indices.size()) - most, 0);
    const int skipped = where == Window::Left ? 0 : where == Window::Middle ? surplus / 2 : surplus;
    const auto begin = indices.begin() + skipped;
    return {begin, begin + std::min(int(indices.size()), most)};
}

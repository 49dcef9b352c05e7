#include "engine/Norms.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace engine {

SplineNorm::SplineNorm(const Basis& basis, int L)
    : m(basis.m())
    , intervals(1 << L)
{
    const BasisParameters& p = basis.parameters();
    const MeshQuadrature mesh(p.m, L, p.a, p.b, Rule::Exact);
    weights = mesh.weights();
    const std::vector<double> x = mesh.points(0);
    pattern.resize(x.size() * m);
    for (std::size_t q = 0; q < x.size(); ++q)
        for (int j = 0; j < m; ++j)
            pattern[q * m + j] = basis.splineValue(L, -j, x[q]);
}

// On interval i the B-splines N_(L,i-j), j = 0 .. m-1, are the non-zero ones.
double SplineNorm::squared(int first, std::span<const double> s) const
{
    const int last = first + int(s.size()) - 1;
    double sum = 0.0;
    for (int i = std::max(first, 0); i <= std::min(last + m - 1, intervals - 1); ++i)
        for (std::size_t q = 0; q < weights.size(); ++q) {
            double value = 0.0;
            for (int k = std::max(i - m + 1, first); k <= std::min(i, last); ++k)
                value += s[std::size_t(k - first)] * pattern[q * m + std::size_t(i - k)];
            sum += weights[q] * value * value;
        }
    return sum;
}

// A central wavelet whose row is the whole pattern, keys 2p .. 2p+3m-2, is a translate inside
// [a, b]: its norm is the level's central norm. A row cut at b (the default rule's coarser levels)
// or of a boundary wavelet is summed on its own.
Coefficients basisNorms(const Basis& basis)
{
    const int m = basis.m(), J0 = basis.coarsestLevel(), J = basis.finestLevel();
    Coefficients norms(m, J0, J);
    const SplineNorm coarsest(basis, J0);
    for (int k : scalingIndices(m, J0)) {
        const double one = 1.0;
        norms.scaling(k) = std::sqrt(coarsest.squared(k, std::span(&one, 1)));
    }
    for (int L : waveletLevels(J0, J)) {
        const SplineNorm level(basis, L);
        std::optional<double> central;
        for (int p : waveletIndices(m, L)) {
            const SplineRow row = basis.wavelet(L, p);
            const bool translate = basis.waveletClass(L, p) == WaveletClass::Central
                && row.first == 2 * p && int(row.values.size()) == 3 * m - 1;
            if (!translate)
                norms.wavelet(L, p) = std::sqrt(level.squared(row.first, row.values));
            else {
                if (!central)
                    central = std::sqrt(level.squared(row.first, row.values));
                norms.wavelet(L, p) = *central;
            }
        }
    }
    return norms;
}

} // namespace engine

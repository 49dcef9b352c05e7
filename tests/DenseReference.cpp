#include "tests/DenseReference.h"

#include "engine/DenseSolve.h"

#include <vector>

namespace {

// A function at every quadrature point, interval by interval.
std::vector<double> sampled(const engine::Basis& basis, const std::function<double(double)>& f)
{
    std::vector<double> values = basis.quadrature().allPoints();
    for (double& x : values)
        x = f(x);
    return values;
}

double product(
    const engine::Basis& basis, const std::vector<double>& u, const std::vector<double>& v)
{
    const std::vector<double>& w = basis.quadrature().weights();
    double sum = 0;
    for (std::size_t q = 0; q < u.size(); ++q)
        sum += w[q % w.size()] * u[q] * v[q];
    return sum;
}

} // namespace

engine::Coefficients denseForward(
    const engine::Basis& basis, const std::function<double(double)>& f)
{
    const int m = basis.m(), J0 = basis.coarsestLevel(), J = basis.finestLevel();
    std::vector<std::vector<double>> functions;
    for (int k : scalingIndices(m, J0))
        functions.push_back(sampled(basis, [&](double x) { return basis.splineValue(J0, k, x); }));
    for (int L : waveletLevels(J0, J))
        for (int p : waveletIndices(m, L))
            functions.push_back(
                sampled(basis, [&](double x) { return basis.waveletValue(L, p, x); }));
    const std::vector<double> fx = sampled(basis, f);
    const std::size_t n = functions.size();
    engine::DenseMatrix gram(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (std::size_t u = 0; u < n; ++u) {
        for (std::size_t v = 0; v < n; ++v)
            gram[u][v] = product(basis, functions[u], functions[v]);
        rhs[u] = product(basis, fx, functions[u]);
    }
    const std::vector<double> x = engine::solvePartialPivoting(gram, rhs);
    engine::Coefficients result(m, J0, J);
    std::copy(x.begin(), x.begin() + result.d.size(), result.d.begin());
    std::copy(x.begin() + result.d.size(), x.end(), result.c.begin());
    return result;
}

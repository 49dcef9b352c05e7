// The scalar products of the forward transform: the finest-level products <f, N_(J,k)> and the
// Gram matrix of the multilevel basis.
//
// Computed literally, every entry is a getScalarProduct call that evaluates both functions at
// every quadrature point again. Sampled, every function is evaluated once per quadrature point
// and each entry is the same weighted sum of the same products, in the same order: the results
// are the same doubles.

#include "app/Main_f.h"
#include "numerics/Levels.h"

namespace {

// left[p] * right[p] for every quadrature point p.
std::vector<double> times(const std::vector<double>& left, const std::vector<double>& right)
{
    std::vector<double> product(left.size());
    for (std::size_t p = 0; p < left.size(); ++p)
        product[p] = left[p] * right[p];
    return product;
}

} // namespace

std::vector<BasisFunction> TMainForm::gramBasis()
{
    std::vector<BasisFunction> basis;
    for (int k : scalingIndices(m, coarsestLevel))
        basis.push_back({false, k, coarsestLevel});
    for (int L : waveletLevels(coarsestLevel, finestLevel))
        for (int i : waveletIndices(m, L))
            basis.push_back({true, i, L});
    return basis;
}

// The integrand factor of the function, as getScalarProduct's formulas 4, 5 and 9 evaluate it.
double TMainForm::basisValue(const BasisFunction& function, double x)
{
    return function.wavelet ? waveletValue(x, function.index, function.level)
                            : coarsestSpline(function.index, x);
}

double& TMainForm::coefficient(const BasisFunction& function)
{
    return function.wavelet ? coeffC[function.level - coarsestLevel][function.index]
                            : coeffD[0][function.index];
}

double TMainForm::storedCoefficient(const BasisFunction& function) const
{
    const SparseTable& table = function.wavelet ? coeffC : coeffD;
    const auto row = table.find(function.wavelet ? function.level - coarsestLevel : 0);
    if (row == table.end())
        return 0.0;
    const auto entry = row->second.find(function.index);
    return entry == row->second.end() ? 0.0 : entry->second;
}

// Entry (row, column): two scaling functions, a wavelet and a scaling function, or two
// wavelets, with the arguments in the order of the transform.
double TMainForm::gramEntry(const BasisFunction& row, const BasisFunction& column)
{
    if (!row.wavelet && !column.wavelet)
        return getScalarProduct(Formula::CoarsestCoarsest, column.index, row.index);
    if (!row.wavelet)
        return getScalarProduct(Formula::WaveletCoarsest, column.index, row.index, column.level);
    if (!column.wavelet)
        return getScalarProduct(Formula::WaveletCoarsest, row.index, column.index, row.level);
    return getScalarProduct(
        Formula::WaveletWavelet, column.index, row.index, column.level, row.level);
}

SparseRow TMainForm::finestSplineProducts(Products products)
{
    SparseRow row;
    if (products == Products::Literal) {
        for (int k : scalingIndices(m, finestLevel))
            row.insert({k, getScalarProduct(Formula::TestFunctionFine, 0, k)});
        return row;
    }
    const std::vector<double> f = sampled([this](double x) { return testFunction(x); });
    for (int k : scalingIndices(m, finestLevel))
        row.insert({k, weightedSum(times(f, sampled([&](double x) { return fineSpline(k, x); })))});
    return row;
}

// Both ways give the integrand as (column value) * (row value) or the reverse; a product of
// two doubles does not depend on the order of its factors.
DenseMatrix TMainForm::gramMatrix(const std::vector<BasisFunction>& basis, Products products)
{
    const std::size_t n = basis.size();
    DenseMatrix G(n, std::vector<double>(n));
    if (products == Products::Literal) {
        for (std::size_t u = 0; u < n; ++u)
            for (std::size_t v = 0; v < n; ++v)
                G[u][v] = gramEntry(basis[u], basis[v]);
        return G;
    }
    std::vector<std::vector<double>> values;
    for (const BasisFunction& function : basis)
        values.push_back(sampled([&](double x) { return basisValue(function, x); }));
    for (std::size_t u = 0; u < n; ++u)
        for (std::size_t v = 0; v < n; ++v)
            G[u][v] = weightedSum(times(values[v], values[u]));
    return G;
}

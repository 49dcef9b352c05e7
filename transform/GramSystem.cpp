// The scalar products of the forward transform: the finest-level products <f, N_(J,k)> and the
// Gram matrix of the multilevel basis.
//
// Computed literally, every entry is a getScalarProduct call that evaluates both functions at
// every quadrature point again. Sampled, every function is evaluated once per quadrature point
// and each entry is the same weighted sum of the same products, in the same order: the results
// are the same doubles.

#include "app/Main_f.h"
#include "numerics/Levels.h"

std::vector<BasisFunction> TMainForm::gramBasis()
{
    std::vector<BasisFunction> basis;
    for (int k = 1 - m; k <= pow2(coarsestLevel) - 1; ++k)
        basis.push_back({false, k, coarsestLevel});
    for (int L = coarsestLevel + 1; L <= finestLevel; ++L)
        for (int i = 1 - m; i <= pow2(L - 1) - m; ++i)
            basis.push_back({true, i, L});
    return basis;
}

// The integrand factor of the function, as getScalarProduct's formulas 4, 5 and 9 evaluate it.
double TMainForm::basisValue(const BasisFunction& function, double x)
{
    return function.wavelet ? waveletValue(x, function.index, function.level)
                            : coarsestSpline(function.index, x);
}

// Entry (row, column) by formula 4 (two scaling functions), 9 (a wavelet and a scaling
// function) or 5 (two wavelets), with the arguments in the order of the transform.
double TMainForm::gramEntry(const BasisFunction& row, const BasisFunction& column)
{
    if (!row.wavelet && !column.wavelet)
        return getScalarProduct(4, column.index, row.index, 0, 0);
    if (!row.wavelet)
        return getScalarProduct(9, column.index, row.index, column.level, 0);
    if (!column.wavelet)
        return getScalarProduct(9, row.index, column.index, row.level, 0);
    return getScalarProduct(5, column.index, row.index, column.level, row.level);
}

std::vector<double> TMainForm::quadraturePoints()
{
    std::vector<double> list;
    for (int i = 0; i < pow2(finestLevel); ++i) {
        double xl = a + i * step;
        double xr = a + (i + 1) * step;
        double delta = (xr - xl) / (2 * m - 2);
        for (int k = 0; k <= 2 * m - 2; ++k)
            list.push_back(xl + k * delta);
    }
    return list;
}

template <class Function>
std::vector<double> TMainForm::sampled(const std::vector<double>& list, Function function)
{
    std::vector<double> values;
    values.reserve(list.size());
    for (double x : list)
        values.push_back(function(x));
    return values;
}

double TMainForm::weightedSum(const std::vector<double>& left, const std::vector<double>& right)
{
    const std::size_t perInterval = gaussWeights.size();
    double result = 0.0;
    for (std::size_t first = 0; first < left.size(); first += perInterval) {
        double sum = 0.0;
        for (std::size_t k = 0; k < perInterval; ++k) {
            double f = left[first + k] * right[first + k];
            sum = sum + gaussWeights[k] * f;
        }
        result = result + sum;
    }
    return result;
}

SparseRow TMainForm::finestSplineProducts(Products products)
{
    SparseRow row;
    if (products == Products::Literal) {
        for (int k = 1 - m; k <= pow2(finestLevel) - 1; ++k)
            row.insert({k, getScalarProduct(3, 0, k, finestLevel, 0)});
        return row;
    }
    const std::vector<double> list = quadraturePoints();
    const std::vector<double> f = sampled(list, testFunction);
    for (int k = 1 - m; k <= pow2(finestLevel) - 1; ++k)
        row.insert({k, weightedSum(f, sampled(list, [&](double x) { return fineSpline(k, x); }))});
    return row;
}

// Both ways give formula 4, 9 or 5's integrand as (column value) * (row value) or the reverse;
// a product of two doubles does not depend on the order of its factors.
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
    const std::vector<double> list = quadraturePoints();
    std::vector<std::vector<double>> values;
    for (const BasisFunction& function : basis)
        values.push_back(sampled(list, [&](double x) { return basisValue(function, x); }));
    for (std::size_t u = 0; u < n; ++u)
        for (std::size_t v = 0; v < n; ++v)
            G[u][v] = weightedSum(values[v], values[u]);
    return G;
}

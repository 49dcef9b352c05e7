// The forward transform: f(x) = 1 - 8x decomposed into the scaling coefficients d of level J0
// (coeffD row 0) and the wavelet coefficients c of the levels J0+1 .. J (coeffC rows 1 .. J-J0).
//
//   1. <f, N_(J,k)> by quadrature on the finest level only;
//   2. the two-scale recursion down to J0:  <f, N_(L,k)> = sum over i of betta[i] <f, N_(L+1,2k+i)>,
//      and on every level above J0 the wavelet products from the rows of alphaW;
//   3. the Gram system of the basis N_(J0,k), psi_(J0+e,i), solved once.

#include "app/Main_f.h"
#include "numerics/Levels.h"

void TMainForm::forwardTransform(Products products)
{
    const int J = finestLevel;
    const int J0 = coarsestLevel;
    for (std::size_t i = 0; i < points.size(); ++i)
        funcValues[i][0] = testFunction(points[i][0]);
    showFunctionValues();

    splineProducts[J] = finestSplineProducts(products);
    waveletProducts[J] = getWaveletProducts(J);
    for (int L = J - 1; L >= J0; --L) {
        SparseRow row;
        for (int k : scalingIndices(m, L)) {
            double sum = 0;
            for (int i = 0; i <= m; ++i)
                sum += getBetta(i) * splineProducts[L + 1][2 * k + i];
            row.insert({k, sum});
        }
        splineProducts[L] = row;
        if (L != J0)
            waveletProducts[L] = getWaveletProducts(L);
    }

    const std::vector<BasisFunction> basis = gramBasis();
    const int n = int(basis.size());
    const DenseMatrix G = gramMatrix(basis, products);
    std::vector<double> r(n);
    for (int u = 0; u < n; ++u)
        r[u] = basis[u].wavelet ? waveletProducts[basis[u].level][basis[u].index]
                                : splineProducts[J0][basis[u].index];
    const std::vector<double> x = solveLinearSystem(n, G, r);
    for (int u = 0; u < n; ++u)
        coefficient(basis[u]) = x[u];
    showCoeffC();
    showCoeffD();
}

double TMainForm::getBetta(int i)
{
    return 0 <= i && i <= m ? betta[i] : 0.0;
}

// <f, psi_(L,i)> for the wavelets i of level L: the sum over the keys n of wavelet i on level L
// of alphaW[i][n] <f, N_(L,n)>. The rows of alphaW are those of the finest level, taken with
// the same absolute indices.
SparseRow TMainForm::getWaveletProducts(int L)
{
    SparseRow& P = splineProducts[L];
    SparseRow R;
    for (int i : waveletIndices(m, L)) {
        double sum = 0;
        for (int n : waveletKeys(i, m, L))
            sum += alphaW[i][n] * P[n];
        R.insert({i, sum});
    }
    return R;
}

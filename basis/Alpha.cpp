// The two-scale coefficients betta and the wavelet coefficients alpha.
//
// B_k = N_(J,k) (step h), C_l = N_(J-1,l) (step 2h), and psi_p the translate p of the central
// wavelet (numerics/Levels.h): the sum over k = 0 .. 3m-2 of alpha[0][k] B_(2p+k).

#include "app/Main_f.h"
#include "numerics/Levels.h"

// C_0 = sum over j = 0 .. m of betta[j] B_j: the Gram system <B_j, B_i> betta = <C_0, B_i>.
void TMainForm::computeBetta()
{
    const int n = m + 1;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            matrix[i][j] = getScalarProduct(Formula::FineFine, j, i);
        rhs[i] = getScalarProduct(Formula::HalfFine, 0, i);
    }
    betta = solveLinearSystem(n, matrix, rhs);
}

// Row 0: the central wavelet, orthogonal to every coarse B-spline C_l it meets
// (l = 1-m .. 2m-2), normalised so that its last coefficient alpha[0][3m-2] is 1:
//   sum over k = 0 .. 3m-3 of <B_k, C_l> alpha[0][k] = -<B_(3m-2), C_l>.
// The rows of the boundary wavelets follow, see computeBoundaryAlpha.
void TMainForm::computeAlpha()
{
    const int n = 3 * m - 2;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int row = 0; row < n; ++row) {
        const int l = 1 - m + row;
        for (int k = 0; k < n; ++k)
            matrix[row][k] = getScalarProduct(Formula::FineHalf, k, l);
        rhs[row] = -getScalarProduct(Formula::FineHalf, n, l);
    }
    std::vector<double> x = solveLinearSystem(n, matrix, rhs);
    SparseRow row;
    for (int k = 0; k < n; ++k)
        row.insert({k, x[k]});
    row.insert({n, 1.0});
    alpha[0] = row;

    const int J = finestLevel;
    for (int r : waveletIndices(m, J))
        if (waveletClass(r, m, J) != WaveletClass::Central)
            computeBoundaryAlpha(r);
}

// Row r: the boundary wavelet psi_r - sum over its partners c of alpha[r][c] psi_c, made
// orthogonal on [a, b] to the coarse B-splines l that cross the same end of the interval:
//   sum over c of <psi_c, C_l> alpha[r][c] = <psi_r, C_l>.
void TMainForm::computeBoundaryAlpha(int r)
{
    const Indices coarse = crossingSplines(r, m, finestLevel);
    const Indices partner = partners(r, m, finestLevel);
    const int n = m - 1;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col)
            matrix[row][col] = getScalarProduct(Formula::TranslateHalf, partner[col], coarse[row]);
        rhs[row] = getScalarProduct(Formula::TranslateHalf, r, coarse[row]);
    }
    std::vector<double> x = solveLinearSystem(n, matrix, rhs);
    SparseRow work;
    for (int col = 0; col < n; ++col)
        work.insert({partner[col], x[col]});
    alpha[r] = work;
}

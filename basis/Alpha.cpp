// The two-scale coefficients betta and the wavelet coefficients alpha.
//
// B_k = N_(J,k) (step h), C_l = N_(J-1,l) (step 2h), H = 2^(J-1), and
// psi_p = sum over k = 0 .. 3m-2 of alpha[0][k] B_(2p+k), the central wavelet translated by p.

#include "app/Main_f.h"
#include "numerics/Levels.h"

// C_0 = sum over j = 0 .. m of betta[j] B_j: the Gram system <B_j, B_i> betta = <C_0, B_i>.
void TMainForm::computeBetta()
{
    const int n = m + 1;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int i = 0; i <= m; ++i) {
        for (int j = 0; j <= m; ++j)
            matrix[i][j] = getScalarProduct(2, j, i, 0, 0);
        rhs[i] = getScalarProduct(1, 0, i, 0, 0);
    }
    betta = solveLinearSystem(n, matrix, rhs);
}

// Row 0: the central wavelet, orthogonal to every coarse B-spline C_l it meets
// (l = 1-m .. 2m-2), normalised so that its last coefficient alpha[0][3m-2] is 1:
//   sum over k = 0 .. 3m-3 of <B_k, C_l> alpha[0][k] = -<B_(3m-2), C_l>.
// Rows r = 1-m .. -1 and H-2m+2 .. H-m: the boundary corrections, see computeBoundaryAlpha.
void TMainForm::computeAlpha()
{
    const int n = 3 * m - 2;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int l = 1 - m; l <= 2 * m - 2; ++l) {
        const int row = l - (1 - m);
        for (int k = 0; k <= 3 * m - 3; ++k)
            matrix[row][k] = getScalarProduct(0, k, l, 0, 0);
        rhs[row] = -getScalarProduct(0, 3 * m - 2, l, 0, 0);
    }
    std::vector<double> x = solveLinearSystem(n, matrix, rhs);
    SparseRow row;
    for (int k = 0; k <= 3 * m - 3; ++k)
        row.insert({k, x[k]});
    row.insert({3 * m - 2, 1.0});
    alpha[0] = row;

    for (int r = 1 - m; r <= -1; ++r)
        computeBoundaryAlpha(r, 1 - m, 2 - 2 * m);
    const double H = pow2(finestLevel - 1);
    for (int r = int(H - 2 * m + 2); r <= H - m; ++r)
        computeBoundaryAlpha(r, int(H - m + 1), int(H - m + 1));
}

// The boundary wavelet psi_r - sum over c of alpha[r][c] psi_c, with the m - 1 partner
// translates c = firstPartner .., made orthogonal on [a, b] to the m - 1 coarse B-splines
// l = firstCoarse .. that cross the same end of the interval:
//   sum over c of <psi_c, C_l> alpha[r][c] = <psi_r, C_l>.
void TMainForm::computeBoundaryAlpha(int r, int firstCoarse, int firstPartner)
{
    const int n = m - 1;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> rhs(n);
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col)
            matrix[row][col] = getScalarProduct(6, firstPartner + col, firstCoarse + row, 0, 0);
        rhs[row] = getScalarProduct(6, r, firstCoarse + row, 0, 0);
    }
    std::vector<double> x = solveLinearSystem(n, matrix, rhs);
    SparseRow work;
    for (int col = 0; col < n; ++col)
        work.insert({firstPartner + col, x[col]});
    alpha[r] = work;
}

// The dense solver of the basis construction and of the forward transform.

#include "app/Main_f.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

// Gaussian elimination on copies of matrix and rhs, with the row exchanges decided before the
// elimination starts:
//   1. for each column i = 0 .. n-2: the row of largest magnitude in column i among rows i ..
//      n-1 (the earliest on ties) is exchanged with row i, in matrix and rhs alike;
//   2. forward elimination without further exchanges, f = M[j][i] / M[i][i];
//   3. back substitution, s accumulated as M[i][j] x[j] + s for increasing j.
// A zero pivot cannot occur in the systems of this program; should one occur, it is an error
// that names the row, rather than a solution of non-finite values.
std::vector<double> TMainForm::solveLinearSystem(
    int n, const DenseMatrix& matrix, const std::vector<double>& rhs)
{
    DenseMatrix M = matrix;
    std::vector<double> y = rhs;
    for (int i = 0; i < n - 1; ++i) {
        int p = i;
        for (int j = i + 1; j < n; ++j)
            if (std::abs(M[p][i]) < std::abs(M[j][i]))
                p = j;
        if (p != i) {
            std::swap(M[i], M[p]);
            std::swap(y[i], y[p]);
        }
    }
    for (int i = 0; i < n; ++i) {
        if (M[i][i] == 0)
            throw std::runtime_error(
                "Система линейных уравнений вырождена: нулевой ведущий элемент в строке "
                + std::to_string(i + 1) + " из " + std::to_string(n) + ". Решение не найдено.");
        for (int j = i + 1; j < n; ++j) {
            double f = M[j][i] / M[i][i];
            for (int k = i; k < n; ++k)
                M[j][k] = M[j][k] - M[i][k] * f;
            y[j] = y[j] - y[i] * f;
        }
    }
    std::vector<double> x(n);
    x[n - 1] = y[n - 1] / M[n - 1][n - 1];
    for (int i = n - 2; i >= 0; --i) {
        double s = 0;
        for (int j = i + 1; j < n; ++j)
            s = M[i][j] * x[j] + s;
        x[i] = (y[i] - s) / M[i][i];
    }
    return x;
}

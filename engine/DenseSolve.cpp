#include "engine/DenseSolve.h"

#include "engine/Errors.h"

#include <lapacke.h>

#include <cmath>
#include <utility>

namespace engine {

namespace {

    [[noreturn]] void singular(int row, int n)
    {
        throw NumericalError(NumericalError::Kind::SingularDense, row, n);
    }

} // namespace

std::vector<double> solveFixedPivots(const DenseMatrix& matrix, const std::vector<double>& rhs)
{
    const int n = int(rhs.size());
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
            singular(i + 1, n);
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

std::vector<double> solvePartialPivoting(const DenseMatrix& matrix, const std::vector<double>& rhs)
{
    const int n = int(rhs.size());
    std::vector<double> a;
    a.reserve(std::size_t(n) * n);
    for (const auto& row : matrix)
        a.insert(a.end(), row.begin(), row.end());
    std::vector<double> x = rhs;
    std::vector<lapack_int> pivots(n);
    const lapack_int info
        = LAPACKE_dgesv(LAPACK_ROW_MAJOR, n, 1, a.data(), n, pivots.data(), x.data(), 1);
    if (info > 0)
        singular(int(info), n);
    return x;
}

} // namespace engine

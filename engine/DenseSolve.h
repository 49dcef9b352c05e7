#pragma once

#include <vector>

namespace engine {

// A small dense system: n rows of n doubles, matrix[row][column].
using DenseMatrix = std::vector<std::vector<double>>;

// Gaussian elimination on copies, with the row exchanges decided before the elimination starts
// (the numbers the default rule's basis has always been built with):
//   1. for each column i = 0 .. n-2: the row of largest magnitude in column i among rows i ..
//      n-1 (the earliest on ties) is exchanged with row i, in matrix and rhs alike;
//   2. forward elimination without further exchanges, f = M[j][i] / M[i][i];
//   3. back substitution, s accumulated as M[i][j] x[j] + s for increasing j.
// A zero pivot throws, naming the row.
std::vector<double> solveFixedPivots(const DenseMatrix& matrix, const std::vector<double>& rhs);

// LU with partial pivoting during the elimination (LAPACK): stable also where the entries are
// partly rounding noise, as in the nearly semi-orthogonal systems of the exact rule. A singular
// matrix throws.
std::vector<double> solvePartialPivoting(const DenseMatrix& matrix, const std::vector<double>& rhs);

} // namespace engine

#pragma once

#include <vector>

namespace engine {

// A square band matrix of order n with kl sub- and ku super-diagonals, in LAPACK's band storage
// with room for the fill-in of partial pivoting: (2 kl + ku + 1) n doubles.
//
// A matrix serves one system after another: reset() reuses the storage of the largest so far,
// so that a transform does not fault in the pages of a large band for every level and every run.
class BandMatrix
{
public:
    // Order n, all entries zero.
    void reset(int n, int kl, int ku);
    // Entry (row, column), 0-based, with -kl <= column - row <= ku.
    double& operator()(int row, int column);
    // Solves A x = rhs in place by LU with partial pivoting (LAPACK dgbsv); the factors
    // overwrite the matrix. O(n kl (kl + ku)). A singular matrix throws.
    void solve(std::vector<double>& rhs);

private:
    int n = 0, kl = 0, ku = 0, ldab = 1;
    std::vector<double> storage;
    std::vector<int> pivots;
};

// A symmetric positive definite band matrix of order n with kd sub-diagonals; only the lower
// triangle is stored, (kd + 1) n doubles.
class SymmetricBandMatrix
{
public:
    // Order n, all entries zero.
    void reset(int n, int kd);
    // Entry (row, column) of the lower triangle: 0 <= row - column <= kd.
    double& operator()(int row, int column);
    // Solves A x = rhs in place by Cholesky's factorisation (LAPACK dpbsv). O(n kd^2). A matrix
    // that is not positive definite throws.
    void solve(std::vector<double>& rhs);

private:
    int n = 0, kd = 0;
    std::vector<double> storage;
};

} // namespace engine

#pragma once

#include <climits>
#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace engine {

// Factors of long band matrices, computed once and solved with many times.
//
// The matrices of the transform are 2-periodic away from their ends: column j + 2 is column j
// moved down two rows. The factors of such a matrix (LU with partial pivoting, or Cholesky)
// depend only on the columns before them, and in the periodic stretch they settle, within a
// few dozen columns, on two columns that repeat to the last bit. So the factors are computed
// (by LAPACK) for a shortened matrix, the same one with most of its periodic stretch taken out;
// where its factors are seen to repeat, every column of the long matrix's factors is one of
// the shortened matrix's, and the long matrix needs O(1) memory instead of O(n). Where the
// factors do not repeat, or the matrix is short, all of its factors are kept.
//
// The solves follow LAPACK's dgbtrs and dpbtrs operation by operation, so that the numbers are
// those of LAPACK's own solvers on the whole matrix, to the bit.

// Which stored factor column serves column j of the whole matrix: columns before `start` are
// stored as they are; the `removed` columns from `start` on repeat the stored columns start and
// start + 1; the columns after them are stored `removed` places earlier.
class Fold
{
public:
    Fold() = default; // nothing removed
    Fold(int start, int removed)
        : start(start)
        , removed(removed)
    {
    }
    int operator()(int j) const
    {
        return j < start ? j : j < start + removed ? start + ((j - start) & 1) : j - removed;
    }
    int removedColumns() const { return removed; }

private:
    int start = INT_MAX, removed = 0;
};

// Column j of a band matrix: its values from row `first` downwards, and where the solution's
// unknown j belongs in the caller's order (in the periodic stretch, one place further every two
// columns).
struct BandColumn
{
    int first = 0;
    std::span<const double> values;
    int place = 0;
};

// The LU factors, with partial pivoting, of a square band matrix of order n: dgbtrf on the
// shortened matrix, O(kl (kl + ku)) per stored column; one solve O(n (2 kl + ku)).
class BandLU
{
public:
    // Calls visit(j, column) for every column j = 0 .. n-1 in increasing order.
    using Columns = std::function<void(const std::function<void(int, const BandColumn&)>&)>;

    BandLU() = default;
    // A singular matrix throws NumericalError.
    BandLU(int n, const Columns& columns);
    // The whole matrix of order n with kl sub- and ku super-diagonals, given in LAPACK's band
    // storage for dgbtrf (entry (r, c) at [kl + ku + r - c + c (2 kl + ku + 1)]), factored as it
    // is, nothing folded; unknown j stays in place j. For a matrix with no 2-periodic stretch.
    BandLU(int n, int kl, int ku, std::vector<double> band);

    int order() const { return n; }
    // Column j of the factors is stored column fold()(j).
    const Fold& fold() const { return folded; }
    std::size_t storedColumns() const { return pivotShift.size(); }
    // The place of unknown j (BandColumn::place).
    int place(int j) const
    {
        const int stored = folded(j);
        return places[stored] + (j - stored) / 2;
    }
    // Solves A x = b in place for contiguous b.
    void solve(double* b) const;
    // The right-hand sides solveLanes takes at once.
    static constexpr std::size_t lanes = 8;
    // Solves A x = b in place for `lanes` right-hand sides interleaved, value j of b_g at
    // b[j lanes + g], several at a time, so that the solves of many vectors do not wait on one
    // another's divisions: each as solve solves it alone, to the bit but for the signs of zeros.
    void solveLanes(double* b) const;

private:
    template <class Value> void solveValues(Value* b) const;
    void factor(const Columns& columns, int cut, int removed);
    void factorStored();

    int n = 0, kl = 0, ku = 0, ldab = 1;
    std::vector<double> factors; // LAPACK's band storage of the stored columns
    std::vector<int> pivotShift; // ipiv[j] - j of the stored columns, 0-based
    std::vector<int> places; // of the stored columns
    Fold folded;
};

// The Cholesky factor of a symmetric positive definite band matrix with kd sub-diagonals, the
// Gram matrix of the finest B-splines on `intervals` mesh intervals (order intervals + kd):
// block[j kd1 + jj], kd1 = kd + 1, is the product of B-splines i - j and i - jj on interval i,
// alike on every interval. dpbtrf on the shortened matrix, O(kd^2) per stored column; one
// solve O(n kd).
class GramCholesky
{
public:
    GramCholesky() = default;
    // A matrix that is not positive definite throws NumericalError.
    GramCholesky(int intervals, int kd, const std::vector<double>& block);

    const Fold& fold() const { return folded; }
    std::size_t storedColumns() const { return factors.size() / (kd + 1); }
    // Solves G x = b in place for contiguous b.
    void solve(double* b) const;

private:
    std::vector<double> factor(int intervals, const std::vector<double>& block) const;

    int n = 0, kd = 0;
    std::vector<double> factors; // lower band storage of the stored columns
    Fold folded;
};

} // namespace engine

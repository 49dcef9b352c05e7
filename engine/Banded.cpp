#include "engine/Banded.h"

#include "engine/Errors.h"

#include <lapacke.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <tuple>

namespace engine {

namespace {

    // The periodic stretch a shortened matrix keeps: enough for the factors to settle (a few
    // dozen columns for these matrices) and to be seen repeating over many more.
    constexpr int keptStretch = 512;

    void check(lapack_int info, const char* what)
    {
        if (info != 0)
            throw NumericalError(NumericalError::Kind::SingularBand, info, 0, what);
    }

    bool sameBits(const double* u, const double* v, std::size_t count)
    {
        return std::memcmp(u, v, count * sizeof(double)) == 0;
    }

    // The fold of a shortened matrix whose stored columns [first, end) come from the whole
    // matrix's periodic stretch, `removed` of its columns taken out after them, or none. The
    // factor of column j depends on the factors of the `reach` columns on either side of it
    // (the multipliers and fill-in that reach its rows and columns); so where the stored
    // columns, `height` doubles and a pivot shift each, repeat every two columns from p on,
    // the elimination is in the same state at s = p + reach as at s + 2, and the whole
    // matrix's factor columns from s on repeat the stored columns s and s + 1 until its own
    // end of the stretch, removed columns later than the shortened matrix's. O(end - first).
    Fold settledFold(const double* factors, int height, const int* shift, int first, int end,
        int reach, int removed)
    {
        auto repeats = [&](int k) {
            return sameBits(factors + std::size_t(k) * height,
                       factors + std::size_t(k - 2) * height, height)
                && (!shift || shift[k] == shift[k - 2]);
        };
        int k = end - 1;
        while (k - 2 >= first && repeats(k))
            --k;
        const int start = std::max(first, k - 1) + reach;
        return start + reach + 2 <= end ? Fold(start, removed) : Fold();
    }

    // Whether column j repeats column j - 2 two rows lower.
    bool repeats(const BandColumn& column, const BandColumn& before)
    {
        return column.first == before.first + 2 && column.place == before.place + 1
            && column.values.size() == before.values.size()
            && sameBits(column.values.data(), before.values.data(), column.values.size());
    }

} // namespace

// The band widths and the longest stretch [runFirst, runEnd) of columns that repeat two
// columns before them, from one pass over the columns; then the shortened matrix without
// `removed` columns of that stretch from runFirst + keptStretch on, or the whole matrix.
BandLU::BandLU(int order, const Columns& columns)
    : n(order)
{
    // The first and the last columns are kept as the pass goes by, so that the shortened matrix
    // needs no second pass over all of them.
    constexpr int keptEnds = 4 * keptStretch;
    std::vector<BandColumn> head, tail(keptEnds);
    int runFirst = 0, runEnd = 0, current = 0;
    BandColumn before[2];
    columns([&](int j, const BandColumn& column) {
        kl = std::max(kl, column.first + int(column.values.size()) - 1 - j);
        ku = std::max(ku, j - column.first);
        if (j < 2 || !repeats(column, before[j % 2]))
            current = std::max(0, j - 1);
        else if (j + 1 - current > runEnd - runFirst)
            std::tie(runFirst, runEnd) = std::pair(current, j + 1);
        before[j % 2] = column;
        if (j < keptEnds)
            head.push_back(column);
        tail[j % keptEnds] = column;
    });
    ldab = 2 * kl + ku + 1;
    const int removed = (runEnd - runFirst - 2 * keptStretch) / 2 * 2, cut = runFirst + keptStretch;
    if (removed >= keptStretch) {
        const Columns ends = [&](const std::function<void(int, const BandColumn&)>& visit) {
            for (int j = 0; j < cut; ++j)
                visit(j, head[j]);
            for (int j = cut + removed; j < n; ++j)
                visit(j, tail[j % keptEnds]);
        };
        factor(cut <= keptEnds && n - cut - removed <= keptEnds ? ends : columns, cut, removed);
        folded = settledFold(factors.data(), ldab, pivotShift.data(), runFirst, runEnd - removed,
            2 * (kl + ku) + 2, removed);
        if (folded.removedColumns() > 0)
            return;
    }
    factor(columns, n, 0);
}

// dgbtrf on the matrix without the columns and rows cut .. cut + removed - 1.
void BandLU::factor(const Columns& columns, int cut, int removed)
{
    const int stored = n - removed;
    factors.assign(std::size_t(ldab) * stored, 0.0);
    pivotShift.resize(stored);
    places.resize(stored);
    columns([&](int j, const BandColumn& column) {
        if (j >= cut && j < cut + removed)
            return;
        const int shift = j < cut ? 0 : removed, at = j - shift;
        places[at] = column.place - shift / 2;
        for (std::size_t i = 0; i < column.values.size(); ++i)
            factors[std::size_t(kl + ku + column.first - shift + int(i) - at)
                + std::size_t(at) * ldab]
                = column.values[i];
    });
    factorStored();
}

BandLU::BandLU(int order, int lower, int upper, std::vector<double> band)
    : n(order)
    , kl(lower)
    , ku(upper)
    , ldab(2 * lower + upper + 1)
    , factors(std::move(band))
    , pivotShift(order)
    , places(order)
{
    std::iota(places.begin(), places.end(), 0);
    factorStored();
}

// dgbtrf on the stored columns; the pivots kept as shifts from their own row.
void BandLU::factorStored()
{
    const int stored = int(pivotShift.size());
    check(LAPACKE_dgbtrf(
              LAPACK_COL_MAJOR, stored, stored, kl, ku, factors.data(), ldab, pivotShift.data()),
        "LU");
    for (int j = 0; j < stored; ++j)
        pivotShift[j] -= j + 1;
}

namespace {

    // BandLU::lanes doubles that the compiler's vector operations take lane by lane, each as
    // the same operation on one double (no contraction: -ffp-contract=off); unaligned.
    typedef double Lanes __attribute__((vector_size(BandLU::lanes * sizeof(double)), aligned(8)));

    bool allZero(double value)
    {
        return value == 0;
    }
    bool allZero(const Lanes& values)
    {
        for (std::size_t g = 0; g < BandLU::lanes; ++g)
            if (values[g] != 0)
                return false;
        return true;
    }

} // namespace

// dgbtrs: the row exchanges and L's multipliers column by column (dswap, dger), then U by
// columns from the last (dtbsv), each skipping a zero as the reference BLAS does. Value is a
// double, or Lanes for several right-hand sides at once, skipped where all of them are zero: a
// lane whose value is zero adds zeros to the others, which leaves them as they are but for
// the sign of a zero.
template <class Value> void BandLU::solveValues(Value* b) const
{
    const int kd = kl + ku;
    auto column = [&](int j) { return factors.data() + std::size_t(folded(j)) * ldab; };
    for (int j = 0; kl > 0 && j < n - 1; ++j) {
        const int l = j + pivotShift[folded(j)];
        if (l != j)
            std::swap(b[l], b[j]);
        if (allZero(b[j]))
            continue;
        const Value t = -b[j];
        const double* multipliers = column(j) + kd + 1;
        const int count = std::min(kl, n - 1 - j);
        for (int i = 0; i < count; ++i)
            b[j + 1 + i] = b[j + 1 + i] + multipliers[i] * t;
    }
    for (int j = n - 1; j >= 0; --j) {
        if (allZero(b[j]))
            continue;
        const double* u = column(j); // U(j - i, j) at u[kd - i]
        b[j] = b[j] / u[kd];
        const Value t = b[j];
        for (int i = std::min(j, kd); i > 0; --i)
            b[j - i] = b[j - i] - t * u[kd - i];
    }
}

void BandLU::solve(double* b) const
{
    solveValues(b);
}

void BandLU::solveLanes(double* b) const
{
    solveValues(reinterpret_cast<Lanes*>(b));
}

// Interval i adds block[j kd1 + jj] to the entry (i - j + kd, i - jj + kd) for jj >= j, in
// increasing i: the entries in the order the scalar product sums them.
std::vector<double> GramCholesky::factor(int intervals, const std::vector<double>& block) const
{
    const int kd1 = kd + 1, order = intervals + kd;
    std::vector<double> storage(std::size_t(kd1) * order, 0.0);
    for (int i = 0; i < intervals; ++i)
        for (int j = 0; j < kd1; ++j)
            for (int jj = j; jj < kd1; ++jj)
                storage[std::size_t(jj - j) + std::size_t(i - jj + kd) * kd1]
                    += block[j * kd1 + jj];
    check(LAPACKE_dpbtrf_work(LAPACK_COL_MAJOR, 'L', order, kd, storage.data(), kd1), "Cholesky");
    return storage;
}

// Columns kd .. intervals - 1 of the Gram matrix are alike (all their intervals lie in the
// mesh), so taking out any of them leaves the same matrix, shorter.
GramCholesky::GramCholesky(int intervals, int bandwidth, const std::vector<double>& block)
    : n(intervals + bandwidth)
    , kd(bandwidth)
{
    const int removed = (intervals - 2 * keptStretch) / 2 * 2;
    if (removed >= keptStretch) {
        factors = factor(intervals - removed, block);
        folded = settledFold(
            factors.data(), kd + 1, nullptr, kd, intervals - removed, kd + 1, removed);
        if (folded.removedColumns() > 0)
            return;
    }
    factors = factor(intervals, block);
}

// dpbtrs: dtbsv with L, then with L transposed, as the reference BLAS orders them.
void GramCholesky::solve(double* b) const
{
    auto column = [&](int j) { return factors.data() + std::size_t(folded(j)) * (kd + 1); };
    for (int j = 0; j < n; ++j) {
        if (b[j] == 0)
            continue;
        const double* l = column(j); // L(j + i, j) at l[i]
        b[j] = b[j] / l[0];
        const double t = b[j];
        for (int i = 1; i <= std::min(n - 1 - j, kd); ++i)
            b[j + i] = b[j + i] - t * l[i];
    }
    for (int j = n - 1; j >= 0; --j) {
        const double* l = column(j);
        double t = b[j];
        for (int i = std::min(n - 1 - j, kd); i > 0; --i)
            t = t - l[i] * b[j + i];
        b[j] = t / l[0];
    }
}

} // namespace engine

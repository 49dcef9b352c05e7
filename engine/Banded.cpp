#include "engine/Banded.h"

#include "engine/Errors.h"

#include <lapacke.h>

namespace engine {

namespace {

    void check(lapack_int info, const char* what)
    {
        if (info != 0)
            throw NumericalError(NumericalError::Kind::SingularBand, info, 0, what);
    }

} // namespace

// Column-major band storage: A(i, j) at storage[(kl + ku + i - j) + j ldab].
void BandMatrix::reset(int order, int lower, int upper)
{
    n = order;
    kl = lower;
    ku = upper;
    ldab = 2 * kl + ku + 1;
    storage.assign(std::size_t(ldab) * n, 0.0);
    pivots.resize(n);
}

double& BandMatrix::operator()(int row, int column)
{
    return storage[std::size_t(kl + ku + row - column) + std::size_t(column) * ldab];
}

void BandMatrix::solve(std::vector<double>& rhs)
{
    check(LAPACKE_dgbsv(
              LAPACK_COL_MAJOR, n, kl, ku, 1, storage.data(), ldab, pivots.data(), rhs.data(), n),
        "LU");
}

// Column-major lower band storage: A(i, j) at storage[(i - j) + j (kd + 1)].
void SymmetricBandMatrix::reset(int order, int bandwidth)
{
    n = order;
    kd = bandwidth;
    storage.assign(std::size_t(kd + 1) * n, 0.0);
}

double& SymmetricBandMatrix::operator()(int row, int column)
{
    return storage[std::size_t(row - column) + std::size_t(column) * (kd + 1)];
}

void SymmetricBandMatrix::solve(std::vector<double>& rhs)
{
    check(
        LAPACKE_dpbsv_work(LAPACK_COL_MAJOR, 'L', n, kd, 1, storage.data(), kd + 1, rhs.data(), n),
        "Cholesky");
}

} // namespace engine

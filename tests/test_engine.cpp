// The transform engine without a window: the fast transform against the dense Gram solve and
// polynomials reproduced at every level up to 22; the exact rule's basis: the textbook
// central wavelet, orthogonal across all levels; the kept factors and the level step against
// LAPACK's own solvers on the whole matrices, to the bit, and over strided vectors.

#include "engine/Errors.h"
#include "engine/Transform.h"
#include "tests/DenseReference.h"

#include <QTest>

#include <lapacke.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

using engine::Rule;
Q_DECLARE_METATYPE(Rule)

namespace {

double largestMagnitude(const std::vector<double>& values)
{
    return std::abs(std::ranges::max(values, {}, [](double v) { return std::abs(v); }));
}

// All coefficients, d then c, in one array.
std::vector<double> flat(const engine::Coefficients& coefficients)
{
    std::vector<double> all = coefficients.d;
    all.insert(all.end(), coefficients.c.begin(), coefficients.c.end());
    return all;
}

bool sameBits(const std::vector<double>& u, const std::vector<double>& v)
{
    return u.size() == v.size() && std::memcmp(u.data(), v.data(), u.size() * sizeof(double)) == 0;
}

std::vector<double> randomValues(std::size_t n, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_real_distribution<double> uniform(-1, 1);
    std::vector<double> values(n);
    for (double& value : values)
        value = uniform(generator);
    return values;
}

// Level L's system as its definition has it: the columns of [P_L | Q_L] ordered by the sum of
// their first and last keys, the two-scale column first on ties; each with the place of its
// unknown in s_(L-1) followed by c_L.
std::vector<std::pair<engine::BandColumn, int>> levelSystem(const engine::Basis& basis, int L)
{
    const int m = basis.m(), coarser = (1 << (L - 1)) + m - 1;
    std::vector<std::tuple<int, int, engine::SplineRow>> columns; // centre, place, row
    for (int k = 1 - m; k < coarser + 1 - m; ++k)
        columns.emplace_back(0, k + m - 1, basis.twoScale(L, k));
    for (int p = 1 - m; p <= (1 << (L - 1)) - m; ++p)
        columns.emplace_back(0, coarser + p + m - 1, basis.wavelet(L, p));
    for (auto& [centre, place, row] : columns)
        centre = row.first + row.last();
    std::ranges::stable_sort(columns, {}, [](const auto& column) { return std::get<0>(column); });
    std::vector<std::pair<engine::BandColumn, int>> system;
    for (const auto& [centre, place, row] : columns)
        system.push_back({{row.first + m - 1, row.values, place}, place});
    return system;
}

// dgbsv on the whole band matrix of the columns (column j from row first).
std::vector<double> lapackBandSolve(
    const std::vector<std::pair<engine::BandColumn, int>>& system, std::vector<double> b)
{
    const int n = int(system.size());
    int kl = 0, ku = 0;
    for (int j = 0; j < n; ++j) {
        kl = std::max(kl, system[j].first.first + int(system[j].first.values.size()) - 1 - j);
        ku = std::max(ku, j - system[j].first.first);
    }
    const int ldab = 2 * kl + ku + 1;
    std::vector<double> band(std::size_t(ldab) * n);
    for (int j = 0; j < n; ++j)
        for (std::size_t i = 0; i < system[j].first.values.size(); ++i)
            band[kl + ku + system[j].first.first + i - j + std::size_t(j) * ldab]
                = system[j].first.values[i];
    std::vector<int> pivots(n);
    if (LAPACKE_dgbsv(
            LAPACK_COL_MAJOR, n, kl, ku, 1, band.data(), ldab, pivots.data(), b.data(), n))
        qFatal("dgbsv failed");
    return b;
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    // m = 2, 3, 4 under both rules, J0 the smallest the rule allows; J every level up to 8, 12,
    // and the largest for the widest band (m = 4), 16 for the others.
    void fastTransform_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("J");
        QTest::addColumn<Rule>("rule");
        for (Rule rule : {Rule::Default, Rule::Exact})
            for (int m = 2; m <= 4; ++m)
                for (int J : {3, 4, 5, 6, 7, 8, 12, m == 4 ? engine::largestFinestLevel : 16})
                    if (J >= engine::smallestFinestLevel(m, engine::smallestCoarsestLevel(m, rule)))
                        QTest::addRow(
                            "m=%d J=%d %s", m, J, rule == Rule::Exact ? "exact" : "default")
                            << m << J << rule;
    }
    // Forward then inverse gives back every polynomial of degree < m at the sample points. Up
    // to J = 8 the coefficients of sin(2 pi x) exp(-x) are those of the dense Gram solve,
    // relative to the largest coefficient. The multilevel Gram matrix of m = 4 is ill
    // conditioned, under the default rule ten times worse with every level (about 7e6 at J = 8),
    // so two stable solutions of it differ by that much times the rounding; both leave residuals
    // of 1e-15 in the dense system.
    void fastTransform()
    {
        QFETCH(int, m);
        QFETCH(int, J);
        QFETCH(Rule, rule);
        engine::Transform transform({m, J, engine::smallestCoarsestLevel(m, rule), rule});
        auto f
            = [m](double x) { return 1 - 8 * x + (m > 2) * 3 * x * x + (m > 3) * 5 * x * x * x; };
        const std::vector<double> x = transform.samplePoints();
        std::vector<double> error = transform.inverse(transform.forward(engine::pointwise(f)), x),
                            exact(x.size());
        std::ranges::transform(x, exact.begin(), f);
        std::ranges::transform(error, exact, error.begin(), std::minus<>());
        const double reproduced = largestMagnitude(error) / largestMagnitude(exact);
        QVERIFY2(reproduced <= 1e-10, qPrintable(QString::number(reproduced)));
        if (J > 8)
            return;
        auto g = [](double x) { return std::sin(2 * std::numbers::pi * x) * std::exp(-x); };
        std::vector<double> difference = flat(transform.forward(engine::pointwise(g)));
        const std::vector<double> dense = flat(denseForward(transform.basis(), g));
        QCOMPARE(difference.size(), dense.size());
        std::ranges::transform(difference, dense, difference.begin(), std::minus<>());
        const double relative = largestMagnitude(difference) / largestMagnitude(dense);
        const double tolerance = m < 4 ? 1e-12 : rule == Rule::Default && J == 8 ? 1e-8 : 1e-9;
        QVERIFY2(relative < tolerance, qPrintable(QString::number(relative)));
    }

    // Under the exact rule the central wavelet is the semi-orthogonal one of minimal support,
    // and every wavelet of every level is orthogonal to every B-spline of the level below (the
    // integrals by a 4-point Gauss rule on each interval of the wavelet's level, exact for these
    // polynomials of degree 6 or less); the inverse of a unit coefficient is its wavelet.
    void exactRuleIsSemiOrthogonalOnEveryLevel()
    {
        // the central system of m = 4 loses digits
        for (auto [m, tolerance] : {std::pair {2, 1e-14}, {3, 1e-12}, {4, 1e-9}}) {
            const int J = 10, J0 = engine::smallestCoarsestLevel(m, Rule::Exact);
            engine::Transform transform({m, J, J0, Rule::Exact});
            const engine::Basis& basis = transform.basis();
            const std::vector<std::vector<double>> textbook
                = {{1, -6, 10, -6, 1}, {-1, 29, -147, 303, -303, 147, -29, 1},
                    {1, -124, 1677, -7904, 18482, -24264, 18482, -7904, 1677, -124, 1}};
            const std::vector<double>& central = basis.centralWavelet();
            for (std::size_t k = 0; k < textbook[m - 2].size(); ++k)
                QVERIFY(std::abs(central[k] - textbook[m - 2][k])
                    <= std::max(tolerance, 1e-12) * largestMagnitude(textbook[m - 2]));

            const double node[] = {0.8611363115940526, 0.3399810435848563};
            const double weight[] = {0.3478548451374538, 0.6521451548625461};
            const std::vector<double> x = transform.samplePoints();
            double largest = 0;
            for (int L = J0 + 1; L <= J; ++L) {
                auto integral = [&](auto f, auto g, int first, int last) {
                    double sum = 0;
                    for (int i = std::max(first, 0); i <= std::min(last, (1 << L) - 1); ++i)
                        for (int q = 0; q < 4; ++q) {
                            const double at
                                = (i + 0.5 + (q < 2 ? -0.5 : 0.5) * node[q % 2]) / (1 << L);
                            sum += weight[q % 2] * f(at) * g(at);
                        }
                    return sum;
                };
                for (int p = 1 - m; p <= (1 << (L - 1)) - m; ++p) {
                    const engine::SplineRow row = basis.wavelet(L, p);
                    auto psi = [&](double at) { return basis.waveletValue(L, p, at); };
                    const int first = row.first, last = row.last() + m - 1; // its intervals
                    for (int l = (first - m) / 2; l <= last / 2; ++l) {
                        auto spline = [&](double at) { return basis.splineValue(L - 1, l, at); };
                        largest = std::max(largest,
                            std::abs(integral(psi, spline, first, last))
                                / std::sqrt(integral(psi, psi, first, last)
                                    * integral(spline, spline, 2 * l, 2 * l + 2 * m - 1)));
                    }
                    engine::Coefficients unit(m, J0, J);
                    unit.wavelet(L, p) = 1;
                    const std::vector<double> values = transform.inverse(unit, x);
                    const double size = largestMagnitude(values);
                    for (std::size_t i = 0; i < x.size(); ++i)
                        QVERIFY(std::abs(values[i] - psi(x[i])) <= 1e-12 * size);
                }
            }
            QVERIFY2(largest < tolerance, qPrintable(QString("m=%1: %2").arg(m).arg(largest)));
        }
    }

    // m = 2, 3, 4 under both rules, J = 12: the first two levels and the last two, short (every
    // factor kept) and long (folded: LAPACK's factors of a shortened matrix serve the whole).
    void levelStep_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<Rule>("rule");
        for (Rule rule : {Rule::Default, Rule::Exact})
            for (int m = 2; m <= 4; ++m)
                QTest::addRow("m=%d %s", m, rule == Rule::Exact ? "exact" : "default") << m << rule;
    }
    // The kept factors solve each level's system to the bit as dgbsv does on the whole matrix,
    // split() puts the unknowns where its layout says, merge() sums the columns in its order; rows and columns of a matrix go
    // through split() in one call as one at a time, and merge() undoes it.
    void levelStep()
    {
        QFETCH(int, m);
        QFETCH(Rule, rule);
        const int J = 12, J0 = engine::smallestCoarsestLevel(m, rule);
        const engine::Transform transform({m, J, J0, rule});
        for (int L : {J0 + 1, J0 + 2, J - 1, J}) {
            const auto system = levelSystem(transform.basis(), L);
            const int n = int(system.size());
            const engine::BandLU factors(n, [&](const auto& visit) {
                for (int j = 0; j < n; ++j)
                    visit(j, system[j].first);
            });
            QCOMPARE(factors.storedColumns() < std::size_t(n), L >= 11);
            const std::vector<double> b = randomValues(n, L);
            const std::vector<double> solved = lapackBandSolve(system, b);
            std::vector<double> x = b, expected(n);
            factors.solve(x.data());
            QVERIFY2(sameBits(x, solved), qPrintable(QString("level %1").arg(L)));
            // as many right-hand sides at once as the solves take, interleaved, each with a
            // zero here and there: each as alone (==: but for the signs of zeros)
            constexpr std::size_t G = engine::BandLU::lanes;
            std::vector<double> lanes(n * G);
            std::vector<std::vector<double>> alone;
            for (std::size_t g = 0; g < G; ++g) {
                alone.push_back(randomValues(n, L + 200 + int(g)));
                for (int j = int(g); j < n; j += 3)
                    alone[g][j] = 0;
                for (int j = 0; j < n; ++j)
                    lanes[j * G + g] = alone[g][j];
                factors.solve(alone[g].data());
            }
            factors.solveLanes(lanes.data());
            for (std::size_t g = 0; g < G; ++g)
                for (int j = 0; j < n; ++j)
                    QVERIFY(lanes[j * G + g] == alone[g][j]);
            for (int j = 0; j < n; ++j)
                expected[system[j].second] = solved[j] + 0.0;
            x = b;
            transform.split(L, {x.data()});
            QVERIFY2(sameBits(x, expected), qPrintable(QString("level %1").arg(L)));
            // merge() sums each entry from 0.0, the two-scale columns in ascending k, then the
            // wavelets in ascending p (by their places), to the bit
            std::vector<const engine::BandColumn*> byPlace(n);
            for (const auto& [column, place] : system)
                byPlace[place] = &column;
            std::vector<double> merged(n, 0.0);
            for (int place = 0; place < n; ++place)
                for (std::size_t i = 0; i < byPlace[place]->values.size(); ++i)
                    merged[byPlace[place]->first + i] += byPlace[place]->values[i] * b[place];
            x = b;
            transform.merge(L, {x.data()});
            QVERIFY2(sameBits(x, merged), qPrintable(QString("level %1").arg(L)));

            // eleven vectors (a group of those the solves take at once and part of one) as the
            // rows, then as the columns, of a matrix
            constexpr int count = 11;
            const std::vector<double> all = randomValues(count * n, L + 100);
            std::vector<double> rows = all, columns(all.size()), each(all.size());
            for (int r = 0; r < count; ++r) {
                std::vector<double> one(all.begin() + r * n, all.begin() + (r + 1) * n);
                transform.split(L, {one.data()});
                std::ranges::copy(one, each.begin() + r * n);
                for (int i = 0; i < n; ++i)
                    columns[i * count + r] = all[r * n + i];
            }
            transform.split(L, {rows.data(), count, 1, n});
            transform.split(L, {columns.data(), count, count, 1});
            QVERIFY(sameBits(rows, each));
            for (int r = 0; r < count; ++r)
                for (int i = 0; i < n; ++i)
                    QVERIFY(columns[i * count + r] == each[r * n + i]);
            transform.merge(L, {rows.data(), count, 1, n});
            for (std::size_t i = 0; i < all.size(); ++i)
                QVERIFY(std::abs(rows[i] - all[i]) <= 1e-12);
        }
    }

    // The Gram matrix's kept Cholesky factor solves to the bit as dpbsv does on the whole
    // matrix, built as the class promises: interval i adds block[j][jj] to the entry
    // (i - j + kd, i - jj + kd), jj >= j, in increasing i. Short matrices keep every column.
    void gramFactor()
    {
        for (auto [m, intervals] : {std::pair {2, 40}, {3, 4096}, {4, 4096}, {4, 5000}}) {
            const int kd = m - 1, n = intervals + kd;
            const engine::Basis basis({m, 6, engine::smallestCoarsestLevel(m, Rule::Default)});
            const engine::MeshQuadrature& mesh = basis.quadrature();
            const std::vector<double> x = mesh.points(0);
            std::vector<double> block(m * m);
            for (int j = 0; j < m; ++j)
                for (int jj = 0; jj < m; ++jj)
                    for (std::size_t q = 0; q < x.size(); ++q)
                        block[j * m + jj] += mesh.weights()[q] * basis.splineValue(6, -j, x[q])
                            * basis.splineValue(6, -jj, x[q]);
            std::vector<double> gram(std::size_t(kd + 1) * n);
            for (int i = 0; i < intervals; ++i)
                for (int j = 0; j < m; ++j)
                    for (int jj = j; jj < m; ++jj)
                        gram[jj - j + std::size_t(i - jj + kd) * (kd + 1)] += block[j * m + jj];
            const engine::GramCholesky factor(intervals, kd, block);
            QCOMPARE(factor.storedColumns() < std::size_t(n), intervals > 2000);
            std::vector<double> expected = randomValues(n, m), solved = expected;
            QCOMPARE(LAPACKE_dpbsv(
                         LAPACK_COL_MAJOR, 'L', n, kd, 1, gram.data(), kd + 1, expected.data(), n),
                0);
            factor.solve(solved.data());
            QVERIFY2(sameBits(solved, expected), qPrintable(QString("m=%1").arg(m)));
        }
    }

    // f in batches of a few thousand intervals: the values are those of f point by point, and
    // where f is not finite the first such quadrature point is named, in interval order, also
    // when it lies in a later batch; f may itself call forward.
    void batchFunction()
    {
        const engine::Transform transform({3, 14, 2});
        const std::vector<double> points = transform.basis().quadrature().allPoints();
        auto f = [](double x) { return std::sin(40 * x) + x; };
        QVERIFY(sameBits(transform.finestProducts(engine::pointwise(f)),
            transform.finestProducts([&](std::span<const double> x, std::span<double> fx) {
                std::ranges::transform(x, fx.begin(), f);
            })));
        for (double from : {0.1, 0.7}) {
            const double first = *std::ranges::find_if(points, [&](double x) { return x > from; });
            try {
                transform.finestProducts(
                    engine::pointwise([&](double x) { return x > from ? NAN : x; }));
                QFAIL("no error");
            } catch (const engine::NotFiniteError& error) {
                QCOMPARE(error.x, first);
            }
        }
        // f may run a transform of its own, larger, while its products are being summed
        const engine::Transform larger({4, 16, 2});
        const std::vector<double> alone = flat(transform.forward(engine::pointwise(f)));
        const std::vector<double> nested
            = flat(transform.forward([&](std::span<const double> x, std::span<double> fx) {
                  larger.forward(engine::pointwise(f));
                  std::ranges::transform(x, fx.begin(), f);
              }));
        QVERIFY(sameBits(nested, alone));
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"

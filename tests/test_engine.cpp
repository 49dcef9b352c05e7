// The transform engine without a window: the fast transform against the dense Gram solve and
// polynomials reproduced at every level up to 22; the exact rule's basis: the textbook
// central wavelet, orthogonal across all levels.

#include "engine/Transform.h"
#include "tests/DenseReference.h"

#include <QTest>

#include <cmath>
#include <numbers>

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
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"

// The model of one expansion without a window: what thresholds and the K largest keep, the
// levels adding up to the whole, the N-term curve against expansions built directly, energies
// and errors against numbers worked out by hand.

#include "engine/Expansion.h"

#include <QTest>

#include <cmath>
#include <numbers>
#include <numeric>

using engine::Rule;
Q_DECLARE_METATYPE(Rule)

namespace {

double largestMagnitude(const std::vector<double>& values)
{
    return std::abs(std::ranges::max(values, {}, [](double v) { return std::abs(v); }));
}

// A smooth part and a jump, so that every level has coefficients of every size.
double f(double x)
{
    return std::sin(2 * std::numbers::pi * x) * std::exp(-x) + (x < 0.3 ? 1 : 0);
}

engine::Expansion expansionOf(int m, int J, Rule rule)
{
    auto transform = std::make_shared<engine::Transform>(
        engine::BasisParameters {m, J, engine::smallestCoarsestLevel(m, rule), rule});
    return engine::Expansion(
        transform, transform->forward(engine::pointwise(f)), engine::Origin::Function, "f");
}

} // namespace

class TestExpansion : public QObject
{
    Q_OBJECT

private slots:
    void compression_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<Rule>("rule");
        for (Rule rule : {Rule::Default, Rule::Exact})
            for (int m = 2; m <= 4; ++m)
                QTest::addRow("m=%d %s", m, rule == Rule::Exact ? "exact" : "default") << m << rule;
    }
    // A threshold and the K largest change a copy only: the kept coefficients are the large
    // ones, as they were; the levels add up to the whole; each point of the N-term curve is the
    // error of the expansion that keeps that many largest coefficients, built directly.
    void compression()
    {
        QFETCH(int, m);
        QFETCH(Rule, rule);
        const engine::Expansion all = expansionOf(m, 7, rule);
        const std::vector<double> c = all.coefficients().c;
        const double T = largestMagnitude(c) / 50;
        const auto value = engine::Measure::Value;
        const std::vector<double> thresholded = all.thresholded(T, value).coefficients().c;
        std::size_t atLeast = 0;
        for (std::size_t i = 0; i < c.size(); ++i) {
            QVERIFY(thresholded[i] == (std::abs(c[i]) < T ? 0.0 : c[i]));
            atLeast += !(std::abs(c[i]) < T);
        }
        QCOMPARE(all.countAtLeast(T, value), atLeast);
        const std::size_t K = c.size() / 5;
        const std::vector<double> largest = all.keepingLargest(K, value).coefficients().c;
        double smallestKept = INFINITY, largestDropped = 0;
        for (std::size_t i = 0; i < c.size(); ++i)
            if (largest[i] != 0) {
                QVERIFY(largest[i] == c[i]);
                smallestKept = std::min(smallestKept, std::abs(c[i]));
            } else
                largestDropped = std::max(largestDropped, std::abs(c[i]));
        QCOMPARE(std::size_t(std::ranges::count_if(largest, [](double v) { return v != 0; })), K);
        QVERIFY(smallestKept >= largestDropped);
        QVERIFY(all.coefficients().c == c); // untouched

        const int S = 3;
        const std::vector<double> whole = all.onMesh(S);
        std::vector<double> sum(whole.size(), 0.0);
        for (int L = all.coefficients().J0; L <= all.coefficients().J; ++L) {
            const std::vector<double> part = all.level(L).onMesh(S);
            std::ranges::transform(sum, part, sum.begin(), std::plus<>());
        }
        const double scale = largestMagnitude(whole);
        for (std::size_t q = 0; q < whole.size(); ++q)
            QVERIFY(std::abs(sum[q] - whole[q]) <= 1e-12 * scale);

        std::vector<double> reference(whole.size());
        for (std::size_t q = 0; q < whole.size(); ++q)
            reference[q] = f(double(q) / S / (1 << 7));
        const auto curve = all.nTermCurve(reference, S);
        QCOMPARE(curve.back().first, c.size());
        for (std::size_t i = 0; i < curve.size(); i += 7) {
            const auto [kept, error] = curve[i];
            const double direct
                = engine::deviation(reference, all.keepingLargest(kept).onMesh(S)).largest;
            QVERIFY2(std::abs(error - direct) <= 1e-12 * scale,
                qPrintable(QString("K=%1: %2 %3").arg(kept).arg(error).arg(direct)));
        }
    }

    // Equal moduli: the earlier in level order stay, and a threshold equal to them keeps them.
    // Energies of hand-made coefficients; the deviation of (3, -4, 0, 0) from 0: largest 4, rms
    // 5/2.
    void handWorked()
    {
        auto transform = std::make_shared<engine::Transform>(engine::BasisParameters {2, 6, 1});
        engine::Coefficients c(2, 1, 6); // d: 3 of level 1; c: 2, 4, .. 32 of levels 2 .. 6
        c.d = {1, 2, 3};
        for (std::size_t i = 0; i < c.c.size(); ++i)
            c.c[i] = i % 3 ? 1 : -1;
        const engine::Expansion expansion(transform, c);
        const auto value = engine::Measure::Value;
        const std::vector<double> kept = expansion.keepingLargest(10, value).coefficients().c;
        QVERIFY(std::ranges::equal(std::span(kept).first(10), std::span(c.c).first(10))
            && std::ranges::count(kept, 0.0) == 52);
        QVERIFY(expansion.thresholded(1, value).coefficients().c == c.c
            && expansion.countAtLeast(1, value) == 62);
        QVERIFY(expansion.sumsOfSquares() == std::vector<double>({14, 2, 4, 8, 16, 32}));
        const std::vector<double> zero(4, 0.0), values {3, -4, 0, 0};
        const engine::Deviation deviation = engine::deviation(zero, values);
        QVERIFY(deviation.largest == 4 && deviation.rms == 2.5);
        // The expansion at the mesh points, by either road, to the bit.
        const std::vector<double> mesh = expansion.onMesh(1);
        const std::vector<double> x {0, 1.0 / 64, 0.5, 63.0 / 64, 1};
        const std::vector<double> at = expansion.at(x);
        QVERIFY(at[0] == mesh[0] && at[1] == mesh[1] && at[2] == mesh[32] && at[3] == mesh[63]
            && at[4] == mesh[64]);
    }

    // The L^2 norms of the basis functions against Simpson's rule on 256 panels per mesh interval
    // of the function's level (the panels end on the knots, where the B-splines bend; its error,
    // of order 256^-4, stays below 1e-8 of the norm even for the boundary wavelets of m = 4, whose
    // coefficients reach 10^4): m = 2, 3, 4 under both rules, every function
    // of two levels and the coarsest B-splines; and one by hand: m = 3, J0 = 2, the B-spline
    // N_(2,-2) = h (1 - x/h)^2 / 2 on [0, h], h = 1/4, has ||N||^2 = h^3/20 = 1/1280.
    void norms_data() { compression_data(); }
    void norms()
    {
        QFETCH(int, m);
        QFETCH(Rule, rule);
        const engine::Expansion expansion = expansionOf(m, 6, rule);
        const engine::Basis& basis = expansion.transform().basis();
        auto simpson = [](auto&& g, int L) {
            const int panels = 256 << L;
            const double h = 1.0 / panels;
            double sum = g(0.0) + g(1.0);
            for (int i = 1; i < panels; ++i)
                sum += (i % 2 ? 4 : 2) * g(i * h);
            return sum * h / 3;
        };
        const int J0 = basis.coarsestLevel();
        if (m == 3)
            QCOMPARE(expansion.basisNorms().d[0], std::sqrt(1.0 / 1280));
        for (int k : scalingIndices(m, J0)) {
            const double norm = std::sqrt(
                simpson([&](double x) { return std::pow(basis.splineValue(J0, k, x), 2); }, J0));
            QVERIFY(
                std::abs(expansion.basisNorms().d[std::size_t(k + m - 1)] - norm) <= 1e-8 * norm);
        }
        for (int L : {J0 + 1, 6})
            for (int p : waveletIndices(m, L)) {
                const double norm = std::sqrt(
                    simpson([&](double x) { return std::pow(basis.waveletValue(L, p, x), 2); }, L));
                const std::size_t u = std::size_t((1 << (L - 1)) - (1 << J0) + p + m - 1);
                QVERIFY2(std::abs(expansion.basisNorms().c[u] - norm) <= 1e-8 * norm,
                    qPrintable(QString("L=%1 p=%2").arg(L).arg(p)));
            }
    }

    // A coefficient of 1 on level J0 + 1 and one of 2 on level 8: |c| keeps the fine one, the
    // contribution the coarse one, which leaves the smaller error in L^2. Under the exact rule the
    // levels are orthogonal and their energies add up to the whole.
    void contributionAndEnergy_data() { compression_data(); }
    void contributionAndEnergy()
    {
        QFETCH(int, m);
        QFETCH(Rule, rule);
        auto transform = std::make_shared<engine::Transform>(
            engine::BasisParameters {m, 8, engine::smallestCoarsestLevel(m, rule), rule});
        const int J0 = transform->basis().coarsestLevel();
        engine::Coefficients two(m, J0, 8);
        two.wavelet(J0 + 1, 0) = 1;
        two.wavelet(8, 40) = 2;
        const engine::Expansion both(transform, two);
        auto dropped = [&](engine::Measure measure) {
            const engine::Coefficients kept = both.keepingLargest(1, measure).coefficients();
            engine::Coefficients rest = two;
            std::ranges::transform(rest.c, kept.c, rest.c.begin(), std::minus<>());
            return engine::Expansion(transform, rest).energy();
        };
        QVERIFY(both.keepingLargest(1).coefficients().wavelet(J0 + 1, 0) == 1);
        QVERIFY(both.keepingLargest(1, engine::Measure::Value).coefficients().wavelet(8, 40) == 2);
        QVERIFY(dropped(engine::Measure::Contribution) < dropped(engine::Measure::Value) / 4);

        const engine::Expansion all = expansionOf(m, 8, rule);
        const std::vector<double> energies = all.levelEnergies();
        const double sum = std::accumulate(energies.begin(), energies.end(), 0.0);
        if (rule == Rule::Exact)
            QVERIFY2(std::abs(sum - all.energy()) <= 1e-12 * all.energy(),
                qPrintable(QString::number(sum / all.energy() - 1)));
        QVERIFY(energies.size() == std::size_t(8 - J0 + 1) && all.energy() > 0);
    }
};

QTEST_GUILESS_MAIN(TestExpansion)
#include "test_expansion.moc"

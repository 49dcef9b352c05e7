// The model of one expansion without a window: what thresholds and the K largest keep, the
// levels adding up to the whole, the N-term curve against expansions built directly, energies
// and errors against numbers worked out by hand.

#include "engine/Expansion.h"

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

// A smooth part and a jump, so that every level has coefficients of every size.
double f(double x)
{
    return std::sin(2 * std::numbers::pi * x) * std::exp(-x) + (x < 0.3 ? 1 : 0);
}

engine::Expansion expansionOf(int m, int J, Rule rule)
{
    auto transform = std::make_shared<engine::Transform>(
        engine::BasisParameters {m, J, engine::smallestCoarsestLevel(m, rule), rule});
    return engine::Expansion(transform, transform->forward(f), engine::Origin::Function, "f");
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
        const std::vector<double> thresholded = all.thresholded(T).coefficients().c;
        std::size_t atLeast = 0;
        for (std::size_t i = 0; i < c.size(); ++i) {
            QVERIFY(thresholded[i] == (std::abs(c[i]) < T ? 0.0 : c[i]));
            atLeast += !(std::abs(c[i]) < T);
        }
        QCOMPARE(all.countAtLeast(T), atLeast);
        const std::size_t K = c.size() / 5;
        const std::vector<double> largest = all.keepingLargest(K).coefficients().c;
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
        const std::vector<double> kept = expansion.keepingLargest(10).coefficients().c;
        QVERIFY(std::ranges::equal(std::span(kept).first(10), std::span(c.c).first(10))
            && std::ranges::count(kept, 0.0) == 52);
        QVERIFY(
            expansion.thresholded(1).coefficients().c == c.c && expansion.countAtLeast(1) == 62);
        QVERIFY(expansion.levelEnergies() == std::vector<double>({14, 2, 4, 8, 16, 32}));
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
};

QTEST_GUILESS_MAIN(TestExpansion)
#include "test_expansion.moc"

// Samples to an expansion without a window: the spline through the samples gives them back with
// every coefficient kept, reproduces polynomials of degree < m, is the least-jump spline of a
// dense solve, and samples no spline of the level goes through are refused; x in their own units.

#include "data/SampleExpansion.h"
#include "data/SampleFit.h"

#include <QTest>

#include <lapacke.h>

#include <cmath>
#include <memory>

using Values = std::vector<double>;

namespace {

std::shared_ptr<const engine::Transform> transformOf(
    int m, int J, engine::Rule rule, double a = 0, double b = 1)
{
    return std::make_shared<const engine::Transform>(
        engine::BasisParameters {m, J, engine::smallestCoarsestLevel(m, rule), rule, a, b});
}

// N points of [a, b], equally spaced or, irregular, each moved by up to 0.45 of the spacing.
Values abscissae(int N, double a, double b, bool irregular)
{
    Values x(N);
    for (int i = 0; i < N; ++i) {
        const double shift = irregular && 0 < i && i < N - 1 ? 0.45 * std::sin(7.3 * i * i) : 0;
        x[i] = a + (b - a) * (i + shift) / (N - 1);
    }
    return x;
}

// A series that looks measured: a trend, a cycle of about eleven samples and noise from a fixed
// linear congruential sequence.
Values series(int N)
{
    Values y(N);
    unsigned state = 12345;
    for (int i = 0; i < N; ++i) {
        state = state * 1103515245u + 12345u;
        const double noise = double(state >> 8) / double(1u << 24) - 0.5;
        y[i] = 40 + 0.01 * i + 30 * std::sin(2 * M_PI * i / 11.1) + 8 * noise;
    }
    return y;
}

double largestDifference(const Values& u, const Values& v)
{
    double largest = 0;
    for (std::size_t i = 0; i < u.size(); ++i)
        largest = std::max(largest, std::abs(u[i] - v[i]));
    return largest;
}

double largestMagnitude(const Values& u)
{
    return largestDifference(u, Values(u.size(), 0.0));
}

QString failure(const std::function<void()>& run)
{
    try {
        run();
    } catch (const DataError& error) {
        return QString::fromUtf8(error.what());
    }
    return "accepted";
}

} // namespace

class TestSamples : public QObject
{
    Q_OBJECT

private slots:
    void samplesBack_data();
    void samplesBack();
    void polynomials();
    void leastJumps();
    void refused();
    void ownUnits();
    void brokenLineProjected();
};

void TestSamples::samplesBack_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("J");
    QTest::addColumn<engine::Rule>("rule");
    QTest::addColumn<int>("N");
    QTest::addColumn<bool>("irregular");
    for (int m : {2, 3, 4})
        for (engine::Rule rule : {engine::Rule::Default, engine::Rule::Exact}) {
            const int J = m == 4 && rule == engine::Rule::Exact ? 6 : 5;
            const char* name = rule == engine::Rule::Exact ? "exact" : "default";
            QTest::addRow("m=%d %s all mesh points", m, name)
                << m << J << rule << (1 << J) + 1 << false;
            QTest::addRow("m=%d %s fewer, irregular", m, name) << m << J << rule << 23 << true;
            QTest::addRow("m=%d %s as many, irregular", m, name)
                << m << J << rule << (1 << J) + 1 << true;
        }
    QTest::addRow("m=4 J=12 default, 4097 samples")
        << 4 << 12 << engine::Rule::Default << 4097 << false;
    QTest::addRow("m=3 J=12 exact, 3001 irregular")
        << 3 << 12 << engine::Rule::Exact << 3001 << true;
}

// Every coefficient kept, the expansion at the samples' x is y to 1e-12 of the largest |y|; the
// projection route, on the same samples, misses them by far more.
void TestSamples::samplesBack()
{
    QFETCH(int, m);
    QFETCH(int, J);
    QFETCH(engine::Rule, rule);
    QFETCH(int, N);
    QFETCH(bool, irregular);
    const auto transform = transformOf(m, J, rule);
    const SampledData samples {abscissae(N, 0, 1, irregular), series(N)};
    const engine::Expansion exact = expandSamples(transform, samples);
    const double scale = largestMagnitude(samples.y);
    QVERIFY2(largestDifference(exact.at(samples.x), samples.y) <= 1e-12 * scale,
        qPrintable(QString::number(largestDifference(exact.at(samples.x), samples.y) / scale)));
    QCOMPARE(exact.origin(), engine::Origin::Function);
    const engine::Expansion projected = expandSamples(transform, samples, Fit::Project);
    if (irregular)
        QVERIFY(largestDifference(projected.at(samples.x), samples.y) > 1e-6 * scale);
}

// Samples of a polynomial of degree < m, at irregular x on [-1, 2], give that polynomial
// everywhere; of N < m samples, the polynomial of degree N - 1 through them.
void TestSamples::polynomials()
{
    const Values power = {-3, 2, -1.25, 0.5}; // -3 + 2x - 1.25x^2 + 0.5x^3, cut to the degree
    const Values dense = abscissae(301, -1, 2, false);
    for (int m : {2, 3, 4})
        for (int N : {2, m, 17}) {
            const int degree = std::min(m, N) - 1;
            auto p = [&](const Values& x) {
                Values value(x.size(), 0.0);
                for (std::size_t i = 0; i < x.size(); ++i)
                    for (int d = degree; d >= 0; --d)
                        value[i] = value[i] * x[i] + power[d];
                return value;
            };
            const SampledData samples {abscissae(N, -1, 2, true), p(abscissae(N, -1, 2, true))};
            const engine::Expansion expansion
                = expandSamples(transformOf(m, 5, engine::Rule::Exact, -1, 2), samples);
            QVERIFY2(largestDifference(expansion.at(dense), p(dense)) <= 1e-10,
                qPrintable(QString("m=%1 N=%2").arg(m).arg(N)));
        }
}

// Against the system solved whole, in the natural order of its unknowns, by LAPACK's dense LU:
// minimise the sum of squared m-th differences of the coefficients subject to A s = y.
void TestSamples::leastJumps()
{
    for (int m : {2, 3, 4}) {
        const auto transform = transformOf(m, 4, engine::Rule::Default);
        const engine::Basis& basis = transform->basis();
        const int N = 11, n = 16 + m - 1, size = n + N;
        const SampledData samples {abscissae(N, 0, 1, true), series(N)};
        Values K(size * size, 0.0), rhs(size, 0.0);
        const Values w = m == 2 ? Values {1, -2, 1}
            : m == 3            ? Values {-1, 3, -3, 1}
                                : Values {1, -4, 6, -4, 1};
        for (int j = 0; j + m < n; ++j)
            for (int r = 0; r <= m; ++r)
                for (int c = 0; c <= m; ++c)
                    K[(j + r) * size + j + c] += w[r] * w[c];
        for (int i = 0; i < N; ++i) {
            for (int k = 1 - m; k < 16; ++k) {
                const double value = basis.splineValue(4, k, samples.x[i]);
                K[(n + i) * size + k + m - 1] = K[(k + m - 1) * size + n + i] = value;
            }
            rhs[n + i] = samples.y[i];
        }
        std::vector<lapack_int> pivots(size);
        QCOMPARE(
            LAPACKE_dgesv(LAPACK_ROW_MAJOR, size, 1, K.data(), size, pivots.data(), rhs.data(), 1),
            0);
        const Values expected(rhs.begin(), rhs.begin() + n);
        const LevelSpline s = interpolatingSpline(basis, samples);
        QCOMPARE(s.level, 4);
        QVERIFY2(largestDifference(s.coefficients, expected) <= 1e-10 * largestMagnitude(expected),
            qPrintable(QString("m=%1").arg(m)));
    }
}

// More samples than 2^J + 1, or more on a few intervals than the B-splines there; and samples
// just possible: one per B-spline, the first m - 1 of them before the first inner knot.
void TestSamples::refused()
{
    const auto transform = transformOf(2, 3, engine::Rule::Default);
    const QString expected = "Сплайн уровня J = 3 не проходит через отсчёты: ";
    const std::vector<std::pair<Values, QString>> cases = {
        {abscissae(10, 0, 1, false),
            "отсчётов 10, а сплайн этого уровня проходит не более чем через 9"},
        {{0, 0.01, 0.02, 0.5, 1},
            "на некоторых интервалах сетки отсчётов больше, чем сплайнов, отличных там от нуля"},
        {{0, 0.5, 0.75, 0.8, 0.85, 1},
            "на некоторых интервалах сетки отсчётов больше, чем сплайнов, отличных там от нуля"},
        {{0, 0.5, 0.5 + 1e-15, 1}, "отсчёты слишком близки друг к другу"},
    };
    for (const auto& [x, why] : cases)
        QCOMPARE(failure([&] {
            expandSamples(transform, {x, series(int(x.size()))});
        }),
            expected + why + "; увеличьте J или выберите проекцию сплайна через отсчёты.");
    const SampledData crowded {{0, 0.01, 0.02, 0.03, 0.5, 1}, {2, 2.03, 2.06, 2.09, 3.5, 2.1}};
    const engine::Expansion cubic
        = expandSamples(transformOf(4, 5, engine::Rule::Default), crowded);
    const double error = largestDifference(cubic.at(crowded.x), crowded.y);
    QVERIFY2(error <= 1e-12 * largestMagnitude(crowded.y), qPrintable(QString::number(error)));
}

// Years 1700 .. 2008 are mapped onto [0, 1], the ends exactly, and the samples come back there.
void TestSamples::ownUnits()
{
    Values years(309);
    for (int i = 0; i < 309; ++i)
        years[i] = 1700 + i;
    const SampledData mapped = onInterval({years, series(309)}, 0, 1);
    QCOMPARE(mapped.x.front(), 0.0);
    QCOMPARE(mapped.x.back(), 1.0);
    QVERIFY(std::abs(mapped.x[154] - 0.5) <= 1e-15);
    const engine::Expansion expansion
        = expandSamples(transformOf(3, 9, engine::Rule::Default), {years, series(309)});
    QVERIFY(
        largestDifference(expansion.at(mapped.x), mapped.y) <= 1e-12 * largestMagnitude(mapped.y));
    const SampledData spanning {{0, 0.3, 1}, {1, 2, 3}};
    QCOMPARE(onInterval(spanning, 0, 1), spanning);
}

// The broken line through (0, 0), (1/2, 1), (1, 0) is a spline of V_3 for m = 2, so its
// projection is itself: 1/2 at x = 1/4 and 3/4; the cubic spline's is not.
void TestSamples::brokenLineProjected()
{
    const auto transform = transformOf(2, 3, engine::Rule::Exact);
    const SampledData hat {{0, 0.5, 1}, {0, 1, 0}};
    const Values x = {0.25, 0.75};
    const Values linear = expandSamples(transform, hat, Fit::Project, {}, Between::Linear).at(x);
    QVERIFY(largestDifference(linear, {0.5, 0.5}) <= 1e-14);
    const Values cubic = expandSamples(transform, hat, Fit::Project).at(x);
    QVERIFY(largestDifference(cubic, {0.5, 0.5}) > 0.1);
}

QTEST_APPLESS_MAIN(TestSamples)
#include "test_samples.moc"

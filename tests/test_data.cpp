// Data files without a window: the layouts a file may have, the spline between the samples, and
// a file of a million lines.

#include "data/Interpolant.h"
#include "data/SampledData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <charconv>
#include <cmath>

using Values = std::vector<double>;
Q_DECLARE_METATYPE(Values)

class TestData : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void spline();
    void millionLines();
};

void TestData::layouts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<Values>("x");
    QTest::addColumn<Values>("y");
    QTest::newRow("one column") << QByteArray("1\n2\n4\n") << 0.0 << 1.0 << Values {0, 0.5, 1}
                                << Values {1, 2, 4};
    QTest::newRow("one column on [-1, 3], no final line end")
        << QByteArray("5\n4\n3\n2\n1") << -1.0 << 3.0 << Values {-1, 0, 1, 2, 3}
        << Values {5, 4, 3, 2, 1};
    QTest::newRow("byte-order mark, CRLF, blank lines, signs and exponents")
        << QByteArray("\xEF\xBB\xBF+1\r\n\r\n2.5\r\n  -3e-1 \r\n\r\n") << 0.0 << 1.0
        << Values {0, 0.5, 1} << Values {1, 2.5, -0.3};
    QTest::newRow("two columns, comma") << QByteArray("x,y\n0,1\n0.25, 2\n1,3\n") << 0.0 << 1.0
                                        << Values {0, 0.25, 1} << Values {1, 2, 3};
    QTest::newRow("two columns, semicolon and decimal comma")
        << QByteArray("x;f(x)\n0;1,5\n0,5;2\n1;-0.25\n") << 0.0 << 1.0 << Values {0, 0.5, 1}
        << Values {1.5, 2, -0.25};
    QTest::newRow("two columns, tab and decimal comma")
        << QByteArray("время\tсигнал\n0\t1,5\n1\t2\n") << 0.0 << 1.0 << Values {0, 1}
        << Values {1.5, 2};
    QTest::newRow("two columns, blanks and tabs")
        << QByteArray("  0   1\n1\t 2  \n") << 0.0 << 1.0 << Values {0, 1} << Values {1, 2};
    // Ends off by 1e-13 are the ends: x is set to a and b exactly.
    QTest::newRow("two columns, ends within 1e-12")
        << QByteArray("1e-13,5\n0.5,6\n0.9999999999999,7\n") << 0.0 << 1.0 << Values {0, 0.5, 1}
        << Values {5, 6, 7};
}

// Every sample exactly as written; the result is poisoned with NaN before the parse.
void TestData::layouts()
{
    QFETCH(QByteArray, text);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(Values, x);
    QFETCH(Values, y);
    SampledData samples {Values(x.size(), NAN), Values(y.size(), NAN)};
    samples = parseSamples(text.toStdString(), "data.csv", a, b);
    QCOMPARE(samples.x, x);
    QCOMPARE(samples.y, y);
}

// Hand-checked values: the natural spline through (0, 0), (1, 1), (2, 0) has M_1 = -3, so
// S(0.5) = 0.5 + (0.125 - 0.5)(-3)/6 = 11/16; through two points it is the line. Outside the
// samples the nearer end value; NaN stays NaN (GSL would end the program). A copy outlives the
// original and evaluates alike.
void TestData::spline()
{
    const Interpolant hump(SampledData {{0, 1, 2}, {0, 1, 0}});
    QCOMPARE(hump(0.5), 11.0 / 16);
    QCOMPARE(hump(1.5), 11.0 / 16);
    QCOMPARE(hump(1.0), 1.0);
    QCOMPARE(hump(-5.0), 0.0);
    QVERIFY(std::isnan(hump(NAN)));
    const Interpolant line(SampledData {{0, 1}, {1, 3}});
    QCOMPARE(line(0.25), 1.5);
    QCOMPARE(line(7.0), 3.0);
    std::optional<Interpolant> original(Interpolant(SampledData {{0, 1, 2}, {0, 1, 0}}));
    Interpolant copy = *original;
    original.reset();
    QCOMPARE(copy(0.5), 11.0 / 16);
    copy = line;
    QCOMPARE(copy(0.25), 1.5);
    QCOMPARE(copy.samples().y, Values({1, 3}));
}

// 10^6 samples of a line, x and y, read back exactly; the time goes to the log, it is not a
// check (the machine may be busy).
void TestData::millionLines()
{
    constexpr int n = 1'000'000;
    QByteArray text = "x,y\r\n";
    text.reserve(n * 48);
    char number[32];
    auto append = [&](double value) {
        text.append(number, std::to_chars(number, number + sizeof number, value).ptr - number);
    };
    for (int i = 0; i < n; ++i) {
        const double x = double(i) / (n - 1);
        append(x);
        text += ',';
        append(1 - 8 * x);
        text += "\r\n";
    }
    QTemporaryDir folder;
    QFile file(folder.filePath("million.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    QElapsedTimer timer;
    timer.start();
    const Interpolant f(readSamples(file.fileName().toStdString(), 0, 1));
    qInfo("10^6 lines read and interpolated in %lld ms", timer.elapsed());
    const SampledData& samples = f.samples();
    QCOMPARE(samples.y.size(), std::size_t(n));
    for (int i : {0, 1, n / 3, n - 1}) {
        QCOMPARE(samples.x[std::size_t(i)], double(i) / (n - 1));
        QCOMPARE(samples.y[std::size_t(i)], 1 - 8 * (double(i) / (n - 1)));
    }
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"

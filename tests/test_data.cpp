// Data files without a window: the layouts a file may have, the spline between the samples, a
// file of a million lines, and coefficient files.

#include "data/CoefficientFile.h"
#include "data/Interpolant.h"
#include "data/SampledData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

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
    void coefficientFileRoundTrip_data();
    void coefficientFileRoundTrip();
    void badCoefficientFiles_data();
    void badCoefficientFiles();
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

void TestData::coefficientFileRoundTrip_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("J");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<QString>("function");
    QTest::newRow("m=2 default") << 2 << 4 << false << "min(x; 1-x)";
    QTest::newRow("m=3 exact") << 3 << 5 << true << "data:сигнал 1.csv";
    QTest::newRow("m=4 exact") << 4 << 6 << true << "sin(2*pi*x)*exp(-x)";
}

// Awkward doubles (the smallest subnormal, the largest, -0, values whose shortest text has 17
// digits) and a function holding "; " come back to the bit; rows may come in any order and with
// CRLF ends.
void TestData::coefficientFileRoundTrip()
{
    QFETCH(int, m);
    QFETCH(int, J);
    QFETCH(bool, exact);
    QFETCH(QString, function);
    CoefficientFile file;
    file.parameters
        = {m, J, m - 1 + exact, exact ? engine::Rule::Exact : engine::Rule::Default, -0.5, 2.25};
    file.function = function.toStdString();
    file.coefficients = engine::Coefficients(m, file.parameters.J0, J);
    const double awkward[] = {std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::max(), -0.0, 0.1, 1.0 / 3, -2.0 / 7 * 1e-300};
    std::size_t i = 0;
    for (double& v : file.coefficients.d) {
        v = awkward[i % std::size(awkward)];
        ++i;
    }
    for (double& v : file.coefficients.c) {
        v = std::sin(double(i)) * std::pow(10.0, double(i % 40) - 20);
        ++i;
    }
    const std::string text = coefficientText(file);
    QVERIFY(text.starts_with("# splinewave coefficients\n# m=" + std::to_string(m) + "; J="));
    // The rows reversed, with CRLF line ends: the order of the rows does not matter.
    QStringList lines = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
    std::reverse(lines.begin() + 3, lines.end());
    const QByteArray shuffled = lines.join("\r\n").toUtf8();
    for (const std::string& variant : {text, shuffled.toStdString()}) {
        const CoefficientFile back = parseCoefficientText(variant, "k.csv");
        const engine::BasisParameters& p = back.parameters;
        QVERIFY(p.m == m && p.J == J && p.J0 == file.parameters.J0 && p.a == -0.5 && p.b == 2.25);
        QVERIFY(p.rule == file.parameters.rule && back.function == file.function);
        auto bits = [](const std::vector<double>& v) {
            std::vector<std::uint64_t> b;
            for (double x : v)
                b.push_back(std::bit_cast<std::uint64_t>(x));
            return b;
        };
        QVERIFY(bits(back.coefficients.d) == bits(file.coefficients.d));
        QVERIFY(bits(back.coefficients.c) == bits(file.coefficients.c));
    }
}

void TestData::badCoefficientFiles_data()
{
    // m = 2, J = 3, J0 = 1: d,1,k for k = -1 .. 1, c,2,p for p = -1 .. 0, c,3,p for p = -1 .. 2.
    const QByteArray head = "# splinewave coefficients\n";
    const QByteArray keys = "# m=2; J=3; J0=1; rule=default; a=0; b=1; f=x\n";
    const QByteArray columns = "kind,level,index,value\n";
    const QByteArray rows
        = "d,1,-1,1\nd,1,0,2\nd,1,1,3\nc,2,-1,4\nc,2,0,5\nc,3,-1,6\nc,3,0,7\nc,3,1,8\nc,3,2,9\n";
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    auto row = [](const char* name, const QByteArray& text, const char* what) {
        QTest::newRow(name) << text << QString("Файл «k.csv», ") + what;
    };
    row("empty", "", "строка 1: ожидалась строка «# splinewave coefficients».");
    row("no columns line", head + keys + rows,
        "строка 3: ожидалась строка «kind,level,index,value».");
    row("unknown key",
        head + "# m=2; J=3; J0=1; rule=default; a=0; b=1; g=2; f=x\n" + columns + rows,
        "строка 2: неизвестный ключ «g».");
    row("missing key", head + "# m=2; J=3; J0=1; rule=default; a=0; f=x\n" + columns + rows,
        "строка 2: нет ключа «b».");
    row("repeated key",
        head + "# m=2; m=2; J=3; J0=1; rule=default; a=0; b=1; f=x\n" + columns + rows,
        "строка 2: ключ «m» повторяется.");
    row("unknown rule", head + "# m=2; J=3; J0=1; rule=gauss; a=0; b=1; f=x\n" + columns + rows,
        "строка 2: правило «gauss» неизвестно (default или exact).");
    row("J not a number",
        head + "# m=2; J=2.5; J0=1; rule=default; a=0; b=1; f=x\n" + columns + rows,
        "строка 2: «J=2.5» — не число.");
    row("J above 22", head + "# m=2; J=23; J0=1; rule=default; a=0; b=1; f=x\n" + columns + rows,
        "строка 2: Уровень J=23 вне допустимых пределов для m=2 и J0=1: от 3 до 22.");
    row("missing entry", head + keys + columns + rows.left(rows.lastIndexOf("c,2,0")),
        "строка 8: нет коэффициента c,2,0.");
    row("repeated entry", head + keys + columns + rows + "d,1,0,2\n",
        "строка 13: коэффициент d,1,0 повторяется.");
    row("index outside its level", head + keys + columns + "c,2,1,0\n" + rows,
        "строка 4: индекс 1 вне уровня 2 (-1 … 0).");
    row("level above J", head + keys + columns + rows + "c,4,0,1\n",
        "строка 13: уровня 4 у коэффициентов c нет при J0=1, J=3.");
    row("nan", head + keys + columns + "d,1,-1,nan\n" + rows.mid(9),
        "строка 4: «nan» — не конечное число.");
    row("comma decimal", head + keys + columns + "d,1,-1,1,5\n" + rows.mid(9),
        "строка 4: «1,5» — не конечное число.");
    row("three fields", head + keys + columns + "d,1,-1\n" + rows.mid(9),
        "строка 4: ожидалось четыре поля «вид,уровень,индекс,значение».");
    row("unknown kind", head + keys + columns + "e,1,-1,1\n" + rows.mid(9),
        "строка 4: вид «e» неизвестен (d или c).");
}

void TestData::badCoefficientFiles()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    try {
        parseCoefficientText(text.toStdString(), "k.csv");
        QFAIL("accepted");
    } catch (const DataError& error) {
        QVERIFY2(QString::fromUtf8(error.what()) == message, error.what());
    }
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"

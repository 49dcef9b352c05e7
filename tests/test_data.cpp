// Data files without a window: the layouts a file may have and the faults it may hold, the spline
// between the samples, a file of a million lines, and coefficient files.

#include "data/CoefficientFile.h"
#include "data/CoefficientText.h"
#include "data/Interpolant.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

using Values = std::vector<double>;
using namespace std::literals;

namespace {

// The message of the DataError that `read` throws, or "accepted".
QString failure(const std::function<void()>& read)
{
    try {
        read();
    } catch (const DataError& error) {
        return QString::fromUtf8(error.what());
    }
    return "accepted";
}

// The same doubles to the bit: -0 is not 0.
bool sameBits(const Values& u, const Values& v)
{
    return std::ranges::equal(u, v,
        [](double x, double y) { return std::bit_cast<quint64>(x) == std::bit_cast<quint64>(y); });
}

} // namespace

class TestData : public QObject
{
    Q_OBJECT

private slots:
    void layouts();
    void badSampleFiles();
    void spline();
    void millionLines();
    void coefficientFileRoundTrip();
    void badCoefficientFiles();
};

// Every sample exactly as written, and the lines of the empty values, whose points keep their
// places: a blank line in one column, an empty y beside an x in two.
void TestData::layouts()
{
    using Lines = std::vector<std::size_t>;
    const std::tuple<const char*, double, double, Values, Values, Lines> cases[] = {
        {"1\n2\n4\n", 0, 1, {0, 0.5, 1}, {1, 2, 4}, {}},
        {"5\n4\n3\n2\n1", -1, 3, {-1, 0, 1, 2, 3}, {5, 4, 3, 2, 1}, {}}, // no final line end
        // A byte-order mark, CRLF, an empty value, signs and exponents, blank lines at the end.
        {"\xEF\xBB\xBF+1\r\n\r\n2.5\r\n  -3e-1 \r\n\r\n", 0, 1, {0, 2.0 / 3, 1}, {1, 2.5, -0.3},
            {2}},
        {"x,y\n0,1\n0.25, 2\n1,3\n", 0, 1, {0, 0.25, 1}, {1, 2, 3}, {}},
        {"x;f(x)\n0;1,5\n0,5;2\n1;-0.25\n", 0, 1, {0, 0.5, 1}, {1.5, 2, -0.25}, {}},
        {"время\tсигнал\n0\t1,5\n1\t2\n", 0, 1, {0, 1}, {1.5, 2}, {}},
        {"  0   1\n1\t 2  \n", 0, 1, {0, 1}, {1, 2}, {}},
        // Ends off by 1e-13 are the ends: x is set to a and b exactly.
        {"1e-13,5\n0.5,6\n0.9999999999999,7\n", 0, 1, {0, 0.5, 1}, {5, 6, 7}, {}},
        // One column with decimal commas, as a spreadsheet saves it, from any row on; two
        // columns between blanks with decimal commas.
        {"316,5\n317,25\n", 0, 1, {0, 1}, {316.5, 317.25}, {}},
        {"316\n316,5\n-3e-1\n", 0, 1, {0, 0.5, 1}, {316, 316.5, -0.3}, {}},
        {"0 0,5\n1 -1,5\n", 0, 1, {0, 1}, {0.5, -1.5}, {}},
        // Rows 0 .. 5 on [0, 1], of them 1, 3 and 4 empty.
        {"CO2\n316,5\n\n317\n \n\n318,25\n\n", 0, 1, {0, 0.4, 1}, {316.5, 317, 318.25}, {3, 5, 6}},
        {"x;y\n0;1\n0,25;\n0,5;2\n0,75 ; \n1;3\n", 0, 1, {0, 0.5, 1}, {1, 2, 3}, {3, 5}},
        {"0,1\n0.5,\n\n1,2\n", 0, 1, {0, 1}, {1, 2}, {2}},
        // x in the data's own units, kept as written; near the ends of [a, b] without both.
        {"год;число\n1700;5\n1701;11\n2008;2,9\n", 0, 1, {1700, 1701, 2008}, {5, 11, 2.9}, {}},
        {"0.1,1\n1,2\n", 0, 1, {0.1, 1}, {1, 2}, {}},
        {"0,1\n0.99999999999,2\n", 0, 1, {0, 0.99999999999}, {1, 2}, {}},
        // Both readings valid, one on [0, 1] itself and one over [0, 2]: the former, as before
        // x could run over any range.
        {"0,5\n2,5\n", 0, 1, {0, 1}, {0.5, 2.5}, {}},
    };
    for (const auto& [text, a, b, x, y, missing] : cases) {
        const SampledData samples = parseSamples(text, "data.csv", a, b);
        QVERIFY2(samples.x == x && samples.y == y && samples.missingLines == missing, text);
    }
    const std::pair<Lines, const char*> notes[] = {
        {{}, ""},
        {{7}, "пропущено значений: 1 (строка 7), сплайн проходит через остальные точки"},
        {{2, 3, 5, 8, 13, 21}, "пропущено значений: 6 (строки 2, 3, 5, 8, 13, 21), сплайн"},
        {{2, 3, 5, 8, 13, 21, 34}, "пропущено значений: 7 (строки 2, 3, 5, 8, 13, …, 34), сплайн"},
    };
    for (const auto& [lines, note] : notes)
        QVERIFY(missingValuesNote(lines).starts_with(note)
            && missingValuesNote(lines).empty() == lines.empty());
}

// One message naming the file, the line and the fault (its start here).
void TestData::badSampleFiles()
{
    const std::pair<std::string_view, const char*> cases[] = {
        {"", ": файл пуст."},
        {"x;y\n", ": в файле нет ни одной строки с числами."},
        {"\x89PNG\r\n\x1a\n\0\0\0\rIHDR"sv,
            ": это не текстовый файл в кодировке UTF-8 (в нём есть нулевые байты)."},
        {"0\n1\n1.5.2\n", ", строка 3: «1.5.2» не является числом."},
        {"0\nnan\n1\n", ", строка 2: «nan» не является конечным числом (nan и inf недопустимы)."},
        {"x;y\n0;1\n1;-inf\n", ", строка 3: столбец 2: «-inf» не является конечным числом"},
        {"0\n1e999\n", ", строка 2: число «1e999» вне диапазона чисел двойной точности."},
        {"0;1\n;2\n1;3\n", ", строка 2: столбец 1: пустое поле."},
        {"f\n5\n\n", ", строка 2: нужно не меньше двух точек, а в файле одна."},
        // An empty value at an end; the x of an empty value is still checked.
        {"f\n\n5\n6\n", ", строка 2: первое значение пусто: f в начале отрезка [0, 1] должна"},
        {"x;y\n0;\n1;2\n", ", строка 2: первое значение пусто: f в начале отрезка [0, 1] должна"},
        {"0;1\n1;\n", ", строка 2: последнее значение пусто: f в конце отрезка [0, 1] должна"},
        {"0;1\n0,5;\n0,25;2\n1;3\n", ", строка 3: x = 0.25 не больше предыдущего x = 0.5"},
        // A comma between x and y or a decimal comma: both read, and differently.
        {"0,5\n1,5\n",
            ", строка 1: «0,5» читается двояко — как x и y через запятую и как "
            "число с десятичной запятой, и файл верен при обоих прочтениях; запишите "
            "число с десятичной точкой («0.5») или x и y через точку с запятой («0;5»)."},
        // Neither reading is valid: the message of the one that read further, or of the one the
        // first row suggests.
        {"316,5\n315,2\n31x\n", ", строка 3: «31x» не является числом."},
        {"0,5\n1,5\nx\n", ", строка 3: столбцов 1, а в первой строке данных (строка 1) их 2."},
        {"0 1 2\n1 2 3\n", ", строка 1: столбцов 3, а нужен один (значения) или два (x и y)."},
        {"0;1\n0,5\n1;2\n", ", строка 2: столбцов 1, а в первой строке данных (строка 1) их 2."},
        {"0,0\n0.5,1\n0.5,2\n1,3\n",
            ", строка 3: x = 0.5 не больше предыдущего x = 0.5: значения x"},
        {"-5e-13,1\n-1e-13,2\n1,3\n", ", строка 1: первое x = -5e-13 принято за начало"},
        {"0,1\n1,2\n1.0000000000001,3\n", ", строка 3: последнее x = 1.0000000000001 принято"},
    };
    for (const auto& [text, problem] : cases) {
        const QString message = failure([&] { parseSamples(text, "d.csv", 0, 1); });
        QVERIFY2(message.startsWith("Файл «d.csv»" + QString(problem)), qPrintable(message));
    }
    const QTemporaryDir folder;
    QCOMPARE(failure([&] { readSamples(folder.path().toStdString(), 0, 1); }),
        "Файл «" + folder.path() + "»: это папка, а не файл.");
}

// The natural spline through (0, 0), (1, 1), (2, 0) has M_1 = -3, so S(0.5) = 0.5 + (0.125 -
// 0.5)(-3)/6 = 11/16; through two points it is the line. Outside the samples the nearer end
// value; NaN stays NaN (GSL would end the program). A copy outlives the original.
void TestData::spline()
{
    auto hump = std::make_unique<Interpolant>(SampledData {{0, 1, 2}, {0, 1, 0}});
    const Interpolant line(SampledData {{0, 1}, {1, 3}});
    QVERIFY((*hump)(0.5) == 11.0 / 16 && (*hump)(1.5) == 11.0 / 16 && (*hump)(1.0) == 1);
    QVERIFY((*hump)(-5.0) == 0 && std::isnan((*hump)(NAN)) && line(0.25) == 1.5 && line(7.0) == 3);
    Interpolant copy = *hump;
    hump.reset();
    QCOMPARE(copy(0.5), 11.0 / 16);
    copy = line;
    QVERIFY(copy(0.25) == 1.5 && copy.samples().y == Values({1, 3}));
    // The broken line: each piece the line between its two samples, exactly at binary fractions.
    const Interpolant broken(SampledData {{0, 0.5, 2}, {1, 3, 0}}, Between::Linear);
    QVERIFY(broken(0.25) == 2 && broken(0.5) == 3 && broken(1.5) == 1 && broken(1.75) == 0.5);
}

// 10^6 samples of a line read back exactly from a file; the time goes to the log, it is not a
// check (the machine may be busy).
void TestData::millionLines()
{
    constexpr int n = 1'000'000;
    QTemporaryDir folder;
    QFile file(folder.filePath("million.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (int i = 0; i < n; ++i)
        file.write(QByteArray::number(i) + ','
            + QByteArray::number(1 - 8 * double(i) / (n - 1), 'g', 17) + "\r\n");
    file.close();
    QElapsedTimer timer;
    timer.start();
    const Interpolant f(readSamples(file.fileName().toStdString(), 0, n - 1));
    qInfo("10^6 lines read and interpolated in %lld ms", timer.elapsed());
    const SampledData& samples = f.samples();
    QCOMPARE(samples.y.size(), std::size_t(n));
    for (std::size_t i : {0, 1, n / 3, n - 1})
        QVERIFY(samples.x[i] == double(i) && samples.y[i] == 1 - 8 * double(i) / (n - 1));
}

// Awkward doubles (the smallest subnormal, the largest, -0, values whose shortest text has 17
// digits) and a function holding "; " come back to the bit for every degree and both rules;
// rows may come in any order and with CRLF ends; a large file comes out in pieces.
void TestData::coefficientFileRoundTrip()
{
    const double awkward[] = {std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::max(), -0.0, 0.1, 1.0 / 3, -2.0 / 7 * 1e-300};
    for (int m = 2; m <= 4; ++m) {
        const bool exact = m > 2;
        const int J = m + 2, J0 = m - 1 + exact;
        CoefficientFile file {
            {m, J, J0, exact ? engine::Rule::Exact : engine::Rule::Default, -0.5, 2.25},
            m == 3 ? "data:сигнал 1.csv" : "min(x; 1-x)", engine::Coefficients(m, J0, J)};
        // Samples record their route and their own range; a formula neither.
        if (m == 3) {
            file.fit = Fit::Project;
            file.range = {1700.25, 0.1 + 0.2};
            file.range->second += 2008;
        }
        std::size_t i = 0;
        for (double& v : file.coefficients.d)
            v = awkward[i++ % std::size(awkward)];
        for (double& v : file.coefficients.c) {
            v = std::sin(double(i)) * std::pow(10.0, double(i % 40) - 20);
            ++i;
        }
        const std::string text = coefficientText(file);
        QVERIFY(text.starts_with("# splinewave coefficients\n# m=" + std::to_string(m) + "; J="));
        QStringList lines = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
        std::reverse(lines.begin() + 3, lines.end());
        for (const std::string& variant : {text, lines.join("\r\n").toStdString()}) {
            const CoefficientFile back = parseCoefficientText(variant, "k.csv");
            QVERIFY(coefficientText(back) == text); // the parameters and the function
            QVERIFY(back.fit == file.fit && back.range == file.range);
            QVERIFY(sameBits(back.coefficients.d, file.coefficients.d)
                && sameBits(back.coefficients.c, file.coefficients.c));
        }
    }
    // A file of many rows goes out in pieces of about a megabyte, every row whole and in order.
    CoefficientFile large {{4, 16, 2}, "x", engine::Coefficients(4, 2, 16)};
    for (std::size_t i = 0; i < large.coefficients.c.size(); ++i)
        large.coefficients.c[i] = std::sin(double(i));
    std::vector<std::string> pieces;
    writeCoefficientText(large, [&](std::string_view piece) { pieces.emplace_back(piece); });
    QVERIFY(pieces.size() > 1);
    std::string joined;
    for (const std::string& piece : pieces) {
        QVERIFY(piece.size() <= (1 << 20) + 64 && piece.ends_with('\n'));
        joined += piece;
    }
    QVERIFY(joined == coefficientText(large));
    QVERIFY(sameBits(parseCoefficientText(joined, "k.csv").coefficients.c, large.coefficients.c));
    // a row of the longest numbers fits its buffer; a field longer than it is refused, not cut
    CsvRow row;
    std::string text;
    (row << std::numeric_limits<int>::min()).number(-std::numeric_limits<double>::denorm_min(), 17);
    row.number(-1.2345678901234567e-308, 17).appendTo(text);
    QCOMPARE(text, "-2147483648,-4.9406564584124654e-324,-1.2345678901234567e-308\n");
    QVERIFY_THROWS_EXCEPTION(std::length_error, row << std::string(200, 'x'));
}

// A good file of m = 2, J = 3, J0 = 1 with one piece replaced: the line and the fault; the keys
// of samples, which older files have not.
void TestData::badCoefficientFiles()
{
    const QByteArray good
        = "# splinewave coefficients\n# m=2; J=3; J0=1; rule=default; a=0; b=1; f=x\n"
          "kind,level,index,value\nd,1,-1,1\nd,1,0,2\nd,1,1,3\nc,2,-1,4\nc,2,0,5\nc,3,-1,6\n"
          "c,3,0,7\nc,3,1,8\nc,3,2,9\n";
    const char* const first = "d,1,-1,1\n";
    const char* const cases[][3] = {
        {good.constData(), "", "строка 1: ожидалась строка «# splinewave coefficients»."},
        {"b=1", "b=1; g=2", "строка 2: неизвестный ключ «g»."},
        {"b=1", "b=1; fit=smooth",
            "строка 2: способ «smooth» неизвестен (interpolate или project)."},
        {"b=1", "b=1; x0=1700", "строка 2: нет ключа «x1»."},
        {"b=1", "b=1; x1=1700; x0=2008", "строка 2: x0 должно быть меньше x1."},
        {"b=1", "b=1; fit=project; fit=project", "строка 2: ключ «fit» повторяется."},
        {"; b=1", "", "строка 2: нет ключа «b»."},
        {"m=2", "m=2; m=2", "строка 2: ключ «m» повторяется."},
        {"default", "gauss", "строка 2: правило «gauss» неизвестно (default или exact)."},
        {"J=3", "J=2.5", "строка 2: «J=2.5» — не число."},
        {"J=3", "J=23",
            "строка 2: Уровень J=23 вне допустимых пределов для m=2 и J0=1: от 3 до 22."},
        {"c,2,0,5\nc,3,-1,6\nc,3,0,7\nc,3,1,8\nc,3,2,9\n", "", "строка 8: нет коэффициента c,2,0."},
        {"c,3,2,9\n", "c,3,2,9\nd,1,0,2\n", "строка 13: коэффициент d,1,0 повторяется."},
        {"c,3,2,9\n", "c,3,2,9\nc,4,0,1\n",
            "строка 13: уровня 4 у коэффициентов c нет при J0=1, J=3."},
        {first, "c,2,1,0\nd,1,-1,1\n", "строка 4: индекс 1 вне уровня 2 (-1 … 0)."},
        {first, "d,1,-1,nan\n", "строка 4: «nan» — не конечное число."},
        {first, "d,1,-1\n", "строка 4: ожидалось четыре поля «вид,уровень,индекс,значение»."},
        {first, "e,1,-1,1\n", "строка 4: вид «e» неизвестен (d или c)."},
    };
    const CoefficientFile plain = parseCoefficientText(good.toStdString(), "k.csv");
    QVERIFY(!plain.fit && !plain.range);
    const CoefficientFile interpolated = parseCoefficientText(
        QByteArray(good).replace("b=1", "b=1; fit=interpolate; x0=-3; x1=5e3").toStdString(),
        "k.csv");
    QVERIFY(interpolated.fit == Fit::Interpolate && interpolated.range == std::pair(-3.0, 5e3));
    for (const auto& [from, to, problem] : cases) {
        const std::string text = QByteArray(good).replace(from, to).toStdString();
        QCOMPARE(failure([&] { parseCoefficientText(text, "k.csv"); }),
            "Файл «k.csv», " + QString(problem));
    }
}

QTEST_GUILESS_MAIN(TestData)
#include "test_data.moc"

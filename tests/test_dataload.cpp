// f(x) from a data file in the window: the load and what it shows, data decomposed as the
// formula they sample, the samples on the analysis page, and files that cannot be used.

#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScatterSeries>
#include <QSpinBox>

#include <charconv>
#include <cmath>
#include <numbers>

class TestDataLoad : public WindowTest
{
    Q_OBJECT

private slots:
    void lineDataGiveTheFormulasCoefficients_data();
    void lineDataGiveTheFormulasCoefficients();
    void loadShowsTheDataUntilTheFieldIsEdited_data();
    void loadShowsTheDataUntilTheFieldIsEdited();
    void samplesAreDotsOnTheAnalysisPage_data();
    void samplesAreDotsOnTheAnalysisPage();
    void badDataChangeNothing_data();
    void badDataChangeNothing();

private:
    // The file in the scratch folder, and its full name.
    QString write(const QString& name, const QByteArray& text)
    {
        QFile file(QDir::current().filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() ? file.fileName()
                                                                                  : QString();
    }
    // The n values g(i / (n - 1)), one per line, each with every digit.
    QString writeSampled(const QString& name, int n, double (*g)(double))
    {
        QByteArray text = "f\n";
        char number[32];
        for (int i = 0; i < n; ++i)
            text += QByteArray(number,
                        std::to_chars(number, number + sizeof number, g(double(i) / (n - 1))).ptr
                            - number)
                + '\n';
        return write(name, text);
    }
    void load(const QString& file)
    {
        seam.fileAnswers << file;
        form->btnLoadData->click();
    }
    std::vector<double> coefficients()
    {
        std::vector<double> values;
        for (const auto& [level, row] : form->coeffC)
            for (const auto& [index, value] : row)
                values.push_back(value);
        for (const auto& [index, value] : form->coeffD[0])
            values.push_back(value);
        return values;
    }
};

static double line(double x)
{
    return 2 * x - 1;
}

static double sine(double x)
{
    return std::sin(2 * std::numbers::pi * x);
}

void TestDataLoad::lineDataGiveTheFormulasCoefficients_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<bool>("sampledSine"); // else the line
    for (int m = 2; m <= 4; ++m) {
        for (bool exact : {false, true})
            QTest::addRow("m=%d%s", m, exact ? ", exact rule" : "") << m << exact << false;
        QTest::addRow("m=%d, 10 001 samples of sin(2 pi x), J = 8", m) << m << false << true;
    }
}

// The spline through samples of a line is that line. The Gram system of m = 4 turns a last-bit
// difference of f into 1e-9 in the coefficients (the formula's own are that far from exact), so
// the samples are exact binary fractions: then the spline's slopes are exact, its second
// derivatives zero, and it gives 2x - 1 rounded once, as the formula does.
//
// 10 001 samples of sin(2 pi x) give its coefficients at J = 8 to the spline's error, of the
// order of the fourth power of the samples' spacing.
void TestDataLoad::lineDataGiveTheFormulasCoefficients()
{
    QFETCH(bool, exact);
    QFETCH(bool, sampledSine);
    form->chExactIntegration->setChecked(exact);
    if (sampledSine)
        form->sbFinestLevel->setValue(8);
    form->edtFunction->setText(sampledSine ? "sin(2*pi*x)" : "2*x-1");
    form->btnBuild->click();
    const std::vector<double> formula = coefficients();
    const QString name = sampledSine ? "sine.csv" : "line.csv";
    load(sampledSine ? writeSampled(name, 10001, sine) : writeSampled(name, 129, line));
    for (SparseTable* table : {&form->coeffC, &form->coeffD}) // poisoned
        for (auto& [level, row] : *table)
            for (auto& [index, value] : row)
                value = NAN;
    form->btnBuild->click();
    const std::vector<double> data = coefficients();
    QCOMPARE(data.size(), formula.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        QVERIFY_NEAR(data[i], formula[i], sampledSine ? 1e-6 : 1e-12);
    QVERIFY2(
        form->windowTitle().endsWith(", f(x)=данные: " + name), qPrintable(form->windowTitle()));
    QVERIFY(seam.messages.isEmpty());
}

void TestDataLoad::loadShowsTheDataUntilTheFieldIsEdited_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("level"); // the smallest J with 2^J >= n - 1
    for (auto [n, level] : {std::pair {2, 0}, {3, 1}, {5, 2}, {6, 3}, {1025, 10}, {1026, 11}})
        QTest::addRow("%d samples", n) << n << level;
}

// The field names the file and the number of samples, greyed; the status line gives the level
// whose mesh is as dense; the dialog offers data files. The field selects the data as it gets
// the focus, so typing replaces them with a formula; clearing it returns to formulas too: an
// empty formula is then what Build refuses.
void TestDataLoad::loadShowsTheDataUntilTheFieldIsEdited()
{
    QFETCH(int, n);
    QFETCH(int, level);
    load(writeSampled("signal.txt", n, line));
    QCOMPARE(seam.dialogsShown, QStringList {"LoadDataDialog"});
    QCOMPARE(form->LoadDataDialog->nameFilters(),
        QStringList({"CSV и текстовые файлы (*.csv *.txt)", "Все файлы (*)"}));
    QCOMPARE(form->edtFunction->text(), QString("данные: signal.txt (%1 точек)").arg(n));
    QVERIFY(form->edtFunction->styleSheet().contains("gray"));
    QCOMPARE(form->StatusBar->currentMessage(),
        QString("Загружено точек: %1 из файла «signal.txt». Наименьший уровень, сетка которого не "
                "реже отсчётов: J = %2 (2^%2 ≥ %3)")
            .arg(n)
            .arg(level)
            .arg(n - 1));
    QFocusEvent focus(QEvent::FocusIn);
    QCoreApplication::sendEvent(form->edtFunction, &focus);
    QCoreApplication::processEvents();
    QTest::keyClicks(form->edtFunction, "3*x");
    QCOMPARE(form->edtFunction->text(), "3*x");
    QVERIFY(!form->edtFunction->styleSheet().contains("gray"));
    form->btnBuild->click();
    QVERIFY(form->windowTitle().endsWith(", f(x)=3*x"));
    load(writeSampled("signal.txt", n, line));
    form->edtFunction->clear();
    form->btnBuild->click();
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY2(seam.messages[0].contains("формула пуста"), qPrintable(seam.messages[0]));
}

void TestDataLoad::samplesAreDotsOnTheAnalysisPage_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("11 samples") << 11;
    QTest::newRow("2000 samples") << 2000;
    QTest::newRow("2001 samples: no dots") << 2001;
}

// Up to 2 000 samples are drawn as dots, exactly where they are; the curve f passes through them
// (the dense grid meets the samples at x = 0.5 and at the ends). The curves' CSV has no column
// for the dots.
void TestDataLoad::samplesAreDotsOnTheAnalysisPage()
{
    QFETCH(int, n);
    const auto hump = [](double x) { return std::sin(3 * x); };
    load(writeSampled("hump.csv", n, hump));
    form->btnBuild->click();
    QScatterSeries* dots = nullptr;
    QLineSeries* f = nullptr;
    for (QAbstractSeries* series : form->chAnalysis->chart()->series()) {
        if (series->name() == "отсчёты")
            dots = qobject_cast<QScatterSeries*>(series);
        if (series->name() == "f(x)")
            f = qobject_cast<QLineSeries*>(series);
    }
    QVERIFY(f);
    QCOMPARE(dots != nullptr, n <= 2000);
    if (dots) {
        QCOMPARE(dots->count(), n);
        for (int i : {0, n / 2, n - 1})
            QCOMPARE(dots->at(i), QPointF(double(i) / (n - 1), hump(double(i) / (n - 1))));
    }
    const QList<QPointF> curve = f->points();
    for (double x : {0.0, 0.5, 1.0}) {
        const auto at = std::find_if(
            curve.begin(), curve.end(), [x](QPointF point) { return point.x() == x; });
        QVERIFY(at != curve.end());
        QVERIFY_NEAR(at->y(), hump(x), n % 2 || x != 0.5 ? 1e-15 : 1e-6);
    }
    QVERIFY(!form->analysisCsv().contains("отсчёты"));
    QVERIFY(seam.messages.isEmpty());
}

void TestDataLoad::badDataChangeNothing_data()
{
    // A file's text, or "<missing>" for a file that is not there and "<folder>" for a folder.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("problem"); // the message after the file's name
    QTest::newRow("empty") << QByteArray() << ": файл пуст.";
    QTest::newRow("blank lines only") << QByteArray("\r\n  \n\t\n") << ": файл пуст.";
    QTest::newRow("header only") << QByteArray("x;y\n")
                                 << ": в файле нет ни одной строки с числами.";
    QTest::newRow("not a number") << QByteArray("0\n1\n1.5.2\n")
                                  << ", строка 3: «1.5.2» не является числом.";
    QTest::newRow("nan") << QByteArray(
        "0\nnan\n1\n") << ", строка 2: «nan» не является конечным числом (nan и inf недопустимы).";
    QTest::newRow("inf in the second column")
        << QByteArray("x;y\n0;1\n1;-inf\n")
        << ", строка 3: столбец 2: «-inf» не является конечным числом (nan и inf недопустимы).";
    QTest::newRow("out of range") << QByteArray(
        "0\n1e999\n") << ", строка 2: число «1e999» вне диапазона чисел двойной точности.";
    QTest::newRow("empty field") << QByteArray("0;1\n1;\n")
                                 << ", строка 2: столбец 2: пустое поле.";
    QTest::newRow("one point") << QByteArray("f\n\n5\n")
                               << ", строка 3: нужно не меньше двух точек, а в файле одна.";
    QTest::newRow("three columns") << QByteArray(
        "0 1 2\n1 2 3\n") << ", строка 1: столбцов 3, а нужен один (значения) или два (x и y).";
    QTest::newRow("rows of different widths") << QByteArray(
        "0;1\n0,5\n1;2\n") << ", строка 2: столбцов 1, а в первой строке данных (строка 1) их 2.";
    QTest::newRow("x not increasing") << QByteArray("0,0\n0.5,1\n0.5,2\n1,3\n")
                                      << ", строка 3: x = 0.5 не больше предыдущего x = 0.5: "
                                         "значения x должны строго возрастать.";
    QTest::newRow("x outside [a, b]")
        << QByteArray("0,1\n1.5,2\n") << ", строка 2: x = 1.5 вне отрезка [0, 1].";
    QTest::newRow("x short of a")
        << QByteArray("0.1,1\n1,2\n")
        << ", строка 1: первое x = 0.1 не совпадает с началом отрезка [0, 1]: данные должны "
           "покрывать весь отрезок.";
    QTest::newRow("x short of b by 1e-11")
        << QByteArray("0,1\n0.99999999999,2\n")
        << ", строка 2: последнее x = 0.99999999999 не совпадает с концом отрезка [0, 1]: данные "
           "должны покрывать весь отрезок.";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR",
        16) << ": это не текстовый файл в кодировке UTF-8 (в нём есть нулевые байты).";
    QTest::newRow("vanished") << QByteArray("<missing>")
                              << ": файл не найден (возможно, он удалён или переименован).";
    QTest::newRow("a folder") << QByteArray("<folder>") << ": это папка, а не файл.";
}

// One message naming the file, the line and the fault; the data loaded before stay in force:
// the field, the status line, and what Build decomposes.
void TestDataLoad::badDataChangeNothing()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, problem);
    load(write("good.csv", "0\n1\n"));
    const QString field = form->edtFunction->text(), status = form->StatusBar->currentMessage();
    QString bad = QDir::current().filePath("bad.csv");
    if (text == "<folder>")
        QVERIFY(QDir::current().mkdir("bad.csv"));
    else if (text != "<missing>")
        bad = write("bad.csv", text);
    load(bad);
    QCOMPARE(seam.messages, QStringList {"Файл «" + bad + "»" + problem});
    QCOMPARE(form->edtFunction->text(), field);
    QCOMPARE(form->StatusBar->currentMessage(), status);
    form->btnBuild->click();
    QVERIFY(form->windowTitle().endsWith(", f(x)=данные: good.csv"));
    QCOMPARE(seam.messages.size(), 1);
}

SPLINEWAVE_TEST_MAIN(TestDataLoad)
#include "test_dataload.moc"

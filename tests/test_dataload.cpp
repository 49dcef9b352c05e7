// f(x) from a data file in the window: data decomposed as the formula they sample, what a load
// shows until the field is edited, the samples on the analysis page, and a file that cannot be
// used. What a file may hold and the message of each fault are test_data's.

#include "tests/TestSupport.h"

#include <QDir>
#include <QScatterSeries>
#include <QSpinBox>

#include <cmath>
#include <functional>
#include <numbers>

class TestDataLoad : public WindowTest
{
    Q_OBJECT

private slots:
    void dataGiveTheFormulasCoefficients_data();
    void dataGiveTheFormulasCoefficients();
    void loadShowsTheDataUntilTheFieldIsEdited();
    void samplesAreDotsOnTheAnalysisPage();
    void badFileChangesNothing();

private:
    // The file chosen in the load dialog, written first when n > 0: the n values g(i / (n - 1))
    // under a header, one per line, each with every digit.
    void load(const QString& name, int n = 0, const std::function<double(double)>& g = {})
    {
        QByteArray text = "f\n";
        for (int i = 0; i < n; ++i)
            text += QByteArray::number(g(double(i) / (n - 1)), 'g', 17) + '\n';
        QVERIFY(n == 0 || write(name, text));
        seam.fileAnswers << QDir::current().filePath(name);
        form->btnLoadData->click();
    }
    // Every coefficient in force, c then d.
    std::vector<double> coefficients() const
    {
        engine::Coefficients stored = form->storedCoefficients();
        stored.c.insert(stored.c.end(), stored.d.begin(), stored.d.end());
        return stored.c;
    }
};

void TestDataLoad::dataGiveTheFormulasCoefficients_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<bool>("sine"); // else the line
    for (int m = 2; m <= 4; ++m)
        for (bool sine : {false, true})
            QTest::addRow("m=%d %s", m, sine ? "10 001 samples of sin(2 pi x), J = 8" : "line")
                << m << sine;
}

// The spline through samples of a line is that line. The Gram system of m = 4 turns a last-bit
// difference of f into 1e-9 in the coefficients (the formula's own are that far from exact), so
// the samples are exact binary fractions: then the spline's slopes are exact, its second
// derivatives zero, and it gives 2x - 1 rounded once, as the formula does.
//
// 10 001 samples of sin(2 pi x) give its coefficients at J = 8 to the spline's error, of the
// order of the fourth power of the samples' spacing.
void TestDataLoad::dataGiveTheFormulasCoefficients()
{
    QFETCH(bool, sine);
    if (sine)
        form->sbFinestLevel->setValue(8);
    form->edtFunction->setText(sine ? "sin(2*pi*x)" : "2*x-1");
    form->btnBuild->click();
    const std::vector<double> formula = coefficients();
    if (sine)
        load("sine.csv", 10001, [](double x) { return std::sin(2 * std::numbers::pi * x); });
    else
        load("line.csv", 129, [](double x) { return 2 * x - 1; });
    form->coeffC.clear(); // so that a Build that stores nothing is seen
    form->coeffD.clear();
    form->btnBuild->click();
    const std::vector<double> data = coefficients();
    for (std::size_t i = 0; i < data.size(); ++i)
        QVERIFY_NEAR(data[i], formula[i], sine ? 1e-6 : 1e-12);
    QVERIFY2(form->windowTitle().endsWith(
                 QString(", f(x)=данные: ") + (sine ? "sine" : "line") + ".csv"),
        qPrintable(form->windowTitle()));
    QVERIFY(seam.messages.isEmpty());
}

// The field names the file and the number of samples, greyed; the status line gives the level
// whose mesh is as dense; the dialog offers data files. The field selects the data as it gets
// the focus, so typing replaces them with a formula; clearing it returns to formulas too: an
// empty formula is then what Build refuses.
void TestDataLoad::loadShowsTheDataUntilTheFieldIsEdited()
{
    const auto line = [](double x) { return 2 * x - 1; };
    // n, and the smallest J with 2^J >= n - 1
    for (auto [n, level] : {std::pair {2, 0}, {3, 1}, {5, 2}, {6, 3}, {1025, 10}, {1026, 11}}) {
        load("signal.txt", n, line);
        QCOMPARE(form->edtFunction->text(), QString("данные: signal.txt (%1 точек)").arg(n));
        QCOMPARE(form->StatusBar->currentMessage(),
            QString(
                "Загружено точек: %1 из файла «signal.txt». Наименьший уровень, сетка которого не "
                "реже отсчётов: J = %2 (2^%2 ≥ %3)")
                .arg(n)
                .arg(level)
                .arg(n - 1));
    }
    QVERIFY(seam.dialogsShown.first() == "LoadDataDialog"
        && form->LoadDataDialog->nameFilters()
            == QStringList({"CSV и текстовые файлы (*.csv *.txt)", "Все файлы (*)"}));
    QVERIFY(form->edtFunction->styleSheet().contains("gray"));
    QFocusEvent focus(QEvent::FocusIn);
    QCoreApplication::sendEvent(form->edtFunction, &focus);
    QCoreApplication::processEvents();
    QTest::keyClicks(form->edtFunction, "3*x");
    QVERIFY(
        form->edtFunction->text() == "3*x" && !form->edtFunction->styleSheet().contains("gray"));
    form->btnBuild->click();
    QVERIFY(form->windowTitle().endsWith(", f(x)=3*x"));
    load("signal.txt");
    form->edtFunction->clear();
    form->btnBuild->click();
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY2(seam.messages[0].contains("формула пуста"), qPrintable(seam.messages[0]));
}

// Up to 2 000 samples are drawn as dots, exactly where they are; the curve f passes through them
// (the dense grid meets the samples at x = 0.5 and at the ends). A later file of more samples
// leaves no dots behind. The curves' CSV has no column for the dots.
void TestDataLoad::samplesAreDotsOnTheAnalysisPage()
{
    const auto hump = [](double x) { return std::sin(3 * x); };
    for (int n : {11, 2001, 2000}) {
        load("hump.csv", n, hump);
        form->btnBuild->click();
        QScatterSeries* dots = nullptr;
        QLineSeries* f = nullptr;
        for (QAbstractSeries* series : form->chAnalysis->chart()->series()) {
            if (series->name() == "отсчёты")
                dots = qobject_cast<QScatterSeries*>(series);
            if (series->name() == "f(x)")
                f = qobject_cast<QLineSeries*>(series);
        }
        QVERIFY(f && (dots != nullptr) == (n <= 2000) && (!dots || dots->count() == n));
        for (int i : {0, n / 2, n - 1})
            QVERIFY(
                !dots || dots->at(i) == QPointF(double(i) / (n - 1), hump(double(i) / (n - 1))));
        const QList<QPointF> curve = f->points();
        for (double x : {0.0, 0.5, 1.0}) {
            const auto at = std::ranges::find(curve, x, &QPointF::x);
            QVERIFY(at != curve.end());
            QVERIFY_NEAR(at->y(), hump(x), n % 2 || x != 0.5 ? 1e-15 : 1e-6);
        }
    }
    QVERIFY(!form->analysisCsv().contains("отсчёты"));
    QVERIFY(seam.messages.isEmpty());
}

// On [-1, 3], after a file that can be used, one that cannot: one message naming the file, the
// line and the fault in the window's interval; the data loaded before stay in force: the field,
// the status line, and what Build decomposes.
void TestDataLoad::badFileChangesNothing()
{
    form->edtB->setText("3");
    form->edtA->setText("-1");
    load("good.csv", 2, [](double x) { return x; });
    const QString field = form->edtFunction->text(), status = form->StatusBar->currentMessage();
    QVERIFY(write("bad.csv", "-1,1\n3.5,2\n"));
    load("bad.csv");
    QCOMPARE(seam.messages,
        QStringList {"Файл «" + QDir::current().filePath("bad.csv")
            + "», строка 2: x = 3.5 вне отрезка [-1, 3]."});
    QVERIFY(form->edtFunction->text() == field && form->StatusBar->currentMessage() == status);
    form->btnBuild->click();
    QVERIFY(form->windowTitle().endsWith(", f(x)=данные: good.csv"));
    QCOMPARE(seam.messages.size(), 1);
}

SPLINEWAVE_TEST_MAIN(TestDataLoad)
#include "test_dataload.moc"

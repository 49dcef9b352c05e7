// f(x) from a data file in the window: data decomposed as the formula they sample, with their
// samples on the analysis page; what a load shows until the field is edited, and that a file
// that cannot be used changes none of it. What a file may hold, and the message of each fault,
// test_data checks.

#include "tests/TestSupport.h"

#include <QDir>
#include <QScatterSeries>
#include <QSpinBox>

#include <cmath>
#include <numbers>

class TestDataLoad : public WindowTest
{
    Q_OBJECT

private slots:
    void dataGiveTheFormulasCoefficients_data();
    void dataGiveTheFormulasCoefficients();
    void loadShowsTheDataUntilTheFieldIsEdited();
    void emptyValuesKeepTheirPlaces();
    void yearsThroughTheSamples();

private:
    // The file chosen in the load dialog, written first when n > 0: the n values g(i / (n - 1))
    // under a header, one per line, each with every digit.
    void load(const QString& name, int n = 0, double (*g)(double) = nullptr)
    {
        QByteArray text = "f\n";
        for (int i = 0; i < n; ++i)
            text += QByteArray::number(g(double(i) / (n - 1)), 'g', 17) + '\n';
        QVERIFY(n == 0 || write(name, text));
        seam.fileAnswers << QDir::current().filePath(name);
        form->btnLoadData->click();
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

// The projection of the spline through samples of a line is that line's. The Gram system of m = 4 turns a last-bit
// difference of f into 1e-9 in the coefficients (the formula's own are that far from exact), so
// the samples are exact binary fractions: then the spline's slopes are exact, its second
// derivatives zero, and it gives 2x - 1 rounded once, as the formula does. 10 001 samples of
// sin(2 pi x) give its coefficients at J = 8 to the spline's error, of the order of the fourth
// power of the samples' spacing. On the analysis page up to 2 000 samples are dots, exactly where
// they are, and the curve f passes through the samples (the dense grid meets them at the ends
// and the middle); the curves' CSV has no column for the dots.
void TestDataLoad::dataGiveTheFormulasCoefficients()
{
    QFETCH(bool, sine);
    const int n = sine ? 10001 : 129;
    double (*const g)(double) = sine ? +[](double x) { return std::sin(2 * std::numbers::pi * x); }
                                     : +[](double x) { return 2 * x - 1; };
    if (sine)
        form->sbFinestLevel->setValue(8);
    form->edtFunction->setText(sine ? "sin(2*pi*x)" : "2*x-1");
    form->btnBuild->click();
    const engine::Coefficients formula = form->storedCoefficients();
    form->cbFit->setCurrentIndex(int(Fit::Project)); // more samples than the mesh has points
    load("f.csv", n, g);
    form->coeffC.clear(); // so that a Build that stores nothing is seen
    form->coeffD.clear();
    form->btnBuild->click();
    const engine::Coefficients data = form->storedCoefficients();
    for (auto part : {&engine::Coefficients::c, &engine::Coefficients::d})
        for (std::size_t i = 0; i < (data.*part).size(); ++i)
            QVERIFY_NEAR((data.*part)[i], (formula.*part)[i], sine ? 1e-6 : 1e-12);

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
        QVERIFY(!dots || dots->at(i) == QPointF(double(i) / (n - 1), g(double(i) / (n - 1))));
    const QList<QPointF> curve = f->points();
    for (double x : {0.0, 0.5, 1.0}) {
        const auto at = std::ranges::find(curve, x, &QPointF::x);
        QVERIFY(at != curve.end() && std::abs(at->y() - g(x)) <= 1e-15);
    }
    QVERIFY(!form->analysisCsv().contains("отсчёты") && seam.messages.isEmpty());
}

// The field names the file and the number of samples, greyed; the status line gives the level
// whose mesh is as dense; the dialog offers data files. On [-1, 3] a file that cannot be used
// is told, naming the file, the line and the fault in the window's interval, and changes none
// of that, nor what Build decomposes. The field selects the data as it gets the focus, so typing
// replaces them with a formula; clearing it returns to formulas too: an empty formula is then
// what Build refuses.
void TestDataLoad::loadShowsTheDataUntilTheFieldIsEdited()
{
    form->edtB->setText("3");
    form->edtA->setText("-1");
    // n, and the smallest J with 2^J >= n - 1
    for (auto [n, level] : {std::pair {2, 0}, {3, 1}, {5, 2}, {6, 3}, {1025, 10}, {1026, 11}}) {
        load("signal.txt", n, [](double x) { return 2 * x - 1; });
        QCOMPARE(form->edtFunction->text(), QString("данные: signal.txt (%1 точек)").arg(n));
        QCOMPARE(form->StatusBar->currentMessage(),
            QString("Загружено точек: %1 из файла «signal.txt». Наименьший уровень, сетка которого "
                    "не реже отсчётов: J = %2 (2^%2 ≥ %3)")
                .arg(QString::number(n), QString::number(level), QString::number(n - 1)));
    }
    QVERIFY(seam.dialogsShown.first() == "LoadDataDialog"
        && form->LoadDataDialog->nameFilters()
            == QStringList({"CSV и текстовые файлы (*.csv *.txt)", "Все файлы (*)"}));
    QVERIFY(form->edtFunction->styleSheet().contains("gray"));
    const QString field = form->edtFunction->text(), status = form->StatusBar->currentMessage();
    QVERIFY(write("bad.csv", "-1;1\n-2;2\n"));
    load("bad.csv");
    QCOMPARE(seam.messages,
        QStringList {"Файл «" + QDir::current().filePath("bad.csv")
            + "», строка 2: x = -2 не больше предыдущего x = -1: значения x должны строго "
              "возрастать."});
    QVERIFY(form->edtFunction->text() == field && form->StatusBar->currentMessage() == status);
    form->btnBuild->click(); // 1026 samples: no spline of J = 3 goes through them
    QCOMPARE(seam.messages.last(),
        "Сплайн уровня J = 3 не проходит через отсчёты: отсчётов 1026, а сплайн этого уровня "
        "проходит не более чем через 9; увеличьте J или выберите проекцию сплайна через отсчёты.");
    form->cbFit->setCurrentIndex(int(Fit::Project));
    form->btnBuild->click();
    QVERIFY(form->windowTitle().endsWith(", f(x)=данные: signal.txt"));

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
    QCOMPARE(seam.messages.size(), 3);
    QVERIFY2(seam.messages[2].contains("формула пуста"), qPrintable(seam.messages[2]));
}

// A blank line among one column's values is an empty value at its own x: the file gives the
// coefficients of its other points written with their x, to the bit; the status line says how
// many values were empty and where.
void TestDataLoad::emptyValuesKeepTheirPlaces()
{
    const QByteArray twoThirds = QByteArray::number(2.0 / 3, 'g', 17);
    QVERIFY(write("xy.csv", "x;f\n0;1\n" + twoThirds + ";2,5\n1;-1\n"));
    load("xy.csv");
    form->btnBuild->click();
    const engine::Coefficients written = form->storedCoefficients();
    QVERIFY(write("gaps.csv", "f\n1\n\n2,5\n-1\n")); // x = 0, [1/3], 2/3, 1
    load("gaps.csv");
    QCOMPARE(form->StatusBar->currentMessage(),
        "Загружено точек: 3 из файла «gaps.csv»; пропущено значений: 1 (строка 3), сплайн "
        "проходит через остальные точки. Наименьший уровень, сетка которого не реже отсчётов: "
        "J = 1 (2^1 ≥ 2)");
    form->coeffC.clear(); // so that a Build that stores nothing is seen
    form->coeffD.clear();
    form->btnBuild->click();
    const engine::Coefficients data = form->storedCoefficients();
    QVERIFY(data.c == written.c && data.d == written.d && seam.messages.isEmpty());
}

// Years 1700 .. 2008 with counts: the status line says they are mapped onto [0, 1]; by default
// the spline goes through the samples, so the reconstruction gives them back; the Build's status
// line names the route, the coefficient file records it with x0 and x1, and the analysis page,
// its dots and its CSV are in years. The projection of the broken line is said as such.
void TestDataLoad::yearsThroughTheSamples()
{
    QByteArray text = "год;число\n";
    std::vector<double> counts;
    for (int year = 1700; year <= 2008; ++year) {
        counts.push_back(std::round(80 + 70 * std::sin(year / 1.75) + 13 * std::cos(year * 1.3)));
        text += QByteArray::number(year) + ';' + QByteArray::number(counts.back()) + '\n';
    }
    QVERIFY(write("sun.csv", text));
    chooseDegree(3);
    form->sbFinestLevel->setValue(9);
    load("sun.csv");
    QVERIFY2(form->StatusBar->currentMessage().startsWith(
                 "Загружено точек: 309 из файла «sun.csv»; x от 1700 до 2008 отображены на "
                 "отрезок [0, 1]. Наименьший"),
        qPrintable(form->StatusBar->currentMessage()));
    form->btnBuild->click();
    QVERIFY_TIMED_STATUS("Выполнено прямое вейвлет-преобразование для m=3, данные: сплайн "
                         "проходит через отсчёты (fit=interpolate). Время выполнения ");
    std::vector<double> x;
    for (int i = 0; i <= 308; ++i)
        x.push_back(i / 308.0);
    const std::vector<double> back = form->expansion->at(x);
    for (int i = 0; i <= 308; ++i)
        QVERIFY_NEAR(back[i], counts[i], 1e-12 * 170);
    seam.fileAnswers << "k.csv";
    form->miCoeffCsvClick(nullptr);
    QVERIFY(
        contents("k.csv").contains("; b=1; fit=interpolate; x0=1700; x1=2008; f=data:sun.csv\n"));
    const QList<QByteArray> rows = form->analysisCsv().split('\n');
    QVERIFY(rows[1].startsWith("1700,") && rows[rows.size() - 2].startsWith("2008,"));
    for (QAbstractSeries* series : form->chAnalysis->chart()->series())
        if (auto* dots = qobject_cast<QScatterSeries*>(series))
            QVERIFY(std::abs(dots->at(154).x() - 1854) < 1e-9 && dots->at(308).x() == 2008);

    form->cbFit->setCurrentIndex(int(Fit::Project));
    form->cbBetween->setCurrentIndex(int(Between::Linear));
    form->btnBuild->click();
    QVERIFY_TIMED_STATUS("Выполнено прямое вейвлет-преобразование для m=3, данные: проекция "
                         "ломаной через отсчёты (fit=project). Время выполнения ");
    QCOMPARE(seam.messages.size(), 1); // the save's
}

SPLINEWAVE_TEST_MAIN(TestDataLoad)
#include "test_dataload.moc"

// The graph page: the value matrix, the chart series and graph kinds, the bitmap export and the
// matrix export.

#include "app/StringGrid.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <clocale>

class TestGraphs : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void matrixAndSeries_data();
    void matrixAndSeries();
    void graphKinds_data();
    void graphKinds();
    void kindsBeforeAnyBuildAndAfterADegreeChange();
    void bitmapExport_data();
    void bitmapExport();
    void matrixExportIsByteExactUnderRussianLocale();
    void matrixExportAfterADegreeChange();
    void failedAndCancelledExportsWriteNothing();

private:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }
    QList<QLineSeries*> series();
    QStringList visibleTitles();
    QString path(const QString& name) { return scratch->filePath(name); }

    std::unique_ptr<QTemporaryDir> scratch;
};

void TestGraphs::init()
{
    scratch = std::make_unique<QTemporaryDir>();
    openWindow();
}

void TestGraphs::cleanup()
{
    closeWindow();
    scratch.reset();
}

QList<QLineSeries*> TestGraphs::series()
{
    QList<QLineSeries*> list;
    for (QAbstractSeries* s : form->chWavelet->chart()->series())
        list << qobject_cast<QLineSeries*>(s);
    return list;
}

QStringList TestGraphs::visibleTitles()
{
    QStringList titles;
    for (QLineSeries* s : series())
        if (s->isVisible())
            titles << s->name();
    return titles;
}

void TestGraphs::matrixAndSeries_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("lastLabel");
    QTest::addColumn<QString>("lastAbscissa");
    QTest::newRow("m=2") << 2 << 33 << "w(2,3)"
                         << "0.96875";
    QTest::newRow("m=3") << 3 << 97 << "w(5,4)"
                         << "0.98958";
    QTest::newRow("m=4") << 4 << 257 << "w(12,5)"
                         << "0.99609";
}

void TestGraphs::matrixAndSeries()
{
    QFETCH(int, m);
    QFETCH(int, columns);
    QFETCH(QString, lastLabel);
    QFETCH(QString, lastAbscissa);
    chooseDegree(m);
    form->btnGraphic->click();
    form->btnGraphic->click(); // twice: still one series per wavelet
    TStringGrid* grid = form->sgWaveletValues;
    const int H = 1 << m;
    QVERIFY(grid->rowCount() == H + 1 && grid->colCount() == columns);
    QCOMPARE(grid->cell(0, 0), QString("x"));
    QCOMPARE(grid->cell(0, 1), QString("w(%1,%2)").arg(1 - m).arg(m + 1));
    QCOMPARE(grid->cell(0, H), lastLabel);
    QVERIFY(grid->cell(1, 0) == "0.00000" && grid->cell(columns - 1, 0) == lastAbscissa);
    if (m == 2) {
        QCOMPARE(grid->cell(1, 1), QString("-2.25000"));
        QStringList zero; // w(0,3) at 0, 1/32, ... ; -1.125 at x = 0.25 and 2 at x = 0.375
        for (int col : {1, 2, 3, 4, 5, 9, 13})
            zero << grid->cell(col, 2);
        QCOMPARE(
            zero.join(' '), QString("0.00000 0.03125 0.06250 0.09375 0.12500 -1.12500 2.00000"));
    }
    if (m == 3)
        QVERIFY(grid->cell(2, 0) == "0.01042" && grid->cell(3, 0) == "0.02083");
    for (int p = 0; p <= H - 2 * m + 1; ++p) // central wavelets vanish at a
        QCOMPARE(grid->cell(1, p + m), QString("0.00000"));

    const QList<QLineSeries*> list = series();
    QCOMPARE(list.size(), H);
    for (int s = 0; s < H; ++s) {
        QVERIFY(list[s]->name() == grid->cell(0, s + 1) && list[s]->pen().width() == 2);
        QVERIFY(list[s]->color() == QColor(Qt::blue) && list[s]->count() == columns - 1);
        bool nonZero = false; // every wavelet is non-zero somewhere in [0, 1)
        for (int col = 1; col < columns; ++col) { // the chart draws what the grid shows
            const QPointF point = list[s]->at(col - 1);
            QCOMPARE(QString::number(point.x(), 'f', 5), grid->cell(col, 0));
            QCOMPARE(point.y(), grid->cell(col, s + 1).toDouble());
            nonZero = nonZero || point.y() != 0;
        }
        QVERIFY(nonZero);
    }
    QRegularExpression report(
        QString("^Построены графики для m=%1\\. Время построения \\d+ мc$").arg(m));
    QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
        qPrintable(form->StatusBar->currentMessage()));
    QVERIFY(form->btnSave->isEnabled());
}

void TestGraphs::graphKinds_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("shown");
    QTest::newRow("m=2 zero") << 2 << "rbZerro"
                              << "Нулевая вейвлет-функция"
                              << "0";
    QTest::newRow("m=2 boundary") << 2 << "rbBoundary"
                                  << "Граничные вейвлеты"
                                  << "-1 2";
    QTest::newRow("m=2 central") << 2 << "rbCenter"
                                 << "Центральные вейвлеты"
                                 << "0 1";
    QTest::newRow("m=3 boundary") << 3 << "rbBoundary"
                                  << "Граничные вейвлеты"
                                  << "-2 -1 4 5";
    QTest::newRow("m=4 boundary") << 4 << "rbBoundary"
                                  << "Граничные вейвлеты"
                                  << "-3 -2 -1 10 11 12";
    QTest::newRow("m=4 central") << 4 << "rbCenter"
                                 << "Центральные вейвлеты"
                                 << "0 1 2 3 4 5 6 7 8 9";
    QTest::newRow("m=4 zero") << 4 << "rbZerro"
                              << "Нулевая вейвлет-функция"
                              << "0";
}

void TestGraphs::graphKinds()
{
    QFETCH(int, m);
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, shown);
    chooseDegree(m);
    form->btnGraphic->click();
    form->findChild<QRadioButton*>(kind)->click();
    QCOMPARE(form->chWavelet->chart()->title(), title);
    QStringList titles;
    for (const QString& p : shown.split(' '))
        titles << QString("w(%1,%2)").arg(p).arg(m + 1);
    QCOMPARE(visibleTitles(), titles);
    form->btnGraphic->click(); // a build selects all graphs again
    QVERIFY(form->rbAllGraphic->isChecked());
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные и граничные вейвлеты"));
    QCOMPARE(visibleTitles().size(), series().size());
    QVERIFY(seam->messages.isEmpty());
}

// Series of m = 2, kinds of m = 4: central p = 0 .. 9 are indices 3 .. 12; only index 3 exists.
void TestGraphs::kindsBeforeAnyBuildAndAfterADegreeChange()
{
    for (QRadioButton* kind : {form->rbZerro, form->rbCenter, form->rbBoundary, form->rbAllGraphic})
        kind->click();
    QCOMPARE(seam->messages, QStringList(4, "Сначала постройте график!"));
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные и граничные вейвлеты"));
    seam->messages.clear();
    form->btnGraphic->click();
    chooseDegree(4);
    form->rbBoundary->click();
    QCOMPARE(visibleTitles(), (QStringList {"w(-1,3)", "w(0,3)", "w(1,3)"}));
    QVERIFY(seam->messages.isEmpty());
}

void TestGraphs::bitmapExport_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("bare name") << "w"
                               << "w.bmp";
    QTest::newRow("with extension") << "w.bmp"
                                    << "w.bmp";
    QTest::newRow("upper-case extension") << "W.BMP"
                                          << "W.BMP";
}

void TestGraphs::bitmapExport()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->btnGraphic->click(); // from the first page: the chart page was never shown
    seam->fileAnswers << path(chosen);
    form->miGraphic->trigger();
    QCOMPARE(form->StatusBar->currentMessage(), "Графики были сохранены в " + path(written));
    QCOMPARE(QDir(scratch->path()).entryList(QDir::Files), QStringList {written});
    QFile file(path(written));
    QVERIFY(file.open(QIODevice::ReadOnly) && file.read(2) == "BM");
    const QImage image(path(written), "BMP");
    QVERIFY(image.width() > 200 && image.height() > 100);
    QCOMPARE(form->pcCenter->currentWidget(), form->tsTransfer);
}

// The expected file is built from the grid's texts by another road: Qt's %g.
void TestGraphs::matrixExportIsByteExactUnderRussianLocale()
{
    QVERIFY2(std::setlocale(LC_ALL, "ru_RU.UTF-8"), "the tests' Russian locale is missing");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    form->btnGraphic->click();
    seam->fileAnswers << path("matrix.txt");
    form->miMatrix->trigger();
    TStringGrid* grid = form->sgWaveletValues;
    QByteArray expected;
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 32; ++col)
            expected += QString::asprintf("%g ", grid->cell(col, row).replace(',', '.').toDouble())
                            .toLatin1();
        expected += '\n';
    }
    QFile file(path("matrix.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QVERIFY(expected.startsWith("-2.25 "));
    QCOMPARE(
        form->StatusBar->currentMessage(), "Коэффициенты были сохранены в " + path("matrix.txt"));

    // Read in extended precision, 10.30005 is just below itself; as a double it is just above.
    grid->setCell(1, 1, "10,30005");
    grid->setCell(2, 1, "12,34568");
    seam->fileAnswers << path("matrix.txt");
    form->miMatrix->trigger();
    std::setlocale(LC_ALL, "C");
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readLine().startsWith("10.3 12.3457 "));
}

void TestGraphs::matrixExportAfterADegreeChange()
{
    form->btnGraphic->click();
    chooseDegree(3); // the grid holds 4 wavelets, m = 3 has 8: nothing is written
    const QString status = form->StatusBar->currentMessage();
    seam->fileAnswers << path("matrix.txt");
    form->miMatrix->trigger();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].contains("Постройте график заново"));
    QVERIFY(!QFile::exists(path("matrix.txt")));
    QCOMPARE(form->StatusBar->currentMessage(), status);

    chooseDegree(4); // built for m = 4, exported under m = 2: 4 rows of 256 numbers
    form->btnGraphic->click();
    chooseDegree(2);
    seam->fileAnswers << path("matrix.txt");
    form->miMatrix->trigger();
    QFile file(path("matrix.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QVERIFY(lines.size() == 5 && lines[0].count(' ') == 256);
}

void TestGraphs::failedAndCancelledExportsWriteNothing()
{
    form->btnGraphic->click();
    form->StatusBar->showMessage("до сохранения");
    form->miGraphic->trigger(); // cancelled
    form->miMatrix->trigger(); // cancelled
    QCOMPARE(seam->dialogsShown, (QStringList {"SaveWaveletDialog", "OpenDialog"}));
    QVERIFY(QDir(scratch->path()).mkdir("chart.bmp")); // a folder in the way
    seam->fileAnswers << path("chart");
    form->miGraphic->trigger();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].contains("chart.bmp"));
    QCOMPARE(form->StatusBar->currentMessage(), QString("до сохранения"));
    QVERIFY(QDir(scratch->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

SPLINEWAVE_TEST_MAIN(TestGraphs)
#include "test_graphs.moc"

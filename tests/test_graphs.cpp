// The graph page: the value matrix, the chart series and graph kinds, the bitmap export and the
// matrix export.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>

class TestGraphs : public WindowTest
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void matrixLayoutAndQuotedValues_data();
    void matrixLayoutAndQuotedValues();
    void seriesFollowTheGrid_data();
    void seriesFollowTheGrid();
    void graphKinds_data();
    void graphKinds();
    void kindBeforeAnyBuildAsksForOne();
    void buildSelectsAllGraphs();
    void kindsAfterADegreeChangeSkipMissingSeries();
    void bitmapExport_data();
    void bitmapExport();
    void bitmapExportFailureIsReported();
    void matrixExportIsByteExactUnderRussianLocale();
    void matrixExportReadsFiveDecimalsExactly();
    void matrixExportAfterADegreeChange();
    void cancelledDialogsWriteNothing();

private:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }
    QList<QLineSeries*> series();
    QStringList visibleTitles();

    std::unique_ptr<QTemporaryDir> scratch;
};

void TestGraphs::init()
{
    scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir::setCurrent(scratch->path()));
    openWindow();
}

void TestGraphs::cleanup()
{
    closeWindow();
    QDir::setCurrent(QDir::tempPath());
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

void TestGraphs::matrixLayoutAndQuotedValues_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("lastAbscissa");
    QTest::newRow("m=2") << 2 << 5 << 33 << QStringList {"w(-1,3)", "w(0,3)", "w(1,3)", "w(2,3)"}
                         << "0.96875";
    QTest::newRow("m=3") << 3 << 9 << 97 << QStringList {"w(-2,4)", "w(5,4)"} << "0.98958";
    QTest::newRow("m=4") << 4 << 17 << 257 << QStringList {"w(-3,5)", "w(12,5)"} << "0.99609";
}

void TestGraphs::matrixLayoutAndQuotedValues()
{
    QFETCH(int, m);
    QFETCH(int, rows);
    QFETCH(int, columns);
    QFETCH(QStringList, labels);
    QFETCH(QString, lastAbscissa);
    chooseDegree(m);
    form->btnGraphic->click();
    TStringGrid* grid = form->sgWaveletValues;
    QCOMPARE(grid->rowCount(), rows);
    QCOMPARE(grid->colCount(), columns);
    QCOMPARE(grid->cell(0, 0), QString("x"));
    QCOMPARE(grid->cell(0, 1), labels.first());
    QCOMPARE(grid->cell(0, rows - 1), labels.last());
    QCOMPARE(grid->cell(1, 0), QString("0.00000"));
    QCOMPARE(grid->cell(columns - 1, 0), lastAbscissa);
    for (int col = 1; col < columns; ++col)
        QVERIFY(grid->cell(col, 0) != "1.00000");
    const int H = rows - 1;
    for (int p = 0; p <= H - 2 * m + 1; ++p) // central wavelets vanish at a
        QCOMPARE(grid->cell(1, p + m), QString("0.00000"));
    for (int row = 1; row < rows; ++row) { // every wavelet is non-zero somewhere in [0, 1)
        bool nonZero = false;
        for (int col = 1; col < columns && !nonZero; ++col)
            nonZero = grid->cell(col, row) != "0.00000";
        QVERIFY2(nonZero, qPrintable(grid->cell(0, row)));
    }
    if (m == 2) {
        QStringList start;
        for (int col = 1; col <= 5; ++col)
            start << grid->cell(col, 2);
        QCOMPARE(start, (QStringList {"0.00000", "0.03125", "0.06250", "0.09375", "0.12500"}));
        QCOMPARE(grid->cell(9, 2), QString("-1.12500"));
        QCOMPARE(grid->cell(13, 2), QString("2.00000"));
        QCOMPARE(grid->cell(1, 1), QString("-2.25000"));
    }
    if (m == 3)
        QCOMPARE((QStringList {grid->cell(2, 0), grid->cell(3, 0)}),
            (QStringList {"0.01042", "0.02083"}));
    QRegularExpression report(
        QString("^Построены графики для m=%1\\. Время построения \\d+ мc$").arg(m));
    QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
        qPrintable(form->StatusBar->currentMessage()));
    QVERIFY(form->btnSave->isEnabled());
}

void TestGraphs::seriesFollowTheGrid_data()
{
    QTest::addColumn<int>("m");
    QTest::newRow("m=2") << 2;
    QTest::newRow("m=4") << 4;
}

void TestGraphs::seriesFollowTheGrid()
{
    QFETCH(int, m);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    chooseDegree(m);
    form->btnGraphic->click();
    form->btnGraphic->click(); // twice: still one series per wavelet
    const int H = 1 << (m + 1 - 1);
    const QList<QLineSeries*> list = series();
    QCOMPARE(list.size(), H);
    TStringGrid* grid = form->sgWaveletValues;
    for (int s = 0; s < H; ++s) {
        QCOMPARE(list[s]->name(), grid->cell(0, s + 1));
        QCOMPARE(list[s]->pen().width(), 2);
        QCOMPARE(list[s]->color(), QColor(Qt::blue));
        QCOMPARE(list[s]->count(), grid->colCount() - 1);
        // The points are the grid's texts read back: what the matrix shows is what is drawn.
        for (int col : {1, grid->colCount() / 3, grid->colCount() - 1}) {
            QPointF point = list[s]->at(col - 1);
            QCOMPARE(QString::number(point.x(), 'f', 5).replace('.', ','), grid->cell(col, 0));
            QCOMPARE(
                QString::number(point.y(), 'f', 5).replace('.', ',').replace("-0,00000", "0,00000"),
                grid->cell(col, s + 1));
        }
    }
    QCOMPARE(list.first()->at(list.first()->count() - 1).x(), m == 2 ? 0.96875 : 0.99609);
}

void TestGraphs::graphKinds_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("m=2 zero") << 2 << "rbZerro"
                              << "Нулевая вейвлет-функция" << QStringList {"w(0,3)"};
    QTest::newRow("m=2 boundary") << 2 << "rbBoundary"
                                  << "Граничные вейвлеты" << QStringList {"w(-1,3)", "w(2,3)"};
    QTest::newRow("m=2 central") << 2 << "rbCenter"
                                 << "Центральные вейвлеты" << QStringList {"w(0,3)", "w(1,3)"};
    QStringList boundary4 {"w(-3,5)", "w(-2,5)", "w(-1,5)", "w(10,5)", "w(11,5)", "w(12,5)"};
    QStringList central4;
    for (int p = 0; p <= 9; ++p)
        central4 << QString("w(%1,5)").arg(p);
    QTest::newRow("m=4 boundary") << 4 << "rbBoundary"
                                  << "Граничные вейвлеты" << boundary4;
    QTest::newRow("m=4 central") << 4 << "rbCenter"
                                 << "Центральные вейвлеты" << central4;
    QTest::newRow("m=4 zero") << 4 << "rbZerro"
                              << "Нулевая вейвлет-функция" << QStringList {"w(0,5)"};
}

void TestGraphs::graphKinds()
{
    QFETCH(int, m);
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QStringList, shown);
    chooseDegree(m);
    form->btnGraphic->click();
    form->findChild<QRadioButton*>(kind)->click();
    QCOMPARE(form->chWavelet->chart()->title(), title);
    QCOMPARE(visibleTitles(), shown);
    form->rbAllGraphic->click();
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные и граничные вейвлеты"));
    QCOMPARE(visibleTitles().size(), series().size());
    QVERIFY(seam->messages.isEmpty());
}

void TestGraphs::kindBeforeAnyBuildAsksForOne()
{
    for (QRadioButton* kind : {form->rbZerro, form->rbCenter, form->rbBoundary, form->rbAllGraphic})
        kind->click();
    QCOMPARE(seam->messages, QStringList(4, "Сначала постройте график!"));
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные и граничные вейвлеты"));
}

void TestGraphs::buildSelectsAllGraphs()
{
    form->btnGraphic->click();
    form->rbCenter->click();
    form->btnGraphic->click();
    QVERIFY(form->rbAllGraphic->isChecked());
    QCOMPARE(visibleTitles().size(), 4);
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные и граничные вейвлеты"));
}

// Series of m = 2, kinds of m = 4: central p = 0 .. 9 are indices 3 .. 12; only index 3 exists.
void TestGraphs::kindsAfterADegreeChangeSkipMissingSeries()
{
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
    seam->fileAnswers << scratch->filePath(chosen);
    form->miGraphic->trigger();
    QCOMPARE(form->StatusBar->currentMessage(),
        "Графики были сохранены в " + scratch->filePath(written));
    QCOMPARE(QDir(scratch->path()).entryList(QDir::Files), QStringList {written});
    QFile file(scratch->filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.read(2), QByteArray("BM"));
    QImage image(scratch->filePath(written), "BMP");
    QVERIFY(image.width() > 200 && image.height() > 100);
    QCOMPARE(form->pcCenter->currentWidget(), form->tsTransfer);
    QVERIFY(seam->messages.isEmpty());
}

void TestGraphs::bitmapExportFailureIsReported()
{
    form->btnGraphic->click();
    const QString status = form->StatusBar->currentMessage();
    QVERIFY(QDir(scratch->path()).mkdir("chart.bmp"));
    seam->fileAnswers << scratch->filePath("chart");
    form->miGraphic->trigger();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].contains("chart.bmp"));
    QCOMPARE(form->StatusBar->currentMessage(), status);
}

// The expected file is built from the grid's texts by another road: printf's %g.
void TestGraphs::matrixExportIsByteExactUnderRussianLocale()
{
    QVERIFY2(std::setlocale(LC_ALL, "ru_RU.UTF-8"), "the tests' Russian locale is missing");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    form->btnGraphic->click();
    seam->fileAnswers << scratch->filePath("matrix.txt");
    form->miMatrix->trigger();
    std::setlocale(LC_ALL, "C");
    QByteArray expected;
    TStringGrid* grid = form->sgWaveletValues;
    for (int row = 1; row <= 4; ++row) {
        for (int col = 1; col <= 32; ++col) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%g ",
                std::strtod(grid->cell(col, row).replace(',', '.').toLatin1(), nullptr));
            expected += buffer;
        }
        expected += '\n';
    }
    QFile file(scratch->filePath("matrix.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QVERIFY(expected.contains("-2.25 "));
    QCOMPARE(form->StatusBar->currentMessage(),
        "Коэффициенты были сохранены в " + scratch->filePath("matrix.txt"));
}

// "10.30005" is just below 10.30005 as a long double and just above it as a double.
void TestGraphs::matrixExportReadsFiveDecimalsExactly()
{
    form->btnGraphic->click();
    form->sgWaveletValues->setCell(1, 1, "10.30005");
    form->sgWaveletValues->setCell(2, 1, "12.34568");
    seam->fileAnswers << scratch->filePath("matrix.txt");
    form->miMatrix->trigger();
    QFile file(scratch->filePath("matrix.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readLine().startsWith("10.3 12.3457 "));
}

void TestGraphs::matrixExportAfterADegreeChange()
{
    form->btnGraphic->click();
    chooseDegree(3);
    const QString status = form->StatusBar->currentMessage();
    seam->fileAnswers << scratch->filePath("matrix.txt");
    form->miMatrix->trigger();
    QCOMPARE(seam->messages.size(), 1);
    QVERIFY(seam->messages[0].contains("Постройте график заново"));
    QVERIFY(!QFile::exists(scratch->filePath("matrix.txt")));
    QCOMPARE(form->StatusBar->currentMessage(), status);

    // Built for m = 4, exported under m = 2: the first 4 rows, all 256 columns.
    seam->messages.clear();
    chooseDegree(4);
    form->btnGraphic->click();
    chooseDegree(2);
    seam->fileAnswers << scratch->filePath("matrix.txt");
    form->miMatrix->trigger();
    QVERIFY(seam->messages.isEmpty());
    QFile file(scratch->filePath("matrix.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0].count(' '), 256);
}

void TestGraphs::cancelledDialogsWriteNothing()
{
    form->btnGraphic->click();
    form->StatusBar->showMessage("до сохранения");
    form->miGraphic->trigger();
    QCOMPARE(form->StatusBar->currentMessage(), QString("до сохранения"));
    form->miMatrix->trigger();
    QCOMPARE(form->StatusBar->currentMessage(), QString("до сохранения"));
    QCOMPARE(seam->dialogsShown, (QStringList {"SaveWaveletDialog", "OpenDialog"}));
    QVERIFY(QDir(scratch->path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

SPLINEWAVE_TEST_MAIN(TestGraphs)
#include "test_graphs.moc"

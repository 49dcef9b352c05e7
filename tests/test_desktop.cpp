// What a desktop user reaches for: copying grid cells, reading values off the curves, hiding a
// curve from the legend, zooming, a sharp bitmap, and the program icon.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>

class TestDesktop : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void copyingASelectionGivesTabSeparatedText();
    void hoveringACurveShowsItsValues();
    void legendEntryHidesAndShowsItsCurve();
    void doubleClickUndoesTheZoom();
    void bitmapIsRenderedAtTheScreensPixelDensity();
    void windowHasTheProgramIcon();

private:
    void showGraphPage()
    {
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    QLineSeries* series(int index)
    {
        return qobject_cast<QLineSeries*>(form->chWavelet->chart()->series().at(index));
    }
};

void TestDesktop::copyingASelectionGivesTabSeparatedText()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->btnGraphic->click();
    TStringGrid* grid = form->sgWaveletValues;
    QAbstractItemModel* model = grid->model();
    grid->selectionModel()->select(
        QItemSelection(model->index(1, 1), model->index(2, 3)), QItemSelectionModel::Select);
    const QString expected = grid->cell(1, 1) + "\t" + grid->cell(2, 1) + "\t" + grid->cell(3, 1)
        + "\n" + grid->cell(1, 2) + "\t" + grid->cell(2, 2) + "\t" + grid->cell(3, 2);
    QCOMPARE(grid->selectedText(), expected);
    QVERIFY(expected.startsWith("-2.25000\t"));

    QGuiApplication::clipboard()->clear();
    grid->setFocus();
    QTest::keySequence(grid, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);

    QGuiApplication::clipboard()->clear();
    auto* copy = grid->findChild<QAction*>("copy");
    QCOMPARE(copy->text(), QString("Копировать"));
    QVERIFY(grid->actions().contains(copy));
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestDesktop::hoveringACurveShowsItsValues()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->btnGraphic->click();
    QLineSeries* zero = series(1); // w(0,3): -1.125 at x = 0.25
    const QString tip = "w(0,3)\nx = 0,25000\ny = -1,12500";
    QCOMPARE(form->pointTip(*zero, QPointF(0.2541, -1.0)), tip);
    emit zero->hovered(QPointF(0.2541, -1.0), true);
    QCOMPARE(QToolTip::text(), tip);
    emit zero->hovered(QPointF(0.2541, -1.0), false);
    QTRY_VERIFY(!QToolTip::isVisible());
}

// The legend lays its entries out only on a chart that is shown.
void TestDesktop::legendEntryHidesAndShowsItsCurve()
{
    showGraphPage();
    form->btnGraphic->click();
    form->rbCenter->click();
    QLegendMarker* marker = form->chWavelet->chart()->legend()->markers(series(1)).first();
    QTRY_VERIFY(marker->isVisible());
    emit marker->clicked();
    QVERIFY(!series(1)->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(marker->isVisible());
    QVERIFY(marker->labelBrush().color().alphaF() < 1);
    QVERIFY(form->rbCenter->isChecked());
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные вейвлеты"));
    emit marker->clicked();
    QVERIFY(series(1)->isVisible());
    QCOMPARE(marker->labelBrush().color().alphaF(), 1.0);
    // A graph kind shows the curves of its group again, whatever the legend hid.
    emit marker->clicked();
    form->rbAllGraphic->click();
    QVERIFY(series(1)->isVisible());
}

void TestDesktop::doubleClickUndoesTheZoom()
{
    showGraphPage();
    form->btnGraphic->click();
    QChart* chart = form->chWavelet->chart();
    chart->zoom(2.0);
    QVERIFY(chart->isZoomed());
    QTest::mouseDClick(form->chWavelet->viewport(), Qt::LeftButton);
    QVERIFY(!chart->isZoomed());
    QCOMPARE(form->chWavelet->rubberBand(), QChartView::RectangleRubberBand);
}

void TestDesktop::bitmapIsRenderedAtTheScreensPixelDensity()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->btnGraphic->click();
    const QImage image = form->chartImage();
    const qreal ratio = form->devicePixelRatioF();
    QCOMPARE(image.width(), qRound(form->chWavelet->width() * ratio));
    QCOMPARE(image.height(), qRound(form->chWavelet->height() * ratio));
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2")
        QCOMPARE(ratio, 2.0);
}

void TestDesktop::windowHasTheProgramIcon()
{
    const QList<QSize> sizes = form->windowIcon().availableSizes();
    for (int size : {16, 32, 48, 64, 128, 256})
        QVERIFY(sizes.contains(QSize(size, size)));
}

SPLINEWAVE_TEST_MAIN(TestDesktop)
#include "test_desktop.moc"

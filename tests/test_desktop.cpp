// What a desktop user reaches for: copying grid cells, reading values off the curves, hiding a
// curve from the legend, zooming, and a sharp bitmap.

#include "app/StringGrid.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>

class TestDesktop : public WindowTest
{
    Q_OBJECT

private slots:
    // The chart lays its legend out and zooms only when it is shown.
    void init()
    {
        openWindow();
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->btnGraphic->click();
    }
    void cleanup() { closeWindow(); }

    void copyingASelectionGivesTabSeparatedText();
    void hoveringACurveShowsItsValues();
    void legendEntryHidesAndShowsItsCurve();
    void doubleClickUndoesTheZoom();
    void bitmapIsRenderedAtTheScreensPixelDensity();

private:
    QLineSeries* series(int index)
    {
        return qobject_cast<QLineSeries*>(form->chWavelet->chart()->series().at(index));
    }
};

void TestDesktop::copyingASelectionGivesTabSeparatedText()
{
    TStringGrid* grid = form->sgWaveletValues;
    grid->selectionModel()->select(
        QItemSelection(grid->model()->index(1, 1), grid->model()->index(2, 3)),
        QItemSelectionModel::Select);
    const QString expected = "-2.25000\t-1.15625\t-0.06250\n0.00000\t0.03125\t0.06250";
    grid->setFocus();
    QTest::keySequence(grid, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QGuiApplication::clipboard()->clear();
    auto* copy = grid->findChild<QAction*>("copy"); // the context menu's item
    QVERIFY(copy->text() == "Копировать" && grid->actions().contains(copy));
    copy->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestDesktop::hoveringACurveShowsItsValues()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QLineSeries* zero = series(1); // w(0,3): -1.125 at x = 0.25
    emit zero->hovered(QPointF(0.2541, -1.0), true);
    QCOMPARE(QToolTip::text(), QString("w(0,3)\nx = 0,25000\ny = -1,12500"));
    emit zero->hovered(QPointF(0.2541, -1.0), false);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void TestDesktop::legendEntryHidesAndShowsItsCurve()
{
    form->rbCenter->click();
    QLegendMarker* marker = form->chWavelet->chart()->legend()->markers(series(1)).first();
    QTRY_VERIFY(marker->isVisible());
    emit marker->clicked();
    QCoreApplication::processEvents();
    QVERIFY(!series(1)->isVisible() && marker->isVisible());
    QVERIFY(marker->labelBrush().color().alphaF() < 1); // dimmed, ready to be clicked again
    QVERIFY(form->rbCenter->isChecked());
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные вейвлеты"));
    emit marker->clicked();
    QVERIFY(series(1)->isVisible() && marker->labelBrush().color().alphaF() == 1.0);
    emit marker->clicked(); // a graph kind shows its group again, whatever the legend hid
    form->rbAllGraphic->click();
    QVERIFY(series(1)->isVisible());
}

void TestDesktop::doubleClickUndoesTheZoom()
{
    QChart* chart = form->chWavelet->chart();
    chart->zoom(2.0);
    QVERIFY(chart->isZoomed());
    QTest::mouseDClick(form->chWavelet->viewport(), Qt::LeftButton);
    QVERIFY(!chart->isZoomed());
    QCOMPARE(form->chWavelet->rubberBand(), QChartView::RectangleRubberBand);
}

// Run once more with QT_SCALE_FACTOR=2 (test_desktop_hidpi).
void TestDesktop::bitmapIsRenderedAtTheScreensPixelDensity()
{
    const QImage image = form->chartImage();
    const qreal ratio = form->devicePixelRatioF();
    QCOMPARE(image.size(), (form->chWavelet->size() * ratio));
    QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR") == "2" ? 2.0 : 1.0);
}

SPLINEWAVE_TEST_MAIN(TestDesktop)
#include "test_desktop.moc"

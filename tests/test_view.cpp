// What the window draws: a chart whose one pair of axes fits the curves shown, with every label
// at the place of its number as soon as a command returns; nothing left behind by earlier
// builds; a saved picture with the whole legend; panel captions whole and uncovered.

#include "app/Panel.h"
#include "tests/TestSupport.h"

#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QValueAxis>

class TestView : public WindowTest
{
    Q_OBJECT

private slots:
    void axesBelongToTheCurves_data();
    void axesBelongToTheCurves();
    void rebuildingLeavesNothingBehind();
    void savedPictureShowsTheWholeLegend();
    void panelCaptionsAreWholeAndUncovered();
    void everythingFitsASmallScreen_data();
    void everythingFitsASmallScreen();

private:
    QChart* chart() { return form->chWavelet->chart(); }
    void run(const QString& steps);
    void show();
    QList<QGraphicsTextItem*> texts(bool inLegend);
};

// Steps: a degree, "build", a graph kind, "zoom", "reset" (double click), "legend" (a click on
// the first entry).
void TestView::run(const QString& steps)
{
    const std::map<QString, QRadioButton*> kinds {{"zero", form->rbZerro},
        {"center", form->rbCenter}, {"boundary", form->rbBoundary}, {"all", form->rbAllGraphic}};
    for (const QString& step : steps.split(' '))
        if (step.front().isDigit())
            form->cbStepSplain->setCurrentText(step);
        else if (step == "build")
            form->btnGraphic->click();
        else if (step == "zoom")
            chart()->zoomIn(chart()->plotArea().adjusted(20, 20, -100, -40));
        else if (step == "reset")
            QTest::mouseDClick(form->chWavelet->viewport(), Qt::LeftButton);
        else if (step == "legend")
            emit chart()->legend()->markers().first()->clicked();
        else
            kinds.at(step)->click();
}

void TestView::show()
{
    form->pcCenter->setCurrentWidget(form->tsGraphic);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
}

// The visible texts of the scene: the legend's entries, or the axis labels (neither the
// legend's nor the title).
QList<QGraphicsTextItem*> TestView::texts(bool inLegend)
{
    QList<QGraphicsTextItem*> found;
    for (QGraphicsItem* item : chart()->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible()
            && chart()->legend()->isAncestorOf(text) == inLegend && !text->toPlainText().isEmpty()
            && text->toPlainText() != chart()->title())
            found << text;
    return found;
}

void TestView::axesBelongToTheCurves_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("shown"); // on screen, or saved from a page never shown
    for (bool shown : {true, false})
        for (const char* steps : {"4 build", "4 build 2 build", "2 build 3 build", "4 build zero",
                 "4 build boundary all", "3 build center", "3 build zero legend", "4 build zoom",
                 "4 build zero zoom reset", "4 build zoom 2 build", "3 build zoom zero"})
            QTest::addRow("%s%s", shown ? "" : "never shown: ", steps) << QString(steps) << shown;
}

// Exactly one value axis each way, shared by every curve; unless zoomed, the axes hold every
// shown point with a margin of at most 30 % of the data's span; every label reads as a number
// and stands, to 3 pixels, where the chart maps that number.
void TestView::axesBelongToTheCurves()
{
    QFETCH(QString, steps);
    QFETCH(bool, shown);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    form->resize(1024, 640); // room for a plot of a few labels each way under 16 legend entries
    if (shown)
        show();
    run(steps);
    if (!shown)
        form->pageImage(form->tsGraphic, form->chWavelet); // laid out as the saved picture
    QVERIFY(steps.endsWith("zoom") || !chart()->isZoomed()); // a fit ends the zoom
    QCOMPARE(chart()->axes(Qt::Horizontal).size(), 1);
    QCOMPARE(chart()->axes(Qt::Vertical).size(), 1);
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    for (QAbstractSeries* series : chart()->series()) {
        QCOMPARE(series->attachedAxes(), chart()->axes());
        for (QPointF p : static_cast<QLineSeries*>(series)->points())
            if (series->isVisible()) {
                x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
                y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
            }
    }
    for (auto [axis, low, high] : {std::tuple {chart()->axes(Qt::Horizontal)[0], x0, x1},
             std::tuple {chart()->axes(Qt::Vertical)[0], y0, y1}}) {
        const double min = static_cast<QValueAxis*>(axis)->min();
        const double max = static_cast<QValueAxis*>(axis)->max();
        QVERIFY2(steps.endsWith("zoom")
                || (min <= low && max >= high && max - min <= 1.3 * (high - low)),
            qPrintable(QString("%1..%2 for %3..%4").arg(min).arg(max).arg(low).arg(high)));
    }
    const QRectF plot = chart()->plotArea();
    int horizontal = 0, vertical = 0;
    for (QGraphicsTextItem* label : texts(false)) {
        bool ok = false;
        const double value = chart()->locale().toDouble(label->toPlainText(), &ok);
        const QPointF centre = chart()->mapFromScene(label->sceneBoundingRect().center());
        const bool below = centre.y() > plot.bottom();
        const QPointF at = chart()->mapToPosition(below ? QPointF(value, 0) : QPointF(0, value));
        const double offset = below ? centre.x() - at.x() : centre.y() - at.y();
        QVERIFY2(ok && std::abs(offset) <= 3,
            qPrintable(QString("label %1 stands %2 px off").arg(label->toPlainText()).arg(offset)));
        ++(below ? horizontal : vertical);
    }
    QVERIFY2(horizontal >= 3 && vertical >= 3,
        qPrintable(QString("%1 and %2 labels").arg(horizontal).arg(vertical)));
}

// Builds and kind changes, many times over: the scene, the axes and the objects of the chart and
// the window stay as many as after the first round, even before the event loop has run (removed
// chart items are only deleted there). With degree changes in between, which remove every
// series, once the event loop has run.
void TestView::rebuildingLeavesNothingBehind()
{
    auto count = [this] {
        return QList<qsizetype> {chart()->scene()->items().size(), chart()->axes().size(),
            chart()->findChildren<QObject*>().size(), form->findChildren<QObject*>().size()};
    };
    show();
    for (const char* round : {"build boundary all", "2 build zero 3 build boundary all"}) {
        run(round);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QList<qsizetype> first = count();
        for (int i = 0; i < 200; ++i) {
            run(round);
            if (QString(round).contains('3'))
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        QCOMPARE(count(), first);
    }
}

// The picture saved from a window of the design size: the chart at the screen's density, blue
// curves on it, and each of the sixteen legend entries of m = 4 whole, inside the legend.
void TestView::savedPictureShowsTheWholeLegend()
{
    show();
    form->pcCenter->setCurrentWidget(form->tsTransfer);
    run("4 build");
    seam.fileAnswers << scratch->filePath("w");
    form->miGraphic->trigger();
    const QImage image(scratch->filePath("w.bmp"), "BMP");
    QCOMPARE(image.size(), form->chWavelet->size() * form->devicePixelRatioF());
    int curvePixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            curvePixels += image.pixelColor(x, y) == QColor(Qt::blue);
    QVERIFY2(curvePixels > 1000, qPrintable(QString::number(curvePixels)));
    const QRectF legend = chart()->legend()->sceneBoundingRect() & chart()->sceneBoundingRect();
    QStringList titles, entries;
    for (QAbstractSeries* series : chart()->series())
        titles << series->name();
    for (QGraphicsTextItem* entry : texts(true))
        if (legend.contains(entry->sceneBoundingRect()))
            entries << entry->toPlainText();
    entries.sort();
    titles.sort();
    QCOMPARE(entries, titles);
}

// At the design size, in both directions of the transform: every caption of a panel is drawn
// whole, and no child of the panel stands on it (the background texts are meant to be covered).
void TestView::panelCaptionsAreWholeAndUncovered()
{
    form->show();
    for (QRadioButton* direction : {form->rbBack, form->rbForward}) {
        direction->click();
        for (TPanel* panel : form->findChildren<TPanel*>())
            if (panel->isVisible() && !panel->caption().isEmpty()
                && !panel->caption().startsWith("Для начала работы")) {
                QCOMPARE(panel->shownCaption(), panel->caption());
                for (QWidget* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    QVERIFY(
                        !child->isVisible() || !child->geometry().intersects(panel->captionRect()));
            }
    }
}

void TestView::everythingFitsASmallScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("1024 x 600") << QSize(1024, 600);
    QTest::newRow("1600 x 1000") << QSize(1600, 1000);
}

// On every page the window keeps the size of the screen, and every control stands inside it
// with room for its whole text: the top bar wraps instead of cutting; the function field shows
// 25 characters at least.
void TestView::everythingFitsASmallScreen()
{
    QFETCH(QSize, size);
    form->resize(size);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    for (QWidget* page : {form->tsTransfer, form->tsGraphic, form->tsAnalysis}) {
        form->pcCenter->setCurrentWidget(page);
        QCoreApplication::processEvents();
        QCOMPARE(form->size(), size);
        for (QWidget* control : form->findChildren<QWidget*>()) {
            if (!control->isVisible() || control->objectName().isEmpty() // the window's own
                || control->objectName().startsWith("qt_")
                || !(qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control)
                    || qobject_cast<QComboBox*>(control) || qobject_cast<QLineEdit*>(control)))
                continue;
            const QRect where(control->mapTo(form, QPoint(0, 0)), control->size());
            const QSize needed = control->minimumSizeHint().expandedTo(
                qobject_cast<QLineEdit*>(control) ? QSize() : control->sizeHint());
            QVERIFY2(form->rect().contains(where) && control->width() >= needed.width()
                    && control->height() >= needed.height(),
                qPrintable(control->objectName() + " " + control->parent()->objectName() + " "
                    + QString("%1x%2 needs %3x%4")
                          .arg(control->width())
                          .arg(control->height())
                          .arg(needed.width())
                          .arg(needed.height())));
        }
    }
    QVERIFY(
        form->edtFunction->width() >= 25 * form->edtFunction->fontMetrics().horizontalAdvance('x'));
}

SPLINEWAVE_TEST_MAIN(TestView)
#include "test_view.moc"

// What the window draws. The chart: one pair of axes that fit the curves shown, every label at the place of
// its number as soon as a command returns, nothing left behind by earlier builds, and a saved
// picture with the whole legend.

#include "app/Panel.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
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
    void analysisChartsTellTheTruth_data();
    void analysisChartsTellTheTruth();

private:
    QChart* chart() { return form->chWavelet->chart(); }
    void run(const QString& steps);
    void checkAxesFitTheShownCurves(QChart* chart);
    void checkLabelsStandAtTheirNumbers(QChart* chart);
    QList<QGraphicsTextItem*> axisLabels(QChart* chart);
    QStringList legendTexts();
};

// Steps: a degree, "build", a graph kind, "zoom", "reset" (double click), "legend" (click the
// first entry).
void TestView::run(const QString& steps)
{
    for (const QString& step : steps.split(' ')) {
        if (step.front().isDigit())
            form->cbStepSplain->setCurrentText(step);
        else if (step == "build")
            form->btnGraphic->click();
        else if (step == "zero")
            form->rbZerro->click();
        else if (step == "boundary")
            form->rbBoundary->click();
        else if (step == "center")
            form->rbCenter->click();
        else if (step == "all")
            form->rbAllGraphic->click();
        else if (step == "zoom")
            chart()->zoomIn(chart()->plotArea().adjusted(20, 20, -100, -40));
        else if (step == "reset")
            QTest::mouseDClick(form->chWavelet->viewport(), Qt::LeftButton);
        else if (step == "legend")
            emit chart()->legend()->markers().first()->clicked();
        else
            QFAIL(qPrintable("unknown step " + step));
    }
}

void TestView::axesBelongToTheCurves_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<bool>("shown"); // the graph page on screen, or saved without being shown
    QTest::addColumn<bool>("fitted"); // false while zoomed in
    for (bool shown : {true, false}) {
        const char* where = shown ? "on screen: " : "never shown: ";
        auto row = [&](const char* name, const char* steps, bool fitted) {
            QTest::addRow("%s%s", where, name) << QString(steps) << shown << fitted;
        };
        row("m=4", "4 build", true);
        row("m=4 then m=2", "4 build 2 build", true);
        row("m=2 then m=3", "2 build 3 build", true);
        row("m=4 zero wavelet", "4 build zero", true);
        row("m=4 boundary then all", "4 build boundary all", true);
        row("m=3 central", "3 build center", true);
        row("m=3 legend click", "3 build zero legend", true);
        row("m=4 zoomed", "4 build zoom", false);
        row("m=4 zoom reset", "4 build zero zoom reset", true);
        row("m=4 zoomed then rebuilt", "4 build zoom 2 build", true);
    }
}

void TestView::axesBelongToTheCurves()
{
    QFETCH(QString, steps);
    QFETCH(bool, shown);
    QFETCH(bool, fitted);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    if (shown) {
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    run(steps);
    if (!shown)
        form->pageImage(
            form->tsGraphic, form->chWavelet); // lays the chart out as the saved picture shows it
    QCOMPARE(chart()->axes(Qt::Horizontal).size(), 1);
    QCOMPARE(chart()->axes(Qt::Vertical).size(), 1);
    for (QAbstractSeries* series : chart()->series())
        QCOMPARE(series->attachedAxes(), chart()->axes());
    if (fitted)
        checkAxesFitTheShownCurves(chart());
    checkLabelsStandAtTheirNumbers(chart());
}

// The range holds every shown point, with a margin of at most 30 % of the data's span.
void TestView::checkAxesFitTheShownCurves(QChart* chart)
{
    double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
    for (QAbstractSeries* series : chart->series())
        if (series->isVisible())
            for (QPointF p : static_cast<QLineSeries*>(series)->points()) {
                left = std::min(left, p.x()), right = std::max(right, p.x());
                bottom = std::min(bottom, p.y()), top = std::max(top, p.y());
            }
    for (auto [orientation, low, high] :
        {std::tuple {Qt::Horizontal, left, right}, std::tuple {Qt::Vertical, bottom, top}}) {
        auto* axis = static_cast<QValueAxis*>(chart->axes(orientation).first());
        QVERIFY2(axis->min() <= low && axis->max() >= high,
            qPrintable(
                QString("%1..%2 for %3..%4").arg(axis->min()).arg(axis->max()).arg(low).arg(high)));
        QVERIFY2(axis->max() - axis->min() <= 1.3 * (high - low),
            qPrintable(
                QString("%1..%2 for %3..%4").arg(axis->min()).arg(axis->max()).arg(low).arg(high)));
    }
}

// Every label in the scene reads as a number and stands, to 3 pixels, where the chart maps that
// number: the horizontal ones below the plot area, the vertical ones to its left.
void TestView::checkLabelsStandAtTheirNumbers(QChart* chart)
{
    const QRectF plot = chart->plotArea();
    const QPointF origin = chart->mapToValue(plot.bottomLeft());
    int horizontal = 0, vertical = 0;
    for (QGraphicsTextItem* label : axisLabels(chart)) {
        bool ok = false;
        const double value = chart->locale().toDouble(label->toPlainText(), &ok);
        QVERIFY2(ok, qPrintable("label " + label->toPlainText()));
        const QPointF centre = chart->mapFromScene(label->sceneBoundingRect().center());
        const bool below = centre.y() > plot.bottom();
        const QPointF at
            = chart->mapToPosition(below ? QPointF(value, origin.y()) : QPointF(origin.x(), value));
        const double offset = below ? centre.x() - at.x() : centre.y() - at.y();
        QVERIFY2(std::abs(offset) <= 3,
            qPrintable(QString("label %1 stands %2 px off").arg(label->toPlainText()).arg(offset)));
        ++(below ? horizontal : vertical);
    }
    QVERIFY2(horizontal >= 3 && vertical >= 3,
        qPrintable(QString("%1 horizontal, %2 vertical labels").arg(horizontal).arg(vertical)));
}

// The visible text items of the scene that are neither a title nor in the legend.
QList<QGraphicsTextItem*> TestView::axisLabels(QChart* chart)
{
    QStringList titles {chart->title()};
    for (QAbstractAxis* axis : chart->axes())
        titles << axis->titleText();
    QList<QGraphicsTextItem*> labels;
    for (QGraphicsItem* item : chart->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (text && text->isVisible() && !text->toPlainText().isEmpty()
            && !chart->legend()->isAncestorOf(text) && !titles.contains(text->toPlainText()))
            labels << text;
    }
    return labels;
}

// The legend's entries that stand wholly inside the legend and the chart, as the legend shows
// them (elided texts end in "...").
QStringList TestView::legendTexts()
{
    QLegend* legend = chart()->legend();
    const QRectF shown = legend->sceneBoundingRect() & chart()->sceneBoundingRect();
    QStringList texts;
    for (QGraphicsItem* item : chart()->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible()
            && legend->isAncestorOf(text) && shown.contains(text->sceneBoundingRect()))
            texts << text->toPlainText();
    texts.sort();
    return texts;
}

// Builds and kind changes, many times over: the scene, the axes and the objects of the chart
// and the window stay as many as after the first round, even before the event loop has run
// (removed chart items are only deleted there). With degree changes, the series that a change
// drops are deleted when the event loop next runs.
void TestView::rebuildingLeavesNothingBehind()
{
    auto count = [this] {
        return QList<qsizetype> {chart()->scene()->items().size(), chart()->axes().size(),
            chart()->findChildren<QObject*>().size(), form->findChildren<QObject*>().size()};
    };
    form->pcCenter->setCurrentWidget(form->tsGraphic);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
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

// The picture saved from a window of the design size: the chart at the screen's density, not
// blank, and every legend entry whole (m = 4 has sixteen).
void TestView::savedPictureShowsTheWholeLegend()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
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
    QStringList titles;
    for (QAbstractSeries* series : chart()->series())
        titles << series->name();
    titles.sort();
    QCOMPARE(legendTexts(), titles);
}

// At the design size, in both directions of the transform: every caption of a panel is drawn
// whole, and no child of the panel stands on it.
void TestView::panelCaptionsAreWholeAndUncovered()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    for (QRadioButton* direction : {form->rbBack, form->rbForward}) {
        direction->click();
        for (TPanel* panel : form->findChildren<TPanel*>()) {
            if (!panel->isVisible() || panel->caption().isEmpty()
                || panel->caption().startsWith("Для начала работы")) // a background text
                continue;
            QCOMPARE(panel->shownCaption(), panel->caption());
            for (QWidget* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(!child->isVisible() || !child->geometry().intersects(panel->captionRect()),
                    qPrintable(child->objectName() + " covers " + panel->caption()));
        }
    }
}

void TestView::analysisChartsTellTheTruth_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QString>("threshold");
    for (int m : {2, 4})
        for (const char* threshold : {"0", "1000"})
            QTest::addRow("m=%d threshold %s", m, threshold) << m << threshold;
}

// The analysis page at the design size: its curves fitted with every label at its number, and
// the compression chart's labels at their powers of ten, also after a legend click.
void TestView::analysisChartsTellTheTruth()
{
    QFETCH(int, m);
    QFETCH(QString, threshold);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    form->pcCenter->setCurrentWidget(form->tsAnalysis);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->cbStepSplain->setCurrentText(QString::number(m));
    form->edtFunction->setText("sin(2*pi*x)*exp(-x)");
    form->btnBuild->click();
    form->edtThreshold->setText(threshold);
    QChart* analysis = form->chAnalysis->chart();
    for (int round = 0; round < 2; ++round) {
        checkAxesFitTheShownCurves(analysis);
        checkLabelsStandAtTheirNumbers(analysis);
        checkLabelsStandAtTheirNumbers(form->chCompression->chart());
        emit analysis->legend()->markers().first()->clicked(); // f hidden
    }
}

SPLINEWAVE_TEST_MAIN(TestView)
#include "test_view.moc"

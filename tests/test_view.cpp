// What the window draws: a chart whose one pair of axes fits the curves shown, with every label
// at the place of its number as soon as a command returns; nothing left behind by earlier
// builds; a saved picture with the whole legend; every control and panel caption whole.

#include "app/Panel.h"
#include "tests/TestSupport.h"

#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QValueAxis>

class TestView : public WindowTest
{
    Q_OBJECT

    QChart* chart() { return form->chWavelet->chart(); }

    // Steps: a degree, "build", the name of a graph kind's button, "zoom", "reset" (double
    // click), "legend" (a click on the first entry).
    void run(const QString& steps)
    {
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
                form->findChild<QRadioButton*>(step)->click();
    }

    void show()
    {
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }

    // The visible texts of the scene: the legend's entries, or the axis labels.
    QList<QGraphicsTextItem*> texts(bool inLegend)
    {
        QList<QGraphicsTextItem*> found;
        for (QGraphicsItem* item : chart()->scene()->items())
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible()
                && chart()->legend()->isAncestorOf(text) == inLegend
                && !text->toPlainText().isEmpty() && text->toPlainText() != chart()->title())
                found << text;
        return found;
    }

    // The visible controls with a text that do not stand inside the window with room for their
    // whole text (the top bar wraps instead of cutting), and the panels whose caption is cut or
    // has a child on it (the background texts are meant to be covered).
    QStringList misfits()
    {
        QStringList found;
        for (QWidget* control : form->findChildren<QWidget*>()) {
            const QSize needed = control->minimumSizeHint().expandedTo(
                control->inherits("QLineEdit") ? QSize() : control->sizeHint());
            const QRect where(control->mapTo(form, QPoint(0, 0)), control->size());
            const bool text = control->inherits("QLabel") || control->inherits("QAbstractButton")
                || control->inherits("QComboBox") || control->inherits("QLineEdit");
            if (text && control->isVisible() && !control->objectName().isEmpty() // not Qt's
                && !control->objectName().startsWith("qt_")
                && !(form->rect().contains(where) && control->width() >= needed.width()
                    && control->height() >= needed.height()))
                found << control->objectName();
        }
        for (TPanel* panel : form->findChildren<TPanel*>()) {
            if (!panel->isVisible() || panel->caption().isEmpty()
                || panel->caption().startsWith("Для начала работы"))
                continue;
            if (panel->shownCaption() != panel->caption())
                found << panel->objectName();
            for (QWidget* child : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (child->isVisible() && child->geometry().intersects(panel->captionRect()))
                    found << panel->objectName() + " under " + child->objectName();
        }
        return found;
    }

private slots:
    void axesBelongToTheCurves_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("shown"); // on screen, or saved from a page never shown
        for (bool shown : {true, false})
            for (const char* steps : {"4 build", "4 build 2 build", "2 build 3 build",
                     "4 build rbZerro", "4 build rbBoundary rbAllGraphic", "3 build rbCenter",
                     "3 build rbZerro legend", "4 build zoom", "4 build rbZerro zoom reset",
                     "4 build zoom 2 build", "3 build zoom rbZerro"})
                QTest::addRow("%s%s", shown ? "" : "never shown: ", steps)
                    << QString(steps) << shown;
    }

    // Exactly one value axis each way, shared by every curve; unless zoomed, the axes hold every
    // shown point with a margin of at most 30 % of the data's span; every label reads as a
    // number and stands, to 3 pixels, where the chart maps that number.
    void axesBelongToTheCurves()
    {
        QFETCH(QString, steps);
        QFETCH(bool, shown);
        const bool zoomed = steps.endsWith("zoom");
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        form->resize(1024, 640); // room for a plot of a few labels each way under 16 legend entries
        if (shown)
            show();
        run(steps);
        if (!shown)
            form->pageImage(form->tsGraphic, form->chWavelet); // laid out as the saved picture
        QVERIFY(zoomed || !chart()->isZoomed()); // a fit ends the zoom
        QVERIFY(
            chart()->axes(Qt::Horizontal).size() == 1 && chart()->axes(Qt::Vertical).size() == 1);
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
            QVERIFY2(zoomed || (min <= low && max >= high && max - min <= 1.3 * (high - low)),
                qPrintable(QString("%1..%2 for %3..%4").arg(min).arg(max).arg(low).arg(high)));
        }
        int labels[2] = {0, 0}; // below the plot, beside it
        for (QGraphicsTextItem* label : texts(false)) {
            bool ok = false;
            const double value = chart()->locale().toDouble(label->toPlainText(), &ok);
            const QPointF centre = chart()->mapFromScene(label->sceneBoundingRect().center());
            const bool below = centre.y() > chart()->plotArea().bottom();
            const QPointF at
                = chart()->mapToPosition(below ? QPointF(value, 0) : QPointF(0, value));
            const double offset = below ? centre.x() - at.x() : centre.y() - at.y();
            QVERIFY2(ok && std::abs(offset) <= 3,
                qPrintable(QString("label %1 is %2 px off").arg(label->toPlainText()).arg(offset)));
            ++labels[below ? 0 : 1];
        }
        QVERIFY2(labels[0] >= 3 && labels[1] >= 3,
            qPrintable(QString::asprintf("%d and %d labels", labels[0], labels[1])));
    }

    // Builds and kind changes, many times over, leave the scene, the axes and the objects of the
    // chart and the window as many as after the first round, even before the event loop deletes
    // removed items; with degree changes in between (every series goes), once it has run.
    void rebuildingLeavesNothingBehind()
    {
        auto count = [this] {
            return QList<qsizetype> {chart()->scene()->items().size(), chart()->axes().size(),
                chart()->findChildren<QObject*>().size(), form->findChildren<QObject*>().size()};
        };
        show();
        for (const char* round :
            {"build rbBoundary rbAllGraphic", "2 build rbZerro 3 build rbBoundary rbAllGraphic"}) {
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

    // The picture saved from another page of a window of the design size: blue curves, and each
    // of the sixteen legend entries of m = 4 whole, inside the legend.
    void savedPictureShowsTheWholeLegend()
    {
        show();
        form->pcCenter->setCurrentWidget(form->tsTransfer);
        run("4 build");
        seam.fileAnswers << scratch->filePath("w");
        form->miGraphic->trigger();
        const QImage image(scratch->filePath("w.bmp"), "BMP");
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

    // A small screen's size and a large one's, in both directions of the transform, on every
    // page; the design size (the window opens maximized) on the first page: the window keeps its
    // size, and nothing is cut. The function field shows 25 characters at least.
    void everythingFits()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        const QSize design = form->size();
        for (QSize size : {design, QSize(1024, 600), QSize(1600, 1000)})
            for (QRadioButton* direction : {form->rbBack, form->rbForward})
                for (QWidget* page : {form->tsTransfer, form->tsGraphic, form->tsAnalysis}) {
                    if (size == design && page != form->tsTransfer)
                        continue;
                    form->resize(size);
                    direction->click();
                    form->pcCenter->setCurrentWidget(page);
                    QCoreApplication::processEvents();
                    QCOMPARE(form->size(), size);
                    const QStringList cut = misfits();
                    QVERIFY2(cut.isEmpty(),
                        qPrintable(QString("%1x%2 %3: %4")
                                       .arg(size.width())
                                       .arg(size.height())
                                       .arg(page->objectName(), cut.join(", "))));
                }
        QVERIFY(form->edtFunction->width()
            >= 25 * form->edtFunction->fontMetrics().horizontalAdvance('x'));
    }
};

SPLINEWAVE_TEST_MAIN(TestView)
#include "test_view.moc"

// The graph page: the value matrix, the chart series and graph kinds, the bitmap export, and
// what a desktop user reaches for there: copying cells, reading values off the curves, hiding
// a curve from the legend, zooming, a sharp bitmap.

#include "core/Conversions.h"
#include "graphs/GraphSamples.h"
#include "tests/TestSupport.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGraphicsTextItem>
#include <QImageReader>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QRegularExpression>
#include <QSpinBox>
#include <QToolTip>
#include <QValueAxis>

#include <functional>

class TestGraphs : public WindowTest
{
    Q_OBJECT

    QLineSeries* series(int index)
    {
        return qobject_cast<QLineSeries*>(form->chWavelet->chart()->series().at(index));
    }
    // The chart's title, then the names of the curves shown.
    QString shown()
    {
        QString text = form->chWavelet->chart()->title() + ":";
        for (QAbstractSeries* s : form->chWavelet->chart()->series())
            text += s->isVisible() ? " " + s->name() : "";
        return text;
    }
    // The viewport's point of a point of the chart.
    QPoint onScreen(QPointF inChart)
    {
        QChart* chart = form->chWavelet->chart();
        return form->chWavelet->mapFromScene(chart->mapToScene(inChart));
    }
    // The viewport's point at the given fractions of the plot area's width and height.
    QPoint inPlot(QPointF fraction)
    {
        const QRectF plot = form->chWavelet->chart()->plotArea();
        return onScreen(
            plot.topLeft() + QPointF(fraction.x() * plot.width(), fraction.y() * plot.height()));
    }
    void drag(QPointF from, QPointF to)
    {
        QWidget* viewport = form->chWavelet->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, inPlot(from));
        QTest::mouseMove(viewport, inPlot(to));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, inPlot(to));
    }
    // [min, max] of the horizontal, then of the vertical axis.
    QList<double> ranges()
    {
        QList<double> values;
        for (QAbstractAxis* axis : form->chWavelet->chart()->axes())
            values << static_cast<QValueAxis*>(axis)->min()
                   << static_cast<QValueAxis*>(axis)->max();
        return values;
    }
    // What the page shows: the chart's curves, the kind selected, the save button, the matrix.
    QStringList page()
    {
        QStringList texts {shown(), QString::number(form->rbAllGraphic->isChecked()),
            QString::number(form->btnSave->isEnabled())};
        const TStringGrid* grid = form->sgWaveletValues;
        for (int r = 0; r < grid->rowCount(); ++r)
            texts << row(grid, r, 0, grid->colCount());
        return texts;
    }
    // The chart lays its legend out and zooms only when it is shown.
    bool showGraphs()
    {
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->show();
        const bool exposed = QTest::qWaitForWindowExposed(form);
        form->btnGraphic->click();
        return exposed;
    }

private slots:
    // The grid of every degree, and the chart drawn from its texts.
    void matrixAndSeries_data() { everyDegree(); }
    void matrixAndSeries()
    {
        const int m = form->m;
        form->btnGraphic->click();
        form->btnGraphic->click(); // twice: still one series per wavelet
        TStringGrid* grid = form->sgWaveletValues;
        const int H = 1 << m, columns = 4 * H * m + 1;
        QVERIFY(grid->rowCount() == H + 1 && grid->colCount() == columns);
        QCOMPARE(row(grid, 0, 0, 2) + " " + grid->cell(0, 1) + " " + grid->cell(0, H) + " "
                + grid->cell(columns - 1, 0),
            QString("x 0.00000 w(%1,%2) w(%3,%2) ").arg(1 - m).arg(m + 1).arg(H - m)
                + (QStringList {"0.96875", "0.98958", "0.99609"}[m - 2]));
        QCOMPARE(form->chWavelet->chart()->series().size(), H);
        for (int s = 0; s < H; ++s) {
            QLineSeries* curve = series(s);
            QVERIFY(curve->name() == grid->cell(0, s + 1) && curve->pen().width() == 2);
            QVERIFY(curve->color() == QColor(Qt::blue) && curve->count() == columns);
            for (int col = 1; col < columns; ++col) // the chart draws what the grid shows
                QCOMPARE(
                    FloatToStrF(curve->at(col - 1).x()) + " " + FloatToStrF(curve->at(col - 1).y()),
                    grid->cell(col, 0) + " " + grid->cell(col, s + 1));
            QCOMPARE(curve->at(columns - 1), QPointF(1, form->waveletValue(1, s + 1 - m, m + 1)));
        }
        QVERIFY_TIMED_STATUS(QString("Построены графики для m=%1. Время построения ").arg(m));
    }

    // Each kind shows its group under its title; a build selects all graphs again. Before any
    // build a kind is refused; a new basis empties the page.
    void graphKinds()
    {
        // clang-format off
        const struct { int m; const char *kind, *shown; } cases[] = {
            {2, "rbZerro", "Нулевая вейвлет-функция: w(0,3)"},
            {2, "rbCenter", "Центральные вейвлеты: w(0,3) w(1,3)"},
            {3, "rbBoundary", "Граничные вейвлеты: w(-2,4) w(-1,4) w(4,4) w(5,4)"},
            {4, "rbBoundary", "Граничные вейвлеты: w(-3,5) w(-2,5) w(-1,5) w(10,5) w(11,5) w(12,5)"},
            {4, "rbCenter", "Центральные вейвлеты: w(0,5) w(1,5) w(2,5) w(3,5) w(4,5) w(5,5) w(6,5) w(7,5) w(8,5) w(9,5)"}};
        // clang-format on
        const QStringList atStart = page();
        form->rbZerro->click();
        QCOMPARE(seam.messages, QStringList {"Сначала постройте график!"});
        for (const auto& c : cases) {
            chooseDegree(c.m);
            form->btnGraphic->click();
            form->findChild<QRadioButton*>(c.kind)->click();
            QCOMPARE(shown(), QString(c.shown));
            form->btnGraphic->click();
            QVERIFY(form->rbAllGraphic->isChecked() && shown().count('w') == 1 << c.m);
            QVERIFY(shown().startsWith("Центральные и граничные вейвлеты:"));
        }
        // A new basis, of another degree or by the other rule, empties the page as it was at
        // start: the curves and samples of the old one would be wrong.
        for (QCheckBox* rule : {(QCheckBox*)nullptr, form->chExactIntegration}) {
            form->btnGraphic->click();
            form->rbCenter->click();
            rule ? rule->click() : chooseDegree(2);
            QCOMPARE(page(), atStart);
        }
    }

    // At J = 12 a level of more than 32 functions is drawn 16 at a time: those of the kind in
    // the window, named by the caption, the matrix a row each; a curve that reaches b ends
    // there. A level of few is drawn whole, and the B-splines of J0 add up to its mesh step
    // (they are h times the normalized ones) at every sample.
    void levelsAndWindows()
    {
        chooseDegree(4);
        form->sbFinestLevel->setValue(12);
        form->btnGraphic->click();
        auto names = [](int first, int last) {
            QString text;
            for (int p = first; p <= last; ++p)
                text += QString(" w(%1,12)").arg(p);
            return text;
        };
        const QString all = "Центральные и граничные вейвлеты:", central = "Центральные вейвлеты:";
        // clang-format off
        const struct { int window; QRadioButton* kind; QString shown; } cases[] = {
            {0, form->rbAllGraphic, all + names(-3, 12)},
            {1, form->rbAllGraphic, all + names(1013, 1028)},
            {2, form->rbAllGraphic, all + names(2029, 2044)},
            {2, form->rbCenter, central + names(2026, 2041)},
            {1, form->rbZerro, "Нулевая вейвлет-функция:" + names(0, 0)},
            {1, form->rbBoundary, "Граничные вейвлеты:" + names(-3, -1) + names(2042, 2044)}};
        // clang-format on
        for (const auto& c : cases) {
            form->cbGraphWindow->setCurrentIndex(c.window);
            c.kind->click();
            QCOMPARE(shown(), c.shown);
            QCOMPARE(form->sgWaveletValues->rowCount(), c.shown.count('w') + 1);
        }
        QCOMPARE(form->lblGraphCaption->text(),
            "Вейвлеты уровня 12 в середине: w(-3,12), "
            "w(-2,12), w(-1,12), w(2042,12), w(2043,12), w(2044,12) — 6 из 2048");
        QLineSeries* last = series(5);
        QCOMPARE(last->points().last(), QPointF(1, form->waveletValue(1, 2044, 12)));
        QVERIFY(form->sgWaveletValues->colCount() == 8 * 4096 + 1 && last->count() < 200);

        form->cbGraphLevel->setCurrentIndex(form->cbGraphLevel->findData(3));
        QVERIFY(!form->cbGraphWindow->isEnabled() && series(3)->name() == "w(0,3)");
        QVERIFY(series(3)->count() <= TMainForm::maxCurvePoints + 2);
        form->cbGraphLevel->setCurrentIndex(form->cbGraphLevel->count() - 1);
        QCOMPARE(form->lblGraphCaption->text(), // the kind stays: N(0,2) is the central one
            "B-сплайны уровня 2: N(-3,2), N(-2,2), N(-1,2), N(1,2), N(2,2), N(3,2) — 6 из 7");
        // The titles name the B-splines drawn, not wavelets.
        QCOMPARE(form->chWavelet->chart()->title(), QString("Граничные B-сплайны"));
        form->rbZerro->click();
        QCOMPARE(shown(), QString("B-сплайн N(0,2): N(0,2)"));
        form->rbAllGraphic->click();
        QVERIFY(shown().startsWith("Центральные и граничные B-сплайны: N(-3,2)"));
        for (int col = 0; col < 8 * 4096; col += 97) {
            double sum = 0;
            for (int r = 0; r < 7; ++r)
                sum += form->graphSamples->value(r, col);
            QVERIFY_NEAR(sum, 0.25, 4 * eps);
        }
    }

    // At J = 16, after every page was shown, the graph page is built in the middle of the level
    // (a span of a few thousandths) and the basis changed: by the level, the rule, the degree.
    // Each change empties the matrix and puts the axes back on [0, 1]; the axes' ticks follow
    // the range the moment its ends are set (the old interval over [0, 1] meant tens of
    // thousands of ticks laid out, 15 to 40 s; the bench times the change).
    void basisChangeAfterTheFinestGraphs()
    {
        form->resize(841, 500);
        QVERIFY(showGraphs());
        int mostTicks = 0; // of any axis at any moment its range changed
        for (QAbstractAxis* axis : form->chWavelet->chart()->axes()) {
            auto* values = static_cast<QValueAxis*>(axis);
            auto count = [values, &mostTicks] {
                const double ticks = (values->max() - values->min()) / values->tickInterval();
                mostTicks = std::max(mostTicks, int(std::min(ticks, 1e9)));
            };
            connect(values, &QValueAxis::minChanged, this, count);
            connect(values, &QValueAxis::maxChanged, this, count);
        }
        const std::function<void()> changes[] = {[this] { form->sbFinestLevel->setValue(15); },
            [this] { form->chExactIntegration->click(); }, [this] { chooseDegree(2); }};
        for (const auto& change : changes) {
            chooseDegree(4);
            form->sbFinestLevel->setValue(16);
            for (QWidget* page : {form->tsTransfer, form->tsAnalysis, form->tsGraphic}) {
                form->pcCenter->setCurrentWidget(page);
                QCoreApplication::processEvents();
            }
            form->cbGraphWindow->setCurrentIndex(1);
            form->btnGraphic->click();
            QVERIFY(form->sgWaveletValues->colCount() == 8 * 65536 + 1);
            QCoreApplication::processEvents();
            mostTicks = 0;
            change();
            QCoreApplication::processEvents();
            form->repaint();
            QVERIFY2(mostTicks <= 12, qPrintable(QString::number(mostTicks) + " ticks"));
            QVERIFY(
                form->sgWaveletValues->colCount() == 5 && form->sgWaveletValues->rowCount() == 5);
        }
    }

    // "разные цвета" gives each curve its own colour, distinct for the 16 of m = 4 (by the
    // weighted RGB distance, over 90 for every pair), the legend in the same colours; without it
    // every curve is blue.
    void distinctColours()
    {
        chooseDegree(4);
        form->btnGraphic->click();
        QLegend* legend = form->chWavelet->chart()->legend();
        auto colours = [&] {
            QList<QColor> used;
            for (QAbstractSeries* s : form->chWavelet->chart()->series()) {
                used << static_cast<QLineSeries*>(s)->pen().color();
                if (legend->markers(s).first()->brush().color() != used.last())
                    used << QColor(); // the legend does not match
            }
            return used;
        };
        QCOMPARE(colours(), QList<QColor>(16, QColor(Qt::blue)));
        form->chDistinctColours->click();
        const QList<QColor> distinct = colours();
        QCOMPARE(distinct.size(), 16);
        for (int i = 0; i < 16; ++i)
            for (int j = 0; j < i; ++j) {
                const QColor p = distinct[i], q = distinct[j];
                const double r = (p.red() + q.red()) / 2.0, dr = p.red() - q.red(),
                             dg = p.green() - q.green(), db = p.blue() - q.blue();
                QVERIFY2((2 + r / 256) * dr * dr + 4 * dg * dg + (2 + (255 - r) / 256) * db * db
                        > 90 * 90,
                    qPrintable(p.name() + " " + q.name()));
            }
        form->btnGraphic->click(); // drawn again: the colours stay
        QCOMPARE(colours(), distinct);
        form->chDistinctColours->click();
        QCOMPARE(colours(), QList<QColor>(16, QColor(Qt::blue)));
    }

    // A name ending in an offered suffix, in any case, is written in that format under that
    // name; any other gets the suffix and format of the filter. The page shown stays. A
    // cancelled or failed export writes nothing and leaves the status line.
    void pictureExport()
    {
        QVERIFY(form->pmSave->toolTipsVisible());
        QVERIFY(QRegularExpression("BMP.*PNG.*SVG").match(form->miGraphic->toolTip()).hasMatch());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->btnGraphic->click(); // from the first page: the chart page was never shown
        // clang-format off
        const struct { const char *filter, *answer, *written, *format; } cases[] = {
            {"Рисунок BMP (*.bmp)", "w", "w.bmp", "bmp"}, {"Рисунок BMP (*.bmp)", "W.BMP", "W.BMP", "bmp"},
            {"Рисунок BMP (*.bmp)", "graph1.png", "graph1.png", "png"},
            {"Рисунок PNG (*.png)", "graph1.svg", "graph1.svg", "svg"},
            {"Рисунок SVG (*.svg)", "graph2.Png", "graph2.Png", "png"},
            {"Рисунок PNG (*.png)", "graph.bmp.txt", "graph.bmp.txt.png", "png"}};
        // clang-format on
        for (const auto& c : cases) {
            form->SaveWaveletDialog->selectNameFilter(c.filter);
            seam.fileAnswers << c.answer;
            form->miGraphic->trigger();
            QCOMPARE(form->StatusBar->currentMessage(),
                QString("Графики были сохранены в ") + c.written);
            const QByteArray format = contents(c.written).contains("<svg")
                ? "svg"
                : QImageReader::imageFormat(QString(c.written));
            QCOMPARE(format, QByteArray(c.format));
        }
        // The picture's title is the chart's, not the window's.
        QVERIFY(contents("graph1.svg").contains("<title>Центральные и граничные вейвлеты</title>"));
        QCOMPARE(QDir().entryList(QDir::Files).size(), std::size(cases));
        QVERIFY(QImage("w.bmp", "BMP").width() > 200
            && form->pcCenter->currentWidget() == form->tsTransfer);
        form->SaveWaveletDialog->selectNameFilter("Рисунок BMP (*.bmp)");
        form->StatusBar->showMessage("до сохранения");
        form->miGraphic->trigger(); // cancelled
        QVERIFY(QDir().mkdir("chart.bmp")); // a folder in the way
        seam.fileAnswers << "chart";
        form->miGraphic->trigger();
        QVERIFY(seam.messages.size() == 1 && seam.messages[0].contains("«chart.bmp»"));
        QCOMPARE(form->StatusBar->currentMessage(), QString("до сохранения"));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden).size(), std::size(cases));
    }

    // Ctrl+C copies the selected cells as a spreadsheet pastes them; the mouse on a curve shows
    // its nearest sample; a legend click hides a curve and dims its entry, the kind stays; the
    // mouse zooms and steps back; the bitmap has the screen's pixel density.
    void desktop()
    {
        QVERIFY(showGraphs());
        TStringGrid* grid = form->sgWaveletValues;
        grid->selectionModel()->select(
            QItemSelection(grid->model()->index(1, 1), grid->model()->index(2, 3)),
            QItemSelectionModel::Select);
        grid->setFocus();
        QTest::keySequence(grid, QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(),
            QString("-2.25000\t-1.15625\t-0.06250\n0.00000\t0.03125\t0.06250"));

        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QWidget* viewport = form->chWavelet->viewport();
        // The mouse off every curve, then a few pixels above the lowest point of w(0,3), at
        // x = 0.25, inside its dip: a tooltip needs no aim at the line itself. The matrix
        // hidden, the curves have room.
        form->chShowHideBottomPanel->click();
        QCoreApplication::processEvents();
        for (QPoint at : {QPoint(2, 2),
                 onScreen(form->chWavelet->chart()->mapToPosition({0.2541, -1.125}))
                     + QPoint(0, -5)}) {
            QMouseEvent move(
                QEvent::MouseMove, at, viewport->mapToGlobal(at), Qt::NoButton, {}, {});
            QCoreApplication::sendEvent(viewport, &move);
        }
        QTRY_COMPARE(QToolTip::text(), QString("w(0,3)\nx = 0,25000\ny = -1,12500"));

        form->rbCenter->click();
        QLegendMarker* marker = form->chWavelet->chart()->legend()->markers(series(1)).first();
        QTRY_VERIFY(marker->isVisible());
        emit marker->clicked();
        QVERIFY(!series(1)->isVisible() && marker->isVisible() && form->rbCenter->isChecked());
        QVERIFY(marker->labelBrush().color().alphaF() < 1); // dimmed, ready to be clicked again

        // Two rectangles zoom in; right clicks step back to the first, then to the fitted
        // range; a double click goes there at once.
        QChart* chart = form->chWavelet->chart();
        const QList<double> fitted = ranges();
        drag({0.1, 0.1}, {0.9, 0.8});
        const QList<double> first = ranges();
        drag({0.2, 0.2}, {0.5, 0.6});
        QVERIFY(ranges() != first && first != fitted);
        QTest::mouseClick(viewport, Qt::RightButton, {}, inPlot({0.5, 0.5}));
        QCOMPARE(ranges(), first);
        QTest::mouseClick(viewport, Qt::RightButton, {}, inPlot({0.5, 0.5}));
        QVERIFY(ranges() == fitted && !chart->isZoomed());
        drag({0.1, 0.1}, {0.9, 0.8});
        drag({0.2, 0.2}, {0.5, 0.6});
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, inPlot({0.5, 0.5}));
        QVERIFY(ranges() == fitted && !chart->isZoomed());
        // Ticks at -0.3 .. 0.2: the one at 0 is labelled 0, never -0.
        auto* vertical = static_cast<QValueAxis*>(chart->axes(Qt::Vertical).first());
        vertical->setRange(-0.35, 0.25);
        QCoreApplication::processEvents();
        QStringList labels;
        for (QGraphicsItem* item : chart->scene()->items())
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(item))
                labels << text->toPlainText();
        QVERIFY2(labels.filter(QRegularExpression("^-0[.,]0+$")).isEmpty()
                && labels.contains(chart->locale().toString(-0.1, 'f', 1)),
            qPrintable(labels.join(' ')));
        const qreal ratio = form->devicePixelRatioF(); // 2 in test_graphs_hidpi
        QCOMPARE(form->pageImage(form->tsGraphic, form->chWavelet).size(),
            (form->chWavelet->size() * ratio));
        QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR") == "2" ? 2.0 : 1.0);
    }
};

SPLINEWAVE_TEST_MAIN(TestGraphs)
#include "test_graphs.moc"

// The analysis page: the expansion of the current coefficients on the dense grid, split by
// level and thresholded; its error against f; the N-term curve; the energies per level; the
// envelopes that draw dense curves; what the page shows before and after coefficients exist;
// the saves of its picture and curves.

#include "app/Panel.h"
#include "graphs/Envelope.h"
#include "tests/TestSupport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QDir>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLogValueAxis>
#include <QSpinBox>
#include <QSplitter>
#include <QSplitterHandle>
#include <QSvgRenderer>
#include <QValueAxis>

class TestAnalysis : public WindowTest
{
    Q_OBJECT

    QXYSeries* series(QChartView* chart, const QString& name)
    {
        for (QAbstractSeries* s : chart->chart()->series())
            if (s->name() == name)
                return static_cast<QXYSeries*>(s);
        return nullptr;
    }
    std::vector<double> curve(const QString& name)
    {
        std::vector<double> values;
        if (QXYSeries* s = series(form->chAnalysis, name))
            for (QPointF point : s->points())
                values.push_back(point.y());
        return values;
    }
    // On the analysis page, which computes its N-term curve only when it is shown.
    void build(int m, const char* function)
    {
        chooseDegree(m);
        form->edtFunction->setText(function);
        form->pcCenter->setCurrentWidget(form->tsAnalysis);
        form->btnBuild->click();
    }
    QBarSet* energies()
    {
        return static_cast<QBarSeries*>(form->chEnergy->chart()->series()[0])->barSets()[0];
    }
    bool chartsShown() { return !form->SplitterAnalysis->splitter()->isHidden(); }
    QString summary() { return form->lblAnalysis->text(); }

private slots:
    void expansionByLevel_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<int>("measure"); // the index of cbThresholdMeasure: |c| ||psi||, |c|
        const char* sine = "sin(2*pi*x)*exp(-x)";
        for (int m = 2; m <= 4; ++m) {
            const char* between = m == 2 ? "1e-2" : m == 3 ? "1e-4" : "1e-7"; // among the |c|
            for (auto [f, threshold, measure] : {std::tuple {"1-8*x", "0", 0}, {sine, "0", 0},
                     {sine, between, 1}, {sine, "half", 0}, {sine, "1e300", 0}})
                QTest::addRow("m=%d %s, threshold %s, measure %d", m, f, threshold, measure)
                    << m << f << threshold << measure;
        }
    }
    void expansionByLevel()
    {
        QFETCH(int, m);
        QFETCH(QString, function);
        QFETCH(QString, threshold);
        QFETCH(int, measure);
        build(m, qPrintable(function));
        form->cbThresholdMeasure->setCurrentIndex(measure);
        double largestMeasure = 0; // "half": half the largest contribution
        for (std::size_t u = 0; u < form->expansion->coefficients().c.size(); ++u)
            largestMeasure
                = std::max(largestMeasure, form->expansion->measure(u, engine::Measure(measure)));
        form->edtThreshold->setText(
            threshold == "half" ? QLocale().toString(largestMeasure / 2, 'g', 17) : threshold);
        const int J = m == 2 ? 3 : m == 3 ? 4 : 5, J0 = m == 2 ? 1 : 2, N = (1 << J) - (1 << J0);
        const std::vector<double> f = curve("f(x)"), r = curve("восстановление");
        const std::vector<double> coarse = curve(QString("приближение, уровень %1").arg(J0));
        std::vector<double> sum = coarse;
        QVERIFY(f.size() == std::size_t(16 << J) + 1 && r.size() == f.size());
        for (int L = J0 + 1; L <= J; ++L) {
            const std::vector<double> details = curve(QString("детали, уровень %1").arg(L));
            QCOMPARE(details.size(), r.size());
            std::transform(sum.begin(), sum.end(), details.begin(), sum.begin(), std::plus<>());
        }
        double largest = 0, scale = 0;
        for (std::size_t q = 0; q < r.size(); ++q) {
            largest = std::max(largest, std::abs(f[q] - r[q]));
            scale = std::max(scale, std::abs(r[q]));
        }
        for (std::size_t q = 0; q < r.size(); ++q) // the levels add up to the reconstruction
            QVERIFY_NEAR(sum[q], r[q], 1e-12 * scale);

        const QRegularExpressionMatch kept
            = QRegularExpression("^Сохранено (\\d+) из (\\d+) коэффициентов c; погрешность "
                                 "восстановления: наибольшая ([-+\\d.eE]+), среднеквадратичная")
                  .match(summary());
        QVERIFY2(kept.hasMatch(), qPrintable(summary()));
        const int K = kept.captured(1).toInt();
        QCOMPARE(kept.captured(2).toInt(), N);
        QVERIFY_NEAR(kept.captured(3).toDouble(), largest, 0.005 * largest);
        // The threshold's point lies on the N-term curve, which keeps every coefficient at its end.
        const QList<QPointF> nTerm = series(form->chCompression,
            measure == 0 ? "сохранить наибольшие |c|·‖ψ‖" : "сохранить наибольшие |c|")
                                         ->points();
        const QList<QPointF> point = series(form->chCompression, "текущий порог")->points();
        QVERIFY(nTerm.size() == N + 1 && nTerm.last().x() == N && point.size() == 1);
        // The curve sums its terms in another order than the reconstruction: a rounding apart.
        QVERIFY(point[0].x() == K);
        QVERIFY_NEAR(point[0].y(), nTerm[K].y(), 1e-9 * nTerm[K].y() + 1e-13);

        if (threshold == "0") {
            QCOMPARE(K, N);
            QVERIFY(function != "1-8*x" || largest < 1e-9);
            QVERIFY(
                largest < 1e-12 || std::abs(nTerm.last().y() - largest) < 1e-9 * largest + 1e-13);
            form->rbBack->click(); // the inverse transform gives the same doubles at its points
            form->btnBuild->click();
            const QList<QPointF> drawn = series(form->chAnalysis, "восстановление")->points();
            QVERIFY_EXACT(drawn.last().x(), 1.0);
            for (std::size_t p = 0; p < form->points.size(); ++p) {
                QVERIFY_EXACT(drawn[qsizetype(16 * p)].x(), form->points[p][0]);
                QVERIFY_EXACT(r[16 * p], form->funcValues[p][0]);
            }
        } else if (threshold == "1e300") // nothing kept: the coarse approximation alone, exactly
            QVERIFY(K == 0 && r == coarse);
        else
            QVERIFY(0 < K && K < N);
    }

    // Empty until a forward transform or a load; without f after a load; empty again after Clear
    // and a change of degree. The threshold takes the locale's separator; other text is marked.
    void pageFollowsTheCoefficients()
    {
        QVERIFY(russianLocale() && form->pcCenter->tabText(2) == "Анализ");
        QCOMPARE(form->pAnalysis->caption(),
            QString("Выполните прямое преобразование или загрузите коэффициенты из файла"));
        QVERIFY(!chartsShown() && !form->btnSaveAnalysis->isEnabled() && summary().isEmpty());
        build(4, "sin(2*pi*x)*exp(-x)");
        QVERIFY(chartsShown() && form->btnSaveAnalysis->isEnabled());
        QVERIFY(summary().startsWith("Сохранено 28 из 28 коэффициентов c; погрешность"));
        form->cbThresholdMeasure->setCurrentIndex(1); // |c| alone
        form->edtThreshold->setText("0,000005"); // between the |c| of m = 4
        const QString thresholded = summary();
        QVERIFY(thresholded.startsWith("Сохранено 1 из 28 "));
        for (const char* invalid : {"abc", "-1", "0.5,1"}) {
            form->edtThreshold->setText(invalid);
            QVERIFY(form->edtThreshold->styleSheet().contains("red") && summary() == thresholded);
        }
        form->edtThreshold->setText("0.000005"); // a point, as in the function field
        QVERIFY(form->edtThreshold->styleSheet().isEmpty() && summary() == thresholded);
        double largest = 0; // the coefficient kept: one equal to the threshold is kept
        for (const auto& [e, row] : form->coeffC)
            for (auto [i, c] : row)
                largest = std::max(largest, std::abs(c));
        form->edtThreshold->setText(QLocale().toString(largest, 'g', 17));
        QCOMPARE(summary(), thresholded);

        form->btnSaveCoeffToFile->click();
        form->rbBack->click();
        form->btnGetValuesFromFile->click();
        QVERIFY(chartsShown() && form->chCompression->isHidden() && curve("f(x)").empty());
        QVERIFY(curve("восстановление").size() == 513 && !summary().contains("наибольшая"));
        QVERIFY(summary().endsWith(". Коэффициенты взяты из файлов: функция f(x) неизвестна, "
                                   "погрешность не вычисляется"));

        form->btnClear->click();
        QVERIFY(!chartsShown() && !form->btnSaveAnalysis->isEnabled() && summary().isEmpty());
        QCOMPARE(energies()->count(), 0);
        form->rbForward->click();
        build(2, "0"); // on the grid of the new degree; no energy at all, drawn above 0
        QCOMPARE(curve("восстановление").size(), std::size_t(129));
        QVERIFY(energies()->at(0) > 0 && energies()->at(2) > 0);
        chooseDegree(3);
        QVERIFY(!chartsShown());
    }

    // f infinite at a point of the dense grid that the transform does not evaluate: the point is
    // not drawn, and the summary says where f is undefined instead of giving an error.
    void fUndefinedOnTheDenseGridIsReportedNotDrawn()
    {
        build(2, "1/(x-0.03125)");
        QVERIFY2(seam.messages.isEmpty()
                && summary().endsWith("не определена при x = 0.03125: погрешность не вычисляется"),
            qPrintable(summary()));
        QVERIFY(form->chCompression->isHidden() && curve("f(x)").size() == 128);
    }

    // Errors of rounding size alone (f = 1 - 8x) lie on the compression chart's logarithmic axis,
    // whose labels are the powers of ten of its range, anew at every level (they were the labels
    // of the range before, "1e+00" for the first).
    void compressionAxisLabelsTinyErrors()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        for (int J : {3, 16, 4}) {
            chooseDegree(2);
            form->sbFinestLevel->setValue(J);
            build(2, "1-8*x");
            QCoreApplication::processEvents();
            QChart* chart = form->chCompression->chart();
            const auto* axis = static_cast<QLogValueAxis*>(chart->axes(Qt::Vertical)[0]);
            QStringList labels, decades;
            for (QGraphicsItem* item : chart->childItems()) // the texts of the axes, at any depth
                for (QGraphicsItem* text : item->childItems() + QList {item})
                    if (auto* label = dynamic_cast<QGraphicsTextItem*>(text);
                        label && label->isVisible() && label->toPlainText().startsWith("1e"))
                        labels << label->toPlainText();
            for (int power = -20; power <= 0; ++power)
                if (axis->min() <= std::pow(10.0, power) && std::pow(10.0, power) <= axis->max())
                    decades << QString::asprintf("1e%+03d", power);
            labels.sort();
            decades.sort();
            QCOMPARE(labels, decades);
            for (QPointF point :
                series(form->chCompression, "сохранить наибольшие |c|·‖ψ‖")->points())
                QVERIFY(axis->min() <= point.y() && point.y() <= axis->max() && point.y() < 1e-12);
        }
    }

    // The curves as CSV, exact and with "." whatever the locale; the picture in the format of the
    // chosen filter; a failing write is reported and leaves no file.
    void saves()
    {
        QVERIFY(russianLocale());
        build(2, "sin(2*pi*x)*exp(-x)");
        seam.popupChoice = "miAnalysisCurves";
        seam.fileAnswers << "curves";
        form->btnSaveAnalysis->click();
        QCOMPARE(form->StatusBar->currentMessage(), QString("Кривые были сохранены в curves.csv"));
        const QList<QByteArray> rows = contents("curves.csv").split('\n');
        QCOMPARE(rows.size(), 1 + 129 + 1); // the header, the points, the empty end
        QCOMPARE(QString::fromUtf8(rows[0]),
            QString("x,f(x),восстановление,\"приближение, уровень 1\",\"детали, уровень 2\","
                    "\"детали, уровень 3\""));
        const QList<QByteArray> row = rows[1 + 40].split(','); // x = 40/128
        QVERIFY(row.size() == 6 && row[0] == "0.3125");
        QVERIFY_EXACT(row[1].toDouble(), curve("f(x)")[40]);
        QVERIFY_EXACT(row[2].toDouble(), curve("восстановление")[40]);

        seam.popupChoice = "miAnalysisPicture";
        for (const char* filter :
            {"Рисунок PNG (*.png)", "Рисунок SVG (*.svg)", "Рисунок BMP (*.bmp)"}) {
            form->SaveAnalysisDialog->selectNameFilter(filter);
            seam.fileAnswers << "picture";
            form->btnSaveAnalysis->click();
        }
        QVERIFY(QSvgRenderer(QString("picture.svg")).defaultSize().width() > 300);
        const QSize size = form->SplitterAnalysis->splitter()->size() * form->devicePixelRatioF();
        QVERIFY(QImage("picture.png").size() == size && QImage("picture.bmp").size() == size);
        QCOMPARE(form->StatusBar->currentMessage(), QString("Рисунок был сохранён в picture.bmp"));

        QVERIFY(QDir().mkdir("busy.csv")); // a folder in the way
        seam.popupChoice = "miAnalysisCurves";
        seam.fileAnswers << "busy";
        form->btnSaveAnalysis->click();
        QVERIFY(seam.messages.size() == 1 && seam.messages[0].contains("«busy.csv»"));
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden),
            (QStringList {"curves.csv", "picture.bmp", "picture.png", "picture.svg"}));
    }

    // 10^5 samples with one huge value and one undefined: the peak and the ends are kept, only
    // samples themselves, at most four per column, in order.
    void envelopeKeepsAOneSamplePeak()
    {
        std::vector<double> x(100'000), y(x.size());
        for (std::size_t q = 0; q < x.size(); ++q) {
            x[q] = 0.25 + 1e-5 * double(q);
            y[q] = q == 54'321 ? 1e6 : q == 77'777 ? NAN : std::sin(1e-3 * double(q)) + q % 7;
        }
        const QList<QPointF> kept = pixelEnvelope(x, y, 500);
        QVERIFY(kept.contains(QPointF(x[54'321], 1e6)) && kept.size() <= 4 * 500);
        QVERIFY(kept.first() == QPointF(x[0], y[0]) && kept.last() == QPointF(x.back(), y.back()));
        for (qsizetype i = 0; i < kept.size(); ++i) {
            const auto q = std::size_t(std::lround((kept[i].x() - 0.25) * 1e5));
            QVERIFY(kept[i] == QPointF(x[q], y[q]) && (i == 0 || kept[i - 1].x() < kept[i].x()));
        }
    }

    // m = 4 at J = 12, 16 385 grid points: the curves drawn from their envelopes for the plot's
    // pixels, anew for a resize and a zoom, while the CSV and the tooltips keep every grid point;
    // the N-term curve computed when the page is shown; one energy bar per level.
    void levelTwelve()
    {
        QVERIFY(russianLocale());
        form->resize(841, 500);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        chooseDegree(4);
        form->sbFinestLevel->setValue(12);
        form->edtFunction->setText("sin(2*pi*x)*exp(-x)");
        form->btnBuild->click();
        QXYSeries* nTerm = series(form->chCompression, "сохранить наибольшие |c|·‖ψ‖");
        QCOMPARE(nTerm->count(), 0); // not while the page is not shown
        form->pcCenter->setCurrentWidget(form->tsAnalysis);
        QCoreApplication::processEvents(); // the legend of 13 curves fits in the view
        QCOMPARE(form->chAnalysis->chart()->size(), QSizeF(form->chAnalysis->size()));
        QVERIFY(nTerm->count() > 150 && nTerm->count() <= 201 && nTerm->at(100).x() == 100);
        QCOMPARE(nTerm->points().last().x(), 4092.0);

        // f and its reconstruction, f to rounding at J = 12, on the grid x = q / 16384.
        const DenseMatrix& dense = form->analysisValues;
        double coarse = 0;
        for (std::size_t q = 0; q < 16385; ++q) {
            const double x = double(q) / 16384, f = std::sin(2 * M_PI * x) * std::exp(-x);
            QVERIFY(form->denseGrid[q] == x && std::abs(dense[0][q] - f) < 1e-15);
            QVERIFY(std::abs(dense[1][q] - f) < 1e-13);
            coarse = std::max(coarse, std::abs(dense[2][q] - f));
        }
        QVERIFY_NEAR(nTerm->at(0).y(), coarse, 1e-12 * coarse); // no c kept: the coarse error
        seam.popupChoice = "miAnalysisCurves";
        seam.fileAnswers << "curves";
        form->btnSaveAnalysis->click();
        QCOMPARE(contents("curves.csv").count('\n'), 1 + 16385);

        // Each curve drawn: at most four points per pixel column, the largest value of the range
        // among them; again for a narrower plot; zoomed in twice,
        // every grid point of the range.
        for (int step = 0; step < 4; ++step) {
            const double left = step < 2 ? 0 : 0.25 * step, right = step < 2 ? 1 : left + 0.01;
            if (step == 1) {
                form->resize(520, 500);
                QCoreApplication::processEvents();
            } else if (step >= 2)
                static_cast<QValueAxis*>(form->chAnalysis->chart()->axes(Qt::Horizontal)[0])
                    ->setRange(left, right);
            const int columns = int(std::ceil(
                form->chAnalysis->chart()->plotArea().width() * form->devicePixelRatioF()));
            for (std::size_t c = 0; c < dense.size(); ++c) {
                const QList<QPointF> drawn
                    = static_cast<QXYSeries*>(form->chAnalysis->chart()->series()[qsizetype(c)])
                          ->points();
                QVERIFY(drawn.size() <= 4 * columns);
                const double first = std::ceil(left * 16384), last = std::floor(right * 16384);
                const auto peak = std::max_element(
                    dense[c].begin() + qsizetype(first), dense[c].begin() + qsizetype(last) + 1);
                QVERIFY(drawn.contains(QPointF(double(peak - dense[c].begin()) / 16384, *peak)));
                QVERIFY(step < 2 || std::ranges::count_if(drawn, [&](QPointF p) {
                    return left <= p.x() && p.x() <= right;
                }) == last - first + 1);
            }
        }
        // A tooltip gives the value at the grid point nearest to the pointer, drawn or not.
        QXYSeries* r = series(form->chAnalysis, "восстановление");
        std::size_t q = 8193;
        while (r->points().contains(QPointF(form->denseGrid[q], dense[1][q])))
            ++q;
        QCOMPARE(form->analysisTip(*r, {form->denseGrid[q] + 1e-6, 0}).split('\n').last(),
            "y = " + QLocale().toString(dense[1][q], 'g', 6));

        // The bars: d, then the levels 3 .. 12, in L^2 with the whole energy in the title, then
        // as sums of squares of the stored coefficients.
        QVERIFY(form->chEnergy->chart()->title().startsWith(
            "Энергия по уровням<br>‖f<sub>J</sub>‖² = "));
        form->cbEnergyKind->setCurrentIndex(1);
        QCOMPARE(form->chEnergy->chart()->title(), "Энергия по уровням");
        QCOMPARE(static_cast<QBarCategoryAxis*>(form->chEnergy->chart()->axes(Qt::Horizontal)[0])
                     ->categories()
                     .join(' '),
            "d 3 4 5 6 7 8 9 10 11 12");
        for (int e = 0; e <= 10; ++e) {
            double squares = 0;
            for (auto [i, c] : (e == 0 ? form->coeffD[0] : form->coeffC[e]))
                squares += c * c;
            QVERIFY_NEAR(energies()->at(e), squares, 1e-12 * squares);
        }
        // Coefficients cleared before the page is shown again: no curve to compute.
        form->pcCenter->setCurrentWidget(form->tsTransfer);
        form->btnBuild->click();
        form->btnClear->click();
        form->pcCenter->setCurrentWidget(form->tsAnalysis);
        QCOMPARE(nTerm->count(), 0);
    }
};

SPLINEWAVE_TEST_MAIN(TestAnalysis)
#include "test_analysis.moc"

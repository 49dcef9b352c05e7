// The analysis page: the expansion of the current coefficients on the dense grid, split by
// level and thresholded; its error against f; the N-term curve; what the page shows before and
// after coefficients exist; the saves of its picture and curves.

#include "app/Panel.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QSplitter>
#include <QSplitterHandle>
#include <QSvgRenderer>

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
    void build(int m, const char* function)
    {
        chooseDegree(m);
        form->edtFunction->setText(function);
        form->btnBuild->click();
    }
    bool chartsShown() { return !form->SplitterAnalysis->splitter()->isHidden(); }
    QString summary() { return form->lblAnalysis->text(); }

private slots:
    void expansionByLevel_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("threshold");
        const char* sine = "sin(2*pi*x)*exp(-x)";
        for (int m = 2; m <= 4; ++m) {
            const char* between = m == 2 ? "1e-2" : m == 3 ? "1e-4" : "1e-7"; // among the |c|
            for (auto [f, threshold] : {std::pair {"1-8*x", "0"}, {sine, "0"}, {sine, between},
                     {sine, "1e300"}}) // the last above every |c|
                QTest::addRow("m=%d %s, threshold %s", m, f, threshold) << m << f << threshold;
        }
    }
    void expansionByLevel()
    {
        QFETCH(int, m);
        QFETCH(QString, function);
        QFETCH(QString, threshold);
        build(m, qPrintable(function));
        form->edtThreshold->setText(threshold);
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
        const QList<QPointF> nTerm
            = series(form->chCompression, "сохранить наибольшие |c|")->points();
        const QList<QPointF> point = series(form->chCompression, "текущий порог")->points();
        QVERIFY(nTerm.size() == N + 1 && nTerm.last().x() == N && point.size() == 1);
        QVERIFY(point[0].x() == K && point[0].y() == nTerm[K].y());

        if (threshold == "0") {
            QCOMPARE(K, N);
            QVERIFY(function != "1-8*x" || largest < 1e-9);
            QVERIFY(largest < 1e-12 || nTerm.last().y() == largest);
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
        form->rbForward->click();
        build(2, "1-8*x"); // on the grid of the new degree
        QCOMPARE(curve("восстановление").size(), std::size_t(129));
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
        for (const char* filter : {"PNG (*.png)", "SVG (*.svg)", "Bitmaps (*.bmp)"}) {
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
};

SPLINEWAVE_TEST_MAIN(TestAnalysis)
#include "test_analysis.moc"

// The analysis page: the function, its reconstruction from the current coefficients, the coarse
// approximation and the details of every level on one chart; the error against the number of
// wavelet coefficients kept on a second one; the threshold that counts small coefficients as
// zero; and the saves of the picture and of the curves.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "files/FileText.h"
#include "numerics/Levels.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QSplitterHandle>
#include <QValueAxis>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

// An error as the page writes it: three significant digits, the locale's separator.
QString errorText(double error)
{
    return QLocale().toString(error, 'e', 2);
}

// A logarithmic axis cannot show an error of 0. Errors below the rounding level of f,
// eps max |f|, are rounding noise: they are drawn at that level (at eps when f is 0).
double drawnError(double error, const std::vector<double>& f)
{
    double largest = 0;
    for (double value : f)
        largest = std::max(largest, std::abs(value));
    return std::max(error, std::numeric_limits<double>::epsilon() * (largest > 0 ? largest : 1));
}

// The shortest decimal text that reads back as the same double, with "." as the point.
QByteArray csvNumber(double value)
{
    char text[32];
    return QByteArray(text, std::to_chars(text, text + sizeof text, value).ptr - text);
}

// A header field, quoted when it holds a comma.
QByteArray csvField(const QString& name)
{
    return name.contains(',') ? '"' + name.toUtf8() + '"' : name.toUtf8();
}

} // namespace

// chAnalysis fits its axes to the curves shown; chCompression draws the error on a logarithmic
// axis, the N-term curve in blue and the threshold's point in red, without a legend.
void TMainForm::createAnalysisCharts()
{
    chAnalysis
        = createChartView("chAnalysis", "Функция, её восстановление и уровни", new QValueAxis);
    chCompression = createChartView("chCompression", "Сжатие", new QLogValueAxis);
    QChart* chart = chCompression->chart();
    chart->legend()->setVisible(false);
    QFont axisTitle = chart->axes().first()->titleFont();
    axisTitle.setPixelSize(11);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setTitleFont(axisTitle);
        axis->setTitleText(
            axis->orientation() == Qt::Horizontal ? "сохранено c" : "наибольшая погрешность");
    }
    auto* curve = new QLineSeries;
    curve->setName("сохранить наибольшие |c|");
    curve->setPointsVisible(true);
    addCurve(chCompression, curve, QPen(Qt::blue, 2), &TMainForm::compressionTip);
    auto* point = new QScatterSeries;
    point->setName("текущий порог");
    point->setMarkerSize(11);
    addCurve(chCompression, point, QPen(Qt::darkRed), &TMainForm::compressionTip);
    point->setColor(Qt::red);
}

// The series of the current coefficients, in the order of analysisCurves(), each in its colour.
void TMainForm::buildAnalysisSeries()
{
    QChart* chart = chAnalysis->chart();
    for (QAbstractSeries* series : chart->series()) {
        chart->removeSeries(series);
        delete series;
    }
    auto add = [this](const QString& name, QColor colour, int width, Qt::PenStyle style) {
        auto* series = new QLineSeries;
        series->setName(name);
        addCurve(chAnalysis, series, QPen(colour, width, style), &TMainForm::analysisTip);
    };
    if (coefficientSource == CoefficientSource::ForwardTransform)
        add("f(x)", QColor(170, 170, 170), 6, Qt::SolidLine); // a broad band under the others
    add("восстановление", Qt::red, 2, Qt::SolidLine);
    add("приближение, уровень " + IntToStr(coarsestLevel), Qt::blue, 2, Qt::DashLine);
    const QColor details[] = {QColor(0, 140, 0), QColor(170, 0, 170), QColor(230, 120, 0)};
    for (int L : waveletLevels(coarsestLevel, finestLevel))
        add("детали, уровень " + IntToStr(L), details[(L - coarsestLevel - 1) % 3], 2,
            Qt::SolidLine);
    // The samples of data as dots, after the curves: a few thousand would hide them.
    if (coefficientSource == CoefficientSource::ForwardTransform && userFunction.data
        && userFunction.data->samples().x.size() <= maxSampleDots) {
        const SampledData& samples = userFunction.data->samples();
        auto* dots = new QScatterSeries;
        dots->setName("отсчёты");
        dots->setMarkerSize(5);
        for (std::size_t i = 0; i < samples.x.size(); ++i)
            dots->append(samples.x[i], samples.y[i]);
        addCurve(chAnalysis, dots, QPen(Qt::black), &TMainForm::analysisTip);
        dots->setColor(Qt::black);
    }
}

// The page follows the coefficients: while there are none its panel says what to do; otherwise
// it draws the new ones, with the error and the compression chart while f is known. The dense
// grid is laid out once per basis set-up, f sampled on it once per forward transform.
void TMainForm::refreshAnalysis()
{
    const bool any = coefficientSource != CoefficientSource::None;
    SplitterAnalysis->splitter()->setVisible(any);
    btnSaveAnalysis->setEnabled(any);
    for (QAction* save : pmSaveAnalysis->actions())
        save->setEnabled(any);
    lblAnalysis->clear();
    if (!any)
        return;
    if (denseGrid.empty())
        sampleDenseGrid();
    denseFunction.clear();
    if (coefficientSource == CoefficientSource::ForwardTransform)
        for (double x : denseGrid)
            denseFunction.push_back(testFunction(x));
    buildAnalysisSeries();
    chCompression->setVisible(errorsKnown());
    if (errorsKnown()) {
        QList<QPointF> errors = nTermErrors();
        for (QPointF& point : errors)
            point.setY(drawnError(point.y(), denseFunction));
        static_cast<QXYSeries*>(chCompression->chart()->series()[0])->replace(errors);
    }
    drawAnalysis();
    if (errorsKnown())
        fitAxes(chCompression->chart(), 0.04); // room for the point at either end
}

// The curves under the current threshold, the summary and the threshold's point: what changes
// with the threshold. A value that is not finite (f where it is undefined) is left out.
void TMainForm::drawAnalysis()
{
    if (coefficientSource == CoefficientSource::None)
        return;
    const DenseMatrix curves = analysisCurves();
    const QList<QAbstractSeries*> series = chAnalysis->chart()->series();
    for (std::size_t c = 0; c < curves.size(); ++c) {
        QList<QPointF> points;
        points.reserve(qsizetype(denseGrid.size()));
        for (std::size_t q = 0; q < denseGrid.size(); ++q)
            if (std::isfinite(curves[c][q]))
                points.append({denseGrid[q], curves[c][q]});
        static_cast<QLineSeries*>(series[qsizetype(c)])->replace(points);
    }
    fitAxes(chAnalysis->chart());
    const bool withF = coefficientSource == CoefficientSource::ForwardTransform;
    const std::vector<double>& reconstruction = curves[withF ? 1 : 0];
    lblAnalysis->setText(analysisSummary(reconstruction));
    if (errorsKnown())
        static_cast<QXYSeries*>(chCompression->chart()->series()[1])
            ->replace(
                {{double(keptCount()), drawnError(largestError(reconstruction), denseFunction)}});
}

QString TMainForm::analysisSummary(const std::vector<double>& reconstruction)
{
    const QString kept = "Сохранено " + IntToStr(keptCount()) + " из "
        + IntToStr(waveletTotal(coarsestLevel, finestLevel)) + " коэффициентов c";
    if (errorsKnown())
        return kept + "; погрешность восстановления: наибольшая "
            + errorText(largestError(reconstruction)) + ", среднеквадратичная "
            + errorText(rmsError(reconstruction));
    if (coefficientSource == CoefficientSource::Files)
        return kept
            + ". Коэффициенты взяты из файлов: функция f(x) неизвестна, погрешность не "
              "вычисляется";
    const auto undefined = std::find_if(denseFunction.begin(), denseFunction.end(),
        [](double value) { return !std::isfinite(value); });
    return kept + ". Функция f(x) не определена при x = "
        + FloatToStr(denseGrid[std::size_t(undefined - denseFunction.begin())])
        + ": погрешность не вычисляется";
}

// y to six significant digits: the details of the fine levels are far below the five decimals
// of the grids.
QString TMainForm::analysisTip(const QXYSeries& series, QPointF at)
{
    const QPointF sample = nearestSample(series, at);
    return series.name() + "\nx = " + FloatToStrF(sample.x())
        + "\ny = " + QLocale().toString(sample.y(), 'g', 6);
}

QString TMainForm::compressionTip(const QXYSeries& series, QPointF at)
{
    const QPointF sample = nearestSample(series, at);
    return series.name() + "\nсохранено коэффициентов c: " + IntToStr(int(sample.x()))
        + "\nнаибольшая погрешность: " + errorText(sample.y());
}

// The threshold is read as it is typed: a number >= 0, with "." or "," as its decimal point,
// redraws the page; anything else gets a red frame and the page keeps the last number.
void TMainForm::edtThresholdChange(QObject*)
{
    QString error;
    try {
        const double typed = double(typedNumber(edtThreshold->text()));
        if (typed < 0)
            error = "Порог не может быть отрицательным";
        else
            threshold = typed;
    } catch (const EConvertError& conversion) {
        error = QString::fromUtf8(conversion.what());
    }
    showValidity(edtThreshold, error, thresholdHint);
    if (error.isEmpty())
        drawAnalysis();
}

void TMainForm::btnSaveAnalysisClick(QObject*)
{
    popupAtCursor(*pmSaveAnalysis);
}

// Both charts as the page shows them.
void TMainForm::miAnalysisPictureClick(QObject*)
{
    WaitingStatus status(StatusBar, "Подождите, идет сохранение рисунка...");
    if (std::optional<QString> name
        = savePicture(*SaveAnalysisDialog, tsAnalysis, SplitterAnalysis->splitter()))
        status.complete("Рисунок был сохранён в " + *name);
}

void TMainForm::miAnalysisCurvesClick(QObject*)
{
    WaitingStatus status(StatusBar, "Подождите, идет сохранение кривых...");
    const std::optional<QString> chosen = runFileDialog(*SaveCurvesDialog);
    if (!chosen)
        return;
    const QString name = withSuffix(*chosen, "csv");
    if (saveWholeFile(name, analysisCsv()))
        status.complete("Кривые были сохранены в " + name);
}

// A header row with the names of the curves (the samples' dots are none), then one row per point
// of the dense grid: x and the value of every curve of analysisCurves(), exact to the last bit.
QByteArray TMainForm::analysisCsv()
{
    const DenseMatrix curves = analysisCurves();
    const QList<QAbstractSeries*> series = chAnalysis->chart()->series();
    QByteArray text = "x";
    for (std::size_t c = 0; c < curves.size(); ++c)
        text += ',' + csvField(series[qsizetype(c)]->name());
    text += '\n';
    for (std::size_t q = 0; q < denseGrid.size(); ++q) {
        text += csvNumber(denseGrid[q]);
        for (const std::vector<double>& curve : curves)
            text += ',' + csvNumber(curve[q]);
        text += '\n';
    }
    return text;
}

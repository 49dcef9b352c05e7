// The analysis page: the function, its reconstruction from the current coefficients, the coarse
// approximation and the details of every level on one chart; the error against the number of
// wavelet coefficients kept on a second one; the sum of squares of the coefficients per level on
// a third; the threshold that counts small coefficients as zero; and the saves of the picture
// and of the curves.

#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"
#include "engine/Levels.h"
#include "files/FileText.h"
#include "graphs/ChartView.h"
#include "graphs/Envelope.h"
#include "graphs/Palette.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLegend>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QMenu>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSplitter>
#include <QSplitterHandle>
#include <QValueAxis>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <span>

namespace {

// An error as the page writes it: three significant digits, the locale's separator.
QString errorText(double error)
{
    return QLocale().toString(error, 'e', 2);
}

// A logarithmic axis cannot show an error of 0. Errors below the rounding level of f,
// eps max |f|, are rounding noise: they are drawn at that level (at eps when f is 0).
double errorFloor(const std::vector<double>& f)
{
    double largest = 0;
    for (double value : f)
        largest = std::max(largest, std::abs(value));
    return std::numeric_limits<double>::epsilon() * (largest > 0 ? largest : 1);
}

// A chart beside another: narrow margins, no legend, the titles and labels of its axes in small
// fonts.
void smallChart(QChart* chart, const QString& horizontal, const QString& vertical)
{
    chart->legend()->setVisible(false);
    chart->setMargins({4, 4, 4, 4});
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    QFont title = chart->axes().first()->titleFont(), labels = chart->axes().first()->labelsFont();
    title.setPixelSize(11);
    labels.setPixelSize(10);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setTitleFont(title);
        axis->setLabelsFont(labels);
        axis->setTitleText(axis->orientation() == Qt::Horizontal ? horizontal : vertical);
    }
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

// chAnalysis fits its axes to the curves shown and draws them anew for the range of every zoom;
// chCompression draws the error on a logarithmic axis, the N-term curve in blue and the
// threshold's point in red; chEnergy one bar per level on a logarithmic axis. The two have no
// legend.
void TMainForm::createAnalysisCharts()
{
    chAnalysis
        = createChartView("chAnalysis", "Функция, её восстановление и уровни", new QValueAxis);
    connect(static_cast<QValueAxis*>(chAnalysis->chart()->axes(Qt::Horizontal).first()),
        &QValueAxis::rangeChanged, this,
        [this](double left, double right) { showAnalysisRange(left, right); });
    connect(chAnalysis->chart(), &QChart::plotAreaChanged, this, &TMainForm::refitAnalysisEnvelope);
    connect(pcCenter, &QTabWidget::currentChanged, this, &TMainForm::drawCompression);
    chCompression = createChartView("chCompression", "Сжатие", new QLogValueAxis);
    QChart* chart = chCompression->chart();
    smallChart(chart, "сохранено c", "погрешность"); // the largest, as the tooltips say
    auto* curve = new QLineSeries;
    curve->setName("сохранить наибольшие |c|·‖ψ‖");
    curve->setPointsVisible(true);
    addCurve(chCompression, curve, QPen(Qt::blue, 2), &TMainForm::compressionTip);
    auto* point = new QScatterSeries;
    point->setName("текущий порог");
    point->setMarkerSize(11);
    addCurve(chCompression, point, QPen(Qt::darkRed), &TMainForm::compressionTip);
    point->setColor(Qt::red);

    chEnergy = createChartView(
        "chEnergy", "Энергия по уровням", new QLogValueAxis, new QBarCategoryAxis);
    chart = chEnergy->chart();
    smallChart(chart, "уровень", "энергия");
    chart->axes(Qt::Horizontal).first()->setTruncateLabels(false); // "10" may touch "11" at J = 16
    auto* energies = new QBarSet("энергия");
    energies->setColor(QColor(0, 140, 0));
    auto* bars = new QBarSeries;
    bars->append(energies);
    chart->addSeries(bars);
    for (QAbstractAxis* axis : chart->axes())
        bars->attachAxis(axis);
    static_cast<TChartView*>(chEnergy)->setTip(
        energies, [this](int bar) { return energyTip(bar); });
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
    if (functionKnown())
        add("f(x)", QColor(170, 170, 170), 6, Qt::SolidLine); // a broad band under the others
    add("восстановление", Qt::red, 2, Qt::SolidLine);
    add("приближение, уровень " + IntToStr(coarsestLevel), Qt::blue, 2, Qt::DashLine);
    for (int L : waveletLevels(coarsestLevel, finestLevel)) // 15 levels at most: no colour twice
        add("детали, уровень " + IntToStr(L), curveColour(L - coarsestLevel - 1), 2, Qt::SolidLine);
    // The samples of data as dots, after the curves: a few thousand would hide them.
    if (functionKnown() && userFunction.data
        && userFunction.data->samples().x.size() <= maxSampleDots) {
        const SampledData& samples = userFunction.data->samples();
        auto* dots = new QScatterSeries;
        dots->setName("отсчёты");
        dots->setMarkerSize(5);
        for (std::size_t i = 0; i < samples.x.size(); ++i)
            dots->append(shownX(samples.x[i]), samples.y[i]);
        addCurve(chAnalysis, dots, QPen(Qt::black), &TMainForm::analysisTip);
        dots->setColor(Qt::black);
    }
}

// The page follows the coefficients: while there are none its panel says what to do; otherwise
// it draws the new ones, with the error and the compression chart while f is known. The dense
// grid is laid out once per basis set-up, f sampled on it once per forward transform.
void TMainForm::refreshAnalysis()
{
    const bool any = expansion.has_value();
    SplitterAnalysis->splitter()->setVisible(any);
    btnSaveAnalysis->setEnabled(any);
    miCoeffCsv->setEnabled(any);
    for (QAction* save : pmSaveAnalysis->actions())
        save->setEnabled(any);
    lblAnalysis->clear();
    analysisValues.clear();
    compressionDue = false;
    drawEnergy();
    if (!any)
        return;
    if (denseGrid.empty())
        sampleDenseGrid();
    analysisX.resize(denseGrid.size());
    std::ranges::transform(denseGrid, analysisX.begin(), [this](double x) { return shownX(x); });
    denseFunction.clear();
    if (functionKnown()) {
        denseFunction.reserve(denseGrid.size());
        for (double x : denseGrid)
            denseFunction.push_back(testFunction(x));
    }
    buildAnalysisSeries();
    chCompression->setVisible(errorsKnown());
    static_cast<QXYSeries*>(chCompression->chart()->series()[0])->clear();
    compressionDue = errorsKnown();
    drawAnalysis();
    drawCompression();
}

// The N-term curve, the page's dearest part (nTermErrors), is computed when the page is the
// current one: at once, or when it is brought up (a picture of the page brings it up too).
void TMainForm::drawCompression()
{
    if (!compressionDue || pcCenter->currentWidget() != tsAnalysis)
        return;
    compressionDue = false;
    QList<QPointF> errors = nTermErrors();
    const double floor = errorFloor(denseFunction);
    for (QPointF& point : errors)
        point.setY(std::max(point.y(), floor));
    static_cast<QXYSeries*>(chCompression->chart()->series()[0])->replace(errors);
    fitAxes(chCompression->chart(), 0.04); // room for the point at either end
}

// The curves under the current threshold, the summary and the threshold's point: what changes
// with the threshold. A value that is not finite (f where it is undefined) is left out.
void TMainForm::drawAnalysis()
{
    if (!expansion)
        return;
    DenseMatrix curves = analysisCurves();
    std::vector<bool> redraw(curves.size(), true); // what the threshold left as it was stays
    if (curves.size() == analysisValues.size() && analysisColumns == envelopeColumns())
        for (std::size_t c = 0; c < curves.size(); ++c)
            redraw[c] = curves[c] != analysisValues[c];
    analysisValues = std::move(curves);
    showAnalysisRange(analysisX.front(), analysisX.back(), redraw);
    fitAxes(chAnalysis->chart());
    const std::vector<double>& reconstruction = analysisValues[functionKnown() ? 1 : 0];
    lblAnalysis->setText(analysisSummary(reconstruction));
    if (errorsKnown())
        static_cast<QXYSeries*>(chCompression->chart()->series()[1])
            ->replace({{double(expansion->countAtLeast(threshold, thresholdMeasure())),
                std::max(denseError(reconstruction).largest, errorFloor(denseFunction))}});
}

// One column per pixel of the plot area as it was last shown. A chart that has never been shown
// has not been laid out and has no width yet: it takes the screen's until it is shown.
int TMainForm::envelopeColumns() const
{
    return plotColumns > 0
        ? plotColumns
        : int(chAnalysis->screen()->geometry().width() * chAnalysis->devicePixelRatioF());
}

// The envelope of the dense values from the grid point at or before left to the one at or after
// right, for the pixels of the plot: a zoom gets the envelope of its range. O(grid) per curve.
void TMainForm::showAnalysisRange(double left, double right, const std::vector<bool>& redraw)
{
    if (analysisValues.empty())
        return;
    analysisColumns = envelopeColumns();
    const std::size_t first = std::max<std::ptrdiff_t>(
        std::upper_bound(analysisX.begin(), analysisX.end(), left) - analysisX.begin() - 1, 0);
    const std::size_t last = std::min<std::size_t>(
        std::lower_bound(analysisX.begin(), analysisX.end(), right) - analysisX.begin(),
        analysisX.size() - 1);
    const std::span<const double> x = std::span(analysisX).subspan(first, last - first + 1);
    const QList<QAbstractSeries*> series = chAnalysis->chart()->series();
    for (std::size_t c = 0; c < analysisValues.size(); ++c)
        if (redraw.empty() || redraw[c])
            static_cast<QXYSeries*>(series[qsizetype(c)])
                ->replace(pixelEnvelope(
                    x, std::span(analysisValues[c]).subspan(first, x.size()), analysisColumns));
}

// A plot shown at another width than the envelope was drawn for (resized, or shown for the first
// time) gets the envelope for its pixels.
void TMainForm::refitAnalysisEnvelope()
{
    if (chAnalysis->isVisible())
        plotColumns = std::max(1,
            int(std::ceil(
                chAnalysis->chart()->plotArea().width() * chAnalysis->devicePixelRatioF())));
    if (envelopeColumns() == analysisColumns)
        return;
    const auto* x = static_cast<QValueAxis*>(chAnalysis->chart()->axes(Qt::Horizontal).first());
    showAnalysisRange(x->min(), x->max());
}

// One bar per level of the stored coefficients, d first; none while there are no coefficients.
// A logarithmic axis cannot show a sum of 0: sums below the rounding level of the largest, eps^2
// times it, are drawn at that level (at eps^2 when all are 0).
void TMainForm::drawEnergy()
{
    QBarSet* bars = static_cast<QBarSeries*>(chEnergy->chart()->series().first())->barSets()[0];
    bars->remove(0, bars->count());
    QStringList levels;
    if (expansion) {
        const std::vector<double> energies = barEnergies();
        const double largest = *std::max_element(energies.begin(), energies.end());
        const double floor
            = std::pow(std::numeric_limits<double>::epsilon(), 2) * (largest > 0 ? largest : 1);
        for (std::size_t e = 0; e < energies.size(); ++e) {
            bars->append(std::max(energies[e], floor));
            levels << (e == 0 ? QString("d") : IntToStr(coarsestLevel + int(e)));
        }
    }
    static_cast<QBarCategoryAxis*>(chEnergy->chart()->axes(Qt::Horizontal).first())
        ->setCategories(levels);
    const bool inL2 = cbEnergyKind->currentIndex() == 0;
    chEnergy->chart()->setTitle(expansion && inL2
            ? "Энергия по уровням<br>‖f<sub>J</sub>‖² = " + errorText(expansion->energy())
            : "Энергия по уровням");
    chEnergy->chart()->axes(Qt::Vertical).first()->setTitleText(inL2 ? "‖·‖² в L²" : "Σ c²");
    fitAxes(chEnergy->chart());
}

std::vector<double> TMainForm::barEnergies() const
{
    return cbEnergyKind->currentIndex() == 0 ? expansion->levelEnergies()
                                             : expansion->sumsOfSquares();
}

QString TMainForm::energyTip(int bar)
{
    const double energy = barEnergies()[std::size_t(bar)];
    const QString level = IntToStr(coarsestLevel + bar);
    if (cbEnergyKind->currentIndex() == 0)
        return (bar == 0 ? "грубое приближение, уровень " : "детали, уровень ") + level
            + "\n‖·‖² в L²: " + errorText(energy);
    return bar == 0 ? "коэффициенты d, уровень " + level + "\nсумма d²: " + errorText(energy)
                    : "коэффициенты c, уровень " + level + "\nсумма c²: " + errorText(energy);
}

void TMainForm::cbEnergyKindChange(QObject*)
{
    drawEnergy();
}

engine::Measure TMainForm::thresholdMeasure() const
{
    return engine::Measure(cbThresholdMeasure->currentIndex());
}

// Another measure keeps other coefficients: the curves, the summary and the N-term curve anew.
void TMainForm::cbThresholdMeasureChange(QObject*)
{
    static_cast<QXYSeries*>(chCompression->chart()->series()[0])
        ->setName(cbThresholdMeasure->currentIndex() == 0 ? "сохранить наибольшие |c|·‖ψ‖"
                                                          : "сохранить наибольшие |c|");
    drawAnalysis();
    if (!errorsKnown())
        return;
    static_cast<QXYSeries*>(chCompression->chart()->series()[0])->clear();
    compressionDue = true;
    drawCompression();
}

QString TMainForm::analysisSummary(const std::vector<double>& reconstruction)
{
    const QString kept = "Сохранено "
        + IntToStr(int(expansion->countAtLeast(threshold, thresholdMeasure()))) + " из "
        + IntToStr(waveletTotal(coarsestLevel, finestLevel)) + " коэффициентов c";
    if (errorsKnown()) {
        const engine::Deviation error = denseError(reconstruction);
        return kept + "; погрешность восстановления: наибольшая " + errorText(error.largest)
            + ", среднеквадратичная " + errorText(error.rms);
    }
    if (!functionKnown())
        return kept
            + ". Коэффициенты взяты из файлов: функция f(x) неизвестна, погрешность не "
              "вычисляется";
    const auto undefined = std::find_if(denseFunction.begin(), denseFunction.end(),
        [](double value) { return !std::isfinite(value); });
    return kept + ". Функция f(x) не определена при x = "
        + FloatToStr(denseGrid[std::size_t(undefined - denseFunction.begin())])
        + ": погрешность не вычисляется";
}

// The curve's value at the grid point nearest to the pointer, not at a point of its envelope; y
// to six significant digits: the details of the fine levels are far below the five decimals of
// the grids. The samples' dots, and a grid point where the curve is not finite, give the
// nearest point drawn.
QString TMainForm::analysisTip(const QXYSeries& series, QPointF at)
{
    QPointF sample = nearestSample(series, at);
    const QList<QAbstractSeries*> all = chAnalysis->chart()->series();
    if (const auto c = std::size_t(std::find(all.begin(), all.end(), &series) - all.begin());
        c < analysisValues.size()) {
        const auto after = std::lower_bound(analysisX.begin(), analysisX.end(), at.x());
        auto q = std::size_t(after - analysisX.begin());
        if (q == analysisX.size() || (q > 0 && at.x() - analysisX[q - 1] < analysisX[q] - at.x()))
            --q;
        if (std::isfinite(analysisValues[c][q]))
            sample = {analysisX[q], analysisValues[c][q]};
    }
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
    lblThresholdInForce->setText(
        error.isEmpty() ? QString() : "действует порог " + QLocale().toString(threshold, 'g', 6));
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
// of the dense grid: x (in the samples' own units, analysisX) and the value of every curve of
// analysisCurves(), exact to the last bit.
QByteArray TMainForm::analysisCsv()
{
    const DenseMatrix& curves = analysisValues;
    const QList<QAbstractSeries*> series = chAnalysis->chart()->series();
    QByteArray text = "x";
    for (std::size_t c = 0; c < curves.size(); ++c)
        text += ',' + csvField(series[qsizetype(c)]->name());
    text += '\n';
    for (std::size_t q = 0; q < analysisX.size(); ++q) {
        text += csvNumber(analysisX[q]);
        for (const std::vector<double>& curve : curves)
            text += ',' + csvNumber(curve[q]);
        text += '\n';
    }
    return text;
}

// The chart of the wavelets: one blue line per wavelet built from the value matrix, the four
// graph kinds, and the bitmap export.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "app/WaitingStatus.h"
#include "files/FileText.h"
#include "numerics/Levels.h"

#include <algorithm>

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QFileDialog>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>
#include <QValueAxis>

namespace {

// The space between the legend and the edges of the chart, in pixels.
constexpr int legendInset = 10;

// Ticks at 1, 2 or 5 times a power of ten that divide the span into at most six parts, labelled
// with as many decimals as the interval needs.
void setRoundTicks(QValueAxis* axis, double span)
{
    const int exponent = int(std::floor(std::log10(span / 6)));
    const double unit = std::pow(10.0, exponent);
    const double factor = span / 6 <= unit ? 1
        : span / 6 <= 2 * unit             ? 2
        : span / 6 <= 5 * unit             ? 5
                                           : 10;
    axis->setTickInterval(factor * unit);
    const int decimals = std::max(0, factor == 10 ? -exponent - 1 : -exponent);
    axis->setLabelFormat("%." + QString::number(decimals) + "f");
}

// The groups of wavelet indices p, and the chart title of each graph kind.
struct GraphKind
{
    const char* title;
    bool (*shown)(int p, int m, int J);
};

const GraphKind allWavelets {
    "Центральные и граничные вейвлеты", [](int, int, int) { return true; }};
const GraphKind zeroWavelet {"Нулевая вейвлет-функция", [](int p, int, int) { return p == 0; }};
const GraphKind boundaryWavelets {"Граничные вейвлеты",
    [](int p, int m, int J) { return waveletClass(p, m, J) != WaveletClass::Central; }};
const GraphKind centralWavelets {"Центральные вейвлеты",
    [](int p, int m, int J) { return waveletClass(p, m, J) == WaveletClass::Central; }};

} // namespace

// The chart keeps one horizontal and one vertical value axis for its whole life; every curve
// is drawn in their coordinates. No animation: the axes and their labels stand at their numbers
// as soon as a command returns.
void TMainForm::createWaveletChart()
{
    auto* chart = new QChart;
    chart->setTitle("Центральные и граничные вейвлеты");
    QFont titleFont("Arial");
    titleFont.setPixelSize(16);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(Qt::blue);
    chart->legend()->setVisible(true);
    chart->legend()->detachFromChart(); // placed by placeLegend, in rows
    chart->legend()->setAlignment(Qt::AlignTop); // rows filled from the top, in series order
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setLocalizeNumbers(true); // axis numbers with the locale's decimal separator
    for (Qt::Alignment side : {Qt::AlignBottom, Qt::AlignLeft}) {
        auto* axis = new QValueAxis;
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        connect(axis, &QValueAxis::rangeChanged, axis, [chart, axis](double min, double max) {
            setRoundTicks(axis, max - min);
            chart->layout()->activate();
        });
        chart->addAxis(axis, side);
    }
    chWavelet = new QChartView(chart);
    chWavelet->setObjectName("chWavelet");
    chWavelet->setRubberBand(QChartView::RectangleRubberBand); // drag to zoom, right click back
    chWavelet->setFrameShape(QFrame::NoFrame);
    connect(chart, &QChart::geometryChanged, this, &TMainForm::placeLegend);
}

namespace {

// The part of the item taken by its visible texts, in the item's coordinates.
QRectF textArea(QGraphicsItem* item)
{
    QRectF area;
    for (QGraphicsItem* child : item->childItems())
        if (child->isVisible()) {
            const QRectF own
                = dynamic_cast<QGraphicsTextItem*>(child) ? child->boundingRect() : textArea(child);
            area |= child->mapRectToParent(own);
        }
    return area;
}

} // namespace

// The legend stands under the plot in as many rows as its entries need at the chart's width
// (one row would cut the sixteen entries of m = 4 short on a window of the design size); the
// chart's bottom margin makes room for it.
void TMainForm::placeLegend()
{
    QChart* chart = chWavelet->chart();
    QLegend* legend = chart->legend();
    const QRectF frame = chart->rect().adjusted(legendInset, 0, -legendInset, 0);
    legend->setGeometry(frame);
    legend->layout()->activate();
    const double height = std::ceil(textArea(legend).bottom()) + legendInset / 2;
    legend->setGeometry(frame.adjusted(0, frame.height() - height - legendInset, 0, -legendInset));
    QMargins margins = chart->margins();
    margins.setBottom(int(height) + legendInset);
    chart->setMargins(margins);
}

// Series p + m - 1 belongs to wavelet p; its points are read back from the grid's texts. The
// series of the last build are given the new names and points, so that a build creates and
// deletes only the series that a change of degree adds or drops.
void TMainForm::buildWaveletSeries()
{
    QChart* chart = chWavelet->chart();
    const int count = waveletCount(finestLevel);
    while (chart->series().size() > count) {
        QAbstractSeries* last = chart->series().last();
        chart->removeSeries(last);
        delete last;
    }
    while (chart->series().size() < count)
        addWaveletSeries();
    const int columns = sgWaveletValues->colCount();
    for (int p : waveletIndices(m, finestLevel)) {
        auto* series = static_cast<QLineSeries*>(chart->series()[p + m - 1]);
        series->setName(sgWaveletValues->cell(0, p + m));
        QList<QPointF> points;
        points.reserve(columns - 1);
        for (int col = 1; col < columns; ++col)
            points.append({double(StrToFloat(sgWaveletValues->cell(col, 0))),
                double(StrToFloat(sgWaveletValues->cell(col, p + m)))});
        series->replace(points);
        series->setVisible(true);
    }
    fitAxes();
}

// A blue curve on the chart's two axes, with its tooltip and its legend entry.
void TMainForm::addWaveletSeries()
{
    QChart* chart = chWavelet->chart();
    auto* series = new QLineSeries;
    QPen pen(Qt::blue);
    pen.setWidth(2);
    series->setPen(pen);
    chart->addSeries(series);
    for (QAbstractAxis* axis : chart->axes())
        series->attachAxis(axis);
    connect(series, &QLineSeries::hovered, this, [this, series](QPointF at, bool entered) {
        entered ? QToolTip::showText(QCursor::pos(), pointTip(*series, at), chWavelet)
                : QToolTip::hideText();
    });
    connectLegendMarker(chart->legend()->markers(series).first());
}

namespace {

// Sets the axis to [low - margin, high + margin], margin a share of the span, with round ticks.
void fitAxis(QValueAxis* axis, double low, double high, double margin)
{
    if (!(high > low)) { // nothing shown, or a flat curve
        low -= 1;
        high += 1;
    }
    const double span = (1 + 2 * margin) * (high - low);
    setRoundTicks(axis, span); // before the range: the old interval could mean a myriad of ticks
    axis->setRange(low - margin * (high - low), high + margin * (high - low));
}

} // namespace

// The legend and the axes fit the curves that are shown: x over their samples, y over their
// values with a small margin. A zoom is undone first, so that zooming out returns to these
// ranges.
void TMainForm::fitAxes()
{
    QChart* chart = chWavelet->chart();
    placeLegend();
    chart->zoomReset();
    double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY;
    for (QAbstractSeries* series : chart->series())
        if (series->isVisible())
            for (QPointF point : static_cast<QLineSeries*>(series)->points()) {
                left = std::min(left, point.x());
                right = std::max(right, point.x());
                bottom = std::min(bottom, point.y());
                top = std::max(top, point.y());
            }
    fitAxis(static_cast<QValueAxis*>(chart->axes(Qt::Horizontal).first()), left, right, 0);
    fitAxis(static_cast<QValueAxis*>(chart->axes(Qt::Vertical).first()), bottom, top, 0.05);
    chart->layout()->activate();
}

// The sample of the curve nearest to the hovered point: the wavelet, x and y as in the grid.
QString TMainForm::pointTip(const QLineSeries& series, QPointF at)
{
    const QList<QPointF> samples = series.points();
    auto nearer = [at](QPointF p, QPointF q) {
        return std::abs(p.x() - at.x()) < std::abs(q.x() - at.x());
    };
    const QPointF sample = *std::min_element(samples.begin(), samples.end(), nearer);
    return series.name() + "\nx = " + FloatToStrF(sample.x()) + "\ny = " + FloatToStrF(sample.y());
}

// A click on a legend entry hides or shows its curve; the entry stays, dimmed while the curve
// is hidden, so that it can be clicked again. The graph kind is not changed.
void TMainForm::connectLegendMarker(QLegendMarker* marker)
{
    QAbstractSeries* series = marker->series();
    connect(marker, &QLegendMarker::clicked, this, [this, marker, series] {
        series->setVisible(!series->isVisible());
        marker->setVisible(true);
        fitAxes();
    });
    connect(series, &QAbstractSeries::visibleChanged, this, [marker, series] {
        QColor label = marker->labelBrush().color();
        label.setAlphaF(series->isVisible() ? 1.0 : 0.4);
        marker->setLabelBrush(label);
    });
}

// The index ranges come from the current degree, even for series built under another one;
// an index without a series is skipped.
void TMainForm::rbAllGraphicClick(QObject* Sender)
{
    QChart* chart = chWavelet->chart();
    const QList<QAbstractSeries*> series = chart->series();
    if (series.isEmpty()) {
        ShowMessage("Сначала постройте график!");
        return;
    }
    const GraphKind& kind = Sender == rbAllGraphic ? allWavelets
        : Sender == rbZerro                        ? zeroWavelet
        : Sender == rbBoundary                     ? boundaryWavelets
                                                   : centralWavelets;
    for (QAbstractSeries* s : series)
        s->setVisible(true);
    for (int p : waveletIndices(m, finestLevel))
        if (p + m - 1 < series.size() && !kind.shown(p, m, finestLevel))
            series[p + m - 1]->setVisible(false);
    chart->setTitle(kind.title);
    fitAxes();
}

// The chart as shown on its page, at the screen's pixel density. A page that has never been
// shown has no real size yet, so the graph page is brought up for the grab.
QImage TMainForm::chartImage()
{
    QWidget* current = pcCenter->currentWidget();
    pcCenter->setCurrentWidget(tsGraphic);
    QImage image = chWavelet->grab().toImage();
    pcCenter->setCurrentWidget(current);
    return image;
}

void TMainForm::miGraphicClick(QObject*)
{
    WaitingStatus status(StatusBar, "Подождите, идет сохранение графиков...");
    std::optional<QString> chosen = runFileDialog(*SaveWaveletDialog);
    if (!chosen)
        return;
    QString name = *chosen;
    if (!name.endsWith(".bmp", Qt::CaseInsensitive))
        name += ".bmp";
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    buffer.open(QIODevice::WriteOnly);
    chartImage().save(&buffer, "BMP");
    if (saveWholeFile(name, bitmap))
        status.complete("Графики были сохранены в " + name);
}

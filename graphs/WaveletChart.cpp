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
#include <QLegendMarker>
#include <QLineSeries>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>
#include <QValueAxis>

namespace {

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

// Series p + m - 1 belongs to wavelet p; its points are read back from the grid's texts.
void TMainForm::buildWaveletSeries()
{
    QChart* chart = chWavelet->chart();
    chart->removeAllSeries();
    const int columns = sgWaveletValues->colCount();
    for (int p : waveletIndices(m, finestLevel)) {
        auto* series = new QLineSeries;
        series->setName(sgWaveletValues->cell(0, p + m));
        QPen pen(Qt::blue);
        pen.setWidth(2);
        series->setPen(pen);
        QList<QPointF> points;
        points.reserve(columns - 1);
        for (int col = 1; col < columns; ++col)
            points.append({double(StrToFloat(sgWaveletValues->cell(col, 0))),
                double(StrToFloat(sgWaveletValues->cell(col, p + m)))});
        series->replace(points);
        chart->addSeries(series);
        connect(series, &QLineSeries::hovered, this, [this, series](QPointF at, bool entered) {
            entered ? QToolTip::showText(QCursor::pos(), pointTip(*series, at), chWavelet)
                    : QToolTip::hideText();
        });
    }
    chart->createDefaultAxes();
    for (QAbstractAxis* axis : chart->axes())
        static_cast<QValueAxis*>(axis)->applyNiceNumbers(); // round tick values
    for (QLegendMarker* marker : chart->legend()->markers())
        connectLegendMarker(marker);
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
    connect(marker, &QLegendMarker::clicked, this, [marker, series] {
        series->setVisible(!series->isVisible());
        marker->setVisible(true);
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

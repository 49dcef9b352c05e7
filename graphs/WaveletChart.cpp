// The chart of the wavelets: one blue line per wavelet built from the value matrix, the four
// graph kinds, and the picture export.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "app/WaitingStatus.h"
#include "numerics/Levels.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
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

// The chart of the wavelets, under the title of all graphs.
void TMainForm::createWaveletChart()
{
    chWavelet = createChartView("chWavelet", allWavelets.title, new QValueAxis);
}

// Series p + m - 1 belongs to wavelet p; its points are read back from the grid's texts. A build
// after a build of the same basis gives the series new points; a new basis has removed them.
void TMainForm::buildWaveletSeries()
{
    QChart* chart = chWavelet->chart();
    while (chart->series().size() < waveletCount(finestLevel))
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
    fitAxes(chart);
}

// The graph page as before its first build: no curves under the title of all graphs with
// "общий график" selected, an empty value matrix, nothing to save. A new basis makes the curves
// and the samples of the old one wrong.
void TMainForm::clearWaveletGraphs()
{
    QChart* chart = chWavelet->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        axis->setRange(0, 1); // the axes of a new chart
    chart->setTitle(allWavelets.title);
    QSignalBlocker quiet(rbAllGraphic); // no graph, no kind to show
    rbAllGraphic->setChecked(true);
    const TStringGrid::Options start;
    sgWaveletValues->setRowCount(0); // every cell blank, every column of the design width
    sgWaveletValues->setColCount(0);
    sgWaveletValues->setRowCount(start.rowCount);
    sgWaveletValues->setColCount(start.colCount);
    btnSave->setEnabled(false);
}

// A blue curve on the chart's two axes, with its tooltip and its legend entry.
void TMainForm::addWaveletSeries()
{
    QPen pen(Qt::blue);
    pen.setWidth(2);
    addCurve(chWavelet, new QLineSeries, pen);
}

// The series, when there are any, are those of the basis in force: a new basis removes them.
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
        if (!kind.shown(p, m, finestLevel))
            series[p + m - 1]->setVisible(false);
    chart->setTitle(kind.title);
    fitAxes(chart);
}

void TMainForm::miGraphicClick(QObject*)
{
    WaitingStatus status(StatusBar, "Подождите, идет сохранение графиков...");
    if (std::optional<QString> name = savePicture(*SaveWaveletDialog, tsGraphic, chWavelet))
        status.complete("Графики были сохранены в " + *name);
}

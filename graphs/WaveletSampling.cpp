// The graph command: the functions of the level chosen in cbGraphLevel sampled at 2m points per
// mesh interval of level J into sgWaveletValues, and drawn. The matrix and the chart show the
// same samples, computed when they are shown, drawn or saved.
//
//   (0, 0) = "x";  (0, r) = "w(p,L)" or "N(k,J0)";  (col, 0) = x_(col-1);  (col, r) = f_r(x_(col-1))
//   x_0 = a, x_(i+1) = x_i + h/(2m) by repeated addition; b itself finds no column.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"
#include "graphs/GraphSamples.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

void TMainForm::btnGraphicClick(QObject*)
{
    startTicks = int(clockTicks());
    WaitingStatus status(StatusBar, "Подождите, идет построение графиков...");
    const BusyCursor busy;
    btnSave->setEnabled(true);
    {
        const QSignalBlocker quiet(rbAllGraphic); // the graph drawn next shows every curve
        rbAllGraphic->setChecked(true);
    }
    drawGraphs(rbAllGraphic);
    endTicks = int(clockTicks());
    status.complete(
        "Построены графики для m=" + IntToStr(m) + ". Время построения " + elapsedText() + " мc");
}

void TMainForm::drawGraphs(QObject* kindButton)
{
    sampleWavelets(kindButton);
    buildWaveletSeries();
    showGraphKind(kindButton);
}

namespace {

QString functionName(const LevelFunctions& functions, int index)
{
    return QString(functions.scaling() ? "N(" : "w(") + IntToStr(index) + ","
        + IntToStr(functions.level()) + ")";
}

} // namespace

// The matrix of the functions drawn: a row each, a column per sample.
void TMainForm::sampleWavelets(QObject* kindButton)
{
    const std::shared_ptr<const LevelFunctions> functions = levelChosen();
    auto samples = std::make_shared<const GraphSamples>(
        functions, graphIndices(*functions, kindButton), drawnWhole(*functions));
    graphSamples = samples;
    const int columns = int(samples->abscissae.size());
    const int rows = int(samples->curves.size());
    sgWaveletValues->setRowCount(rows + 1);
    sgWaveletValues->setColCount(columns + 1);
    sgWaveletValues->setCell(0, 0, "x");
    for (int r = 0; r < rows; ++r)
        sgWaveletValues->setCell(0, r + 1, functionName(*functions, samples->curves[r].index));
    sgWaveletValues->setNumbers(
        QRect(1, 0, columns, 1), [samples](int col, int) { return samples->abscissae[col - 1]; });
    sgWaveletValues->setNumbers(QRect(1, 1, columns, rows),
        [samples](int col, int row) { return samples->value(row - 1, col - 1); });
    sgWaveletValues->fitNumbers(1, columns, -std::max(std::abs(double(a)), std::abs(double(b))));
    if (rows > 0) // the samples of the first curve drawn in view
        sgWaveletValues->scrollToColumn(samples->curves.front().first + 1);
}

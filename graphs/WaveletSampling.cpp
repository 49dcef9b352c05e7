// The graph command: every wavelet of the finest level sampled at 2m points per mesh interval
// into sgWaveletValues, then drawn from the grid's texts, so that the chart and the matrix show
// the same numbers.
//
//   (0, 0) = "x";  (0, p + m) = "w(p,J)";  (col, 0) = x_(col-1);  (col, p + m) = psi_(J,p)(x_(col-1))
//   x_0 = a, x_(i+1) = x_i + h/(2m) by repeated addition; b itself finds no column.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "app/WaitingStatus.h"
#include "numerics/Levels.h"

#include <QPushButton>
#include <QRadioButton>

#include <vector>

// Above level 8 the page would hold thousands of curves and millions of cells: the command says
// so and changes nothing.
void TMainForm::btnGraphicClick(QObject*)
{
    if (finestLevel > maxGraphLevel)
        throw ERejectedInput(
            ("Графики вейвлетов строятся для уровней J не выше " + IntToStr(maxGraphLevel)
                + ": при J=" + IntToStr(finestLevel) + " их слишком много. Уменьшите уровень J.")
                .toStdString());
    startTicks = int(clockTicks());
    WaitingStatus status(StatusBar, "Подождите, идет построение графиков...");
    btnSave->setEnabled(true);
    sampleWavelets();
    rbAllGraphic->setChecked(true); // runs the graph-kind handler if it was not selected
    endTicks = int(clockTicks());
    status.complete(
        "Построены графики для m=" + IntToStr(m) + ". Время построения " + elapsedText() + " мc");
}

void TMainForm::sampleWavelets()
{
    const int J = finestLevel;
    const std::size_t samples = meshIntervals(J).size() * 2 * m;
    sgWaveletValues->setRowCount(waveletCount(J) + 1);
    sgWaveletValues->setColCount(int(samples) + 1);
    sgWaveletValues->setCell(0, 0, "x");
    for (int p : waveletIndices(m, J))
        sgWaveletValues->setCell(0, p + m, "w(" + IntToStr(p) + "," + IntToStr(J) + ")");
    std::vector<double> abscissae;
    for (double x = a; x <= b && abscissae.size() < samples; x = x + step / (2 * m))
        abscissae.push_back(x);
    for (std::size_t i = 0; i < abscissae.size(); ++i)
        sgWaveletValues->setNumber(int(i) + 1, 0, abscissae[i]);
    for (int p : waveletIndices(m, J))
        for (std::size_t i = 0; i < abscissae.size(); ++i)
            sgWaveletValues->setNumber(int(i) + 1, p + m, waveletValue(abscissae[i], p, J));
    buildWaveletSeries();
}

// The value matrix of the graph page as bare numbers: one line per wavelet (grid rows 1 .. H),
// the samples of columns 1 .. w-1, each read back from its text in extended precision and
// written in the stream's default format followed by one blank.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "app/WaitingStatus.h"
#include "files/FileText.h"
#include "numerics/Levels.h"

#include <QFileDialog>

void TMainForm::miMatrixClick(QObject*)
{
    const std::optional<QString> name = runFileDialog(*OpenDialog);
    if (!name)
        return;
    WaitingStatus status(StatusBar, "Подождите, идет сохранение коэффициентов...");
    const int H = waveletCount(finestLevel);
    if (sgWaveletValues->cell(1, H).isEmpty()) { // a new basis empties the matrix
        ShowMessage("Матрица значений не построена. Постройте график (кнопка «Построить» на "
                    "странице «График»), затем сохраните таблицу.");
        return;
    }
    std::string text;
    for (int k : waveletIndices(m, finestLevel)) {
        for (int col = 1; col < sgWaveletValues->colCount(); ++col)
            text += streamText(StrToFloat(sgWaveletValues->cell(col, k + m))) + ' ';
        text += '\n';
    }
    if (saveWholeFile(*name, QByteArray::fromStdString(text)))
        status.complete("Коэффициенты были сохранены в " + *name);
}

// The value matrix of the graph page as bare numbers: one line per function drawn (grid rows
// 1 .. rows-1), the samples of columns 1 .. w-1, each as its cell shows it (five decimals) read
// back in extended precision and written in the stream's default format followed by one blank.

#include "app/Main_f.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"
#include "files/FileText.h"
#include "graphs/GraphSamples.h"

#include <QFileDialog>

namespace {

// Most samples of a level of many are 0 outside the few intervals of their function: they need
// no round trip through a text.
std::string cellNumber(double value)
{
    return value == 0 ? "0" : streamText(StrToFloat(FloatToStrF(value)));
}

} // namespace

void TMainForm::miMatrixClick(QObject*)
{
    const std::optional<QString> name = runFileDialog(*OpenDialog);
    if (!name)
        return;
    WaitingStatus status(StatusBar, "Подождите, идет сохранение коэффициентов...");
    if (!graphSamples) { // a new basis empties the matrix
        ShowMessage("Матрица значений не построена. Постройте график (кнопка «Построить» на "
                    "странице «График»), затем сохраните таблицу.");
        return;
    }
    const BusyCursor busy;
    std::string text;
    for (int r = 0; r < int(graphSamples->curves.size()); ++r) {
        for (int col = 0; col < int(graphSamples->abscissae.size()); ++col)
            text += cellNumber(graphSamples->value(r, col)) + ' ';
        text += '\n';
    }
    if (saveWholeFile(*name, QByteArray::fromStdString(text)))
        status.complete("Коэффициенты были сохранены в " + *name);
}

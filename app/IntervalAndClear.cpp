// The interval check and the Clear command.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "core/Conversions.h"
#include "engine/Levels.h"

#include <QLineEdit>

// The interval [a, b] typed into edtA and edtB is usable when a < b; otherwise it is rejected
// with the rule it breaks. The texts are converted anew on every call.
void TMainForm::checkInterval()
{
    const int left = StrToInt(edtA->text());
    const int right = StrToInt(edtB->text());
    if (left == right)
        throw ERejectedInput("Начало и конец отрезка не должны совпадать!");
    if (left > right)
        throw ERejectedInput("Начало отрезка не должно быть больше конца отрезка!");
}

// Empties the coefficient tables and blanks exactly the value cells of the result
// grids under the current m, J and J0 (those that transform/ResultGrids.cpp fills); captions
// stay. The analysis page then says what to do.
void TMainForm::btnClearClick(QObject*)
{
    clearResults();
}

void TMainForm::clearResults()
{
    const int J = finestLevel;
    const int J0 = coarsestLevel;
    coeffC.clear();
    coeffD.clear();
    FunctionValueGR->blank(QRect(1, 0, 1, int(meshIntervals(J).size())));
    for (int L : waveletLevels(J0, J))
        CoeffCGR->blank(QRect(1, L - J0, waveletCount(L), 1));
    CoeffDGR->blank(QRect(0, 1, int(scalingIndices(m, J0).size()), 1));
    expansion.reset();
    refreshAnalysis();
}

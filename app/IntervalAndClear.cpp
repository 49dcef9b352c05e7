// The interval check and the Clear command.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"

#include <QLineEdit>

// The interval [a, b] typed into edtA and edtB is usable when a < b; each violated rule is
// told in its own message. The texts are converted anew on every call.
bool TMainForm::checkInterval()
{
    const int left = StrToInt(edtA->text());
    const int right = StrToInt(edtB->text());
    bool result = true;
    if (left == right) {
        ShowMessage("Начало и конец отрезка не должны совпадать!");
        result = false;
    }
    if (left > right) {
        ShowMessage("Начало отрезка не должно быть больше конца отрезка!");
        result = false;
    }
    return result;
}

// Empties the coefficient and product tables and blanks exactly the value cells of the result
// grids under the current m, J and J0; captions stay.
void TMainForm::btnClearClick(QObject*)
{
    const int J = finestLevel;
    const int J0 = coarsestLevel;
    coeffC.clear();
    coeffD.clear();
    waveletProducts.clear();
    splineProducts.clear();
    for (int p = 0; p <= pow2(J) - 1; ++p)
        FunctionValueGR->setCell(1, p, "");
    for (int e = 1; e <= J - J0; ++e)
        for (int i = 1 - m; i <= pow2(J0 + e - 1) - m; ++i)
            CoeffCGR->setCell(i + m, e, "");
    for (int k = 1 - m; k <= pow2(J0) - 1; ++k)
        CoeffDGR->setCell(k + m - 1, 1, "");
}

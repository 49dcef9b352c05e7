// The numbers of the transforms in their grids: five decimals, the locale's separator, the full
// value in each cell's tooltip. Exactly the cells that the Clear command blanks.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"

void TMainForm::showFunctionValues()
{
    for (int p : meshIntervals(finestLevel))
        FunctionValueGR->setNumber(1, p, funcValues[p][0]);
}

void TMainForm::showCoeffC()
{
    const int J0 = coarsestLevel;
    for (int L : waveletLevels(J0, finestLevel))
        for (int i : waveletIndices(m, L))
            CoeffCGR->setNumber(i + m, L - J0, coeffC[L - J0][i]);
}

void TMainForm::showCoeffD()
{
    for (int k : scalingIndices(m, coarsestLevel))
        CoeffDGR->setNumber(k + m - 1, 1, coeffD[0][k]);
}

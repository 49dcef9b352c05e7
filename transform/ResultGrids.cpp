// The numbers of the transforms in their grids: five decimals, the locale's separator. Exactly
// the cells that the Clear command blanks.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"

void TMainForm::showFunctionValues()
{
    for (int p : meshIntervals(finestLevel))
        FunctionValueGR->setCell(1, p, FloatToStrF(funcValues[p][0]));
}

void TMainForm::showCoeffC()
{
    const int J0 = coarsestLevel;
    for (int L : waveletLevels(J0, finestLevel))
        for (int i : waveletIndices(m, L))
            CoeffCGR->setCell(i + m, L - J0, FloatToStrF(coeffC[L - J0][i]));
}

void TMainForm::showCoeffD()
{
    for (int k : scalingIndices(m, coarsestLevel))
        CoeffDGR->setCell(k + m - 1, 1, FloatToStrF(coeffD[0][k]));
}

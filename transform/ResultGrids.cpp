// The numbers of the transforms in their grids: five decimals, the locale's separator. Exactly
// the cells that the Clear command blanks.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"

void TMainForm::showFunctionValues()
{
    for (int p = 0; p <= pow2(finestLevel) - 1; ++p)
        FunctionValueGR->setCell(1, p, FloatToStrF(funcValues[p][0]));
}

void TMainForm::showCoeffC()
{
    for (int e = 1; e <= finestLevel - coarsestLevel; ++e)
        for (int i = 1 - m; i <= pow2(coarsestLevel + e - 1) - m; ++i)
            CoeffCGR->setCell(i + m, e, FloatToStrF(coeffC[e][i]));
}

void TMainForm::showCoeffD()
{
    for (int k = 1 - m; k <= pow2(coarsestLevel) - 1; ++k)
        CoeffDGR->setCell(k + m - 1, 1, FloatToStrF(coeffD[0][k]));
}

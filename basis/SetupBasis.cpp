// The basis set-up for the degree chosen in cbStepSplain: levels, mesh, sample points, grid
// layout, quadrature weights and the coefficient tables betta, alpha and alphaW.

#include "app/Conversions.h"
#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

// The degree typed or chosen in cbStepSplain, or 0 when it is not one the program knows (the
// user has been told why). A text that is not an integer raises the conversion error.
int TMainForm::degreeChosen()
{
    int chosen = StrToInt(cbStepSplain->currentText());
    if (chosen < 2 || chosen > 4) {
        ShowMessage("Непредусмотренное значение m (" + IntToStr(chosen) + ")");
        return 0;
    }
    return chosen;
}

// Returns whether the basis was built. When the interval or the degree is rejected, nothing
// changes: the previous basis, the tables, the grids and the report item stay as they were.
// The tables alpha and alphaW are not cleared: each row built replaces the row of its key.
bool TMainForm::setupBasis()
{
    if (!checkInterval())
        return false;
    const int chosen = degreeChosen();
    if (chosen == 0)
        return false;
    btnClear->click(); // under the old m, J and J0

    m = chosen;
    finestLevel = m == 2 ? 3 : m == 3 ? 4 : 5;
    coarsestLevel = int(std::floor(std::log(2.0 * m - 1) / std::log(2.0)));
    a = StrToInt(edtA->text());
    b = StrToInt(edtB->text());
    step = (b - a) / pow2(finestLevel);
    points.assign(std::size_t(pow2(finestLevel)), {0.0});
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i][0] = a + i * step;
    layoutGrids();
    funcValues.assign(points.size(), {0.0});

    computeGaussNodes();
    computeGaussWeights();
    computeBetta();
    computeAlpha();
    computeAlphaW();
    nCoeff->setEnabled(true);
    return true;
}

// Sizes and captions of the three result grids (cells are column first, row second):
//   FunctionValueGR  2^J rows;                 (0, i) = "x[i]"
//   CoeffDGR         2^J0 + m - 1 columns;     (k + m - 1, 0) = "d[k]",    k = 1-m .. 2^J0-1
//   CoeffCGR         J - J0 + 1 rows,          (0, e) = "c[e][j]",         e = 1 .. J-J0
//                    2^(J-1) + 1 columns;      (i + m, 0) = "c[i][i]",     i = 1-m .. 2^(J-1)-m
void TMainForm::layoutGrids()
{
    const int J = finestLevel;
    const int J0 = coarsestLevel;
    FunctionValueGR->setRowCount(int(pow2(J)));
    for (int i = 0; i <= pow2(J) - 1; ++i)
        FunctionValueGR->setCell(0, i, "x[" + IntToStr(i) + "]");
    CoeffDGR->setColCount(int(pow2(J0)) + m - 1);
    for (int k = 1 - m; k <= pow2(J0) - 1; ++k)
        CoeffDGR->setCell(k + m - 1, 0, "d[" + IntToStr(k) + "]");
    CoeffCGR->setRowCount(J - J0 + 1);
    CoeffCGR->setColCount(int(pow2(J - 1)) + 1);
    for (int e = 1; e <= J - J0; ++e)
        CoeffCGR->setCell(0, e, "c[" + IntToStr(e) + "][j]");
    for (int i = 1 - m; i <= pow2(J - 1) - m; ++i)
        CoeffCGR->setCell(i + m, 0, "c[i][" + IntToStr(i) + "]");
}

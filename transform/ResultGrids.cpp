// The numbers of the transforms in their grids: five decimals, the locale's separator, the full
// value in each cell's tooltip. Exactly the cells that the Clear command blanks. The grids take
// copies of the numbers and write a cell's text only when they show it, so that showing 2^16
// values costs as little as showing 8.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "engine/Levels.h"

namespace {

// values[j] in cell (first.x() + j, first.y()) along a row, or (first.x(), first.y() + j) down a
// column.
void showRun(TStringGrid* grid, QPoint first, Qt::Orientation along, std::vector<double> values)
{
    const int count = int(values.size());
    for (int j = 0; j < count; ++j)
        grid->fitNumber(first.x() + (along == Qt::Horizontal ? j : 0), values[j]);
    const QSize size = along == Qt::Horizontal ? QSize(count, 1) : QSize(1, count);
    grid->setNumbers(QRect(first, size), [first, values = std::move(values)](int col, int row) {
        return values[col - first.x() + row - first.y()];
    });
}

} // namespace

void TMainForm::showFunctionValues()
{
    std::vector<double> values;
    for (int p : meshIntervals(finestLevel))
        values.push_back(funcValues[p][0]);
    showRun(FunctionValueGR, {1, 0}, Qt::Vertical, std::move(values));
}

void TMainForm::showCoeffC()
{
    const int J0 = coarsestLevel;
    for (int L : waveletLevels(J0, finestLevel)) {
        std::vector<double> level;
        for (int i : waveletIndices(m, L))
            level.push_back(coeffC[L - J0][i]);
        showRun(CoeffCGR, {1, L - J0}, Qt::Horizontal, std::move(level));
    }
}

void TMainForm::showCoeffD()
{
    std::vector<double> values;
    for (int k : scalingIndices(m, coarsestLevel))
        values.push_back(coeffD[0][k]);
    showRun(CoeffDGR, {0, 1}, Qt::Horizontal, std::move(values));
}

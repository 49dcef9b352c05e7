// In inverse mode the coefficient cells take numbers typed into them: a value typed goes into
// coeffD or coeffC, which the inverse Build reads, and becomes part of the coefficients in force
// (the analysis page follows); cells never filled count as 0. A text that is not a number is
// refused in its cell, as the number rules of every field of the window decide.
//
//   CoeffDGR  (k + m - 1, 1) = d_k, k = 1-m .. 2^J0-1
//   CoeffCGR  (i + m, e)     = c_(e,i), level J0+e, i = 1-m .. 2^(J0+e-1)-m

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "core/Conversions.h"
#include "engine/Levels.h"

void TMainForm::allowTypedCoefficients(bool allowed)
{
    if (!allowed) {
        CoeffDGR->setEditable(nullptr, nullptr);
        CoeffCGR->setEditable(nullptr, nullptr);
        return;
    }
    CoeffDGR->setEditable(
        [this](int col, int row) {
            return row == 1 && col < int(scalingIndices(m, coarsestLevel).size());
        },
        [this](int col, int, const QString& text) {
            return typeCoefficient(
                text, [this, col](double value) { coeffD[0][col + 1 - m] = value; });
        });
    CoeffCGR->setEditable(
        [this](int col, int row) {
            return row >= 1 && row <= finestLevel - coarsestLevel
                && col <= waveletCount(coarsestLevel + row);
        },
        [this](int col, int row, const QString& text) {
            return typeCoefficient(
                text, [this, col, row](double value) { coeffC[row][col - m] = value; });
        });
}

// The number typed stored, and the expansion and the grids renewed; the error of a text that is
// no number.
QString TMainForm::typeCoefficient(const QString& text, const std::function<void(double)>& store)
{
    double value = 0;
    try {
        value = double(typedNumber(text));
    } catch (const EConvertError& error) {
        return QString::fromUtf8(error.what());
    }
    store(value);
    runGuarded([this] {
        storeExpansion(engine::Expansion(fastTransform, storedCoefficients()));
        refreshAnalysis();
    });
    return {};
}

// The basis set-up for the degree chosen in cbStepSplain, the levels chosen in sbFinestLevel and
// sbCoarsestLevel and the quadrature rule chosen in chExactIntegration: the engine's basis, the
// mesh, sample points, grid layout, quadrature weights and the coefficient tables betta, alpha
// and alphaW.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "core/Conversions.h"
#include "engine/Levels.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <memory>

// The degree typed or chosen in cbStepSplain. A degree the program does not know is rejected;
// a text that is not an integer raises the conversion error.
int TMainForm::degreeChosen()
{
    int chosen = StrToInt(cbStepSplain->currentText());
    if (chosen < 2 || chosen > 4)
        throw ERejectedInput(
            ("Непредусмотренное значение m (" + IntToStr(chosen) + ")").toStdString());
    return chosen;
}

engine::BasisParameters TMainForm::basisChosen(int chosen)
{
    engine::BasisParameters basis;
    basis.m = chosen;
    basis.rule = chExactIntegration->isChecked() ? engine::Rule::Exact : engine::Rule::Default;
    basis.a = StrToInt(edtA->text());
    basis.b = StrToInt(edtB->text());
    const bool sameDegree = chosen == m;
    basis.J0 = std::max(sameDegree ? sbCoarsestLevel->value()
                                   : engine::smallestCoarsestLevel(chosen, engine::Rule::Default),
        engine::smallestCoarsestLevel(chosen, basis.rule));
    basis.J = std::max(sameDegree ? sbFinestLevel->value() : engine::initialFinestLevel(chosen),
        engine::smallestFinestLevel(chosen, basis.J0));
    return basis;
}

// When the interval, the degree or the levels are rejected, nothing changes: the previous
// basis, the tables, the grids and the report item stay as they were.
// The tables alpha and alphaW are not cleared: each row built replaces the row of its key.
void TMainForm::setupBasis()
{
    checkInterval();
    setupBasis(basisChosen(degreeChosen()));
}

void TMainForm::setupBasis(const engine::BasisParameters& chosen)
{
    auto built = std::make_shared<engine::Transform>(chosen);
    clearResults(); // under the old m, J and J0

    fastTransform = std::move(built);
    m = chosen.m;
    exactIntegration = chosen.rule == engine::Rule::Exact;
    finestLevel = chosen.J;
    coarsestLevel = chosen.J0;
    a = int(chosen.a);
    b = int(chosen.b);
    step = (b - a) / pow2(finestLevel);
    points.assign(meshIntervals(finestLevel).size(), {0.0});
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i][0] = a + i * step;
    layoutGrids();
    funcValues.assign(points.size(), {0.0});

    computeGaussNodes();
    computeGaussWeights();
    computeBetta();
    computeAlpha();
    computeAlphaW();
    denseGrid.clear(); // the analysis page samples the new mesh when it next needs it
    clearWaveletGraphs();
    showLevels();
    nCoeff->setEnabled(true);
}

void TMainForm::showLevels()
{
    const QSignalBlocker quietFinest(sbFinestLevel), quietCoarsest(sbCoarsestLevel);
    const engine::Rule rule = exactIntegration ? engine::Rule::Exact : engine::Rule::Default;
    sbCoarsestLevel->setRange(engine::smallestCoarsestLevel(m, rule), finestLevel - 1);
    sbCoarsestLevel->setValue(coarsestLevel);
    sbFinestLevel->setRange(engine::smallestFinestLevel(m, coarsestLevel), maxWindowLevel);
    sbFinestLevel->setValue(finestLevel);
}

// Sizes and captions of the three result grids (cells are column first, row second):
//   FunctionValueGR  2^J rows;                 (0, i) = "x[i]" for the sample points i
//   CoeffDGR         2^J0 + m - 1 columns;     (k + m - 1, 0) = "d[k]" for k of level J0
//   CoeffCGR         J - J0 + 1 rows,          (0, e) = "c[e][j]",  e = 1 .. J-J0 (level J0+e)
//                    2^(J-1) + 1 columns;      (i + m, 0) = "c[i][" i "]" for i of level J
void TMainForm::layoutGrids()
{
    const int J = finestLevel;
    const int J0 = coarsestLevel;
    const int N = int(points.size());
    FunctionValueGR->setRowCount(N);
    FunctionValueGR->setTexts(
        QRect(0, 0, 1, N), [](int, int i) { return "x[" + IntToStr(i) + "]"; });
    FunctionValueGR->fitColumn(0, "x[" + IntToStr(N - 1) + "]");
    CoeffDGR->setColCount(int(scalingIndices(m, J0).size()));
    for (int k : scalingIndices(m, J0))
        CoeffDGR->setCell(k + m - 1, 0, "d[" + IntToStr(k) + "]");
    CoeffCGR->setRowCount(J - J0 + 1);
    CoeffCGR->setColCount(waveletCount(J) + 1);
    for (int L : waveletLevels(J0, J))
        CoeffCGR->setCell(0, L - J0, "c[" + IntToStr(L - J0) + "][j]");
    const int shift = m;
    CoeffCGR->setTexts(QRect(1, 0, waveletCount(J), 1),
        [shift](int col, int) { return "c[i][" + IntToStr(col - shift) + "]"; });
    CoeffCGR->fitColumns(1, waveletCount(J), "c[i][" + IntToStr(waveletIndices(m, J).back()) + "]");
}

// The one place where the window meets the engine (engine/, no Qt): the quadrature, B-splines,
// solver and basis tables of the window are the engine's numbers, copied into the window's
// tables; the transforms run on the engine and their results come back into the tables and the
// grids.

#include "app/Main_f.h"
#include "core/Conversions.h"
#include "engine/BSpline.h"
#include "engine/DenseSolve.h"
#include "engine/Errors.h"
#include "engine/Levels.h"

#include <QComboBox>

#include <cmath>

double TMainForm::legendreP(int n, double x)
{
    return engine::legendreP(n, x);
}

double TMainForm::legendreDP(int n, double x)
{
    return engine::legendreDP(n, x);
}

// The 2m - 1 nodes and weights of the degree in m.
void TMainForm::computeGaussNodes()
{
    gaussNodes = engine::gaussNodes(2 * m - 1);
}

void TMainForm::computeGaussWeights()
{
    gaussWeights = engine::gaussWeights(gaussNodes);
}

double TMainForm::bspline(double origin, int degree, int index, double x, double h)
{
    return engine::bspline(origin, degree, index, x, h);
}

// The row exchanges fixed before the elimination, as the default rule's basis is solved.
std::vector<double> TMainForm::solveLinearSystem(
    int n, const DenseMatrix& matrix, const std::vector<double>& rhs)
{
    return engine::solveFixedPivots(
        DenseMatrix(matrix.begin(), matrix.begin() + n), {rhs.begin(), rhs.begin() + n});
}

void TMainForm::computeBetta()
{
    betta = fastTransform->basis().betta();
}

namespace {

SparseRow sparseRow(int first, std::span<const double> values)
{
    SparseRow row;
    for (std::size_t i = 0; i < values.size(); ++i)
        row.emplace_hint(row.end(), first + int(i), values[i]);
    return row;
}

} // namespace

// Row 0, the central wavelet; rows r of the boundary wavelets of level J, the weights of their
// partners.
void TMainForm::computeAlpha()
{
    const engine::Basis& basis = fastTransform->basis();
    alpha[0] = sparseRow(0, basis.centralWavelet());
    for (int r : waveletIndices(m, finestLevel))
        if (waveletClass(r, m, finestLevel) != WaveletClass::Central)
            alpha[r] = sparseRow(partners(r, m, finestLevel).front(), basis.partnerWeights(r));
}

// Every wavelet of level J over the B-splines of level J.
void TMainForm::computeAlphaW()
{
    for (int p : waveletIndices(m, finestLevel)) {
        const engine::SplineRow row = fastTransform->basis().wavelet(finestLevel, p);
        alphaW[p] = sparseRow(row.first, row.values);
    }
}

double TMainForm::waveletValue(double x, int p, int level)
{
    return fastTransform->basis().waveletValue(level, p, x);
}

// The function to decompose (functionToDecompose) at the sample points for the grid, then the
// engine's forward transform of it: each point evaluated once, and a point where f is not finite
// rejects the Build before anything changes, the sample points first.
void TMainForm::forwardTransform()
{
    DecomposedFunction f = functionToDecompose();
    std::vector<double> values(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        if (!std::isfinite(values[i] = f.value(points[i][0])))
            rejectUndefined(f, points[i][0]);
    const std::string label = f.label().toStdString();
    std::optional<engine::Expansion> expanded;
    if (f.data) {
        const auto fit = Fit(cbFit->currentIndex());
        expanded = expandSamples(fastTransform, f.data->samples(), fit, label, f.between);
    } else
        try {
            expanded = engine::Expansion(
                fastTransform, fastTransform->forward(f.batch), engine::Origin::Function, label);
        } catch (const engine::NotFiniteError& error) {
            rejectUndefined(f, error.x);
        }
    for (std::size_t i = 0; i < points.size(); ++i)
        funcValues[i][0] = values[i];
    showFunctionValues();
    const bool samples = bool(f.data);
    const std::pair range = f.range;
    userFunction = std::move(f);
    if (samples)
        storeExpansion(std::move(*expanded), Fit(cbFit->currentIndex()), range);
    else
        storeExpansion(std::move(*expanded));
}

void TMainForm::rejectUndefined(const DecomposedFunction& f, double x)
{
    throw ERejectedInput(
        ("Функция f(x)=" + f.name + " не определена или бесконечна при x = " + FloatToStr(x))
            .toStdString());
}

void TMainForm::storeExpansion(engine::Expansion stored, std::optional<Fit> fit,
    std::optional<std::pair<double, double>> range)
{
    expansionFit = fit;
    expansionRange = range;
    const engine::Coefficients& coefficients = stored.coefficients();
    coeffD[0] = sparseRow(1 - m, coefficients.d);
    for (int L : waveletLevels(coarsestLevel, finestLevel))
        coeffC[L - coarsestLevel] = sparseRow(1 - m, coefficients.level(L));
    expansion = std::move(stored);
    showCoeffC();
    showCoeffD();
}

// The expansion at the sample points, the mesh points a + p h.
void TMainForm::inverseTransform()
{
    const std::vector<double> values = fastTransform->meshValues(storedCoefficients(), 1);
    for (std::size_t p = 0; p < points.size(); ++p)
        funcValues[p][0] = values[p];
    showFunctionValues();
}

engine::Coefficients TMainForm::storedCoefficients() const
{
    engine::Coefficients stored(m, coarsestLevel, finestLevel);
    auto read = [](const SparseTable& table, int row, int first, std::span<double> values) {
        const auto found = table.find(row);
        if (found != table.end())
            for (auto [key, value] : found->second)
                if (first <= key && key < first + int(values.size()))
                    values[key - first] = value;
    };
    read(coeffD, 0, 1 - m, stored.d);
    for (int L : waveletLevels(coarsestLevel, finestLevel))
        read(coeffC, L - coarsestLevel, 1 - m, stored.level(L));
    return stored;
}

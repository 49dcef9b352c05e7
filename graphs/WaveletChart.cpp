// The chart of the graph page: one line per function drawn (blue, or each its own colour), from the samples of the value
// matrix and the value at b; the four graph kinds; the level and the window; the picture export.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"
#include "engine/Levels.h"
#include "graphs/GraphSamples.h"
#include "graphs/Palette.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QValueAxis>

namespace {

// The functions of each graph kind, and its chart titles: over the wavelets of a level, and over
// the B-splines of the coarsest level (whose "zero" function is N(0,J0), %1 its level).
struct GraphKind
{
    const char* title;
    const char* splineTitle;
    bool (*shown)(int index, WaveletClass kind);
};

const GraphKind allWavelets {"Центральные и граничные вейвлеты",
    "Центральные и граничные B-сплайны", [](int, WaveletClass) { return true; }};
const GraphKind zeroWavelet {"Нулевая вейвлет-функция", "B-сплайн N(0,%1)",
    [](int index, WaveletClass) { return index == 0; }};
const GraphKind boundaryWavelets {"Граничные вейвлеты", "Граничные B-сплайны",
    [](int, WaveletClass kind) { return kind != WaveletClass::Central; }};
const GraphKind centralWavelets {"Центральные вейвлеты", "Центральные B-сплайны",
    [](int, WaveletClass kind) { return kind == WaveletClass::Central; }};

// The title of the kind over the functions drawn.
QString graphTitle(const GraphKind& kind, const LevelFunctions& functions)
{
    return functions.scaling()
        ? QString(kind.splineTitle).replace("%1", IntToStr(functions.level()))
        : QString(kind.title);
}

// The columns first .. last of a curve, at most `most` of them, evenly spread, the last kept.
std::vector<int> drawnColumns(int first, int last, int most)
{
    const int stride = std::max(1, (last - first + most) / most);
    std::vector<int> columns;
    for (int col = first; col < last; col += stride)
        columns.push_back(col);
    columns.push_back(last);
    return columns;
}

const GraphKind& graphKind(const TMainForm& form, QObject* kindButton)
{
    return kindButton == form.rbAllGraphic ? allWavelets
        : kindButton == form.rbZerro       ? zeroWavelet
        : kindButton == form.rbBoundary    ? boundaryWavelets
                                           : centralWavelets;
}

} // namespace

// The chart of the wavelets, under the title of all graphs.
void TMainForm::createWaveletChart()
{
    chWavelet = createChartView("chWavelet", allWavelets.title, new QValueAxis);
}

bool TMainForm::drawnWhole(const LevelFunctions& functions)
{
    return functions.count() <= maxWholeLevel;
}

// A level drawn whole has every function; of a level of more, those of the kind in the window.
std::vector<int> TMainForm::graphIndices(const LevelFunctions& functions, QObject* kindButton)
{
    std::vector<int> chosen;
    const bool whole = drawnWhole(functions);
    for (int index = functions.first(); index <= functions.last(); ++index)
        if (whole || graphKind(*this, kindButton).shown(index, functions.functionClass(index)))
            chosen.push_back(index);
    const auto window = LevelFunctions::Window(cbGraphWindow->currentIndex());
    return whole ? chosen : LevelFunctions::window(chosen, window, maxWindowCurves);
}

// Series r belongs to matrix row r + 1: its samples, at most maxCurvePoints of them, then the
// value at b when the curve reaches the last sample.
void TMainForm::buildWaveletSeries()
{
    QChart* chart = chWavelet->chart();
    const GraphSamples& samples = *graphSamples;
    const int curves = int(samples.curves.size());
    while (chart->series().size() < curves)
        addWaveletSeries();
    while (chart->series().size() > curves)
        delete chart->series().last();
    const int lastColumn = int(samples.abscissae.size()) - 1;
    const double right = samples.functions->parameters().b;
    for (int r = 0; r < curves; ++r) {
        const GraphSamples::Curve& curve = samples.curves[r];
        QList<QPointF> points;
        double extreme = 0; // the value of the widest text the curve's columns show
        for (int col : drawnColumns(curve.first, curve.last, maxCurvePoints)) {
            points.append({samples.abscissae[col], samples.value(r, col)});
            extreme = std::max(extreme, std::abs(points.back().y()));
        }
        sgWaveletValues->fitNumbers(curve.first + 1, curve.last + 1, -extreme);
        if (curve.last == lastColumn)
            points.append({right, samples.functions->value(curve.index, right)});
        auto* series = static_cast<QLineSeries*>(chart->series()[r]);
        series->setName(sgWaveletValues->cell(0, r + 1));
        series->replace(points);
    }
    colourWaveletCurves();
}

// Blue curves, or with "разные цвета" each its colour of the palette; the legend follows the pens.
void TMainForm::colourWaveletCurves()
{
    const QList<QAbstractSeries*> curves = chWavelet->chart()->series();
    for (int r = 0; r < int(curves.size()); ++r) {
        auto* series = static_cast<QLineSeries*>(curves[r]);
        QPen pen = series->pen();
        pen.setColor(chDistinctColours->isChecked() ? curveColour(r) : QColor(Qt::blue));
        series->setPen(pen);
    }
}

void TMainForm::chDistinctColoursClick(QObject*)
{
    colourWaveletCurves();
}

// The curves of the kind are shown, the others hidden; the title names the kind and the caption
// under the chart the functions shown.
void TMainForm::showGraphKind(QObject* kindButton)
{
    QChart* chart = chWavelet->chart();
    const GraphKind& kind = graphKind(*this, kindButton);
    const LevelFunctions& functions = *graphSamples->functions;
    QStringList shown;
    for (int r = 0; r < int(graphSamples->curves.size()); ++r) {
        const int index = graphSamples->curves[r].index;
        const bool visible = kind.shown(index, functions.functionClass(index));
        chart->series()[r]->setVisible(visible);
        if (visible)
            shown << sgWaveletValues->cell(0, r + 1);
    }
    chart->setTitle(graphTitle(kind, functions));
    lblGraphCaption->setText(graphCaption(functions, shown));
    fitAxes(chart);
}

// "Вейвлеты уровня 16 у левого края: w(-3,16) … w(12,16) — 16 из 32768".
QString TMainForm::graphCaption(const LevelFunctions& functions, const QStringList& shown) const
{
    const QString what = functions.scaling() ? "B-сплайны уровня " : "Вейвлеты уровня ";
    static const char* const windows[] = {" у левого края", " в середине", " у правого края"};
    const QString where = drawnWhole(functions) ? "" : windows[cbGraphWindow->currentIndex()];
    const QString names
        = shown.size() <= 6 ? shown.join(", ") : shown.first() + " … " + shown.last();
    return what + IntToStr(functions.level()) + where + ": " + names + " — "
        + IntToStr(int(shown.size())) + " из " + IntToStr(functions.count());
}

// The graph page as before its first build: no curves under the title of all graphs with
// "общий график" selected, an empty value matrix, nothing to save, and the levels of the basis
// in force to choose from, level J first. A new basis makes the curves and samples of the old
// one wrong.
void TMainForm::clearWaveletGraphs()
{
    QChart* chart = chWavelet->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        axis->setRange(0, 1); // the axes of a new chart
    chart->setTitle(allWavelets.title);
    lblGraphCaption->clear();
    graphSamples.reset();
    QSignalBlocker quiet(rbAllGraphic); // no graph, no kind to show
    rbAllGraphic->setChecked(true);
    const TStringGrid::Options start;
    sgWaveletValues->setRowCount(0); // every cell blank, every column of the design width
    sgWaveletValues->setColCount(0);
    sgWaveletValues->setRowCount(start.rowCount);
    sgWaveletValues->setColCount(start.colCount);
    btnSave->setEnabled(false);
    const QSignalBlocker quietLevel(cbGraphLevel);
    cbGraphLevel->clear();
    for (int L = finestLevel; L > coarsestLevel; --L)
        cbGraphLevel->addItem(IntToStr(L) + ": вейвлеты", L);
    cbGraphLevel->addItem(IntToStr(coarsestLevel) + ": B-сплайны", coarsestLevel);
    cbGraphWindow->setEnabled(!drawnWhole(*levelChosen()));
}

// A blue curve on the chart's two axes, with its tooltip and its legend entry.
void TMainForm::addWaveletSeries()
{
    QPen pen(Qt::blue);
    pen.setWidth(2);
    addCurve(chWavelet, new QLineSeries, pen);
}

// A level drawn whole hides and shows its curves; a level of more is drawn again with the
// functions of the kind.
void TMainForm::rbAllGraphicClick(QObject* Sender)
{
    if (!graphSamples) {
        ShowMessage("Сначала постройте график!");
        return;
    }
    if (drawnWhole(*graphSamples->functions))
        showGraphKind(Sender);
    else
        drawGraphs(Sender);
}

// Another level, or another window, is drawn at once when a graph is shown.
void TMainForm::graphChoiceChange(QObject*)
{
    cbGraphWindow->setEnabled(!drawnWhole(*levelChosen()));
    if (!graphSamples)
        return;
    for (QRadioButton* kind : {rbZerro, rbCenter, rbBoundary, rbAllGraphic})
        if (kind->isChecked())
            drawGraphs(kind);
}

std::shared_ptr<const LevelFunctions> TMainForm::levelChosen()
{
    return std::make_shared<const LevelFunctions>(
        std::shared_ptr<const engine::Basis>(fastTransform, &fastTransform->basis()),
        cbGraphLevel->currentData().toInt());
}

void TMainForm::miGraphicClick(QObject*)
{
    WaitingStatus status(StatusBar, "Подождите, идет сохранение графиков...");
    if (std::optional<QString> name = savePicture(*SaveWaveletDialog, tsGraphic, chWavelet))
        status.complete("Графики были сохранены в " + *name);
}

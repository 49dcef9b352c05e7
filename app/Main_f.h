#pragma once

#include "app/Dialogs.h"
#include "app/SparseTable.h"
#include "core/UserFunction.h"
#include "data/SampleExpansion.h"
#include "engine/Expansion.h"

#include <QMainWindow>
#include <QPointF>

#include <functional>
#include <memory>
#include <optional>

class QAbstractAxis;
class QAbstractButton;
class QAction;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QImage;
class QLabel;
class QLegendMarker;
class QLineEdit;
class QMenu;
class QPen;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QSplitterHandle;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QXYSeries;
class TPanel;
class TStringGrid;
struct GraphSamples;
class LevelFunctions;
class ImagePage;

// The one window of the program. Its controls, its command handlers and the whole state of the
// computation are members; every computation is a member operation that works on the fields.
// Each folder of the source tree defines the members of its own subsystem, except those that
// hand their work to the transform engine (engine/, no Qt): quadrature, B-splines, solver, the
// basis tables and the transforms are defined in transform/EngineBridge.cpp, the one place where
// the window meets the engine. The index ranges of the basis are defined once, in
// engine/Levels.h. What is done with coefficients (values, levels, thresholds, errors, energies)
// is the engine's model of one expansion (engine/Expansion.h), held in `expansion`; formulas,
// number texts, the basis report and saving a file are shared with the command line (core/).
//
// Names fixed by the design that say less than they do:
//   FormCreate         the basis set-up handler: runs once after creation and again whenever
//                      the text of edtA or edtB changes
//   rbAllGraphicClick  the graph-kind handler of all four kind buttons, rbAllGraphic among them
//   OpenDialog         the file dialog of the report and the matrix export: it chooses a file
//                      to write, and asks before it overwrites one
//   nCoeff             the report menu item "Коэффициенты"
//   rbZerro            the kind "нулевой вейвлет": the wavelet p = 0 alone
//
// Commands fail in one way: numerics/, basis/ and the commands throw (a conversion error, a
// rejected input, a computation that cannot go on), and the guard around every handler shows
// the message once (app/Dialogs.h).
class TMainForm : public QMainWindow
{
    Q_OBJECT

public:
    TMainForm();
    ~TMainForm() override;

    // Raises the creation event once, after construction (the application calls it).
    void raiseCreationEvent();
    // Shows the window where it was last closed (app/WindowPlace.cpp).
    void showAsLastTime();

    // ---- event handlers, each defined in the folder of its subsystem; Sender raised the event ----
    // app/
    void FormCreate(QObject* Sender);
    void cbStepSplainChange(QObject* Sender);
    void sbLevelChange(QObject* Sender);
    void levelRefused(QSpinBox* box, int typed); // a level typed out of range
    void chExactIntegrationClick(QObject* Sender);
    void rbForwardClick(QObject* Sender);
    void rbBackClick(QObject* Sender);
    void edtAKeyPress(QObject* Sender, QChar& Key);
    void edtBKeyPress(QObject* Sender, QChar& Key);
    void edtFunctionChange(QObject* Sender);
    void chShowHideBottomPanelClick(QObject* Sender);
    void btnSaveClick(QObject* Sender);
    void btnReportClick(QObject* Sender);
    void btnClearClick(QObject* Sender);
    // transform/
    void btnBuildClick(QObject* Sender);
    // graphs/
    void btnGraphicClick(QObject* Sender);
    void rbAllGraphicClick(QObject* Sender);
    void graphChoiceChange(QObject* Sender); // cbGraphLevel and cbGraphWindow
    void miGraphicClick(QObject* Sender);
    void chDistinctColoursClick(QObject* Sender);
    void edtThresholdChange(QObject* Sender);
    void cbThresholdMeasureChange(QObject* Sender);
    void cbEnergyKindChange(QObject* Sender);
    void btnSaveAnalysisClick(QObject* Sender);
    void miAnalysisPictureClick(QObject* Sender);
    void miAnalysisCurvesClick(QObject* Sender);
    // files/
    void btnSaveCoeffToFileClick(QObject* Sender);
    void btnGetValuesFromFileClick(QObject* Sender);
    void btnFunctionValuesClick(QObject* Sender);
    void nCoeffClick(QObject* Sender);
    void miMatrixClick(QObject* Sender);
    void btnLoadDataClick(QObject* Sender);
    void miCoeffCsvClick(QObject* Sender);
    void btnLoadCoeffCsvClick(QObject* Sender);

    // ---- app/ — the interval check: rejects a >= b (ERejectedInput) ----
    void checkInterval();
    // What the Clear command does: no coefficients, blank result cells, the analysis page empty.
    void clearResults();

    // The window title before the first Build, and after a rejected interval.
    static constexpr const char* designTitle
        = "Быстрое вейвлет-преобразование в пространстве сплайновых вейвлетов на конечном отрезке";

    // ---- app/ — the controls of the window, in layout order; objectName == member name ----
    TPanel* pMain = nullptr;
    TPanel* pMenu = nullptr;
    QPushButton* btnClose = nullptr;
    QPushButton* btnReport = nullptr;
    TPanel* pParameters = nullptr;
    QPushButton* btnBuild = nullptr;
    QRadioButton* rbForward = nullptr;
    QRadioButton* rbBack = nullptr;
    QGroupBox* gbTypeOfTransform = nullptr;
    TPanel* pInputData = nullptr;
    TPanel* pOutputData = nullptr;
    TPanel* pInputPanelCaption = nullptr;
    TPanel* pOutputPanelCaption = nullptr;
    TPanel* pCenter = nullptr;
    QSplitterHandle* Splitter = nullptr; // between pInputData and pOutputData
    QTabWidget* pcCenter = nullptr;
    QWidget* tsTransfer = nullptr;
    QWidget* tsGraphic = nullptr;
    QLabel* lblStepSplain = nullptr;
    QComboBox* cbStepSplain = nullptr;
    QLabel* lblFinestLevel = nullptr;
    QSpinBox* sbFinestLevel = nullptr; // J, from the smallest the basis allows up to 16
    QLabel* lblCoarsestLevel = nullptr;
    QSpinBox* sbCoarsestLevel = nullptr; // J0, from the smallest the rule allows up to J - 1
    QLabel* lblA = nullptr;
    QLineEdit* edtA = nullptr;
    QLabel* lblB = nullptr;
    QLineEdit* edtB = nullptr;
    QLabel* lblFunction = nullptr;
    QLineEdit* edtFunction = nullptr; // f(x) for the forward transform, checked as it is typed
    QPushButton* btnLoadData = nullptr; // f(x) from the samples of a data file instead
    QComboBox* cbFit = nullptr; // the route from samples, in the order of Fit
    QComboBox* cbBetween = nullptr; // what joins the samples, in the order of Between
    QLabel* lblMainParam = nullptr;
    TPanel* pMenuGraphic = nullptr;
    QPushButton* btnSave = nullptr;
    QGroupBox* gbKindOfGraphic = nullptr;
    QRadioButton* rbCenter = nullptr;
    QRadioButton* rbBoundary = nullptr;
    QRadioButton* rbAllGraphic = nullptr;
    QLabel* lblGraphLevel = nullptr;
    QComboBox* cbGraphLevel = nullptr; // the wavelets of a level J0+1 .. J, or the B-splines of J0
    QLabel* lblGraphWindow = nullptr;
    QComboBox* cbGraphWindow = nullptr; // the end or the middle of [a, b], for a level of many
    QCheckBox* chShowHideBottomPanel = nullptr;
    QCheckBox* chDistinctColours = nullptr; // each curve of the graph page its own colour
    QFileDialog* OpenDialog = nullptr;
    QFileDialog* SaveWaveletDialog = nullptr;
    QMenu* pmSave = nullptr;
    QAction* miGraphic = nullptr;
    QAction* miMatrix = nullptr;
    QAction* miCoeffCsv = nullptr; // the coefficients in a CSV file with every digit
    TPanel* pGraphic = nullptr;
    QChartView* chWavelet = nullptr;
    QLabel* lblGraphCaption = nullptr; // under the chart: which functions are drawn
    TPanel* pMatrix = nullptr;
    TStringGrid* sgWaveletValues = nullptr;
    QSplitterHandle* SplitterGraphic = nullptr; // between pGraphic and pMatrix
    QPushButton* btnGraphic = nullptr;
    QMenu* pmReport = nullptr;
    QAction* nCoeff = nullptr;
    TPanel* pCoeffC = nullptr;
    TPanel* pCoeffD = nullptr;
    QSplitterHandle* SplitterOutputData = nullptr; // between pCoeffD and pCoeffC
    TStringGrid* CoeffDGR = nullptr;
    TStringGrid* CoeffCGR = nullptr;
    TStringGrid* FunctionValueGR = nullptr;
    QPushButton* btnGetValuesFromFile = nullptr;
    QPushButton* btnLoadCoeffCsv = nullptr; // inverse mode: the coefficients from a CSV file
    QToolButton* btnSaveCoeffToFile = nullptr; // its arrow: pmSaveCoeff
    QMenu* pmSaveCoeff = nullptr; // miCoeffCsv, which pmReport and pmSave offer too
    QRadioButton* rbZerro = nullptr;
    QStatusBar* StatusBar = nullptr;
    QToolButton* btnFunctionValues = nullptr;
    QPushButton* btnClear = nullptr;
    QCheckBox* chExactIntegration = nullptr; // on pMenu after edtB: the scalar product's rule
    QWidget* tsAnalysis = nullptr;
    TPanel* pMenuAnalysis = nullptr;
    QLabel* lblThreshold = nullptr;
    QComboBox* cbThresholdMeasure = nullptr; // what the threshold compares: |c| ||psi|| or |c|
    QLineEdit* edtThreshold = nullptr; // wavelet coefficients measuring below it count as zero
    QLabel* lblEnergyKind = nullptr;
    QComboBox* cbEnergyKind = nullptr; // the bars of chEnergy: energies in L^2, or sums of c^2
    QLabel* lblThresholdInForce = nullptr; // while edtThreshold is invalid: the threshold used
    QLabel* lblAnalysis = nullptr; // coefficients kept, and the error against f
    QPushButton* btnSaveAnalysis = nullptr;
    TPanel* pAnalysis = nullptr; // the charts; its caption says what to do while there are none
    QChartView* chAnalysis = nullptr;
    QChartView* chCompression = nullptr;
    QChartView* chEnergy = nullptr; // the energy of each level, as bars
    QSplitterHandle* SplitterAnalysis = nullptr; // between chAnalysis and the two charts beside
    QSplitterHandle* SplitterEnergy = nullptr; // between chCompression and chEnergy
    QMenu* pmSaveAnalysis = nullptr;
    QAction* miAnalysisPicture = nullptr;
    QAction* miAnalysisCurves = nullptr;
    QFileDialog* SaveAnalysisDialog = nullptr;
    QFileDialog* SaveCurvesDialog = nullptr;
    QFileDialog* LoadDataDialog = nullptr;
    QFileDialog* SaveCoeffCsvDialog = nullptr;
    QFileDialog* LoadCoeffCsvDialog = nullptr;
    // The fourth page: images, their transform and compression (imaging/ImagePage.h). It holds
    // its own state and takes the order and the rule of cbStepSplain and chExactIntegration.
    ImagePage* tsImage = nullptr;

    // ---- numerics/ — the state of the computation ----
    // Keys: k a scaling index 1-m .. 2^L-1 of level L, p or i a wavelet index 1-m .. 2^(L-1)-m
    // of level L; H = 2^(J-1) (engine/Levels.h).
    int m = 0; // spline order: 2, 3 or 4; the B-splines have degree m - 1
    int finestLevel = 0; // J: [a, b] holds 2^J mesh intervals; m + 1 unless chosen
    static constexpr int maxWindowLevel = 16; // the finest level the window offers
    int a = 0; // left end of the interval
    int b = 0; // right end of the interval
    int coarsestLevel = 0; // J0 = floor(ln(2m - 1) / ln 2) unless chosen
    double step = 0; // h = (b - a) / 2^J, the fine mesh step
    std::vector<double> gaussNodes; // [0 .. 2m-2] roots of P_(2m-1), decreasing
    // [0 .. 2m-2] the weights of the nodes. By default the scalar product gives weight k to the
    // k-th of 2m - 1 equally spaced points of each fine interval, not to the node: that is how
    // the scalar product is defined, and every number of the basis comes from it.
    std::vector<double> gaussWeights;
    // The rule the basis in force was built with: false, weights at equally spaced points (the
    // default, which stored coefficient files rely on); true, the Gauss rule at its nodes, which
    // integrates every product of the system exactly (chExactIntegration).
    bool exactIntegration = false;
    std::vector<double> betta; // [0 .. m] two-scale coefficients: C_0 = sum betta[j] B_j
    ColumnMatrix funcValues; // [0 .. 2^J-1][0] function values at the sample points
    ColumnMatrix points; // [0 .. 2^J-1][0] = a + i h, the sample points
    // [0][0 .. 3m-2]: the central wavelet over fine B-splines; [r][c] for the boundary wavelets
    // r = 1-m .. -1 and H-2m+2 .. H-m: the weights of their partners c = 2-2m .. -m and
    // H-m+1 .. H-1.
    SparseTable alpha;
    // [p][k]: wavelet p = 1-m .. H-m of level J over the fine B-splines k of its class:
    // 1-m .. 2p+3m-2 (left boundary), 2p .. 2p+3m-2 (central), 2p .. 2^J-1 (right boundary)
    SparseTable alphaW;
    SparseTable coeffC; // [e][i]: wavelet coefficients c of level J0+e, e = 1 .. J-J0
    SparseTable coeffD; // [0][k]: scaling coefficients d, k = 1-m .. 2^J0-1
    // The basis in force and the fast transforms on it, from the engine; the tables above are
    // copies of its numbers (transform/EngineBridge.cpp).
    std::shared_ptr<engine::Transform> fastTransform;
    // f, the function the forward transform decomposes: the formula of edtFunction or the
    // loaded data at the last forward Build; the initial text is the built-in 1 - 8x, bit for bit.
    static constexpr const char* initialFunction = "1-8*x";
    DecomposedFunction userFunction = DecomposedFunction::formula(initialFunction);
    // The samples of the last data file loaded; the next forward Build decomposes them instead
    // of a formula until edtFunction is edited.
    std::optional<DecomposedFunction> loadedData;
    static constexpr const char* fitHint
        = "Как получить коэффициенты из отсчётов данных:\n"
          "через отсчёты — сплайн уровня J, проходящий через отсчёты, с наименьшими скачками\n"
          "(m-1)-й производной: восстановление по всем коэффициентам возвращает отсчёты, а\n"
          "отсчёты многочлена степени меньше m дают сам многочлен;\n"
          "проекция — проекция функции между отсчётами (выбранной справа) на сплайны уровня J";
    static constexpr const char* betweenHint
        = "Функция между отсчётами: естественный кубический сплайн или ломаная. Её показывают\n"
          "таблица значений и страница анализа, её проецирует способ «проекция»";
    static constexpr const char* loadDataHint
        = "Взять f(x) из файла данных (CSV или текст): один столбец — значения в равноотстоящих\n"
          "точках отрезка от a до b включительно, или два столбца — x (строго возрастает, от x0\n"
          "до x1 в своих единицах, например годы; отображается на отрезок от a до b) и f(x).\n"
          "Столбцы разделяются запятой, точкой с запятой, табуляцией или пробелами; в числах\n"
          "десятичная точка, а при «;» или табуляции и запятая; первая строка может быть\n"
          "заголовком. Между отсчётами f(x) — естественный кубический сплайн через них или\n"
          "ломаная (через две точки — прямая)";
    // The degree box's tooltip: the label says "степень", but m is the order of the splines.
    static constexpr const char* degreeHint
        = "m — порядок сплайна: B-сплайны степени m − 1 (m = 2 — "
          "ломаные, 3 — квадратичные, 4 — кубические)";
    static constexpr const char* functionHint
        = "Функция f(x) для прямого преобразования. Можно писать: x; числа (0,5 или 0.5);\n"
          "+ - * / ^ и скобки; константы pi и e; функции sin cos tan asin acos atan sinh cosh\n"
          "tanh exp ln log10 sqrt abs sign floor ceil; min(a;b) и max(a;b) (аргументы через\n"
          "точку с запятой); сравнения и условие: x < 0,5 ? 1 : 0";
    int startTicks = 0; // process clock when a timed command started
    int endTicks = 0; // process clock when it ended

    // ---- numerics/ — Gauss–Legendre quadrature, B-splines, wavelets, the scalar product ----
    static double legendreP(int n, double x);
    static double legendreDP(int n, double x);
    void computeGaussNodes();
    void computeGaussWeights();
    static double bspline(double origin, int degree, int index, double x, double h);
    double testFunction(double x) const; // the function in effect, userFunction
    double waveletValue(double x, int p, int level);

    // The pairs of functions that getScalarProduct integrates, under the numbers its message
    // quotes; each reads only the arguments named here (p3 and p4 are levels).
    enum class Formula
    {
        FineHalf = 0, // N_(J,p1) N_(J-1,p2)
        HalfFine = 1, // N_(J-1,p1) N_(J,p2)
        FineFine = 2, // N_(J,p1) N_(J,p2)
        TestFunctionFine = 3, // f N_(J,p2); p1 is not read
        CoarsestCoarsest = 4, // N_(J0,p1) N_(J0,p2)
        WaveletWavelet = 5, // psi_(p3,p1) psi_(p4,p2)
        TranslateHalf = 6, // G_p1 N_(J-1,p2), G_p1 the central wavelet translated by p1
        WaveletCoarsest = 9, // psi_(p3,p1) N_(J0,p2)
    };
    double getScalarProduct(Formula formula, int p1, int p2, int p3 = 0, int p4 = 0);
    // A function at the quadrature points of the fine mesh, in the scalar product's order.
    std::vector<double> sampled(const std::function<double(double)>& function);
    // The scalar product's weighted sum of values at those points.
    double weightedSum(const std::vector<double>& values);

    // ---- basis/ — the spline-wavelet basis of degree m ----
    void setupBasis();
    // The basis of the parameters, which checkParameters has passed.
    void setupBasis(const engine::BasisParameters& chosen);
    // A set-up timed, its time on the status line.
    void timedSetup(const std::function<void()>& setup);
    void computeBetta();
    void computeAlpha();
    void computeAlphaW();
    static std::vector<double> solveLinearSystem(
        int n, const DenseMatrix& matrix, const std::vector<double>& rhs);

    // ---- transform/ — the forward and inverse transforms and their grids ----
    void forwardTransform();
    void inverseTransform();
    void showFunctionValues();
    void showCoeffC();
    void showCoeffD();
    void updateTitle();
    DecomposedFunction functionToDecompose();
    [[noreturn]] static void rejectUndefined(const DecomposedFunction& f, double x);
    // coeffD and coeffC as the engine holds coefficients, read without inserting: what the
    // tables do not hold is 0.0.
    engine::Coefficients storedCoefficients() const;
    // The expansion in force, its coefficients in coeffD and coeffC and in the grids; of
    // samples, the route from them and their own range of x (a coefficient file records both).
    void storeExpansion(engine::Expansion stored, std::optional<Fit> fit = {},
        std::optional<std::pair<double, double>> range = {});
    std::optional<Fit> expansionFit;
    std::optional<std::pair<double, double>> expansionRange;
    // Inverse mode: the coefficient cells take numbers typed (transform/TypedCoefficients.cpp).
    void allowTypedCoefficients(bool allowed);
    QString typeCoefficient(const QString& text, const std::function<void(double)>& store);

    // ---- graphs/ — the charts: axes fitted to the curves shown, legend, tooltips, pictures ----
    // The text of a curve's tooltip at the hovered point.
    using TipText = QString (TMainForm::*)(const QXYSeries& series, QPointF at);
    void addCurve(
        QChartView* view, QXYSeries* series, const QPen& pen, TipText tip = &TMainForm::pointTip);
    void fitAxes(QChart* chart, double xMargin = 0);
    static QPointF nearestSample(const QXYSeries& series, QPointF at);
    QString pointTip(const QXYSeries& series, QPointF at);
    QImage pageImage(QWidget* page, QWidget* view);
    QByteArray picture(QWidget* page, QWidget* view, const QString& suffix);
    std::optional<QString> savePicture(QFileDialog& dialog, QWidget* page, QWidget* view);

    // ---- graphs/ — the functions of one level: value matrix and chart ----
    // A level of at most maxWholeLevel functions is drawn whole, and the kinds hide curves; of a
    // level of more, those of the kind that meet the window of cbGraphWindow are drawn, at most
    // maxWindowCurves. A curve is drawn from at most maxCurvePoints of its samples, then b.
    static constexpr int maxWholeLevel = 32;
    static constexpr int maxWindowCurves = 16;
    static constexpr int maxCurvePoints = 2048;
    std::shared_ptr<const GraphSamples> graphSamples; // what the matrix and the chart show
    // kindButton: the kind chosen, one of rbZerro, rbCenter, rbBoundary, rbAllGraphic.
    void drawGraphs(QObject* kindButton);
    static bool drawnWhole(const LevelFunctions& functions);
    std::shared_ptr<const LevelFunctions> levelChosen();
    std::vector<int> graphIndices(const LevelFunctions& functions, QObject* kindButton);
    void sampleWavelets(QObject* kindButton);
    void buildWaveletSeries();
    void colourWaveletCurves();
    void showGraphKind(QObject* kindButton);
    QString graphCaption(const LevelFunctions& functions, const QStringList& shown) const;
    void clearWaveletGraphs();

    // ---- graphs/ — the analysis page: the expansion by level, its error, compression ----
    // The coefficients in coeffC and coeffD as one expansion: from a forward transform of
    // userFunction (origin Function, labelled as a coefficient file names f: the formula or
    // "data:FILE"), from coefficient files (f unknown), or none since the last Clear.
    std::optional<engine::Expansion> expansion;
    bool functionKnown() const; // a forward transform's, of userFunction
    double threshold = 0; // the last valid number of edtThreshold
    engine::Measure thresholdMeasure() const; // chosen in cbThresholdMeasure
    static constexpr const char* thresholdHint
        = "Вейвлет-коэффициенты c, у которых выбранная слева мера меньше порога, считаются нулями\n"
          "в восстановлении и в деталях на этой странице; таблицы и файлы коэффициентов не "
          "меняются";
    static constexpr const char* measureHint
        = "Что сравнивается с порогом и по чему выбираются наибольшие коэффициенты:\n"
          "|c|·‖ψ‖ — вклад коэффициента: |c|, умноженный на норму его вейвлета в L²\n"
          "(B-сплайны — это h·нормированные, поэтому норма вейвлета убывает в 2^(3/2) раза\n"
          "с каждым уровнем, и без неё мелкие уровни получают лишнее);\n"
          "|c| — сам модуль коэффициента";
    static constexpr const char* energyHint
        = "Столбики энергии: ‖уровня‖² в L² — квадрат нормы грубого приближения и деталей\n"
          "каждого уровня (при точном интегрировании уровни ортогональны и в сумме дают ‖f_J‖²);\n"
          "Σ c² — сумма квадратов коэффициентов уровня";
    // The dense grid of [a, b]: x_(si+s) = points[i][0] + s h/S, s = 0 .. S-1, then b; S = 16
    // up to 2^10 mesh intervals, fewer above: 2^14 + 1 points up to J = 14, 2^J + 1 beyond.
    int densePerInterval() const;
    static constexpr std::size_t maxSampleDots = 2000; // loaded data up to this many samples
    std::vector<double> denseGrid;
    // The x the analysis page shows for denseGrid: the samples' own units for an expansion of
    // samples mapped onto [a, b], else denseGrid itself.
    std::vector<double> analysisX;
    // A point of [a, b] in the units of analysisX: x0 + (x - a)(x1 - x0)/(b - a), the ends exact.
    double shownX(double x) const;
    std::vector<double> denseFunction; // [q]: f at denseGrid[q]; empty unless f is known
    // The curves of analysisCurves() under the threshold in force, on the dense grid: chAnalysis
    // draws their envelope (graphs/Envelope.h); tooltips and the CSV take the values here.
    DenseMatrix analysisValues;
    void refreshAnalysis();
    void drawAnalysis();
    bool compressionDue = false; // the N-term curve waits for the page to be shown
    void drawCompression();
    int analysisColumns = 0; // the pixel columns of the envelopes drawn
    int plotColumns = 0; // the width of chAnalysis's plot in device pixels when last shown
    int envelopeColumns() const;
    // The series of chAnalysis, those marked or all: the envelope of analysisValues over the x
    // range left .. right.
    void showAnalysisRange(double left, double right, const std::vector<bool>& redraw = {});
    void refitAnalysisEnvelope();
    void drawEnergy();
    void sampleDenseGrid();
    bool errorsKnown() const;
    engine::Deviation denseError(const std::vector<double>& values) const;
    QList<QPointF> nTermErrors();
    DenseMatrix analysisCurves();
    QString analysisSummary(const std::vector<double>& reconstruction);
    QString analysisTip(const QXYSeries& series, QPointF at);
    QString compressionTip(const QXYSeries& series, QPointF at);
    QString energyTip(int bar);
    // The bars of chEnergy as cbEnergyKind chooses: the L^2 energy of each level's part, or the
    // sums of squares of its coefficients; [0] the coarse level J0.
    std::vector<double> barEnergies() const;
    QByteArray analysisCsv();

signals:
    void created();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override; // keeps the window's size and place

private:
    // app/ — building the window
    void createLayout();
    void createMenuBar();
    void createTransferPage();
    void createTransferTools();
    void createInputPanel();
    void createOutputPanel();
    void createGraphicPage();
    QWidget* createGraphChoice();
    void createAnalysisPage();
    void createImagePage();
    void createNonVisual();
    void setFocusOrder();
    void connectHandlers();
    void showDirection(bool forward);
    // A red frame and the error as tooltip while the text of an edit is not valid.
    static void showValidity(QLineEdit* edit, const QString& error, const QString& hint);
    static void filterIntervalKey(QChar& key);
    QString elapsedText() const;

    // basis/
    int degreeChosen();
    void layoutGrids();
    // The levels of the basis for the degree chosen: the defaults of that degree when it is not
    // the degree in force, otherwise those of the spin boxes; raised to what the rule allows.
    engine::BasisParameters basisChosen(int chosen);
    // The spin boxes show the levels in force and the ranges the basis allows.
    void showLevels();

    // graphs/
    QChartView* createChartView(const char* name, const QString& title, QAbstractAxis* left,
        QAbstractAxis* bottom = nullptr);
    void placeLegend(QChart* chart);
    void connectLegendMarker(QLegendMarker* marker);
    void onPage(QWidget* page, const std::function<void()>& draw);
    void createWaveletChart();
    void addWaveletSeries();
    void createAnalysisCharts();
    void buildAnalysisSeries();

    // numerics/ — the B-spline of index k on level J, J - 1 and J0 (spacing h, 2h, (b-a)/2^J0)
    double fineSpline(int k, double x);
    double halfSpline(int k, double x);
    double coarsestSpline(int k, double x);
    double centralCombination(int p1, double x);
    double integrand(Formula formula, int p1, int p2, int p3, int p4, double x);
    std::vector<double> quadraturePoints();
    std::vector<double> quadratureWeights();

    // Connects a signal to a handler that runs under the standard exception display.
    template <class Sender, class Signal>
    void bind(Sender* sender, Signal signal, void (TMainForm::*handler)(QObject*))
    {
        connect(sender, signal, this,
            [this, sender, handler] { runGuarded([&] { (this->*handler)(sender); }); });
    }

    // A radio button's click handler runs when the button becomes selected.
    void bindSelected(QAbstractButton* button, void (TMainForm::*handler)(QObject*));
};

// The single instance of the window, created by the application at start-up.
extern TMainForm* MainForm;

// The small command handlers of the window and their bindings.

#include "app/LevelBox.h"
#include "app/Main_f.h"
#include "app/Panel.h"
#include "app/WaitingStatus.h"
#include "core/Conversions.h"
#include "engine/Basis.h"
#include "imaging/ImagePage.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTimer>
#include <QToolButton>

void TMainForm::connectHandlers()
{
    bind(this, &TMainForm::created, &TMainForm::FormCreate);
    bind(edtA, &QLineEdit::textChanged, &TMainForm::FormCreate);
    bind(edtB, &QLineEdit::textChanged, &TMainForm::FormCreate);
    edtA->installEventFilter(this);
    edtB->installEventFilter(this);
    edtFunction->installEventFilter(this);
    bind(cbStepSplain, &QComboBox::currentTextChanged, &TMainForm::cbStepSplainChange);
    for (QSpinBox* level : {sbFinestLevel, sbCoarsestLevel}) {
        bind(level, &QSpinBox::valueChanged, &TMainForm::sbLevelChange);
        connect(static_cast<TLevelBox*>(level), &TLevelBox::refused, this,
            [this, level](int typed) { runGuarded([&] { levelRefused(level, typed); }); });
    }
    bind(edtFunction, &QLineEdit::textChanged, &TMainForm::edtFunctionChange);
    bind(edtFunction, &QLineEdit::returnPressed, &TMainForm::btnBuildClick); // Enter builds
    bind(btnLoadData, &QPushButton::clicked, &TMainForm::btnLoadDataClick);
    bind(chExactIntegration, &QCheckBox::toggled, &TMainForm::chExactIntegrationClick);
    bindSelected(rbForward, &TMainForm::rbForwardClick);
    bindSelected(rbBack, &TMainForm::rbBackClick);
    bind(btnClear, &QPushButton::clicked, &TMainForm::btnClearClick);
    bind(btnBuild, &QPushButton::clicked, &TMainForm::btnBuildClick);
    bind(btnSaveCoeffToFile, &QToolButton::clicked, &TMainForm::btnSaveCoeffToFileClick);
    bind(btnGetValuesFromFile, &QPushButton::clicked, &TMainForm::btnGetValuesFromFileClick);
    bind(btnLoadCoeffCsv, &QPushButton::clicked, &TMainForm::btnLoadCoeffCsvClick);
    bind(btnFunctionValues, &QToolButton::clicked, &TMainForm::btnFunctionValuesClick);
    bind(nCoeff, &QAction::triggered, &TMainForm::nCoeffClick);
    bind(btnGraphic, &QPushButton::clicked, &TMainForm::btnGraphicClick);
    for (QRadioButton* kind : {rbZerro, rbCenter, rbBoundary, rbAllGraphic})
        bindSelected(kind, &TMainForm::rbAllGraphicClick);
    for (QComboBox* choice : {cbGraphLevel, cbGraphWindow})
        bind(choice, &QComboBox::currentIndexChanged, &TMainForm::graphChoiceChange);
    bind(miGraphic, &QAction::triggered, &TMainForm::miGraphicClick);
    bind(miMatrix, &QAction::triggered, &TMainForm::miMatrixClick);
    bind(miCoeffCsv, &QAction::triggered, &TMainForm::miCoeffCsvClick);
    bind(chShowHideBottomPanel, &QCheckBox::toggled, &TMainForm::chShowHideBottomPanelClick);
    bind(chDistinctColours, &QCheckBox::toggled, &TMainForm::chDistinctColoursClick);
    bind(btnSave, &QPushButton::clicked, &TMainForm::btnSaveClick);
    bind(btnReport, &QPushButton::clicked, &TMainForm::btnReportClick);
    bind(edtThreshold, &QLineEdit::textChanged, &TMainForm::edtThresholdChange);
    bind(cbThresholdMeasure, &QComboBox::currentIndexChanged, &TMainForm::cbThresholdMeasureChange);
    bind(cbEnergyKind, &QComboBox::currentIndexChanged, &TMainForm::cbEnergyKindChange);
    bind(btnSaveAnalysis, &QPushButton::clicked, &TMainForm::btnSaveAnalysisClick);
    bind(miAnalysisPicture, &QAction::triggered, &TMainForm::miAnalysisPictureClick);
    bind(miAnalysisCurves, &QAction::triggered, &TMainForm::miAnalysisCurvesClick);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    // After the window's own handlers of the two, so that the page finds the basis in force.
    connect(cbStepSplain, &QComboBox::currentTextChanged, tsImage, &ImagePage::basisChanged);
    connect(chExactIntegration, &QCheckBox::toggled, tsImage, &ImagePage::basisChanged);
}

void TMainForm::bindSelected(QAbstractButton* button, void (TMainForm::*handler)(QObject*))
{
    connect(button, &QAbstractButton::toggled, this, [this, button, handler](bool selected) {
        if (selected)
            runGuarded([&] { (this->*handler)(button); });
    });
}

// Elapsed time of the last timed command: a whole number of milliseconds.
QString TMainForm::elapsedText() const
{
    return FloatToStr(double(std::uint32_t(endTicks) - std::uint32_t(startTicks)));
}

void TMainForm::FormCreate(QObject*)
{
    setupBasis();
}

void TMainForm::cbStepSplainChange(QObject*)
{
    timedSetup([this] { setupBasis(); });
}

// When the set-up is rejected, the degree box shows again the degree of the basis in force.
void TMainForm::timedSetup(const std::function<void()>& setup)
{
    startTicks = int(clockTicks());
    WaitingStatus status(StatusBar, "Подождите, вычисляются коэффициенты...");
    const BusyCursor busy;
    try {
        setup();
    } catch (...) {
        QSignalBlocker quiet(cbStepSplain);
        cbStepSplain->setCurrentText(IntToStr(m));
        throw;
    }
    endTicks = int(clockTicks());
    status.complete("Вычислины коэффициенты для m=" + IntToStr(m) + ". Время вычисления "
        + elapsedText() + " мc");
}

// Other levels: the basis is built again, timed, as for a change of degree; the spin boxes show
// the levels in force afterwards, also when the set-up is rejected.
void TMainForm::sbLevelChange(QObject* Sender)
{
    try {
        cbStepSplainChange(Sender);
    } catch (...) {
        showLevels();
        throw;
    }
}

// Why a level typed is not one the basis can have: the window stops at J = 16, the command line
// at 22; J0 lies below J.
void TMainForm::levelRefused(QSpinBox* box, int typed)
{
    const QString degree = "для m = " + IntToStr(m)
        + (exactIntegration ? " при точном интегрировании" : "") + " — не меньше ";
    if (box == sbFinestLevel && typed > maxWindowLevel)
        ShowMessage("Окно строит уровни J до " + IntToStr(maxWindowLevel)
            + " (2^16 = 65 536 "
              "интервалов). Более мелкие уровни, до J = "
            + IntToStr(engine::largestFinestLevel)
            + ", считает командная строка: splinewave-cli forward -m " + IntToStr(m) + " -J "
            + IntToStr(std::min(typed, engine::largestFinestLevel)) + " …");
    else if (box == sbFinestLevel)
        ShowMessage("Уровень J " + degree + IntToStr(box->minimum())
            + ": на сетке уровня J помещается центральный вейвлет (2^J ≥ 4m − 2), и J больше "
              "J0 = "
            + IntToStr(coarsestLevel) + ".");
    else if (typed >= finestLevel)
        ShowMessage("Уровень J0 должен быть меньше J = " + IntToStr(finestLevel)
            + ": вейвлет-коэффициенты c относятся к уровням от J0 + 1 до J. Чтобы взять J0 = "
            + IntToStr(typed) + ", сначала увеличьте J.");
    else
        ShowMessage("Уровень J0 " + degree + IntToStr(box->minimum()) + ".");
}

// The other quadrature rule: the basis is built again, timed, as for a change of degree. When
// the set-up is rejected the box shows again the rule of the basis still in force.
void TMainForm::chExactIntegrationClick(QObject* Sender)
{
    try {
        cbStepSplainChange(Sender);
    } catch (...) {
        QSignalBlocker quiet(chExactIntegration);
        chExactIntegration->setChecked(exactIntegration);
        throw;
    }
}

void TMainForm::rbForwardClick(QObject*)
{
    showDirection(true);
}

void TMainForm::rbBackClick(QObject*)
{
    showDirection(false);
}

// The caption panels say which side of the page is input and which is output; coefficient
// files can be loaded, and coefficients typed, only when coefficients are the input.
void TMainForm::showDirection(bool forward)
{
    pInputPanelCaption->setCaption(
        forward ? "Входные параметры - значения функции" : "Выходные параметры - значения функции");
    pOutputPanelCaption->setCaption(forward ? "Выходные параметры - набор коэффициентов"
                                            : "Входные параметры - набор коэффициентов");
    Splitter->splitter()->refresh(); // each side at least as wide as its new caption
    btnGetValuesFromFile->setEnabled(!forward);
    btnLoadCoeffCsv->setEnabled(!forward);
    allowTypedCoefficients(!forward);
}

// The formula is checked as it is typed: while it is not one, a red frame and the error as the
// tooltip; no message box. Any edit (clearing the field too) puts loaded data aside: the next
// forward Build decomposes the formula again.
void TMainForm::edtFunctionChange(QObject*)
{
    loadedData.reset();
    QString error;
    try {
        UserFunction(edtFunction->text());
    } catch (const UserFunctionError& invalid) {
        error = QString::fromUtf8(invalid.what());
    }
    showValidity(edtFunction, error, functionHint);
}

void TMainForm::showValidity(QLineEdit* edit, const QString& error, const QString& hint)
{
    edit->setStyleSheet(error.isEmpty() ? QString() : "QLineEdit { border: 2px solid red; }");
    edit->setToolTip(error.isEmpty() ? hint : error);
}

// Digits, '-' and backspace pass; any other character becomes the null character, which
// discards the key press.
void TMainForm::filterIntervalKey(QChar& key)
{
    if (!(key.isDigit() && key.unicode() < 128) && key != '-' && key != QChar(8))
        key = QChar(0);
}

void TMainForm::edtAKeyPress(QObject*, QChar& Key)
{
    filterIntervalKey(Key);
}
void TMainForm::edtBKeyPress(QObject*, QChar& Key)
{
    filterIntervalKey(Key);
}

// Delivers the characters typed into edtA and edtB to their key-press handlers first; loaded
// data in the function field are selected as it gets the focus (after a click has placed the
// cursor), so that typing a formula replaces them.
bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtFunction && event->type() == QEvent::FocusIn && loadedData)
        QTimer::singleShot(0, edtFunction, &QLineEdit::selectAll);
    if (event->type() != QEvent::KeyPress || (watched != edtA && watched != edtB))
        return QMainWindow::eventFilter(watched, event);
    auto* press = static_cast<QKeyEvent*>(event);
    QChar key = press->key() == Qt::Key_Backspace ? QChar(8)
        : press->text().isEmpty()                 ? QChar()
                                                  : press->text()[0];
    if (key.isNull())
        return false; // not a character: cursor keys and the like
    bool discarded = false;
    runGuarded([&] {
        watched == edtA ? edtAKeyPress(watched, key) : edtBKeyPress(watched, key);
        discarded = key.isNull();
    });
    return discarded;
}

// Shows or hides the value matrix together with its splitter, which sits right above it.
void TMainForm::chShowHideBottomPanelClick(QObject*)
{
    if (chShowHideBottomPanel->isChecked()) {
        pMatrix->show();
        SplitterGraphic->show();
    } else {
        pMatrix->hide();
        SplitterGraphic->hide();
    }
}

void TMainForm::btnSaveClick(QObject*)
{
    popupAtCursor(*pmSave);
}
void TMainForm::btnReportClick(QObject*)
{
    popupAtCursor(*pmReport);
}

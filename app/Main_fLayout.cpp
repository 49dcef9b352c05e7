// The layout of the main window: every control with its caption, hint and initial state.

#include "app/FlowLayout.h"
#include "app/LevelBox.h"
#include "app/Main_f.h"
#include "app/Panel.h"
#include "app/StringGrid.h"
#include "core/Conversions.h"
#include "imaging/ImagePage.h"

#include <QAction>
#include <QBoxLayout>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The file types of the dialogs, named in Russian.
const char* const bmpFilter = "Рисунок BMP (*.bmp)";
const char* const pngFilter = "Рисунок PNG (*.png)";
const char* const svgFilter = "Рисунок SVG (*.svg)";
const char* const csvFilter = "Таблица CSV (*.csv)";

const char* const backgroundCaption
    = "Для начала работы введите параметры и  нажмите \"Построить\"";

template <class Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

void setBold(QWidget* widget, bool bold)
{
    QFont font = widget->font();
    font.setBold(bold);
    widget->setFont(font);
}

// A panel without bevel whose caption is bold: a caption bar, or a background text.
TPanel* captionPanel(const char* name, const char* caption, QWidget* parent)
{
    auto* panel = new TPanel(name, TPanel::NoBevel, parent);
    panel->setCaption(caption);
    panel->setCaptionBold(true);
    return panel;
}

// Design sizes are minimums: the platform font may need more room than the design font did.
void setDesignSize(QWidget* widget, int width, int height)
{
    widget->setMinimumSize(width, height);
    widget->resize(width, height);
}

QBoxLayout* boxLayout(QBoxLayout::Direction direction, QWidget* parent)
{
    auto* layout = new QBoxLayout(direction, parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QPushButton* button(const char* name, const char* caption, QStyle::StandardPixmap glyph, int width,
    int height, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setIcon(parent->style()->standardIcon(glyph));
    setDesignSize(b, width, height);
    return b;
}

// A button at the left end of a caption bar; the caption is centred in the rest of the bar.
QToolButton* speedButton(const char* name, const char* hint, QWidget* parent)
{
    auto* b = named(new QToolButton(parent), name);
    b->setIcon(parent->style()->standardIcon(QStyle::SP_DialogSaveButton));
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(0, 0, 26, 24);
    parent->setContentsMargins(b->width(), 0, 0, 0);
    return b;
}

// A radio button in the row of its group box.
QRadioButton* radio(const char* name, const char* caption, QGroupBox* group)
{
    auto* r = named(new QRadioButton(caption, group), name);
    setBold(r, false);
    group->layout()->addWidget(r);
    return r;
}

// A level: whole numbers in the range the basis allows, taken when the user is done typing
// (Enter, the arrows, or leaving the box), so that typing "16" does not build level 1 first; a
// level out of range typed is refused with a message (levelRefused).
QSpinBox* levelBox(const char* name, const char* hint)
{
    auto* box = named(new TLevelBox, name);
    box->setToolTip(hint);
    box->setKeyboardTracking(false);
    return box;
}

QLineEdit* intervalEdit(const char* name, const char* text)
{
    auto* e = named(new QLineEdit(text), name);
    e->setReadOnly(true);
    e->setFixedWidth(45);
    return e;
}

// Controls that stay together in one row of a flowing bar, each with the tooltip if one is
// given: a label and its field.
QWidget* toolGroup(std::initializer_list<QWidget*> controls, const char* tip, QWidget* bar)
{
    auto* group = new QWidget(bar);
    group->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred); // only a field expands
    QBoxLayout* row = boxLayout(QBoxLayout::LeftToRight, group);
    row->setSpacing(6);
    for (QWidget* control : controls) {
        if (qobject_cast<QLabel*>(control))
            control->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        row->addWidget(control);
        if (tip)
            control->setToolTip(tip);
    }
    bar->layout()->addWidget(group);
    return group;
}

// A page of the page control, its controls stacked from the top.
QWidget* addPage(QTabWidget* pages, const char* name, const char* caption)
{
    auto* page = named(new QWidget, name);
    pages->addTab(page, caption);
    boxLayout(QBoxLayout::TopToBottom, page);
    return page;
}

// The tool bar at the top of a page: its controls in a row.
TPanel* toolPanel(const char* name, TPanel::Bevel bevel, QWidget* page, QMargins margins)
{
    auto* panel = new TPanel(name, bevel, page);
    panel->setFixedHeight(52);
    page->layout()->addWidget(panel);
    boxLayout(QBoxLayout::LeftToRight, panel)->setContentsMargins(margins);
    return panel;
}

// A group box with a bold title whose radio buttons stand in a row.
QGroupBox* radioGroup(const char* name, const char* title, QSize size, QWidget* parent)
{
    auto* group = named(new QGroupBox(title, parent), name);
    setBold(group, true);
    setDesignSize(group, size.width(), size.height());
    new QHBoxLayout(group);
    group->layout()->setContentsMargins(6, 0, 6, 2);
    return group;
}

// A splitter between two children; returns its handle, which carries the given name.
QSplitterHandle* split(Qt::Orientation orientation, QWidget* first, QWidget* second,
    const char* handleName, int handleWidth, QWidget* parent)
{
    auto* splitter = new QSplitter(orientation, parent);
    splitter->setAutoFillBackground(true); // covers the parent's background caption
    splitter->setHandleWidth(handleWidth);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(first);
    splitter->addWidget(second);
    parent->layout()->addWidget(splitter);
    return named(splitter->handle(1), handleName);
}

// A raised panel of the transfer page: a bold caption bar on top of what is added below it.
TPanel* dataPanel(const char* name, const char* captionName, const char* caption, TPanel*& bar)
{
    auto* panel = new TPanel(name, TPanel::Raised, nullptr);
    boxLayout(QBoxLayout::TopToBottom, panel);
    bar = captionPanel(captionName, caption, panel);
    bar->setFixedHeight(24);
    panel->layout()->addWidget(bar);
    return panel;
}

// Gives one side of a splitter its design size; the other side takes what the window adds.
void keepSize(QSplitterHandle* handle, int index, int size)
{
    QSplitter* splitter = handle->splitter();
    QList<int> sizes {1, 1};
    sizes[index] = size;
    sizes[1 - index] = QWIDGETSIZE_MAX / 4;
    splitter->setSizes(sizes);
    splitter->setStretchFactor(index, 0);
    splitter->setStretchFactor(1 - index, 1);
}

} // namespace

void TMainForm::createLayout()
{
    setWindowTitle(designTitle);
    setGeometry(252, 128, 841, 500);
    pMain = captionPanel("pMain", backgroundCaption, this);
    setCentralWidget(pMain);
    boxLayout(QBoxLayout::TopToBottom, pMain);
    StatusBar = named(new QStatusBar(this), "StatusBar");
    setStatusBar(StatusBar);

    createMenuBar();
    pcCenter = named(new QTabWidget(pMain), "pcCenter");
    pMain->layout()->addWidget(pcCenter);
    createTransferPage();
    createGraphicPage();
    createAnalysisPage();
    createImagePage();
    pcCenter->setCurrentWidget(tsTransfer);
    createNonVisual();
    setFocusOrder();
}

// The top bar: the two buttons, then the parameters in groups of a label and its field. The
// groups flow: on a narrow window they wrap into a second row instead of being cut.
void TMainForm::createMenuBar()
{
    pMenu = new TPanel("pMenu", TPanel::NoBevel, pMain);
    pMain->layout()->addWidget(pMenu);
    new TFlowLayout(pMenu, 6);

    btnClose = button("btnClose", "&Выход", QStyle::SP_DialogCloseButton, 75, 32, pMenu);
    btnReport = button("btnReport", "&Отчеты", QStyle::SP_FileDialogDetailedView, 75, 33, pMenu);
    lblMainParam = named(new QLabel("Основные параметры:", pMenu), "lblMainParam");
    setBold(lblMainParam, true);
    for (QWidget* w : {(QWidget*)btnClose, (QWidget*)btnReport, (QWidget*)lblMainParam})
        pMenu->layout()->addWidget(w);

    lblStepSplain = named(new QLabel("степень сплайна m="), "lblStepSplain");
    cbStepSplain = named(new QComboBox, "cbStepSplain");
    cbStepSplain->setEditable(true);
    cbStepSplain->setInsertPolicy(QComboBox::NoInsert); // the list stays 2, 3, 4
    cbStepSplain->addItems({"2", "3", "4"});
    cbStepSplain->setCurrentIndex(0);
    setDesignSize(cbStepSplain, 46, 21);
    toolGroup({lblStepSplain, cbStepSplain}, degreeHint, pMenu);
    lblFinestLevel = named(new QLabel("уровень J="), "lblFinestLevel");
    sbFinestLevel = levelBox("sbFinestLevel",
        "Самый мелкий уровень J: отрезок делится на 2^J интервалов (до 2^16 = 65 536). Для многих "
        "уровней берите точное интегрирование: его вейвлеты ортогональны предыдущему уровню на "
        "каждом уровне.");
    lblCoarsestLevel = named(new QLabel("J0="), "lblCoarsestLevel");
    sbCoarsestLevel = levelBox("sbCoarsestLevel",
        "Самый грубый уровень J0: коэффициенты d относятся к B-сплайнам уровня J0, "
        "вейвлет-коэффициенты c — к уровням от J0 + 1 до J.");
    toolGroup({lblFinestLevel, sbFinestLevel, lblCoarsestLevel, sbCoarsestLevel}, nullptr, pMenu);

    lblA = named(new QLabel("отрезок а="), "lblA");
    edtA = intervalEdit("edtA", "0");
    lblB = named(new QLabel("b="), "lblB");
    edtB = intervalEdit("edtB", "1");
    toolGroup({lblA, edtA, lblB, edtB}, "Отрезок в этой программе постоянный: [0, 1]", pMenu);

    lblFunction = named(new QLabel("функция f(x)="), "lblFunction");
    edtFunction = named(new QLineEdit(initialFunction), "edtFunction");
    edtFunction->setToolTip(functionHint);
    // Room for 25 characters at least, and for up to 40 where the row has it.
    const int character = edtFunction->fontMetrics().horizontalAdvance('x');
    edtFunction->setMinimumWidth(25 * character);
    edtFunction->setMaximumWidth(40 * character);
    btnLoadData = named(new QPushButton("из файла…"), "btnLoadData");
    btnLoadData->setToolTip(loadDataHint);
    btnLoadData->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); // the field takes the room
    cbFit = named(new QComboBox, "cbFit");
    cbFit->addItems({"через отсчёты", "проекция"}); // in the order of Fit
    cbFit->setToolTip(fitHint);
    cbBetween = named(new QComboBox, "cbBetween");
    cbBetween->addItems({"кубический сплайн", "ломаная"}); // in the order of Between
    cbBetween->setToolTip(betweenHint);
    for (QComboBox* box : {cbFit, cbBetween})
        box->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); // as wide as their texts
    QWidget* function
        = toolGroup({lblFunction, edtFunction, btnLoadData, cbFit, cbBetween}, nullptr, pMenu);
    function->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    function->setMaximumWidth(function->layout()->maximumSize().width());

    // The caption takes two lines, which the bar's height has room for.
    chExactIntegration
        = named(new QCheckBox("точное интегрирование\n(узлы Гаусса)", pMenu), "chExactIntegration");
    chExactIntegration->setToolTip(
        "Скалярное произведение вычисляется в узлах Гаусса каждого интервала сетки, то есть "
        "точно, и вейвлеты получаются ортогональными B-сплайнам предыдущего уровня. Без флажка "
        "веса Гаусса ставятся в равноотстоящие точки интервала, как прежде; файлы коэффициентов "
        "читайте при том же правиле, при котором они записаны.");
    pMenu->layout()->addWidget(chExactIntegration);
}

// The tool bar, then the function values beside the coefficients.
void TMainForm::createTransferPage()
{
    tsTransfer = addPage(pcCenter, "tsTransfer", "Преобразование");
    createTransferTools();
    pCenter = captionPanel("pCenter", backgroundCaption, tsTransfer);
    static_cast<QBoxLayout*>(tsTransfer->layout())->addWidget(pCenter, 1);
    boxLayout(QBoxLayout::LeftToRight, pCenter);
    createInputPanel();
    createOutputPanel();
    Splitter = split(Qt::Horizontal, pInputData, pOutputData, "Splitter", 5, pCenter);
    keepSize(Splitter, 0, 321);
}

void TMainForm::createTransferTools()
{
    pParameters = toolPanel("pParameters", TPanel::Raised, tsTransfer, {6, 2, 10, 2});
    auto* tools = static_cast<QBoxLayout*>(pParameters->layout());
    gbTypeOfTransform = radioGroup("gbTypeOfTransform", "Тип", {169, 47}, pParameters);
    rbForward = radio("rbForward", "прямое", gbTypeOfTransform);
    rbForward->setChecked(true);
    rbBack = radio("rbBack", "обратное", gbTypeOfTransform);
    btnGetValuesFromFile = button("btnGetValuesFromFile", "&Взять входные значения из файла ",
        QStyle::SP_DialogOpenButton, 218, 41, pParameters);
    btnGetValuesFromFile->setEnabled(false);
    btnLoadCoeffCsv = button("btnLoadCoeffCsv", "Коэффициенты из CSV…", QStyle::SP_DialogOpenButton,
        170, 41, pParameters);
    btnLoadCoeffCsv->setEnabled(false);
    btnBuild = button("btnBuild", "&Построить", QStyle::SP_MediaPlay, 104, 41, pParameters);
    setBold(btnBuild, true);
    btnClear = button("btnClear", "&Очистить", QStyle::SP_DialogResetButton, 81, 41, pParameters);
    tools->addWidget(gbTypeOfTransform);
    tools->addStretch(1);
    for (QWidget* w : {(QWidget*)btnGetValuesFromFile, (QWidget*)btnLoadCoeffCsv,
             (QWidget*)btnBuild, (QWidget*)btnClear}) {
        tools->addSpacing(1);
        tools->addWidget(w);
    }
}

void TMainForm::createInputPanel()
{
    pInputData = dataPanel("pInputData", "pInputPanelCaption",
        "Входные параметры - значения функции", pInputPanelCaption);
    btnFunctionValues = speedButton("btnFunctionValues",
        "Сохранить значения функции для последующего их использования в расчетах",
        pInputPanelCaption);
    FunctionValueGR = new TStringGrid("FunctionValueGR",
        {.fixedCols = 1, .fixedRows = 0, .colCount = 2, .rowCount = 5, .colSizing = true},
        pInputData);
    static_cast<QBoxLayout*>(pInputData->layout())->addWidget(FunctionValueGR, 1);
}

// The scaling coefficients d above the wavelet coefficients c.
void TMainForm::createOutputPanel()
{
    pOutputData = dataPanel("pOutputData", "pOutputPanelCaption",
        "Выходные параметры - набор коэффициентов", pOutputPanelCaption);
    btnSaveCoeffToFile = speedButton("btnSaveCoeffToFile",
        "Сохранить параметры для последующего их использования в расчетах (стрелка справа — "
        "коэффициенты в CSV со всеми знаками)",
        pOutputPanelCaption);
    // The click saves the fixed-name files; the arrow beside offers the coefficient CSV.
    btnSaveCoeffToFile->setPopupMode(QToolButton::MenuButtonPopup);
    btnSaveCoeffToFile->setFixedWidth(btnSaveCoeffToFile->sizeHint().width());
    pOutputPanelCaption->setContentsMargins(btnSaveCoeffToFile->width(), 0, 0, 0);
    pCoeffD = new TPanel("pCoeffD", TPanel::NoBevel, nullptr);
    CoeffDGR = new TStringGrid("CoeffDGR",
        {.fixedCols = 0, .fixedRows = 1, .colCount = 5, .rowCount = 2, .colSizing = true}, pCoeffD);
    boxLayout(QBoxLayout::TopToBottom, pCoeffD)->addWidget(CoeffDGR);
    pCoeffC = new TPanel("pCoeffC", TPanel::NoBevel, nullptr);
    CoeffCGR = new TStringGrid("CoeffCGR",
        {.fixedCols = 1,
            .fixedRows = 1,
            .colCount = 5,
            .rowCount = 5,
            .colSizing = true,
            .rowSizing = true},
        pCoeffC);
    boxLayout(QBoxLayout::TopToBottom, pCoeffC)->addWidget(CoeffCGR);
    SplitterOutputData
        = split(Qt::Vertical, pCoeffD, pCoeffC, "SplitterOutputData", 5, pOutputData);
    keepSize(SplitterOutputData, 1, 158);
}

void TMainForm::createGraphicPage()
{
    tsGraphic = addPage(pcCenter, "tsGraphic", "График");
    pMenuGraphic = toolPanel("pMenuGraphic", TPanel::NoBevel, tsGraphic, {2, 0, 10, 5});
    auto* tools = static_cast<QBoxLayout*>(pMenuGraphic->layout());
    gbKindOfGraphic = radioGroup("gbKindOfGraphic", "Тип графика", {487, 47}, pMenuGraphic);
    rbZerro = radio("rbZerro", "нулевой вейвлет", gbKindOfGraphic);
    rbCenter = radio("rbCenter", "центральные вейвлеты", gbKindOfGraphic);
    rbBoundary = radio("rbBoundary", "граничные вейвлеты", gbKindOfGraphic);
    rbAllGraphic = radio("rbAllGraphic", "общий график", gbKindOfGraphic);
    rbAllGraphic->setChecked(true);
    chShowHideBottomPanel
        = named(new QCheckBox("показать матрицу значений", pMenuGraphic), "chShowHideBottomPanel");
    chShowHideBottomPanel->setChecked(true);
    btnGraphic = button("btnGraphic", "&Построить", QStyle::SP_MediaPlay, 94, 41, pMenuGraphic);
    setBold(btnGraphic, true);
    btnSave = button("btnSave", "", QStyle::SP_DialogSaveButton, 46, 41, pMenuGraphic);
    btnSave->setEnabled(false);
    tools->addWidget(gbKindOfGraphic);
    tools->addSpacing(6);
    tools->addWidget(chShowHideBottomPanel);
    tools->addStretch(1);
    tools->addWidget(btnGraphic);
    tools->addWidget(btnSave);

    pGraphic = new TPanel("pGraphic", TPanel::NoBevel, nullptr);
    createWaveletChart();
    QBoxLayout* graphic = boxLayout(QBoxLayout::TopToBottom, pGraphic);
    graphic->addWidget(chWavelet, 1);
    graphic->addWidget(createGraphChoice());

    pMatrix = new TPanel("pMatrix", TPanel::NoBevel, nullptr);
    sgWaveletValues = new TStringGrid("sgWaveletValues", {}, pMatrix);
    sgWaveletValues->setFrameShape(QFrame::NoFrame);
    boxLayout(QBoxLayout::TopToBottom, pMatrix)->addWidget(sgWaveletValues);
    SplitterGraphic = split(Qt::Vertical, pGraphic, pMatrix, "SplitterGraphic", 7, tsGraphic);
    keepSize(SplitterGraphic, 1, 112);
}

// Under the chart, in one row: the level whose functions the graph page draws, the part of
// [a, b] that a level of many is drawn in, the colours of the curves, and the caption that says
// which functions are drawn.
QWidget* TMainForm::createGraphChoice()
{
    auto* choice = new QWidget(pGraphic);
    QBoxLayout* row = boxLayout(QBoxLayout::LeftToRight, choice);
    row->setContentsMargins(10, 2, 10, 2);
    row->setSpacing(6);
    lblGraphLevel = named(new QLabel("уровень"), "lblGraphLevel");
    cbGraphLevel = named(new QComboBox, "cbGraphLevel");
    cbGraphLevel->setToolTip("Вейвлеты какого уровня строить: от J0 + 1 до J; на уровне J0 — "
                             "B-сплайны N(k,J0), масштабирующие функции разложения");
    lblGraphWindow = named(new QLabel("участок"), "lblGraphWindow");
    cbGraphWindow = named(new QComboBox, "cbGraphWindow");
    cbGraphWindow->addItems({"левый край", "середина", "правый край"});
    cbGraphWindow->setToolTip("Где на отрезке строить функции уровня, у которого их больше "
        + IntToStr(maxWholeLevel) + ": не больше " + IntToStr(maxWindowCurves) + " кривых сразу");
    cbGraphWindow->setEnabled(false);
    chDistinctColours = named(new QCheckBox("разные цвета"), "chDistinctColours");
    chDistinctColours->setToolTip("Каждая кривая своим цветом (иначе все синие)");
    lblGraphCaption = named(new QLabel, "lblGraphCaption");
    lblGraphCaption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred); // may be cut
    for (QWidget* w : {(QWidget*)lblGraphLevel, (QWidget*)cbGraphLevel, (QWidget*)lblGraphWindow,
             (QWidget*)cbGraphWindow, (QWidget*)chDistinctColours})
        row->addWidget(w);
    row->addSpacing(10);
    row->addWidget(lblGraphCaption, 1);
    return choice;
}

// A tool bar with the threshold, the summary and the save button, above the two charts side by
// side: the expansion, large, and the compression, narrower.
void TMainForm::createAnalysisPage()
{
    tsAnalysis = addPage(pcCenter, "tsAnalysis", "Анализ");
    pMenuAnalysis = toolPanel("pMenuAnalysis", TPanel::NoBevel, tsAnalysis, {6, 0, 10, 5});
    auto* tools = static_cast<QBoxLayout*>(pMenuAnalysis->layout());
    lblThreshold = named(new QLabel("порог", pMenuAnalysis), "lblThreshold");
    cbThresholdMeasure = named(new QComboBox(pMenuAnalysis), "cbThresholdMeasure");
    cbThresholdMeasure->addItems({"|c|·‖ψ‖ <", "|c| <"}); // in the order of engine::Measure
    cbThresholdMeasure->setToolTip(measureHint);
    edtThreshold = named(new QLineEdit("0", pMenuAnalysis), "edtThreshold");
    edtThreshold->setToolTip(thresholdHint);
    edtThreshold->setFixedWidth(10 * edtThreshold->fontMetrics().horizontalAdvance('0'));
    lblThresholdInForce = named(new QLabel(pMenuAnalysis), "lblThresholdInForce");
    lblEnergyKind = named(new QLabel("энергия", pMenuAnalysis), "lblEnergyKind");
    cbEnergyKind = named(new QComboBox(pMenuAnalysis), "cbEnergyKind");
    cbEnergyKind->addItems({"‖уровня‖² в L²", "Σ c²"});
    cbEnergyKind->setToolTip(energyHint);
    lblAnalysis = named(new QLabel(pMenuAnalysis), "lblAnalysis");
    lblAnalysis->setWordWrap(true);
    lblAnalysis->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnSaveAnalysis
        = button("btnSaveAnalysis", "", QStyle::SP_DialogSaveButton, 46, 41, pMenuAnalysis);
    btnSaveAnalysis->setToolTip("Сохранить рисунок или кривые");
    btnSaveAnalysis->setEnabled(false);
    tools->addWidget(lblThreshold);
    tools->addSpacing(6);
    tools->addWidget(cbThresholdMeasure);
    tools->addWidget(edtThreshold);
    tools->addSpacing(6);
    tools->addWidget(lblThresholdInForce);
    tools->addSpacing(12);
    tools->addWidget(lblEnergyKind);
    tools->addSpacing(6);
    tools->addWidget(cbEnergyKind);
    tools->addSpacing(12);
    tools->addWidget(lblAnalysis, 1);
    tools->addSpacing(6);
    tools->addWidget(btnSaveAnalysis);

    pAnalysis = captionPanel("pAnalysis",
        "Выполните прямое преобразование или загрузите коэффициенты из файла", tsAnalysis);
    static_cast<QBoxLayout*>(tsAnalysis->layout())->addWidget(pAnalysis, 1);
    boxLayout(QBoxLayout::LeftToRight, pAnalysis);
    createAnalysisCharts();
    auto* beside = new QWidget; // the compression over the energies, beside the curves
    boxLayout(QBoxLayout::TopToBottom, beside);
    SplitterEnergy = split(Qt::Vertical, chCompression, chEnergy, "SplitterEnergy", 5, beside);
    SplitterEnergy->splitter()->setSizes({1, 1});
    SplitterAnalysis = split(Qt::Horizontal, chAnalysis, beside, "SplitterAnalysis", 5, pAnalysis);
    keepSize(SplitterAnalysis, 1, 300);
    SplitterAnalysis->splitter()->hide(); // until there are coefficients
}

// The image page reads the order and the rule as the window's controls show them: after their
// handlers, that is the basis in force (a refused one is put back).
void TMainForm::createImagePage()
{
    tsImage = new ImagePage([this] {
        return ImageBasis {cbStepSplain->currentText().toInt(),
            chExactIntegration->isChecked() ? engine::Rule::Exact : engine::Rule::Default};
    });
    pcCenter->addTab(tsImage, "Изображение");
}

void TMainForm::createNonVisual()
{
    OpenDialog = named(new QFileDialog(this), "OpenDialog");
    // The file chooser of the report and the matrix export: both write the file they get, so
    // it presents itself as a save dialog and asks before it overwrites a file.
    OpenDialog->setNameFilter("Текстовый файл (*.txt)");
    OpenDialog->setAcceptMode(QFileDialog::AcceptSave);
    OpenDialog->setDefaultSuffix("txt"); // a bare name is saved as NAME.txt
    OpenDialog->setOption(QFileDialog::DontUseNativeDialog);
    SaveWaveletDialog = named(new QFileDialog(this), "SaveWaveletDialog");
    SaveWaveletDialog->setNameFilters({bmpFilter, pngFilter, svgFilter});
    SaveWaveletDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveWaveletDialog->setOption(QFileDialog::DontUseNativeDialog);

    pmSave = named(new QMenu(this), "pmSave");
    miGraphic = named(pmSave->addAction("График в формате *.bmp"), "miGraphic");
    miGraphic->setToolTip("Рисунок в формате BMP, PNG или SVG: его выбирает фильтр в окне "
                          "сохранения или окончание имени (.bmp, .png, .svg)");
    pmSave->setToolTipsVisible(true);
    miMatrix = named(pmSave->addAction("Таблицу в формате *.txt"), "miMatrix");
    // The coefficients are saved where they are shown, and from the reports: whenever there
    // are coefficients, graphs or not.
    miCoeffCsv = named(pmSave->addAction("Коэффициенты в CSV…"), "miCoeffCsv");
    miCoeffCsv->setEnabled(false);
    SaveAnalysisDialog = named(new QFileDialog(this), "SaveAnalysisDialog");
    SaveAnalysisDialog->setNameFilters({pngFilter, svgFilter, bmpFilter});
    SaveCurvesDialog = named(new QFileDialog(this), "SaveCurvesDialog");
    SaveCurvesDialog->setNameFilter(csvFilter);
    for (QFileDialog* dialog : {SaveAnalysisDialog, SaveCurvesDialog}) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setOption(QFileDialog::DontUseNativeDialog);
    }
    pmSaveAnalysis = named(new QMenu(this), "pmSaveAnalysis");
    miAnalysisPicture = named(
        pmSaveAnalysis->addAction("Рисунок в формате *.png, *.svg, *.bmp"), "miAnalysisPicture");
    miAnalysisCurves
        = named(pmSaveAnalysis->addAction("Кривые в формате *.csv"), "miAnalysisCurves");

    LoadDataDialog = named(new QFileDialog(this), "LoadDataDialog");
    LoadDataDialog->setNameFilters({"CSV и текстовые файлы (*.csv *.txt)", "Все файлы (*)"});
    SaveCoeffCsvDialog = named(new QFileDialog(this), "SaveCoeffCsvDialog");
    SaveCoeffCsvDialog->setAcceptMode(QFileDialog::AcceptSave);
    LoadCoeffCsvDialog = named(new QFileDialog(this), "LoadCoeffCsvDialog");
    for (QFileDialog* dialog : {SaveCoeffCsvDialog, LoadCoeffCsvDialog})
        dialog->setNameFilters({csvFilter, "Все файлы (*)"});
    for (QFileDialog* dialog : {LoadDataDialog, LoadCoeffCsvDialog})
        dialog->setFileMode(QFileDialog::ExistingFile);
    for (QFileDialog* dialog : {LoadDataDialog, SaveCoeffCsvDialog, LoadCoeffCsvDialog})
        dialog->setOption(QFileDialog::DontUseNativeDialog);

    pmReport = named(new QMenu(this), "pmReport");
    nCoeff = named(pmReport->addAction("Коэффициенты"), "nCoeff");
    nCoeff->setEnabled(false);
    pmReport->addAction(miCoeffCsv);
    pmSaveCoeff = named(new QMenu(this), "pmSaveCoeff");
    pmSaveCoeff->addAction(miCoeffCsv);
    btnSaveCoeffToFile->setMenu(pmSaveCoeff);
}

// Keyboard focus order: the menu bar, the page control, then each page's controls.
void TMainForm::setFocusOrder()
{
    QWidget* order[] = {btnClose, btnReport, cbStepSplain, sbFinestLevel, sbCoarsestLevel, edtA,
        edtB, edtFunction, btnLoadData, chExactIntegration, pcCenter, FunctionValueGR, CoeffCGR,
        CoeffDGR, btnBuild, rbForward, rbBack, btnGetValuesFromFile, btnLoadCoeffCsv, btnClear,
        btnSave, rbCenter, rbBoundary, rbAllGraphic, rbZerro, cbGraphLevel, cbGraphWindow,
        chDistinctColours, chShowHideBottomPanel, btnGraphic, chWavelet, sgWaveletValues,
        cbThresholdMeasure, edtThreshold, cbEnergyKind, btnSaveAnalysis, chAnalysis, chCompression,
        chEnergy};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

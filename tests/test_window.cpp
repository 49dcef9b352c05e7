// The main window as the user first sees it, and the string grid it is built from.

#include "app/Main_f.h"
#include "app/Panel.h"
#include "app/StringGrid.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { form = static_cast<TApplication*>(qApp)->createMainForm(); }

    void everyControlIsFoundByItsName();
    void captionsAndHints_data();
    void captionsAndHints();
    void startUpState();
    void fontsBoldWhereSpecified();
    void nonVisualComponents();
    void chartStartsEmptyWithItsTitle();
    void closeButtonClosesTheWindow();
    void qtOwnDialogsSpeakRussian();
    void gridAddressesCellsColumnFirst();
    void gridFixedCellsCannotBeSelected();
    void gridKeepsTextsWhenResized();
    void gridFixedCellsStayInViewWhileScrolling();
    void gridColumnsResizeByDraggingTheFixedRow();

private:
    template <class T> T* child(const char* name)
    {
        T* found = form->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    TMainForm* form = nullptr;
};

void TestWindow::everyControlIsFoundByItsName()
{
    const std::pair<const char*, QObject*> controls[] = {{"pMain", form->pMain},
        {"pMenu", form->pMenu}, {"btnClose", form->btnClose}, {"btnReport", form->btnReport},
        {"pParameters", form->pParameters}, {"btnBuild", form->btnBuild},
        {"rbForward", form->rbForward}, {"rbBack", form->rbBack},
        {"gbTypeOfTransform", form->gbTypeOfTransform}, {"pInputData", form->pInputData},
        {"pOutputData", form->pOutputData}, {"pInputPanelCaption", form->pInputPanelCaption},
        {"pOutputPanelCaption", form->pOutputPanelCaption}, {"pCenter", form->pCenter},
        {"Splitter", form->Splitter}, {"pcCenter", form->pcCenter},
        {"tsTransfer", form->tsTransfer}, {"tsGraphic", form->tsGraphic},
        {"lblStepSplain", form->lblStepSplain}, {"cbStepSplain", form->cbStepSplain},
        {"lblA", form->lblA}, {"edtA", form->edtA}, {"lblB", form->lblB}, {"edtB", form->edtB},
        {"lblMainParam", form->lblMainParam}, {"pMenuGraphic", form->pMenuGraphic},
        {"btnSave", form->btnSave}, {"gbKindOfGraphic", form->gbKindOfGraphic},
        {"rbCenter", form->rbCenter}, {"rbBoundary", form->rbBoundary},
        {"rbAllGraphic", form->rbAllGraphic},
        {"chShowHideBottomPanel", form->chShowHideBottomPanel}, {"OpenDialog", form->OpenDialog},
        {"SaveWaveletDialog", form->SaveWaveletDialog}, {"pmSave", form->pmSave},
        {"miGraphic", form->miGraphic}, {"miMatrix", form->miMatrix}, {"pGraphic", form->pGraphic},
        {"chWavelet", form->chWavelet}, {"pMatrix", form->pMatrix},
        {"sgWaveletValues", form->sgWaveletValues}, {"SplitterGraphic", form->SplitterGraphic},
        {"btnGraphic", form->btnGraphic}, {"pmReport", form->pmReport}, {"nCoeff", form->nCoeff},
        {"pCoeffC", form->pCoeffC}, {"pCoeffD", form->pCoeffD},
        {"SplitterOutputData", form->SplitterOutputData}, {"CoeffDGR", form->CoeffDGR},
        {"CoeffCGR", form->CoeffCGR}, {"FunctionValueGR", form->FunctionValueGR},
        {"btnGetValuesFromFile", form->btnGetValuesFromFile},
        {"btnSaveCoeffToFile", form->btnSaveCoeffToFile}, {"rbZerro", form->rbZerro},
        {"StatusBar", form->StatusBar}, {"btnFunctionValues", form->btnFunctionValues},
        {"btnClear", form->btnClear}};
    QCOMPARE(std::size(controls), 57u);
    for (auto [name, member] : controls) {
        QVERIFY2(member, name);
        QCOMPARE(form->findChildren<QObject*>(name), QList<QObject*> {member});
    }
}

void TestWindow::captionsAndHints_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    auto row = [](const char* name, const char* caption) {
        QTest::newRow(name) << QString(name) << QString(caption);
    };
    row("btnClose", "&Выход");
    row("btnReport", "&Отчеты");
    row("lblMainParam", "Основные параметры:");
    row("lblStepSplain", "степень сплайна m=");
    row("lblA", "отрезок \u0430=");
    row("lblB", "b=");
    row("gbTypeOfTransform", "Тип");
    row("rbForward", "прямое");
    row("rbBack", "обратное");
    row("btnGetValuesFromFile", "&Взять входные значения из файла ");
    row("btnBuild", "&Построить");
    row("btnClear", "&Очистить");
    row("pInputPanelCaption", "Входные параметры - значения функции");
    row("pOutputPanelCaption", "Выходные параметры - набор коэффициентов");
    row("pMain", "Для начала работы введите параметры и  нажмите \"Построить\"");
    row("pCenter", "Для начала работы введите параметры и  нажмите \"Построить\"");
    row("gbKindOfGraphic", "Тип графика");
    row("rbZerro", "нулевой вейвлет");
    row("rbCenter", "центральные вейвлеты");
    row("rbBoundary", "граничные вейвлеты");
    row("rbAllGraphic", "общий график");
    row("chShowHideBottomPanel", "показать матрицу значений");
    row("btnGraphic", "&Построить");
    row("btnSave", "");
    row("miGraphic", "График в формате *.bmp");
    row("miMatrix", "Таблицу в формате *.txt");
    row("nCoeff", "Коэффициенты");
    row("btnFunctionValues",
        "Сохранить значения функции для последующего их использования в расчетах");
    row("btnSaveCoeffToFile", "Сохранить параметры для последующего их использования в расчетах");
}

// The caption of a control, whatever its kind; for the glyph-only buttons, their hint.
void TestWindow::captionsAndHints()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QObject* control = form->findChild<QObject*>(name);
    QString shown;
    if (auto* panel = qobject_cast<TPanel*>(control))
        shown = panel->caption();
    else if (auto* tool = qobject_cast<QToolButton*>(control))
        shown = tool->toolTip();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        shown = button->text();
    else if (auto* label = qobject_cast<QLabel*>(control))
        shown = label->text();
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        shown = group->title();
    else if (auto* action = qobject_cast<QAction*>(control))
        shown = action->text();
    QCOMPARE(shown, caption);
}

void TestWindow::startUpState()
{
    QCOMPARE(form->windowTitle(),
        QString("Быстрое вейвлет-преобразование в пространстве сплайновых вейвлетов на конечном "
                "отрезке"));
    QCOMPARE(form->pcCenter->count(), 2);
    QCOMPARE(form->pcCenter->tabText(0), QString("Преобразование"));
    QCOMPARE(form->pcCenter->tabText(1), QString("График"));
    QCOMPARE(form->pcCenter->currentWidget(), form->tsTransfer);
    QCOMPARE(form->cbStepSplain->currentText(), QString("2"));
    QVERIFY(form->cbStepSplain->isEditable());
    QCOMPARE(form->cbStepSplain->count(), 3);
    QCOMPARE(form->cbStepSplain->itemText(2), QString("4"));
    QCOMPARE(form->edtA->text(), QString("0"));
    QCOMPARE(form->edtB->text(), QString("1"));
    QVERIFY(form->edtA->isReadOnly() && form->edtB->isReadOnly());
    QVERIFY(form->rbForward->isChecked() && !form->rbBack->isChecked());
    QVERIFY(form->rbAllGraphic->isChecked());
    QVERIFY(!form->rbZerro->isChecked() && !form->rbCenter->isChecked());
    QVERIFY(form->chShowHideBottomPanel->isChecked());
    QVERIFY(!form->pMatrix->isHidden() && !form->SplitterGraphic->isHidden());
    QVERIFY(!form->btnGetValuesFromFile->isEnabled());
    QVERIFY(!form->btnSave->isEnabled());
    QVERIFY(form->nCoeff->isEnabled()); // by the basis set-up of the creation event
    QVERIFY(form->btnBuild->isEnabled() && form->btnGraphic->isEnabled());
    QCOMPARE(form->btnFunctionValues->focusPolicy(), Qt::NoFocus);
    QCOMPARE(form->StatusBar->currentMessage(), QString());

    QCOMPARE(form->FunctionValueGR->colCount(), 2);
    QCOMPARE(form->CoeffDGR->rowCount(), 2);
    form->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->isMaximized());
    QCOMPARE(form->pInputData->width(), 321);
    QCOMPARE(form->pCoeffC->height(), 158);
    QCOMPARE(form->Splitter->width(), 5);
    QCOMPARE(form->SplitterOutputData->height(), 5);
}

void TestWindow::fontsBoldWhereSpecified()
{
    for (QWidget* bold :
        {(QWidget*)form->lblMainParam, (QWidget*)form->btnBuild, (QWidget*)form->btnGraphic,
            (QWidget*)form->gbTypeOfTransform, (QWidget*)form->gbKindOfGraphic})
        QVERIFY2(bold->font().bold(), qPrintable(bold->objectName()));
    for (QWidget* regular :
        {(QWidget*)form->lblStepSplain, (QWidget*)form->rbForward, (QWidget*)form->rbBack,
            (QWidget*)form->rbZerro, (QWidget*)form->btnClear, (QWidget*)form->btnGetValuesFromFile,
            (QWidget*)form->btnClose, (QWidget*)form->cbStepSplain, (QWidget*)form->CoeffCGR})
        QVERIFY2(!regular->font().bold(), qPrintable(regular->objectName()));
}

void TestWindow::nonVisualComponents()
{
    QCOMPARE(form->OpenDialog->nameFilters(), QStringList {"Текстовый файл (*.txt)"});
    QCOMPARE(form->SaveWaveletDialog->nameFilters(), QStringList {"Bitmaps (*.bmp)"});
    QCOMPARE(form->pmSave->actions(), (QList<QAction*> {form->miGraphic, form->miMatrix}));
    QCOMPARE(form->pmReport->actions(), QList<QAction*> {form->nCoeff});
    QVERIFY(form->miGraphic->isEnabled() && form->miMatrix->isEnabled());
    QVERIFY(!form->OpenDialog->isVisible() && !form->pmSave->isVisible());
}

void TestWindow::chartStartsEmptyWithItsTitle()
{
    QChart* chart = form->chWavelet->chart();
    QCOMPARE(chart->title(), QString("Центральные и граничные вейвлеты"));
    QVERIFY(chart->series().isEmpty());
    QVERIFY(chart->legend()->isVisible());
    QCOMPARE(chart->titleFont().pixelSize(), 16);
}

void TestWindow::closeButtonClosesTheWindow()
{
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->btnClose->click();
    QVERIFY(!form->isVisible());
}

void TestWindow::qtOwnDialogsSpeakRussian()
{
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), QString("&Имя файла:"));
}

void TestWindow::gridAddressesCellsColumnFirst()
{
    TStringGrid* grid = form->CoeffCGR;
    QVERIFY(grid->horizontalHeader()->isHidden() && grid->verticalHeader()->isHidden());
    grid->setCell(3, 1, "c31");
    grid->setCell(0, 0, "corner");
    QCOMPARE(grid->model()->index(1, 3).data().toString(), QString("c31"));
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("corner"));
    QCOMPARE(grid->cell(3, 1), QString("c31"));
    QCOMPARE(grid->cell(1, 3), QString());
    QCOMPARE(grid->cell(99, 99), QString());
}

void TestWindow::gridFixedCellsCannotBeSelected()
{
    struct Case
    {
        TStringGrid* grid;
        int col, row;
        bool fixed;
    };
    const Case cases[] = {{form->FunctionValueGR, 0, 0, true}, {form->FunctionValueGR, 1, 0, false},
        {form->CoeffDGR, 0, 0, true}, {form->CoeffDGR, 0, 1, false}, {form->CoeffCGR, 0, 2, true},
        {form->CoeffCGR, 2, 0, true}, {form->CoeffCGR, 1, 1, false},
        {form->sgWaveletValues, 1, 1, false}};
    for (const Case& c : cases) {
        Qt::ItemFlags flags = c.grid->model()->index(c.row, c.col).flags();
        QCOMPARE(bool(flags & Qt::ItemIsSelectable), !c.fixed);
        QVERIFY(!(flags & Qt::ItemIsEditable));
    }
    QCOMPARE(form->CoeffCGR->selectionMode(), QAbstractItemView::ContiguousSelection);
}

void TestWindow::gridKeepsTextsWhenResized()
{
    TStringGrid* grid = form->sgWaveletValues;
    grid->setCell(1, 1, "kept");
    grid->setCell(4, 4, "dropped");
    grid->setRowCount(3);
    grid->setColCount(3);
    QCOMPARE(grid->rowCount(), 3);
    grid->setColCount(257);
    grid->setRowCount(17);
    QCOMPARE(grid->model()->columnCount(), 257);
    QCOMPARE(grid->cell(1, 1), QString("kept"));
    QCOMPARE(grid->cell(4, 4), QString());
    QCOMPARE(grid->columnWidth(200), grid->columnWidth(0));
    QVERIFY(grid->columnWidth(0) >= 50);
    QVERIFY(grid->columnWidth(0) >= grid->fontMetrics().horizontalAdvance("-14.00000"));
    QCOMPARE(grid->rowHeight(16), 18);
}

void TestWindow::gridFixedCellsStayInViewWhileScrolling()
{
    TStringGrid grid("grid", {.colCount = 257, .rowCount = 17}, nullptr);
    grid.resize(400, 120);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
    QVERIFY(grid.indexAt(QPoint(5, 5)).column() > 200);
    // What is drawn at the top-left of the viewport is still the fixed corner cell ...
    QPoint corner = grid.viewport()->geometry().topLeft() + QPoint(5, 5);
    auto* overlay = qobject_cast<QTableView*>(grid.childAt(corner)->parentWidget());
    QVERIFY(overlay && overlay != &grid);
    QCOMPARE(overlay->indexAt(QPoint(5, 5)), grid.model()->index(0, 0));
    // ... and beside it the fixed row, scrolled along with the columns below it.
    const int x = grid.columnWidth(0) + 30;
    QPoint top = grid.viewport()->geometry().topLeft() + QPoint(x, 5);
    overlay = qobject_cast<QTableView*>(grid.childAt(top)->parentWidget());
    QCOMPARE(overlay->indexAt(QPoint(x, 5)).row(), 0);
    QCOMPARE(overlay->indexAt(QPoint(x, 5)).column(), grid.indexAt(QPoint(x, 40)).column());
}

void TestWindow::gridColumnsResizeByDraggingTheFixedRow()
{
    TStringGrid grid("grid", {.colSizing = true}, nullptr);
    grid.resize(400, 200);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    const int width = grid.columnWidth(0);
    QPoint line = grid.viewport()->geometry().topLeft() + QPoint(2 * width, 5); // after column 1
    QWidget* fixedRow = grid.childAt(line);
    QPoint at = fixedRow->mapFrom(&grid, line);
    QTest::mousePress(fixedRow, Qt::LeftButton, {}, at);
    QTest::mouseMove(fixedRow, at + QPoint(30, 0));
    QTest::mouseRelease(fixedRow, Qt::LeftButton, {}, at + QPoint(30, 0));
    QCOMPARE(grid.columnWidth(1), width + 30);
    QCOMPARE(grid.columnWidth(0), width);
    // A press inside a cell of a normal row resizes nothing.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(width - 2, 60));
    QCOMPARE(grid.columnWidth(0), width);
}

SPLINEWAVE_TEST_MAIN(TestWindow)
#include "test_window.moc"

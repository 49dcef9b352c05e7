// The main window as the user first sees it, and the string grid it is built from.

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
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

class TestWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void everyControlByItsNameAndCaption();
    void startUpState();
    void gridAddressesCellsColumnFirst();
    void gridFixedCellsStayInViewWhileScrolling();
    void gridColumnsResizeByDraggingTheFixedRow();
};

namespace {

// The caption of a control, whatever its kind; for the glyph-only buttons, their hint.
QString captionOf(QObject* control)
{
    if (auto* panel = qobject_cast<TPanel*>(control))
        return panel->caption();
    if (auto* tool = qobject_cast<QToolButton*>(control))
        return tool->toolTip();
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<QLabel*>(control))
        return label->text();
    if (auto* group = qobject_cast<QGroupBox*>(control))
        return group->title();
    if (auto* action = qobject_cast<QAction*>(control))
        return action->text();
    return {};
}

} // namespace

void TestWindow::everyControlByItsNameAndCaption()
{
    const QString background = "Для начала работы введите параметры и  нажмите \"Построить\"";
    const std::tuple<const char*, QObject*, QString> controls[] = {
        {"pMain", form->pMain, background}, {"pMenu", form->pMenu, ""},
        {"btnClose", form->btnClose, "&Выход"}, {"btnReport", form->btnReport, "&Отчеты"},
        {"pParameters", form->pParameters, ""}, {"btnBuild", form->btnBuild, "&Построить"},
        {"rbForward", form->rbForward, "прямое"}, {"rbBack", form->rbBack, "обратное"},
        {"gbTypeOfTransform", form->gbTypeOfTransform, "Тип"}, {"pInputData", form->pInputData, ""},
        {"pOutputData", form->pOutputData, ""},
        {"pInputPanelCaption", form->pInputPanelCaption, "Входные параметры - значения функции"},
        {"pOutputPanelCaption", form->pOutputPanelCaption,
            "Выходные параметры - набор коэффициентов"},
        {"pCenter", form->pCenter, background}, {"Splitter", form->Splitter, ""},
        {"pcCenter", form->pcCenter, ""}, {"tsTransfer", form->tsTransfer, ""},
        {"tsGraphic", form->tsGraphic, ""},
        {"lblStepSplain", form->lblStepSplain, "степень сплайна m="},
        {"cbStepSplain", form->cbStepSplain, ""}, {"lblA", form->lblA, "отрезок \u0430="},
        {"edtA", form->edtA, ""}, {"lblB", form->lblB, "b="}, {"edtB", form->edtB, ""},
        {"lblMainParam", form->lblMainParam, "Основные параметры:"},
        {"pMenuGraphic", form->pMenuGraphic, ""}, {"btnSave", form->btnSave, ""},
        {"gbKindOfGraphic", form->gbKindOfGraphic, "Тип графика"},
        {"rbCenter", form->rbCenter, "центральные вейвлеты"},
        {"rbBoundary", form->rbBoundary, "граничные вейвлеты"},
        {"rbAllGraphic", form->rbAllGraphic, "общий график"},
        {"chShowHideBottomPanel", form->chShowHideBottomPanel, "показать матрицу значений"},
        {"OpenDialog", form->OpenDialog, ""}, {"SaveWaveletDialog", form->SaveWaveletDialog, ""},
        {"pmSave", form->pmSave, ""}, {"miGraphic", form->miGraphic, "График в формате *.bmp"},
        {"miMatrix", form->miMatrix, "Таблицу в формате *.txt"}, {"pGraphic", form->pGraphic, ""},
        {"chWavelet", form->chWavelet, ""}, {"pMatrix", form->pMatrix, ""},
        {"sgWaveletValues", form->sgWaveletValues, ""},
        {"SplitterGraphic", form->SplitterGraphic, ""},
        {"btnGraphic", form->btnGraphic, "&Построить"}, {"pmReport", form->pmReport, ""},
        {"nCoeff", form->nCoeff, "Коэффициенты"}, {"pCoeffC", form->pCoeffC, ""},
        {"pCoeffD", form->pCoeffD, ""}, {"SplitterOutputData", form->SplitterOutputData, ""},
        {"CoeffDGR", form->CoeffDGR, ""}, {"CoeffCGR", form->CoeffCGR, ""},
        {"FunctionValueGR", form->FunctionValueGR, ""},
        {"btnGetValuesFromFile", form->btnGetValuesFromFile, "&Взять входные значения из файла "},
        {"btnSaveCoeffToFile", form->btnSaveCoeffToFile,
            "Сохранить параметры для последующего их использования в расчетах"},
        {"rbZerro", form->rbZerro, "нулевой вейвлет"}, {"StatusBar", form->StatusBar, ""},
        {"btnFunctionValues", form->btnFunctionValues,
            "Сохранить значения функции для последующего их использования в расчетах"},
        {"btnClear", form->btnClear, "&Очистить"}};
    QCOMPARE(std::size(controls), 57u);
    for (auto [name, member, caption] : controls) {
        QCOMPARE(form->findChildren<QObject*>(name), QList<QObject*> {member});
        QCOMPARE(captionOf(member), caption);
    }
    for (QWidget* bold :
        {(QWidget*)form->lblMainParam, (QWidget*)form->btnBuild, (QWidget*)form->gbKindOfGraphic})
        QVERIFY(bold->font().bold());
    for (QWidget* regular : {(QWidget*)form->lblStepSplain, (QWidget*)form->rbForward,
             (QWidget*)form->btnClear, (QWidget*)form->CoeffCGR})
        QVERIFY(!regular->font().bold());
    QCOMPARE(form->OpenDialog->nameFilters(), QStringList {"Текстовый файл (*.txt)"});
    QCOMPARE(form->SaveWaveletDialog->nameFilters(), QStringList {"Bitmaps (*.bmp)"});
    QCOMPARE(form->pmSave->actions(), (QList<QAction*> {form->miGraphic, form->miMatrix}));
    QCOMPARE(form->chWavelet->chart()->title(), QString("Центральные и граничные вейвлеты"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
}

void TestWindow::startUpState()
{
    QCOMPARE(form->windowTitle(), QString(TMainForm::designTitle));
    QCOMPARE(form->pcCenter->tabText(0), QString("Преобразование"));
    QCOMPARE(form->pcCenter->tabText(1), QString("График"));
    QCOMPARE(form->pcCenter->currentWidget(), form->tsTransfer);
    QCOMPARE(form->cbStepSplain->currentText(), QString("2"));
    QVERIFY(form->cbStepSplain->isEditable() && form->cbStepSplain->count() == 3);
    QVERIFY(form->edtA->text() == "0" && form->edtB->text() == "1");
    QVERIFY(form->edtA->isReadOnly() && form->edtB->isReadOnly());
    QVERIFY(form->rbForward->isChecked() && form->rbAllGraphic->isChecked());
    QVERIFY(form->chShowHideBottomPanel->isChecked());
    QVERIFY(!form->pMatrix->isHidden() && !form->SplitterGraphic->isHidden());
    QVERIFY(!form->btnGetValuesFromFile->isEnabled() && !form->btnSave->isEnabled());
    QVERIFY(form->nCoeff->isEnabled()); // by the basis set-up of the creation event
    QVERIFY(form->chWavelet->chart()->series().isEmpty());
    QVERIFY(!form->windowIcon().isNull());
    form->showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->isMaximized());
    QCOMPARE(form->pInputData->width(), 321);
    QCOMPARE(form->pCoeffC->height(), 158);
    QCOMPARE(form->Splitter->width(), 5);
    form->btnClose->click();
    QVERIFY(!form->isVisible());
}

void TestWindow::gridAddressesCellsColumnFirst()
{
    TStringGrid* grid = form->CoeffCGR;
    QVERIFY(grid->horizontalHeader()->isHidden() && grid->verticalHeader()->isHidden());
    grid->setCell(3, 1, "c31");
    QCOMPARE(grid->model()->index(1, 3).data().toString(), QString("c31"));
    QCOMPARE(grid->cell(1, 3), QString());
    QVERIFY(!(grid->model()->index(0, 2).flags() & Qt::ItemIsSelectable)); // fixed row
    QVERIFY(!(grid->model()->index(2, 0).flags() & Qt::ItemIsSelectable)); // fixed column
    QVERIFY(grid->model()->index(1, 1).flags() & Qt::ItemIsSelectable);
    QVERIFY(!(grid->model()->index(1, 1).flags() & Qt::ItemIsEditable));
    QVERIFY(form->CoeffDGR->model()->index(1, 0).flags() & Qt::ItemIsSelectable); // no fixed col

    grid->setCell(4, 4, "dropped");
    grid->setRowCount(3); // shrinking and growing keeps the cells that both shapes have
    grid->setColCount(257);
    grid->setRowCount(17);
    QCOMPARE(grid->cell(3, 1), QString("c31"));
    QCOMPARE(grid->cell(4, 4), QString());
    QCOMPARE(grid->columnWidth(200), grid->columnWidth(0));
    QVERIFY(
        grid->columnWidth(0) >= std::max(50, grid->fontMetrics().horizontalAdvance("-14.00000")));
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
    // The top-left corner still shows the fixed cell (0, 0) ...
    QPoint corner = grid.viewport()->geometry().topLeft() + QPoint(5, 5);
    auto* overlay = qobject_cast<QTableView*>(grid.childAt(corner)->parentWidget());
    QVERIFY(overlay && overlay != &grid);
    QCOMPARE(overlay->indexAt(QPoint(5, 5)), grid.model()->index(0, 0));
    // ... and beside it the fixed row, scrolled along with the columns below it.
    const int x = grid.columnWidth(0) + 30;
    overlay = qobject_cast<QTableView*>(
        grid.childAt(grid.viewport()->geometry().topLeft() + QPoint(x, 5))->parentWidget());
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
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(width - 2, 60)); // a cell
    QCOMPARE(grid.columnWidth(0), width);
}

SPLINEWAVE_TEST_MAIN(TestWindow)
#include "test_window.moc"

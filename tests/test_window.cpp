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
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitterHandle>
#include <QTabWidget>

class TestWindow : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void everyControlByItsName();
    void startUpState();
    void gridAddressesCellsColumnFirst();
    void gridFixedCellsStayInViewWhileScrolling();
    void gridColumnsResizeByDraggingTheFixedRow();
};

void TestWindow::everyControlByItsName()
{
    const QString names
        = "pMain pMenu btnClose btnReport pParameters btnBuild rbForward rbBack "
          "gbTypeOfTransform pInputData pOutputData pInputPanelCaption "
          "pOutputPanelCaption pCenter Splitter pcCenter tsTransfer tsGraphic "
          "lblStepSplain cbStepSplain lblA edtA lblB edtB lblMainParam pMenuGraphic "
          "btnSave gbKindOfGraphic rbCenter rbBoundary rbAllGraphic "
          "chShowHideBottomPanel OpenDialog SaveWaveletDialog pmSave miGraphic "
          "miMatrix pGraphic chWavelet pMatrix sgWaveletValues SplitterGraphic "
          "btnGraphic pmReport nCoeff pCoeffC pCoeffD SplitterOutputData CoeffDGR "
          "CoeffCGR FunctionValueGR btnGetValuesFromFile btnSaveCoeffToFile rbZerro "
          "StatusBar btnFunctionValues btnClear";
    QCOMPARE(names.split(' ').size(), 57);
    for (const QString& name : names.split(' '))
        QVERIFY2(form->findChildren<QObject*>(name).size() == 1, qPrintable(name));
    QCOMPARE(
        form->pMain->caption(), "Для начала работы введите параметры и  нажмите \"Построить\"");
    QCOMPARE(form->lblA->text(), QString("отрезок \u0430=")); // the Cyrillic а
    QVERIFY(form->btnBuild->font().bold() && !form->btnClear->font().bold());
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

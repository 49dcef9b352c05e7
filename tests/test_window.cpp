// The main window driven through its controls: the start-up state, the string grid, the degree
// and interval handlers with the grid layouts they produce, Clear, the key filters, the
// direction buttons, the matrix switch and the popup buttons.

#include "app/Panel.h"
#include "tests/TestSupport.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QSplitterHandle>

class TestWindow : public WindowTest
{
    Q_OBJECT

    // "v" in every cell of the three result grids that is not a caption.
    void fillValueCells()
    {
        for (TStringGrid* grid : {form->FunctionValueGR, form->CoeffCGR, form->CoeffDGR})
            for (int r = grid == form->FunctionValueGR ? 0 : 1; r < grid->rowCount(); ++r)
                for (int c = grid == form->CoeffDGR ? 0 : 1; c < grid->colCount(); ++c)
                    grid->setCell(c, r, "v");
    }

private slots:
    void startUpState()
    {
        // clang-format off
        const QStringList names = QString("pMain pMenu btnClose btnReport pParameters btnBuild rbForward rbBack "
            "gbTypeOfTransform pInputData pOutputData pInputPanelCaption pOutputPanelCaption pCenter Splitter "
            "pcCenter tsTransfer tsGraphic lblStepSplain cbStepSplain lblA edtA lblB edtB lblMainParam "
            "pMenuGraphic btnSave gbKindOfGraphic rbCenter rbBoundary rbAllGraphic chShowHideBottomPanel "
            "OpenDialog SaveWaveletDialog pmSave miGraphic miMatrix pGraphic chWavelet pMatrix sgWaveletValues "
            "SplitterGraphic btnGraphic pmReport nCoeff pCoeffC pCoeffD SplitterOutputData CoeffDGR CoeffCGR "
            "FunctionValueGR btnGetValuesFromFile btnSaveCoeffToFile rbZerro StatusBar btnFunctionValues btnClear")
            .split(' ');
        // clang-format on
        QCOMPARE(names.size(), 57);
        for (const QString& name : names)
            QVERIFY2(form->findChildren<QObject*>(name).size() == 1, qPrintable(name));
        QCOMPARE(
            form->pMain->caption(), "Для начала работы введите параметры и  нажмите \"Построить\"");
        QCOMPARE(form->lblA->text(), QString("отрезок \u0430=")); // the Cyrillic а
        QVERIFY(form->btnBuild->font().bold() && !form->btnClear->font().bold());
        QCOMPARE(form->OpenDialog->nameFilters(), QStringList {"Текстовый файл (*.txt)"});
        QCOMPARE(form->SaveWaveletDialog->nameFilters(),
            (QStringList {"Bitmaps (*.bmp)", "PNG (*.png)", "SVG (*.svg)"}));
        QCOMPARE(form->pmSave->actions(), (QList<QAction*> {form->miGraphic, form->miMatrix}));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
        QCOMPARE(form->windowTitle(), QString(TMainForm::designTitle));
        QVERIFY(form->pcCenter->tabText(0) == "Преобразование"
            && form->pcCenter->tabText(1) == "График");
        QVERIFY(form->pcCenter->currentWidget() == form->tsTransfer
            && form->cbStepSplain->isEditable());
        QVERIFY(form->edtA->text() == "0" && form->edtB->text() == "1" && form->edtA->isReadOnly());
        QVERIFY(form->rbForward->isChecked() && form->rbAllGraphic->isChecked());
        QVERIFY(form->chShowHideBottomPanel->isChecked() && !form->pMatrix->isHidden());
        QVERIFY(!form->btnGetValuesFromFile->isEnabled() && !form->btnSave->isEnabled());
        QVERIFY(form->chWavelet->chart()->series().isEmpty() && !form->windowIcon().isNull());
        // The creation event set up m = 2 on [0, 1], untimed; the constructor alone sets nothing.
        TMainForm constructedOnly;
        QVERIFY(constructedOnly.m == 0 && !constructedOnly.nCoeff->isEnabled());
        QVERIFY(form->m == 2 && form->finestLevel == 3 && form->coarsestLevel == 1
            && form->step == 0.125);
        QVERIFY(form->points.size() == 8 && form->points[7][0] == 0.875
            && form->gaussWeights.size() == 3);
        QVERIFY(form->nCoeff->isEnabled() && form->StatusBar->currentMessage().isEmpty());
        QVERIFY(seam.messages.isEmpty());
        form->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(form->isMaximized() && form->pInputData->width() == 321);
        QVERIFY(form->pCoeffC->height() == 158 && form->Splitter->width() == 5);
        form->btnClose->click();
        QVERIFY(!form->isVisible());
    }

    void gridAddressesCellsColumnFirst()
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
        QVERIFY(
            form->CoeffDGR->model()->index(1, 0).flags() & Qt::ItemIsSelectable); // no fixed col
        grid->setCell(4, 4, "dropped");
        grid->setRowCount(3); // shrinking and growing keeps the cells that both shapes have
        grid->setColCount(257);
        grid->setRowCount(17);
        QVERIFY(grid->cell(3, 1) == "c31" && grid->cell(4, 4).isEmpty());
        QCOMPARE(grid->columnWidth(200), grid->columnWidth(0));
        QVERIFY(grid->columnWidth(0)
            >= std::max(50, grid->fontMetrics().horizontalAdvance("-14.00000")));
    }

    void gridFixedCellsStayInViewWhileScrolling()
    {
        TStringGrid grid("grid", {.colCount = 257, .rowCount = 17}, nullptr);
        grid.resize(400, 120);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        QVERIFY(grid.indexAt(QPoint(5, 5)).column() > 200);
        auto overlayAt = [&](int x) { // the view under a point of the top row
            const QPoint at = grid.viewport()->geometry().topLeft() + QPoint(x, 5);
            return qobject_cast<QTableView*>(grid.childAt(at)->parentWidget());
        };
        // The top-left corner still shows the fixed cell (0, 0), and beside it the fixed row
        // scrolls along with the columns below it.
        QVERIFY(overlayAt(5) && overlayAt(5) != &grid);
        QCOMPARE(overlayAt(5)->indexAt(QPoint(5, 5)), grid.model()->index(0, 0));
        const int x = grid.columnWidth(0) + 30;
        QCOMPARE(overlayAt(x)->indexAt(QPoint(x, 5)).row(), 0);
        QCOMPARE(
            overlayAt(x)->indexAt(QPoint(x, 5)).column(), grid.indexAt(QPoint(x, 40)).column());
    }

    void gridColumnsResizeByDraggingTheFixedRow()
    {
        TStringGrid grid("grid", {.colSizing = true}, nullptr);
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        const int width = grid.columnWidth(0);
        QPoint line = grid.viewport()->geometry().topLeft() + QPoint(2 * width, 5); // after col 1
        QWidget* fixedRow = grid.childAt(line);
        QPoint at = fixedRow->mapFrom(&grid, line);
        QTest::mousePress(fixedRow, Qt::LeftButton, {}, at);
        QTest::mouseMove(fixedRow, at + QPoint(30, 0));
        QTest::mouseRelease(fixedRow, Qt::LeftButton, {}, at + QPoint(30, 0));
        QCOMPARE(grid.columnWidth(1), width + 30);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(width - 2, 60)); // a cell
        QCOMPARE(grid.columnWidth(0), width);
    }

    void degreeChangesLayTheGridsOutAfterClearingTheOldOnes()
    {
        form->coeffC[1][0] = form->coeffD[0][0] = form->splineProducts[3][0] = 5;
        fillValueCells();
        chooseDegree(4);
        QRegularExpression report("^Вычислины коэффициенты для m=4\\. Время вычисления \\d+ мc$");
        QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
            qPrintable(form->StatusBar->currentMessage())); // ends in the Latin c
        QVERIFY(form->coeffC.empty() && form->coeffD.empty() && form->splineProducts.empty());
        QVERIFY(form->coarsestLevel == 2 && form->points.size() == 32);
        QCOMPARE(form->FunctionValueGR->rowCount(), 32);
        QCOMPARE(form->FunctionValueGR->cell(0, 31), QString("x[31]"));
        QCOMPARE(row(form->CoeffDGR, 0, 0, 8), QString("d[-3] d[-2] d[-1] d[0] d[1] d[2] d[3] "));
        QVERIFY(form->CoeffCGR->rowCount() == 4 && form->CoeffCGR->colCount() == 17);
        QCOMPARE(form->CoeffCGR->cell(0, 3), QString("c[3][j]"));
        QCOMPARE(row(form->CoeffCGR, 0, 15, 2), QString("c[i][11] c[i][12]"));
        // Cleared under m = 2 before the grids grew: the m = 2 value cells are blank, the cells
        // no transform of m = 2 fills keep their text.
        QCOMPARE(form->FunctionValueGR->cell(1, 0) + form->FunctionValueGR->cell(1, 7), QString());
        QCOMPARE(row(form->CoeffCGR, 1, 1, 4), QString("  v v"));
        QCOMPARE(row(form->CoeffDGR, 1, 0, 7), QString("      "));

        const SparseRow boundary = form->alpha[-3], wavelet = form->alphaW[12];
        chooseDegree(2);
        QCOMPARE(row(form->CoeffCGR, 0, 0, 5), QString(" c[i][-1] c[i][0] c[i][1] c[i][2]"));
        QVERIFY(form->CoeffCGR->rowCount() == 3 && form->CoeffDGR->colCount() == 3);
        QVERIFY(form->alpha[-3] == boundary && form->alphaW[12] == wavelet); // kept, unread
    }

    // The user's results survive a mistyped degree, and the status line and the title tell no
    // lie about it: the basis is still m = 3.
    void rejectedDegreeChangesNothing()
    {
        chooseDegree(3);
        const QString status = form->StatusBar->currentMessage();
        form->coeffC[1][-2] = 0.25;
        fillValueCells();
        const std::vector<double> betta = form->betta;
        for (const char* text : {"5", "1", "3x", ""})
            form->cbStepSplain->setCurrentText(text);
        QCOMPARE(seam.messages,
            (QStringList {"Непредусмотренное значение m (5)", "Непредусмотренное значение m (1)",
                "Текст «3x» не является целым числом", "Текст «» не является целым числом"}));
        QVERIFY(form->m == 3 && form->finestLevel == 4 && form->betta == betta);
        QVERIFY(form->coeffC[1][-2] == 0.25 && form->CoeffDGR->cell(5, 1) == "v");
        QCOMPARE(form->FunctionValueGR->cell(1, 15), QString("v"));
        QCOMPARE(form->StatusBar->currentMessage(), status);
        form->btnBuild->click();
        QVERIFY(form->windowTitle().contains("степени 3 на"));
        QVERIFY(form->StatusBar->currentMessage().contains("m=3."));
    }

    // A change of an interval edit reruns the set-up; a rejected interval leaves everything as
    // it was, the report item included.
    void intervalMessages_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("0, 1") << "0" << "1" << "";
        QTest::newRow("-1, 3") << "-1" << "3" << "";
        QTest::newRow("1, 1") << "1" << "1" << "Начало и конец отрезка не должны совпадать!";
        QTest::newRow("2, 1") << "2" << "1" << "Начало отрезка не должно быть больше конца отрезка!";
        QTest::newRow("not an integer") << "1-" << "1" << "Текст «1-» не является целым числом";
        // clang-format on
    }
    void intervalMessages()
    {
        QFETCH(QString, left);
        QFETCH(QString, right);
        QFETCH(QString, message);
        const bool built = message.isEmpty();
        form->nCoeff->setEnabled(false);
        form->coeffD[0][0] = 9;
        {
            QSignalBlocker quietA(form->edtA), quietB(form->edtB);
            form->edtA->clear();
            form->edtB->setText(right);
        }
        form->edtA->setText(left);
        QCOMPARE(seam.messages, built ? QStringList {} : QStringList {message});
        QVERIFY(form->nCoeff->isEnabled() == built && form->coeffD.empty() == built);
        QCOMPARE(form->a, built ? left.toInt() : 0);
        QVERIFY_EXACT(form->step, built ? (right.toInt() - left.toInt()) / 8.0 : 0.125);
    }

    void clearBlanksExactlyTheValueCells()
    {
        fillValueCells();
        form->coeffC[2][1] = 1;
        form->btnClear->click();
        QVERIFY(form->coeffC.empty());
        for (int p = 0; p < 8; ++p)
            QCOMPARE(form->FunctionValueGR->cell(1, p), QString());
        QCOMPARE(form->FunctionValueGR->cell(0, 0), QString("x[0]"));
        QCOMPARE(row(form->CoeffCGR, 1, 0, 5), QString("c[1][j]   v v"));
        QCOMPARE(row(form->CoeffCGR, 2, 0, 5), QString("c[2][j]    "));
        QCOMPARE(row(form->CoeffDGR, 1, 0, 3), QString("  "));
    }

    // ASCII digits, '-' and backspace pass; other digits ("٣", "７") and characters do not.
    void keyFiltersPassAsciiDigitsMinusAndBackspace()
    {
        for (QChar typed : QString("a+.,Z 7-\u0663\uff17") + QChar(8)) {
            const QChar expected = QString("7-\b").contains(typed) ? typed : QChar(0);
            QChar a = typed, b = typed;
            form->edtAKeyPress(form->edtA, a);
            form->edtBKeyPress(form->edtB, b);
            QVERIFY(a == expected && b == expected);
        }
        // Through the keyboard: were the edit writable, only the passing keys would reach it.
        form->edtB->setReadOnly(false);
        form->edtB->setCursorPosition(1);
        QTest::keyClicks(form->edtB, "a+.,2");
        QCOMPARE(form->edtB->text(), QString("12"));
        QCOMPARE(form->b, 12);
    }

    void directionMatrixAndPopupHandlers()
    {
        form->StatusBar->showMessage("как было");
        form->rbBack->click();
        QCOMPARE(
            form->pInputPanelCaption->caption(), QString("Выходные параметры - значения функции"));
        QCOMPARE(form->pOutputPanelCaption->caption(),
            QString("Входные параметры - набор коэффициентов"));
        QVERIFY(form->btnGetValuesFromFile->isEnabled());
        form->rbForward->click();
        QCOMPARE(
            form->pInputPanelCaption->caption(), QString("Входные параметры - значения функции"));
        QCOMPARE(form->pOutputPanelCaption->caption(),
            QString("Выходные параметры - набор коэффициентов"));
        QVERIFY(!form->btnGetValuesFromFile->isEnabled());
        QVERIFY(form->windowTitle() == TMainForm::designTitle
            && form->StatusBar->currentMessage() == "как было");

        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->chShowHideBottomPanel->click();
        QVERIFY(form->pMatrix->isHidden() && form->SplitterGraphic->isHidden());
        form->chShowHideBottomPanel->click();
        QVERIFY(!form->pMatrix->isHidden() && !form->SplitterGraphic->isHidden());
        QCoreApplication::processEvents(); // the splitter stands right above the matrix again
        QCOMPARE(form->SplitterGraphic->geometry().bottom() + 1, form->pMatrix->geometry().top());

        int chosen = 0;
        connect(form->miMatrix, &QAction::triggered, this, [&] { ++chosen; });
        form->btnSave->setEnabled(true);
        seam.popupChoice = "miMatrix";
        seam.fileAnswers << ""; // the matrix export's dialog: cancelled
        form->btnSave->click();
        form->btnReport->click();
        QCOMPARE(seam.popupsShown, (QStringList {"pmSave", "pmReport"}));
        QCOMPARE(chosen, 1);
    }
};

SPLINEWAVE_TEST_MAIN(TestWindow)
#include "test_window.moc"

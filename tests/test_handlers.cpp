// The window's parameter handlers driven through its controls: degree changes with the grid
// layouts they produce, the interval check, Clear, the key filters, the direction buttons, the
// matrix switch and the popup buttons.

#include "app/Conversions.h"
#include "app/Panel.h"
#include "app/StringGrid.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTabWidget>

class TestHandlers : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void basisIsSetUpOnceAtStartUp();
    void degreeChangesLayTheGridsOutAfterClearingTheOldOnes();
    void rejectedDegreeChangesNothing_data();
    void rejectedDegreeChangesNothing();
    void intervalMessages_data();
    void intervalMessages();
    void clearBlanksExactlyTheValueCells();
    void keyFiltersPassDigitsMinusAndBackspace();
    void directionMatrixAndPopupHandlers();

private:
    void chooseDegree(const QString& text) { form->cbStepSplain->setCurrentText(text); }
    void fillValueCells();
};

// "v" in every cell of the three result grids that is not a caption.
void TestHandlers::fillValueCells()
{
    for (TStringGrid* grid : {form->FunctionValueGR, form->CoeffCGR, form->CoeffDGR})
        for (int r = grid == form->FunctionValueGR ? 0 : 1; r < grid->rowCount(); ++r)
            for (int c = grid == form->CoeffDGR ? 0 : 1; c < grid->colCount(); ++c)
                grid->setCell(c, r, "v");
}

void TestHandlers::basisIsSetUpOnceAtStartUp()
{
    TMainForm constructedOnly; // the constructor itself sets nothing up
    QCOMPARE(constructedOnly.m, 0);
    QVERIFY(!constructedOnly.nCoeff->isEnabled());
    QCOMPARE(form->m, 2);
    QVERIFY(form->finestLevel == 3 && form->coarsestLevel == 1 && form->step == 0.125);
    QCOMPARE(form->points.size(), 8u);
    QCOMPARE(form->points[7][0], 0.875);
    QVERIFY(form->funcValues.size() == 8 && form->gaussWeights.size() == 3);
    QCOMPARE(form->StatusBar->currentMessage(), QString()); // the creation handler is not timed
    QVERIFY(seam->messages.isEmpty());
}

void TestHandlers::degreeChangesLayTheGridsOutAfterClearingTheOldOnes()
{
    auto row = [](TStringGrid* grid, int r, int first, int count) {
        QStringList texts;
        for (int c = first; c < first + count; ++c)
            texts << grid->cell(c, r);
        return texts.join(' ');
    };
    form->coeffC[1][0] = form->coeffD[0][0] = form->splineProducts[3][0] = 5;
    fillValueCells();
    chooseDegree("4");
    QRegularExpression report("^Вычислины коэффициенты для m=4\\. Время вычисления \\d+ мc$");
    QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
        qPrintable(form->StatusBar->currentMessage())); // ends in the Latin c
    QVERIFY(form->coeffC.empty() && form->coeffD.empty() && form->splineProducts.empty());
    QVERIFY(form->coarsestLevel == 2 && form->points.size() == 32);
    QCOMPARE(form->FunctionValueGR->rowCount(), 32);
    QCOMPARE(form->FunctionValueGR->cell(0, 31), QString("x[31]"));
    QCOMPARE(row(form->CoeffDGR, 0, 0, 8), QString("d[-3] d[-2] d[-1] d[0] d[1] d[2] d[3] "));
    QCOMPARE(form->CoeffCGR->rowCount(), 4);
    QCOMPARE(form->CoeffCGR->colCount(), 17);
    QCOMPARE(form->CoeffCGR->cell(0, 3), QString("c[3][j]"));
    QCOMPARE(row(form->CoeffCGR, 0, 15, 2), QString("c[i][11] c[i][12]"));
    // Cleared under m = 2 before the grids grew: the m = 2 value cells are blank, the cells no
    // transform of m = 2 fills keep their text.
    QCOMPARE(row(form->FunctionValueGR, 0, 1, 1) + form->FunctionValueGR->cell(1, 7), QString());
    QCOMPARE(row(form->CoeffCGR, 1, 1, 4), QString("  v v"));
    QCOMPARE(row(form->CoeffDGR, 1, 0, 7), QString("      "));

    const SparseRow boundary = form->alpha[-3], wavelet = form->alphaW[12];
    chooseDegree("2");
    QCOMPARE(row(form->CoeffCGR, 0, 0, 5), QString(" c[i][-1] c[i][0] c[i][1] c[i][2]"));
    QCOMPARE(form->CoeffCGR->rowCount(), 3);
    QCOMPARE(form->CoeffDGR->colCount(), 3);
    QCOMPARE(form->alpha[-3], boundary); // rows of a larger degree stay, unread
    QCOMPARE(form->alphaW[12], wavelet);
}

void TestHandlers::rejectedDegreeChangesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("integer out of range") << "5"
                                          << "Непредусмотренное значение m (5)";
    QTest::newRow("one") << "1"
                         << "Непредусмотренное значение m (1)";
    QTest::newRow("not an integer") << "3x"
                                    << "Текст «3x» не является целым числом";
    QTest::newRow("empty") << ""
                           << "Текст «» не является целым числом";
}

// The user's results survive a mistyped degree, and the status line tells no lie about it.
void TestHandlers::rejectedDegreeChangesNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    chooseDegree("3");
    const QString status = form->StatusBar->currentMessage();
    form->coeffC[1][-2] = 0.25;
    fillValueCells();
    const std::vector<double> betta = form->betta;
    chooseDegree(text);
    QCOMPARE(seam->messages, QStringList {message});
    QVERIFY(form->m == 3 && form->finestLevel == 4 && form->betta == betta);
    QCOMPARE(form->coeffC[1][-2], 0.25);
    QVERIFY(form->FunctionValueGR->cell(1, 15) == "v" && form->CoeffDGR->cell(5, 1) == "v");
    QCOMPARE(form->StatusBar->currentMessage(), status);
}

void TestHandlers::intervalMessages_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("message");
    QTest::newRow("0, 1") << "0"
                          << "1"
                          << "";
    QTest::newRow("-1, 3") << "-1"
                           << "3"
                           << "";
    QTest::newRow("1, 1") << "1"
                          << "1"
                          << "Начало и конец отрезка не должны совпадать!";
    QTest::newRow("2, 1") << "2"
                          << "1"
                          << "Начало отрезка не должно быть больше конца отрезка!";
    QTest::newRow("not an integer") << "1-"
                                    << "1"
                                    << "Текст «1-» не является целым числом";
}

// A change of an interval edit reruns the set-up; a rejected interval leaves everything as it
// was, the report item included.
void TestHandlers::intervalMessages()
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
    QCOMPARE(seam->messages, built ? QStringList {} : QStringList {message});
    QCOMPARE(form->nCoeff->isEnabled(), built);
    QCOMPARE(form->coeffD.empty(), built);
    QCOMPARE(form->a, built ? left.toInt() : 0);
    QCOMPARE(form->step, built ? (right.toInt() - left.toInt()) / 8.0 : 0.125);
    if (QTest::currentDataTag() == QString("not an integer"))
        QVERIFY_THROWS_EXCEPTION(EConvertError, form->checkInterval());
    else if (built)
        form->checkInterval();
    else
        QVERIFY_THROWS_EXCEPTION(ERejectedInput, form->checkInterval());
}

void TestHandlers::clearBlanksExactlyTheValueCells()
{
    fillValueCells();
    form->coeffC[2][1] = 1;
    form->btnClear->click();
    QVERIFY(form->coeffC.empty());
    for (int p = 0; p < 8; ++p)
        QCOMPARE(form->FunctionValueGR->cell(1, p), QString());
    QCOMPARE(form->FunctionValueGR->cell(0, 0), QString("x[0]"));
    const char* expected[][5] = {{"c[1][j]", "", "", "v", "v"}, {"c[2][j]", "", "", "", ""}};
    for (int e = 1; e <= 2; ++e)
        for (int c = 0; c < 5; ++c)
            QCOMPARE(form->CoeffCGR->cell(c, e), QString(expected[e - 1][c]));
    for (int c = 0; c < 3; ++c)
        QCOMPARE(form->CoeffDGR->cell(c, 1), QString());
}

void TestHandlers::keyFiltersPassDigitsMinusAndBackspace()
{
    for (QChar typed : QString("a+.,Z 7-") + QChar(8)) {
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

void TestHandlers::directionMatrixAndPopupHandlers()
{
    form->StatusBar->showMessage("как было");
    form->rbBack->click();
    QCOMPARE(form->pInputPanelCaption->caption(), QString("Выходные параметры - значения функции"));
    QCOMPARE(
        form->pOutputPanelCaption->caption(), QString("Входные параметры - набор коэффициентов"));
    QVERIFY(form->btnGetValuesFromFile->isEnabled());
    form->rbForward->click();
    QCOMPARE(form->pInputPanelCaption->caption(), QString("Входные параметры - значения функции"));
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
    seam->popupChoice = "miMatrix";
    seam->fileAnswers << ""; // the matrix export's dialog: cancelled
    form->btnSave->click();
    form->btnReport->click();
    QCOMPARE(seam->popupsShown, (QStringList {"pmSave", "pmReport"}));
    QCOMPARE(chosen, 1);
}

SPLINEWAVE_TEST_MAIN(TestHandlers)
#include "test_handlers.moc"

// The window's parameter handlers driven through its controls: degree changes with the grid
// layouts they produce, the interval check, Clear, the key filters, the direction buttons, the
// matrix switch and the popup buttons.

#include "app/Conversions.h"
#include "app/Main_f.h"
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

class TestHandlers : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void basisIsSetUpOnceAtStartUp();
    void gridLayoutsFollowTheDegree_data();
    void gridLayoutsFollowTheDegree();
    void degreeChangeReportsItsTime();
    void degreeChangeClearsUnderTheOldLayout();
    void rowsOfALargerDegreeStayUnread();
    void rejectedDegreeChangesNothing_data();
    void rejectedDegreeChangesNothing();
    void intervalMessages_data();
    void intervalMessages();
    void clearBlanksExactlyTheValueCells();
    void keyFiltersPassDigitsMinusAndBackspace();
    void directionButtonsSwapCaptions();
    void matrixSwitchShowsAndHidesPanelAndSplitter();
    void popupButtonsShowTheirMenus();

private:
    void chooseDegree(const QString& text) { form->cbStepSplain->setCurrentText(text); }
    void fillValueCells();
    QStringList row(TStringGrid* grid, int r);
    QStringList column(TStringGrid* grid, int c);
};

QStringList TestHandlers::row(TStringGrid* grid, int r)
{
    QStringList texts;
    for (int c = 0; c < grid->colCount(); ++c)
        texts << grid->cell(c, r);
    return texts;
}

QStringList TestHandlers::column(TStringGrid* grid, int c)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << grid->cell(c, r);
    return texts;
}

// Writes "v" into every cell of the three result grids that is not a caption.
void TestHandlers::fillValueCells()
{
    for (TStringGrid* grid : {form->FunctionValueGR, form->CoeffCGR, form->CoeffDGR})
        for (int r = grid == form->FunctionValueGR ? 0 : 1; r < grid->rowCount(); ++r)
            for (int c = grid == form->CoeffDGR ? 0 : 1; c < grid->colCount(); ++c)
                grid->setCell(c, r, "v");
}

void TestHandlers::basisIsSetUpOnceAtStartUp()
{
    TMainForm constructedOnly;
    QCOMPARE(constructedOnly.m, 0); // the constructor itself sets nothing up
    QVERIFY(!constructedOnly.nCoeff->isEnabled());

    QCOMPARE(form->m, 2);
    QCOMPARE(form->finestLevel, 3);
    QCOMPARE(form->coarsestLevel, 1);
    QCOMPARE(form->step, 0.125);
    QCOMPARE(form->points.size(), 8u);
    QCOMPARE(form->points[7][0], 0.875);
    QCOMPARE(form->funcValues.size(), 8u);
    QCOMPARE(form->gaussWeights.size(), 3u);
    QCOMPARE(form->betta.size(), 3u);
    QVERIFY(form->nCoeff->isEnabled());
    QCOMPARE(form->StatusBar->currentMessage(), QString()); // the creation handler is not timed
    QVERIFY(seam->messages.isEmpty());
}

void TestHandlers::gridLayoutsFollowTheDegree_data()
{
    QTest::addColumn<QString>("degrees");
    QTest::addColumn<int>("m");
    QTest::addColumn<QStringList>("functionCaptions");
    QTest::addColumn<QStringList>("dCaptions");
    QTest::addColumn<QStringList>("cRowCaptions");
    QTest::addColumn<QStringList>("cColumnCaptions");
    auto captions = [](const char* format, int first, int last) {
        QStringList list;
        for (int i = first; i <= last; ++i)
            list << QString(format).arg(i);
        return list;
    };
    QTest::newRow("m=2 at start") << "" << 2 << captions("x[%1]", 0, 7) << captions("d[%1]", -1, 1)
                                  << QStringList {"", "c[1][j]", "c[2][j]"}
                                  << QStringList {""} + captions("c[i][%1]", -1, 2);
    QTest::newRow("m=3") << "3" << 3 << captions("x[%1]", 0, 15) << captions("d[%1]", -2, 3)
                         << QStringList {"", "c[1][j]", "c[2][j]"}
                         << QStringList {""} + captions("c[i][%1]", -2, 5);
    QTest::newRow("2 -> 4") << "4" << 4 << captions("x[%1]", 0, 31) << captions("d[%1]", -3, 3)
                            << QStringList {"", "c[1][j]", "c[2][j]", "c[3][j]"}
                            << QStringList {""} + captions("c[i][%1]", -3, 12);
    QTest::newRow("2 -> 4 -> 2") << "4 2" << 2 << captions("x[%1]", 0, 7)
                                 << captions("d[%1]", -1, 1)
                                 << QStringList {"", "c[1][j]", "c[2][j]"}
                                 << QStringList {""} + captions("c[i][%1]", -1, 2);
}

void TestHandlers::gridLayoutsFollowTheDegree()
{
    QFETCH(QString, degrees);
    QFETCH(int, m);
    QFETCH(QStringList, functionCaptions);
    QFETCH(QStringList, dCaptions);
    QFETCH(QStringList, cRowCaptions);
    QFETCH(QStringList, cColumnCaptions);
    for (const QString& degree : degrees.split(' ', Qt::SkipEmptyParts))
        chooseDegree(degree);
    QCOMPARE(form->m, m);
    QCOMPARE(form->FunctionValueGR->colCount(), 2);
    QCOMPARE(column(form->FunctionValueGR, 0), functionCaptions);
    QCOMPARE(form->CoeffDGR->rowCount(), 2);
    QCOMPARE(row(form->CoeffDGR, 0), dCaptions);
    QCOMPARE(column(form->CoeffCGR, 0), cRowCaptions);
    QCOMPARE(row(form->CoeffCGR, 0), cColumnCaptions);
    QVERIFY(seam->messages.isEmpty());
}

void TestHandlers::degreeChangeReportsItsTime()
{
    chooseDegree("3");
    QRegularExpression report("^Вычислины коэффициенты для m=3\\. Время вычисления \\d+ мc$");
    QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
        qPrintable(form->StatusBar->currentMessage()));
    QVERIFY(form->StatusBar->currentMessage().endsWith(QChar(0x63))); // the Latin c
    QCOMPARE(form->coarsestLevel, 2);
    QCOMPARE(form->step, 0.0625);
    chooseDegree("4");
    QCOMPARE(form->coarsestLevel, 2);
    QCOMPARE(form->points.size(), 32u);
}

void TestHandlers::degreeChangeClearsUnderTheOldLayout()
{
    form->coeffC[1][0] = 5;
    form->coeffD[0][0] = 5;
    form->splineProducts[3][0] = 5;
    form->waveletProducts[3][0] = 5;
    fillValueCells();
    chooseDegree("4");
    QVERIFY(form->coeffC.empty() && form->coeffD.empty());
    QVERIFY(form->splineProducts.empty() && form->waveletProducts.empty());
    // The m = 2 value cells were blanked before the grids grew; the new cells are empty.
    // Cells that no transform fills under m = 2 keep their text.
    QCOMPARE(column(form->FunctionValueGR, 1), QStringList(32, ""));
    QCOMPARE(row(form->CoeffCGR, 1).mid(1, 4), (QStringList {"", "", "v", "v"}));
    QCOMPARE(row(form->CoeffCGR, 2).mid(1, 5), (QStringList {"", "", "", "", ""}));
    QCOMPARE(row(form->CoeffCGR, 3).mid(1), QStringList(16, ""));
    QCOMPARE(row(form->CoeffDGR, 1), QStringList(7, ""));
}

void TestHandlers::rowsOfALargerDegreeStayUnread()
{
    chooseDegree("4");
    SparseRow boundary = form->alpha[-3];
    SparseRow wavelet = form->alphaW[12];
    chooseDegree("2");
    QCOMPARE(form->alpha[-3], boundary);
    QCOMPARE(form->alphaW[12], wavelet);
    QCOMPARE(int(form->alpha[0].size()) >= 5, true);
    QCOMPARE(form->alpha[0][4], 1.0);
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
    const QStringList functionValues = column(form->FunctionValueGR, 1);
    const QStringList dCells = row(form->CoeffDGR, 1);
    const std::vector<double> betta = form->betta;

    chooseDegree(text);
    QCOMPARE(seam->messages, QStringList {message});
    QCOMPARE(form->m, 3);
    QCOMPARE(form->finestLevel, 4);
    QCOMPARE(form->betta, betta);
    QCOMPARE(form->coeffC[1][-2], 0.25);
    QCOMPARE(column(form->FunctionValueGR, 1), functionValues);
    QCOMPARE(row(form->CoeffDGR, 1), dCells);
    QCOMPARE(form->StatusBar->currentMessage(), status);
    QVERIFY(form->nCoeff->isEnabled());
}

void TestHandlers::intervalMessages_data()
{
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("built");
    QTest::newRow("0, 1") << "0"
                          << "1" << QStringList {} << true;
    QTest::newRow("-1, 3") << "-1"
                           << "3" << QStringList {} << true;
    QTest::newRow("1, 1") << "1"
                          << "1" << QStringList {"Начало и конец отрезка не должны совпадать!"}
                          << false;
    QTest::newRow("2, 1") << "2"
                          << "1"
                          << QStringList {"Начало отрезка не должно быть больше конца отрезка!"}
                          << false;
    QTest::newRow("not an integer")
        << "1-"
        << "1" << QStringList {"Текст «1-» не является целым числом"} << false;
}

// A change of an interval edit reruns the set-up; a rejected interval leaves everything as it
// was, the report item included.
void TestHandlers::intervalMessages()
{
    QFETCH(QString, left);
    QFETCH(QString, right);
    QFETCH(QStringList, messages);
    QFETCH(bool, built);
    form->nCoeff->setEnabled(false);
    form->coeffD[0][0] = 9;
    {
        QSignalBlocker quietA(form->edtA), quietB(form->edtB);
        form->edtA->clear();
        form->edtB->setText(right);
    }
    form->edtA->setText(left); // the change handler reruns the set-up
    QCOMPARE(seam->messages, messages);
    QCOMPARE(form->nCoeff->isEnabled(), built);
    QCOMPARE(form->coeffD.empty(), built);
    if (built) {
        QCOMPARE(form->a, left.toInt());
        QCOMPARE(form->step, (right.toInt() - left.toInt()) / 8.0);
    } else {
        QCOMPARE(form->a, 0);
        QCOMPARE(form->b, 1);
    }
    seam->messages.clear();
    if (QTest::currentDataTag() == QString("not an integer")) {
        QVERIFY_THROWS_EXCEPTION(EConvertError, form->checkInterval());
        return;
    }
    QCOMPARE(form->checkInterval(), built);
    QCOMPARE(seam->messages.size(), built ? 0 : 1);
}

void TestHandlers::clearBlanksExactlyTheValueCells()
{
    fillValueCells();
    form->coeffC[2][1] = 1;
    form->btnClear->click();
    QVERIFY(form->coeffC.empty());
    QCOMPARE(column(form->FunctionValueGR, 1), QStringList(8, ""));
    QCOMPARE(row(form->CoeffCGR, 1), (QStringList {"c[1][j]", "", "", "v", "v"}));
    QCOMPARE(row(form->CoeffCGR, 2), (QStringList {"c[2][j]", "", "", "", ""}));
    QCOMPARE(row(form->CoeffDGR, 1), (QStringList {"", "", ""}));
    QCOMPARE(column(form->FunctionValueGR, 0).first(), QString("x[0]"));
}

void TestHandlers::keyFiltersPassDigitsMinusAndBackspace()
{
    for (QChar typed : QString("a+.,Z ")) {
        QChar key = typed;
        form->edtAKeyPress(form->edtA, key);
        QCOMPARE(key, QChar(0));
        key = typed;
        form->edtBKeyPress(form->edtB, key);
        QCOMPARE(key, QChar(0));
    }
    for (QChar typed : {QChar('7'), QChar('0'), QChar('-'), QChar(8)}) {
        QChar key = typed;
        form->edtAKeyPress(form->edtA, key);
        QCOMPARE(key, typed);
        form->edtBKeyPress(form->edtB, key);
        QCOMPARE(key, typed);
    }
    // Through the keyboard: were the edit writable, only the passing keys would reach it.
    form->edtB->setReadOnly(false);
    form->edtB->setCursorPosition(1);
    QTest::keyClicks(form->edtB, "a+.,");
    QCOMPARE(form->edtB->text(), QString("1"));
    QTest::keyClick(form->edtB, '2');
    QCOMPARE(form->edtB->text(), QString("12"));
    QCOMPARE(form->b, 12);
}

void TestHandlers::directionButtonsSwapCaptions()
{
    const QString title = form->windowTitle();
    form->StatusBar->showMessage("как было");
    form->rbBack->click();
    QCOMPARE(form->pInputPanelCaption->caption(), QString("Выходные параметры - значения функции"));
    QCOMPARE(
        form->pOutputPanelCaption->caption(), QString("Входные параметры - набор коэффициентов"));
    QVERIFY(form->btnGetValuesFromFile->isEnabled());
    form->rbForward->click();
    QCOMPARE(form->pInputPanelCaption->caption(), QString("Входные параметры - значения функции"));
    QCOMPARE(
        form->pOutputPanelCaption->caption(), QString("Выходные параметры - набор коэффициентов"));
    QVERIFY(!form->btnGetValuesFromFile->isEnabled());
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(form->StatusBar->currentMessage(), QString("как было"));
}

void TestHandlers::matrixSwitchShowsAndHidesPanelAndSplitter()
{
    form->pcCenter->setCurrentWidget(form->tsGraphic);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    form->chShowHideBottomPanel->click();
    QVERIFY(form->pMatrix->isHidden());
    QVERIFY(form->SplitterGraphic->isHidden());
    form->chShowHideBottomPanel->click();
    QVERIFY(!form->pMatrix->isHidden());
    QVERIFY(!form->SplitterGraphic->isHidden());
    QCoreApplication::processEvents();
    QCOMPARE(form->SplitterGraphic->geometry().bottom() + 1, form->pMatrix->geometry().top());
}

void TestHandlers::popupButtonsShowTheirMenus()
{
    int triggered = 0;
    connect(form->miMatrix, &QAction::triggered, this, [&] { ++triggered; });
    form->btnSave->setEnabled(true);
    seam->popupChoice = "miMatrix";
    form->btnSave->click();
    form->btnReport->click();
    QCOMPARE(seam->popupsShown, (QStringList {"pmSave", "pmReport"}));
    QCOMPARE(triggered, 1);
}

SPLINEWAVE_TEST_MAIN(TestHandlers)
#include "test_handlers.moc"

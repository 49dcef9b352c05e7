// The main window through its controls: the string grid, the degree and interval handlers, the
// grid layouts, Clear, the key filters and the small handlers; number texts and error display.

#include "app/Panel.h"
#include "core/Conversions.h"
#include "tests/TestSupport.h"

#include <QScrollBar>
#include <QSpinBox>
#include <QSplitterHandle>

#include <clocale>

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
    // Cells are addressed column first and kept when the grid grows; fixed cells cannot be
    // selected and stay in view while the rest scrolls; dragging a grid line in the fixed row
    // resizes the column before it.
    void stringGrid()
    {
        TStringGrid grid("grid", {.colSizing = true}, nullptr);
        grid.setCell(3, 1, "c31");
        grid.setColCount(257);
        grid.setRowCount(17);
        QVERIFY(grid.model()->index(1, 3).data() == "c31" && grid.cell(1, 3).isEmpty());
        for (QModelIndex fixed : {grid.model()->index(0, 2), grid.model()->index(2, 0)})
            QVERIFY(!(fixed.flags() & Qt::ItemIsSelectable));
        grid.resize(400, 120);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
        const QPoint origin = grid.viewport()->geometry().topLeft(),
                     cell(grid.columnWidth(0) + 30, 5);
        auto overlay = [&](QPoint at) {
            return qobject_cast<QTableView*>(grid.childAt(origin + at)->parentWidget());
        };
        QCOMPARE(overlay({5, 5})->indexAt({5, 5}), grid.model()->index(0, 0)); // the corner
        QCOMPARE(overlay(cell)->indexAt(cell),
            grid.model()->index(0, grid.indexAt(cell + QPoint(0, 40)).column()));
        grid.horizontalScrollBar()->setValue(0);
        const int width = grid.columnWidth(1);
        const QPoint at = origin + QPoint(2 * width, 5); // the line after column 1
        QWidget* fixedRow = grid.childAt(at);
        const QPoint line = fixedRow->mapFrom(&grid, at);
        QTest::mousePress(fixedRow, Qt::LeftButton, {}, line);
        QTest::mouseMove(fixedRow, line + QPoint(30, 0));
        QTest::mouseRelease(fixedRow, Qt::LeftButton, {}, line + QPoint(30, 0));
        QVERIFY(grid.columnWidth(1) == width + 30 && grid.columnWidth(200) == width);
    }

    // A new degree lays the grids out after Clear has blanked the old layout's value cells, and
    // no others.
    void degreeChangesLayTheGridsOutAfterClearingTheOldOnes()
    {
        form->coeffC[1][0] = form->coeffD[0][0] = 5;
        fillValueCells();
        chooseDegree(4);
        QVERIFY(form->coeffC.empty() && form->coeffD.empty());
        QCOMPARE(row(form->CoeffDGR, 0, 0, 8), QString("d[-3] d[-2] d[-1] d[0] d[1] d[2] d[3] "));
        QCOMPARE(form->CoeffCGR->cell(0, 3) + " " + row(form->CoeffCGR, 0, 15, 3),
            QString("c[3][j] c[i][11] c[i][12] "));
        QCOMPARE(form->FunctionValueGR->cell(1, 7) + row(form->CoeffCGR, 1, 1, 4) + "|"
                + row(form->CoeffDGR, 1, 0, 7),
            QString("  v v|      "));
        fillValueCells();
        form->btnClear->click(); // level 3 fills columns 1 .. 4, level 5 columns 1 .. 16
        QCOMPARE(row(form->CoeffCGR, 1, 0, 6) + "|" + row(form->CoeffCGR, 3, 16, 1) + "|"
                + row(form->CoeffDGR, 1, 0, 7),
            QString("c[1][j]     v||      "));
    }

    // Results, the status line and the degree and level boxes survive a mistyped degree or
    // interval (b is 1), and a level chosen under a mistyped interval: the basis is still m = 3.
    // An accepted interval reruns the set-up; one rejected at Build puts the design title back,
    // and only that.
    void rejectedInputChangesNothing()
    {
        chooseDegree(3);
        const QString status = form->StatusBar->currentMessage();
        form->coeffC[1][-2] = 0.25;
        fillValueCells();
        for (const char* text : {"5", "1", "3x", ""})
            form->cbStepSplain->setCurrentText(text);
        for (const char* a : {"1", "2", "1-"})
            form->edtA->setText(a);
        form->sbFinestLevel->setValue(6);
        QCOMPARE(seam.messages,
            (QStringList {"Непредусмотренное значение m (5)", "Непредусмотренное значение m (1)",
                "Текст «3x» не является целым числом", "Текст «» не является целым числом",
                "Начало и конец отрезка не должны совпадать!",
                "Начало отрезка не должно быть больше конца отрезка!",
                "Текст «1-» не является целым числом", "Текст «1-» не является целым числом"}));
        QVERIFY(form->m == 3 && form->finestLevel == 4 && form->step == 0.0625
            && form->cbStepSplain->currentText() == "3" && form->sbFinestLevel->value() == 4);
        QVERIFY(form->coeffC[1][-2] == 0.25 && form->CoeffDGR->cell(5, 1) == "v"
            && form->StatusBar->currentMessage() == status);
        form->edtB->setText("3");
        form->edtA->setText("-1");
        QVERIFY(form->a == -1 && form->step == 0.25 && form->coeffC.empty());
        form->btnBuild->click();
        form->btnGraphic->click(); // the samples, their values and the abscissae start at a
        QCOMPARE(form->FunctionValueGR->cell(1, 0) + " " + form->sgWaveletValues->cell(1, 0),
            QString("9.00000 -1.00000"));
        QVERIFY(form->points[15][0] == 2.75
            && form->windowTitle().endsWith("степени 3 на конечном отрезке [-1,3]"));
        QSignalBlocker quiet(form->edtA);
        form->edtA->setText("3");
        const QString graphs = form->StatusBar->currentMessage();
        form->btnBuild->click();
        QVERIFY(form->windowTitle() == TMainForm::designTitle
            && form->StatusBar->currentMessage() == graphs);
        QCOMPARE(seam.messages.last(), QString("Начало и конец отрезка не должны совпадать!"));
    }

    // ASCII digits, '-' and backspace pass; other digits ("٣", "７") and characters do not.
    void keyFiltersPassAsciiDigitsMinusAndBackspace()
    {
        for (QChar typed : QString("a+.,Z 7-\u0663\uff17") + QChar(8)) {
            const QChar expected = QString("7-\b").contains(typed) ? typed : QChar(0);
            QChar key = typed;
            form->edtAKeyPress(form->edtA, key);
            QCOMPARE(key, expected);
        }
        form->edtB->setReadOnly(false); // were it writable, only the passing keys would reach it
        form->edtB->setCursorPosition(1);
        QTest::keyClicks(form->edtB, "a+.,2");
        QVERIFY(form->edtB->text() == "12" && form->b == 12);
    }

    // The creation event set up m = 2 on [0, 1], untimed; the direction buttons swap the
    // captions, the check box shows or hides the matrix with its splitter, and the two buttons
    // pop up their menus.
    void startUpAndTheSmallHandlers()
    {
        QVERIFY(form->m == 2 && form->points[7][0] == 0.875 && form->nCoeff->isEnabled());
        QVERIFY(form->windowTitle() == TMainForm::designTitle
            && form->StatusBar->currentMessage().isEmpty());
        QCOMPARE(form->cbStepSplain->toolTip(),
            QString("m — порядок сплайна: B-сплайны степени m − 1 (m = 2 — ломаные, 3 — "
                    "квадратичные, 4 — кубические)"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
        const QString in = "Входные параметры - ", out = "Выходные параметры - ";
        auto captions = [&] {
            return form->pInputPanelCaption->caption() + form->pOutputPanelCaption->caption();
        };
        form->rbBack->click();
        QCOMPARE(captions(), out + "значения функции" + in + "набор коэффициентов");
        form->rbForward->click();
        QCOMPARE(captions(), in + "значения функции" + out + "набор коэффициентов");
        form->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(form->pInputData->width() == 321 && form->pCoeffC->height() == 158);
        form->pcCenter->setCurrentWidget(form->tsGraphic);
        form->chShowHideBottomPanel->click();
        QVERIFY(form->pMatrix->isHidden() && form->SplitterGraphic->isHidden());
        form->chShowHideBottomPanel->click();
        QCoreApplication::processEvents(); // the splitter stands right above the matrix again
        QCOMPARE(form->SplitterGraphic->geometry().bottom() + 1, form->pMatrix->geometry().top());
        form->btnSave->setEnabled(true);
        seam.popupChoice = "miMatrix"; // its file dialog is then cancelled
        form->btnSave->click();
        form->btnReport->click();
        QCOMPARE(seam.popupsShown + seam.dialogsShown,
            (QStringList {"pmSave", "pmReport", "OpenDialog"}));
    }

    // Grid cells, general texts and the full values of the tooltips, at both sides of every
    // switch to exponents: 1e-4 and 1e6 (tooltips), 1e-4 and 1e15 (general), 1e17 (cells). They
    // follow QLocale and nothing else: Qt set the C library's locale from the environment, and
    // a Russian one makes printf and strtod use a comma.
    void numberTexts()
    {
        QVERIFY(russianLocale());
        QLocale::setDefault(QLocale::c());
        // clang-format off
        struct Case { double value; const char *fixed, *general, *full; }; // five decimals; 15 digits at most; 17 digits
        const Case cases[] = {{-0.0, "0.00000", "0", "0"}, {-1e-9, "0.00000", "-1E-9", "-1.0000000000000001e-09"}, // no sign on zero
            {0.015625, "0.01563", "0.015625", "0.015625"}, {-0.015625, "-0.01563", "-0.015625", "-0.015625"}, // ties away
            {9.999996, "10.00000", "9.999996", "9.9999959999999994"}, {0.1 + 0.2, "0.30000", "0.3", "0.30000000000000004"}, // carry; 17 digits first
            {27.897919771234567, "27.89792", "27.8979197712346", "27.897919771234566"},
            {0.0001220703125, "0.00012", "0.0001220703125", "0.0001220703125"}, // 2^-13 and 2^-14
            {-6.103515625e-05, "-0.00006", "-6.103515625E-5", "-6.103515625e-05"},
            {999999.5, "999999.50000", "999999.5", "999999.5"}, {1048576, "1048576.00000", "1048576", "1.048576e+06"},
            {1e14, "100000000000000.00000", "100000000000000", "1e+14"}, {1e15, "1000000000000000.00000", "1E15", "1e+15"},
            {1e16, "10000000000000000.00000", "1E16", "1e+16"}, {1.5e17, "1.5E17", "1.5E17", "1.5e+17"}};
        // clang-format on
        for (const Case& c : cases) {
            QCOMPARE(FloatToStrF(c.value), QString(c.fixed));
            QCOMPARE(FloatToStr(c.value), QString(c.general));
            QCOMPARE(fullValueText(c.value), QString(c.full));
            QVERIFY_EXACT(double(StrToFloat(c.general)), QString(c.general).toDouble());
            QVERIFY_EXACT(double(StrToFloat(c.full)), c.value + 0.0);
        }
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QCOMPARE(FloatToStrF(-1234567.5) + " " + FloatToStr(2.25) + " " + fullValueText(123456.5)
                + " " + fullValueText(-1234567.5),
            QString("-1234567,50000 2,25 123456,5 -1,2345675E+06"));
        QVERIFY(StrToFloat("0,50000") == 0.5L && StrToInt(" +5 ") == 5);
        QVERIFY_THROWS_EXCEPTION(EConvertError, StrToFloat("0.5"));
        QVERIFY(typedNumber("0.5") == 0.5L && typedNumber("1,5e-3") == 1.5e-3L);
        QVERIFY_THROWS_EXCEPTION(EConvertError, typedNumber("0.5,1"));
    }

    // Conversion errors quote the text; errors that escape an event reach the application
    // object and are shown, never thrown further; one that is not a standard exception gets
    // a message of its own.
    void errorsAreShownNeverThrownFurther()
    {
        QStringList expected;
        for (auto [text, integer] : {std::pair {"2.5", true}, {"99999999999", true}, {"", false},
                 {"nan", false}, {"1e99999", false}, {"1.2.3", false}}) {
            runGuarded([&] { integer ? StrToInt(text) : StrToFloat(text); });
            expected << QString("Текст «%1» не является %2")
                            .arg(text, integer ? "целым числом" : "числом");
        }
        runGuarded([] { throw 42; });
        struct : QObject
        {
            bool event(QEvent*) override { throw std::runtime_error("сбой обработчика"); }
        } object;
        QEvent event(QEvent::User);
        QCoreApplication::sendEvent(&object, &event);
        QCOMPARE(seam.messages,
            expected << "Непредвиденная ошибка: операция прервана."
                     << "сбой обработчика");
    }
};

SPLINEWAVE_TEST_MAIN(TestWindow)
#include "test_window.moc"

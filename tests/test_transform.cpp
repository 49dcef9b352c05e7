// The forward and inverse transforms, their grids, and the Build command.

#include "core/Conversions.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QSpinBox>

class TestTransform : public WindowTest
{
    Q_OBJECT

private slots:
    // The inverse of a unit coefficient is its wavelet, psi_(L,p)(x) = 2^(J-L) psi_(J,p)(a +
    // (x - a)/2^(J-L)), which the graph page samples with five decimals. Every wavelet of every
    // level has its turn: left, central and right.
    void inverseOfAUnitCoefficientIsItsWavelet_data() { everyDegree(); }
    void inverseOfAUnitCoefficientIsItsWavelet()
    {
        const int m = form->m;
        form->btnGraphic->click();
        const int J = form->finestLevel, J0 = form->coarsestLevel;
        for (int L = J0 + 1; L <= J; ++L)
            for (int p = 1 - m; p <= (1 << (L - 1)) - m; ++p) {
                form->btnClear->click();
                form->coeffC[L - J0][p] = 1;
                form->inverseTransform();
                const int scale = 1 << (J - L);
                for (int i = 0; i < 1 << J; ++i) {
                    const QString text = form->sgWaveletValues->cell(1 + 2 * m * i / scale, p + m);
                    QVERIFY_NEAR(form->funcValues[i][0], scale * text.toDouble(), scale * 0.5e-5);
                }
            }
    }

    // A degree change sets the levels of that degree; other levels build the basis again,
    // timed, and lay the grids out for them; the exact rule raises J0 where its boundary
    // wavelets need room. At the finest level the window offers, forward then inverse gives a
    // polynomial of degree m - 1 back under either rule.
    void levelsChosenInTheSpinBoxes()
    {
        QSpinBox *J = form->sbFinestLevel, *J0 = form->sbCoarsestLevel;
        chooseDegree(4);
        QVERIFY(J->value() == 5 && J0->value() == 2 && J->minimum() == 4 && J->maximum() == 16
            && J0->minimum() == 2 && J0->maximum() == 4);
        J->setValue(16);
        QVERIFY_TIMED_STATUS("Вычислины коэффициенты для m=4. Время вычисления ");
        QVERIFY(form->finestLevel == 16 && form->FunctionValueGR->rowCount() == 1 << 16
            && form->CoeffCGR->rowCount() == 15 && form->CoeffCGR->colCount() == (1 << 15) + 1);
        QCOMPARE(form->CoeffCGR->cell(0, 14) + form->FunctionValueGR->cell(0, 65535),
            QString("c[14][j]x[65535]"));
        form->btnGraphic->click(); // 16 of the 32 768 wavelets, every sample column
        QVERIFY(seam.messages.isEmpty() && form->sgWaveletValues->rowCount() == 17
            && form->sgWaveletValues->colCount() == (8 << 16) + 1);
        form->edtFunction->setText("1-8*x+3*x^2+5*x^3");
        for (bool exact : {false, true}) {
            if (exact)
                form->chExactIntegration->click();
            QCOMPARE(J0->value(), exact ? 3 : 2);
            form->rbForward->click();
            form->btnBuild->click();
            form->rbBack->click();
            form->btnBuild->click();
            for (std::size_t p = 0; p < form->points.size(); ++p) {
                const double x = form->points[p][0];
                QVERIFY_NEAR(
                    form->funcValues[p][0], 1 - 8 * x + 3 * x * x + 5 * x * x * x, 1e-10 * 6);
            }
        }
        chooseDegree(2);
        QVERIFY(form->finestLevel == 3 && J->value() == 3 && J0->value() == 1);
    }

    // The title names the degree in force, whatever the text of the box: "03" is m = 3.
    void titleNamesTheDegreeInForce()
    {
        form->cbStepSplain->setCurrentText("03");
        form->btnBuild->click();
        QVERIFY2(form->windowTitle().contains("вейвлетов степени 3 на конечном отрезке [0,1]"),
            qPrintable(form->windowTitle()));
    }

    // Every value cell carries its full value as tooltip, in the locale's notation, exact to the
    // bit; a number wider than its column widens it; Clear blanks the tooltips with the texts.
    void cellsShowTheirFullValues()
    {
        QVERIFY(russianLocale());
        form->edtFunction->setText("exp(30*x)"); // 2.5e11 at the last point: 18 characters
        form->btnBuild->click();
        form->btnGraphic->click();
        auto tipValue = [](const TStringGrid* grid, int col, int row) {
            return double(StrToFloat(grid->toolTip(col, row)));
        };
        for (int p = 0; p < 8; ++p)
            QVERIFY_EXACT(tipValue(form->FunctionValueGR, 1, p), form->funcValues[p][0]);
        for (int k = -1; k <= 1; ++k)
            QVERIFY_EXACT(tipValue(form->CoeffDGR, k + 1, 1), form->coeffD[0][k]);
        for (auto& [e, row] : form->coeffC)
            for (auto [i, c] : row)
                QVERIFY_EXACT(tipValue(form->CoeffCGR, i + 2, e), c);
        const TStringGrid* matrix = form->sgWaveletValues; // w(0,3) near x = 0.25
        QVERIFY_EXACT(tipValue(matrix, 9, 2), form->waveletValue(tipValue(matrix, 9, 0), 0, 3));
        const TStringGrid* values = form->FunctionValueGR;
        QVERIFY(
            values->columnWidth(1) >= values->fontMetrics().horizontalAdvance(values->cell(1, 7))
            && values->columnWidth(1) <= values->maxColWidth());
        form->btnClear->click();
        QVERIFY(values->toolTip(1, 7).isEmpty() && form->CoeffDGR->toolTip(0, 1).isEmpty());
    }

    // The road of one typical use: Build forward fills the grids in the locale's notation;
    // the saved files are byte exact (printf's %g, always with ".", by another road); after
    // Clear, the inverse from the loaded files gives the same texts and 1 - 8x to the six
    // digits the files keep.
    void roadOfOneTypicalUse_data()
    {
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("d");
        // clang-format off
        QTest::newRow("m=2") << "1.00000 0.00000 -1.00000 -2.00000 -3.00000 -4.00000 -5.00000 -6.00000"
                             << "2.00000 -6.00000 -14.00000";
        QTest::newRow("m=3, Russian locale") << "1,00000 0,50000 0,00000 -0,50000 -1,00000 -1,50000 -2,00000 -2,50000"
                             << "8,00000 0,00000 -8,00000 -16,00000 -24,00000 -32,00000";
        QTest::newRow("m=4, Russian locale") << "1,00000 0,75000 0,50000 0,25000 0,00000 -0,25000 -0,50000 -0,75000"
                                             << "12,00000 4,00000 -4,00000 -12,00000 -20,00000 -28,00000 -36,00000";
        // clang-format on
    }
    void roadOfOneTypicalUse()
    {
        QFETCH(QString, values);
        QFETCH(QString, d);
        const int m = form->m;
        QVERIFY(m == 2 || russianLocale());
        auto shown = [this] { // the first eight function values, then the d coefficients
            QString texts;
            for (int p = 0; p < 8; ++p)
                texts += form->FunctionValueGR->cell(1, p) + (p < 7 ? " " : "|");
            return texts + row(form->CoeffDGR, 1, 0, form->CoeffDGR->colCount());
        };
        form->btnBuild->click();
        QCOMPARE(shown(), values + "|" + d);
        // f lies in the span of the coarsest B-splines: the wavelet coefficients vanish, to the
        // digits that the Gram system's condition number leaves (fewest for m = 4).
        QVERIFY(int(form->coeffC.size()) == form->finestLevel - form->coarsestLevel);
        for (auto& [e, row] : form->coeffC)
            for (auto [i, c] : row)
                QVERIFY_NEAR(c, 0.0, (m == 4 ? 1e4 : 16) * eps);
        form->btnSaveCoeffToFile->click();
        form->btnFunctionValues->click();
        auto printed = [](const SparseRow& row) {
            QByteArray text;
            for (auto [k, value] : row)
                text += QString::asprintf("%g ", value).toLatin1();
            return text;
        };
        QByteArray c, f;
        for (const auto& [e, row] : form->coeffC)
            c += printed(row) + '\n';
        for (std::size_t p = 0; p < form->points.size(); ++p)
            f += printed({{0, form->funcValues[p][0]}});
        QCOMPARE(contents("file_in_d.txt") + "|" + contents("file_in_c.txt") + "|"
                + contents("file_in_f.txt"),
            printed(form->coeffD[0]) + "|" + c + "|" + f);
        for (const char* way : {"прямое", "обратное"}) {
            QVERIFY_TIMED_STATUS(QString("Выполнено %1 вейвлет-преобразование для m=%2. Время "
                                         "выполнения ")
                                     .arg(way, QString::number(m)));
            form->btnClear->click();
            form->rbBack->click();
            form->btnGetValuesFromFile->click();
            form->btnBuild->click();
        }
        QCOMPARE(shown(), values + "|" + d);
        for (std::size_t p = 0; p < form->points.size(); ++p) {
            const double expected = 1 - 8 * form->points[p][0];
            QVERIFY_NEAR(
                form->funcValues[p][0], expected, 5e-6 * std::max(1.0, std::abs(expected)));
        }
        const QString folder = " в папке «" + QDir::currentPath() + "»!";
        QCOMPARE(seam.messages,
            (QStringList {"Параметры сохранены в file_in_d.txt и file_in_\u0441.txt" + folder,
                "Значения функции сохранены в file_in_f.txt" + folder}));
    }
};

SPLINEWAVE_TEST_MAIN(TestTransform)
#include "test_transform.moc"

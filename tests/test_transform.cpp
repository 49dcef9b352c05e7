// The forward and inverse transforms, their grids, and the Build command.

#include "tests/TestSupport.h"

class TestTransform : public WindowTest
{
    Q_OBJECT

    QString functionValues(int count)
    {
        QStringList texts;
        for (int p = 0; p < count; ++p)
            texts << form->FunctionValueGR->cell(1, p);
        return texts.join(' ');
    }

private slots:
    // The fast path gives the same doubles as the literal scalar product, not merely close ones,
    // under either quadrature rule.
    void sampledProductsAreTheLiteralOnes_data() { everyDegreeAndRule(); }
    void sampledProductsAreTheLiteralOnes()
    {
        QFETCH(int, m);
        QFETCH(bool, exact);
        chooseBasis(m, exact);
        using Products = TMainForm::Products;
        QVERIFY(form->finestSplineProducts(Products::Sampled)
            == form->finestSplineProducts(Products::Literal));
        const std::vector<BasisFunction> basis = form->gramBasis();
        QCOMPARE(int(basis.size()), (1 << form->finestLevel) + m - 1);
        QVERIFY(form->gramMatrix(basis, Products::Sampled)
            == form->gramMatrix(basis, Products::Literal));
    }

    // f lies in the span of the coarsest B-splines: the wavelet coefficients vanish and
    // d_k = f(a + (k + m/2) h0) / h0. The inverse then gives f back at every sample point.
    // Whatever the quadrature rule: the Gram system accounts for the wavelets it builds.
    void forwardReproducesTheTestFunction_data() { everyDegreeAndRule(); }
    void forwardReproducesTheTestFunction()
    {
        QFETCH(int, m);
        QFETCH(bool, exact);
        chooseBasis(m, exact);
        form->forwardTransform();
        // The Gram system loses up to the digits of its condition number, about 6 for m = 3 and
        // 13 for m = 4: most in d, whose terms are large; c and the function values are sums of
        // cancelling terms.
        const bool illConditioned = m == 4, middling = m == 3;
        const double h0 = 1.0 / (1 << form->coarsestLevel);
        QCOMPARE(int(form->coeffD[0].size()), (1 << form->coarsestLevel) + m - 1);
        for (auto [k, d] : form->coeffD[0])
            QVERIFY_NEAR(d, (1 - 8 * (k + m / 2.0) * h0) / h0,
                (illConditioned    ? 4e8
                        : middling ? 1e4
                                   : 1e3)
                    * eps);
        QCOMPARE(int(form->coeffC.size()), form->finestLevel - form->coarsestLevel);
        for (auto& [e, row] : form->coeffC) {
            QVERIFY(int(row.size()) == 1 << (form->coarsestLevel + e - 1));
            for (auto [i, c] : row)
                QVERIFY_NEAR(c, 0.0, (illConditioned ? 1e4 : 16) * eps);
        }
        const SparseTable first = form->coeffC;
        form->forwardTransform(); // a second run gives the same tables
        QVERIFY(form->coeffC == first);
        for (auto& value : form->funcValues)
            value[0] = std::numeric_limits<double>::quiet_NaN();
        form->inverseTransform();
        for (std::size_t p = 0; p < form->points.size(); ++p)
            QVERIFY_NEAR(form->funcValues[p][0], 1 - 8 * form->points[p][0],
                (illConditioned    ? 1e6
                        : middling ? 1e3
                                   : 1e2)
                    * eps);
    }

    // The two-scale recursion and the wavelet products agree with quadrature on each level.
    void recursionAgreesWithDirectQuadrature_data() { everyDegree(); }
    void recursionAgreesWithDirectQuadrature()
    {
        QFETCH(int, m);
        chooseDegree(m);
        form->forwardTransform();
        auto direct = [&](auto function) { // the weighted sum of f times the function
            return form->weightedSum(
                form->sampled([&](double x) { return TMainForm::testFunction(x) * function(x); }));
        };
        for (int L = form->coarsestLevel; L <= form->finestLevel; ++L) {
            for (int k = 1 - m; k <= (1 << L) - 1; ++k) // sums of many products below one
                QVERIFY_NEAR(form->splineProducts[L][k], direct([&](double x) {
                    return TMainForm::bspline(0, m - 1, k, x, 1.0 / (1 << L));
                }),
                    64 * eps);
            for (int i = 1 - m; L > form->coarsestLevel && i <= (1 << (L - 1)) - m; ++i) {
                double scale = 0; // the terms cancel: relative to the coefficients
                for (auto [n, coefficient] : form->alphaW[i])
                    scale += std::abs(coefficient);
                QVERIFY_NEAR(form->waveletProducts[L][i],
                    direct([&](double x) { return form->waveletValue(x, i, L); }), 8 * eps * scale);
            }
        }
    }

    // The inverse of a unit coefficient is its basis function: N_(J0,k) to the bit, and
    // psi_(L,p)(x) = 2^(J-L) psi_(J,p)(a + (x - a)/2^(J-L)), which the graph page samples with
    // five decimals. Every wavelet of every level has its turn: left, central and right.
    void inverseOfAUnitCoefficientIsItsBasisFunction_data() { everyDegree(); }
    void inverseOfAUnitCoefficientIsItsBasisFunction()
    {
        QFETCH(int, m);
        chooseDegree(m);
        form->btnGraphic->click();
        const int J = form->finestLevel, J0 = form->coarsestLevel;
        for (int k = 1 - m; k < 1 << J0; ++k) {
            form->btnClear->click();
            form->coeffD[0][k] = 1;
            form->inverseTransform();
            for (int i = 0; i < 1 << J; ++i)
                QVERIFY_EXACT(form->funcValues[i][0],
                    TMainForm::bspline(0, m - 1, k, form->points[i][0], 1.0 / (1 << J0)));
        }
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

    // Both ways fill the same grids; after Clear the inverse gives zeros.
    void buildCommandBothWays_data()
    {
        QTest::addColumn<int>("m");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("d");
        // clang-format off
        QTest::newRow("m=2") << 2 << "1.00000 0.00000 -1.00000 -2.00000 -3.00000 -4.00000 -5.00000 -6.00000"
                             << "2.00000 -6.00000 -14.00000";
        QTest::newRow("m=4, Russian locale") << 4 << "1,00000 0,75000 0,50000 0,25000 0,00000 -0,25000 -0,50000 -0,75000"
                                             << "12,00000 4,00000 -4,00000 -12,00000 -20,00000 -28,00000 -36,00000";
        // clang-format on
    }
    void buildCommandBothWays()
    {
        QFETCH(int, m);
        QFETCH(QString, values);
        QFETCH(QString, d);
        const bool russian = m == 4;
        QVERIFY(!russian || russianLocale());
        chooseDegree(m);
        form->btnBuild->click();
        QCOMPARE(form->windowTitle(),
            QString("Быстрое вейвлет-преобразование в пространстве "
                    "сплайновых вейвлетов степени %1 на конечном отрезке [0,1]")
                .arg(m));
        QCOMPARE(functionValues(8), values);
        QCOMPARE(row(form->CoeffDGR, 1, 0, form->CoeffDGR->colCount()), d);
        for (int e = 1; e <= form->finestLevel - form->coarsestLevel; ++e) {
            const int count = 1 << (form->coarsestLevel + e - 1); // then an untouched cell
            QCOMPARE(row(form->CoeffCGR, e, 1, count + 1),
                QStringList(count, russian ? "0,00000" : "0.00000").join(' ') + " ");
        }
        for (const char* way : {"прямое", "обратное"}) {
            QVERIFY2(showsTimedStatus(QString("Выполнено %1 вейвлет-преобразование для m=%2. Время "
                                              "выполнения ")
                                          .arg(way)
                                          .arg(m)),
                qPrintable(form->StatusBar->currentMessage()));
            form->FunctionValueGR->setCell(1, 0, "");
            form->rbBack->click();
            form->btnBuild->click(); // the inverse rebuilds the same values
            QCOMPARE(functionValues(8), values);
        }
        form->btnClear->click();
        form->btnBuild->click();
        QCOMPARE(functionValues(1 << form->finestLevel),
            QStringList(1 << form->finestLevel, russian ? "0,00000" : "0.00000").join(' '));
        QVERIFY(seam.messages.isEmpty());
    }

    void rejectedIntervalRestoresTheTitleOnly()
    {
        form->btnBuild->click();
        const QString status = form->StatusBar->currentMessage();
        const SparseTable d = form->coeffD;
        {
            QSignalBlocker quiet(form->edtA);
            form->edtA->setText("1");
        }
        form->btnBuild->click();
        QCOMPARE(seam.messages, QStringList {"Начало и конец отрезка не должны совпадать!"});
        QCOMPARE(form->windowTitle(), QString(TMainForm::designTitle));
        QVERIFY(form->StatusBar->currentMessage() == status && form->coeffD == d);
        QCOMPARE(form->CoeffDGR->cell(0, 1), QString("2.00000"));
    }

    // On [-1, 3] the sample points, the function values and the graph's abscissae start at a.
    void intervalOtherThanZeroToOne()
    {
        form->edtB->setText("3");
        form->edtA->setText("-1");
        form->btnBuild->click();
        form->btnGraphic->click();
        QVERIFY(form->points.size() == 8 && form->points[7][0] == 2.5);
        QVERIFY(form->windowTitle().endsWith("[-1,3]"));
        QCOMPARE(form->FunctionValueGR->cell(1, 0) + " " + form->FunctionValueGR->cell(1, 7),
            QString("9.00000 -19.00000"));
        QCOMPARE(row(form->sgWaveletValues, 0, 1, 2) + " " + form->sgWaveletValues->cell(32, 0),
            QString("-1.00000 -0.87500 2.87500"));
    }
};

SPLINEWAVE_TEST_MAIN(TestTransform)
#include "test_transform.moc"

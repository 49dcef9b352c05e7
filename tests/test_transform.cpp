// The forward and inverse transforms, their grids, and the Build command.

#include "app/Main_f.h"
#include "app/StringGrid.h"
#include "numerics/Levels.h"
#include "tests/NumericsSupport.h"
#include "tests/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>

class TestTransform : public WindowTest
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void sampledProductsAreTheLiteralOnes_data();
    void sampledProductsAreTheLiteralOnes();
    void forwardReproducesTheTestFunction_data();
    void forwardReproducesTheTestFunction();
    void recursionAgreesWithDirectQuadrature_data();
    void recursionAgreesWithDirectQuadrature();
    void overlappingRangesKeepTheLeftValue();
    void inverseAfterForwardGivesTheFunctionBack_data();
    void inverseAfterForwardGivesTheFunctionBack();
    void inverseOfOneScalingCoefficientIsItsBSpline();
    void forwardGridsAndTexts_data();
    void forwardGridsAndTexts();
    void russianLocaleShowsDecimalComma();
    void inverseCommandTexts();
    void rejectedIntervalRestoresTheTitleOnly();
    void clearThenInverseGivesZeros();
    void titleNamesTheDegreeInForce();

private:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }
    static void everyDegree();
    QStringList cells(TStringGrid* grid, int col, int row, int count, bool alongRow);
};

void TestTransform::everyDegree()
{
    QTest::addColumn<int>("m");
    for (int m = 2; m <= 4; ++m)
        QTest::addRow("m=%d", m) << m;
}

QStringList TestTransform::cells(TStringGrid* grid, int col, int row, int count, bool alongRow)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << (alongRow ? grid->cell(col + i, row) : grid->cell(col, row + i));
    return texts;
}

void TestTransform::sampledProductsAreTheLiteralOnes_data()
{
    everyDegree();
}

// The fast path must give the same doubles as the literal scalar product, not merely close ones.
void TestTransform::sampledProductsAreTheLiteralOnes()
{
    QFETCH(int, m);
    chooseDegree(m);
    QCOMPARE(form->finestSplineProducts(TMainForm::Products::Sampled),
        form->finestSplineProducts(TMainForm::Products::Literal));
    const std::vector<BasisFunction> basis = form->gramBasis();
    QCOMPARE(int(basis.size()), int(pow2(form->finestLevel)) + m - 1);
    const DenseMatrix sampled = form->gramMatrix(basis, TMainForm::Products::Sampled);
    const DenseMatrix literal = form->gramMatrix(basis, TMainForm::Products::Literal);
    for (std::size_t u = 0; u < basis.size(); ++u)
        for (std::size_t v = 0; v < basis.size(); ++v)
            QVERIFY2(
                sampled[u][v] == literal[u][v], qPrintable(QString("G[%1][%2]").arg(u).arg(v)));
}

void TestTransform::forwardReproducesTheTestFunction_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QList<double>>("d");
    QTest::addColumn<QList<int>>("levelSizes");
    QTest::newRow("m=2") << 2 << QList<double> {2, -6, -14} << QList<int> {2, 4};
    QTest::newRow("m=3") << 3 << QList<double> {8, 0, -8, -16, -24, -32} << QList<int> {4, 8};
    QTest::newRow("m=4") << 4 << QList<double> {12, 4, -4, -12, -20, -28, -36}
                         << QList<int> {4, 8, 16};
}

// f lies in the span of the coarsest B-splines: the wavelet coefficients vanish and
// d_k = f(a + (k + m/2) h0) / h0.
void TestTransform::forwardReproducesTheTestFunction()
{
    QFETCH(int, m);
    QFETCH(QList<double>, d);
    QFETCH(QList<int>, levelSizes);
    chooseDegree(m);
    form->forwardTransform();
    QCOMPARE(int(form->coeffD.size()), 1);
    QCOMPARE(int(form->coeffD[0].size()), int(d.size()));
    // The m = 4 basis is ill-conditioned (alphaW entries near 5e5): d holds about 9 digits.
    const double tolerance = m == 4 ? 1e-7 : 1e-10;
    for (int k = 1 - m; k < 1 - m + d.size(); ++k)
        QVERIFY2(std::abs(form->coeffD[0][k] - d[k - 1 + m]) < tolerance,
            qPrintable(QString("d[%1] = %2").arg(k).arg(form->coeffD[0][k], 0, 'g', 17)));
    QCOMPARE(int(form->coeffC.size()), int(levelSizes.size()));
    for (int e = 1; e <= levelSizes.size(); ++e) {
        QCOMPARE(int(form->coeffC[e].size()), levelSizes[e - 1]);
        QCOMPARE(form->coeffC[e].begin()->first, 1 - m);
        for (auto [i, c] : form->coeffC[e])
            QVERIFY2(
                std::abs(c) < 1e-10, qPrintable(QString("c[%1][%2] = %3").arg(e).arg(i).arg(c)));
    }
    // A second run gives the same tables.
    SparseTable first = form->coeffC;
    form->forwardTransform();
    QCOMPARE(form->coeffC, first);
}

void TestTransform::recursionAgreesWithDirectQuadrature_data()
{
    everyDegree();
}

void TestTransform::recursionAgreesWithDirectQuadrature()
{
    QFETCH(int, m);
    chooseDegree(m);
    form->forwardTransform();
    const std::vector<double> list = form->quadraturePoints();
    std::vector<double> f;
    for (double x : list)
        f.push_back(TMainForm::testFunction(x));
    auto direct = [&](auto function) {
        std::vector<double> values;
        for (double x : list)
            values.push_back(function(x));
        return form->weightedSum(f, values);
    };
    for (int L = form->coarsestLevel; L <= form->finestLevel; ++L) {
        const double h = 1 / pow2(L);
        for (int k = 1 - m; k <= pow2(L) - 1; ++k) {
            double expected
                = direct([&](double x) { return TMainForm::bspline(0, m - 1, k, x, h); });
            QVERIFY2(std::abs(form->splineProducts[L][k] - expected) < 1e-13,
                qPrintable(QString("L=%1 k=%2").arg(L).arg(k)));
        }
        if (L == form->coarsestLevel)
            continue;
        for (auto [i, product] : SparseRow(form->waveletProducts[L])) {
            double expected = direct([&](double x) { return form->waveletValue(x, i, L); });
            double scale = 0;
            for (auto [n, coefficient] : form->alphaW[i])
                scale += std::abs(coefficient);
            QVERIFY2(std::abs(product - expected) < 1e-13 * scale,
                qPrintable(
                    QString("L=%1 i=%2: %3 vs %4").arg(L).arg(i).arg(product).arg(expected)));
        }
    }
}

// m = 4 on level 3: indices -3 .. 0; -2 and -1 are left-boundary values, 0 the right one.
void TestTransform::overlappingRangesKeepTheLeftValue()
{
    chooseDegree(4);
    form->forwardTransform();
    SparseRow& P = form->splineProducts[3];
    SparseRow row = form->waveletProducts[3];
    QCOMPARE(row.size(), 4u);
    QCOMPARE(row.begin()->first, -3);
    for (int i = -3; i <= -1; ++i) {
        double left = 0;
        for (int n = -3; n <= 2 * i + 10; ++n)
            left += form->alphaW[i][n] * P[n];
        QCOMPARE(row[i], left);
    }
    double right = 0;
    for (int n = 0; n <= 7; ++n)
        right += form->alphaW[0][n] * P[n];
    QCOMPARE(row[0], right);
}

void TestTransform::inverseAfterForwardGivesTheFunctionBack_data()
{
    everyDegree();
}

void TestTransform::inverseAfterForwardGivesTheFunctionBack()
{
    QFETCH(int, m);
    chooseDegree(m);
    form->forwardTransform();
    for (auto& value : form->funcValues)
        value[0] = std::numeric_limits<double>::quiet_NaN();
    form->inverseTransform();
    for (std::size_t p = 0; p < form->points.size(); ++p) {
        QVERIFY(std::abs(form->funcValues[p][0] - (1 - 8 * form->points[p][0])) < 1e-9);
        QCOMPARE(form->FunctionValueGR->cell(1, int(p)),
            QString::number(1 - 8 * form->points[p][0], 'f', 5).replace("-0.00000", "0.00000"));
    }
}

void TestTransform::inverseOfOneScalingCoefficientIsItsBSpline()
{
    chooseDegree(3);
    form->coeffD[0][1] = 1;
    form->inverseTransform();
    for (std::size_t p = 0; p < form->points.size(); ++p)
        QCOMPARE(form->funcValues[p][0], TMainForm::bspline(0, 2, 1, form->points[p][0], 0.25));
}

void TestTransform::forwardGridsAndTexts_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("d");
    QTest::newRow("m=2") << 2
                         << QStringList {"1.00000", "0.00000", "-1.00000", "-2.00000", "-3.00000",
                                "-4.00000", "-5.00000", "-6.00000"}
                         << QStringList {"2.00000", "-6.00000", "-14.00000"};
    QTest::newRow("m=4") << 4 << QStringList {"1.00000", "0.75000", "0.50000", "0.25000"}
                         << QStringList {"12.00000", "4.00000", "-4.00000", "-12.00000",
                                "-20.00000", "-28.00000", "-36.00000"};
}

void TestTransform::forwardGridsAndTexts()
{
    QFETCH(int, m);
    QFETCH(QStringList, values);
    QFETCH(QStringList, d);
    chooseDegree(m);
    form->btnBuild->click();
    QVERIFY(seam->messages.isEmpty());
    QCOMPARE(form->windowTitle(),
        QString("Быстрое вейвлет-преобразование в пространстве сплайновых вейвлетов степени %1 на "
                "конечном отрезке [0,1]")
            .arg(m));
    QRegularExpression report(
        QString("^Выполнено прямое вейвлет-преобразование для m=%1\\. Время выполнения \\d+ мc$")
            .arg(m));
    QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
        qPrintable(form->StatusBar->currentMessage()));
    QCOMPARE(cells(form->FunctionValueGR, 1, 0, values.size(), false), values);
    QCOMPARE(cells(form->CoeffDGR, 0, 1, d.size(), true), d);
    const int levels = form->finestLevel - form->coarsestLevel;
    for (int e = 1; e <= levels; ++e) {
        int count = int(pow2(form->coarsestLevel + e - 1));
        QCOMPARE(cells(form->CoeffCGR, 1, e, count, true), QStringList(count, "0.00000"));
        QCOMPARE(form->CoeffCGR->cell(count + 1, e), QString()); // beyond the level: untouched
    }
}

void TestTransform::russianLocaleShowsDecimalComma()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    chooseDegree(3);
    form->btnBuild->click();
    QCOMPARE(cells(form->FunctionValueGR, 1, 0, 3, false),
        (QStringList {"1,00000", "0,50000", "0,00000"}));
    QCOMPARE(form->FunctionValueGR->cell(1, 15), QString("-6,50000"));
    QCOMPARE(form->CoeffDGR->cell(0, 1), QString("8,00000"));
}

void TestTransform::inverseCommandTexts()
{
    chooseDegree(3);
    form->btnBuild->click();
    form->rbBack->click();
    form->btnBuild->click();
    QRegularExpression report(
        "^Выполнено обратное вейвлет-преобразование для m=3\\. Время выполнения \\d+ мc$");
    QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
        qPrintable(form->StatusBar->currentMessage()));
    QCOMPARE(form->FunctionValueGR->cell(1, 15), QString("-6.50000"));
}

void TestTransform::rejectedIntervalRestoresTheTitleOnly()
{
    form->btnBuild->click();
    const QString status = form->StatusBar->currentMessage();
    const SparseTable d = form->coeffD;
    const QString cell = form->CoeffDGR->cell(0, 1);
    {
        QSignalBlocker quiet(form->edtA);
        form->edtA->setText("1");
    }
    form->btnBuild->click();
    QCOMPARE(seam->messages, QStringList {"Начало и конец отрезка не должны совпадать!"});
    QCOMPARE(form->windowTitle(), QString(TMainForm::designTitle));
    QCOMPARE(form->StatusBar->currentMessage(), status);
    QCOMPARE(form->coeffD, d);
    QCOMPARE(form->CoeffDGR->cell(0, 1), cell);
}

void TestTransform::clearThenInverseGivesZeros()
{
    chooseDegree(4);
    form->btnBuild->click();
    form->btnClear->click();
    form->rbBack->click();
    form->btnBuild->click();
    QCOMPARE(cells(form->FunctionValueGR, 1, 0, 32, false), QStringList(32, "0.00000"));
    for (auto& value : form->funcValues)
        QCOMPARE(value[0], 0.0);
}

// After a rejected degree the combo box shows the rejected text, but the basis is still m = 3.
void TestTransform::titleNamesTheDegreeInForce()
{
    chooseDegree(3);
    form->cbStepSplain->setCurrentText("7");
    QCOMPARE(seam->messages, QStringList {"Непредусмотренное значение m (7)"});
    form->btnBuild->click();
    QVERIFY(form->windowTitle().contains("степени 3 на"));
    QVERIFY(form->StatusBar->currentMessage().contains("m=3."));
}

SPLINEWAVE_TEST_MAIN(TestTransform)
#include "test_transform.moc"

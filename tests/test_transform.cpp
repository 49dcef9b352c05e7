// The forward and inverse transforms, their grids, and the Build command.

#include "app/StringGrid.h"
#include "numerics/Levels.h"
#include "tests/NumericsSupport.h"
#include "tests/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
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

    void sampledProductsAreTheLiteralOnes_data() { everyDegree(); }
    void sampledProductsAreTheLiteralOnes();
    void forwardReproducesTheTestFunction_data();
    void forwardReproducesTheTestFunction();
    void recursionAgreesWithDirectQuadrature_data() { everyDegree(); }
    void recursionAgreesWithDirectQuadrature();
    void overlappingRangesKeepTheLeftValue();
    void inverseOfOneScalingCoefficientIsItsBSpline();
    void buildCommandBothWays_data();
    void buildCommandBothWays();
    void rejectedIntervalRestoresTheTitleOnly();
    void clearThenInverseGivesZeros();
    void titleNamesTheDegreeInForce();

private:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }
    QStringList column(TStringGrid* grid, int col, int count);
};

QStringList TestTransform::column(TStringGrid* grid, int col, int count)
{
    QStringList texts;
    for (int row = 0; row < count; ++row)
        texts << grid->cell(col, row);
    return texts;
}

// The fast path must give the same doubles as the literal scalar product, not merely close ones.
void TestTransform::sampledProductsAreTheLiteralOnes()
{
    QFETCH(int, m);
    chooseDegree(m);
    using Products = TMainForm::Products;
    QCOMPARE(form->finestSplineProducts(Products::Sampled),
        form->finestSplineProducts(Products::Literal));
    const std::vector<BasisFunction> basis = form->gramBasis();
    QCOMPARE(int(basis.size()), int(pow2(form->finestLevel)) + m - 1);
    QVERIFY(
        form->gramMatrix(basis, Products::Sampled) == form->gramMatrix(basis, Products::Literal));
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
// d_k = f(a + (k + m/2) h0) / h0. The inverse then gives f back at every sample point.
void TestTransform::forwardReproducesTheTestFunction()
{
    QFETCH(int, m);
    QFETCH(QList<double>, d);
    QFETCH(QList<int>, levelSizes);
    chooseDegree(m);
    form->forwardTransform();
    const double tolerance = m == 4 ? 1e-7 : 1e-10; // the m = 4 basis is ill-conditioned
    QCOMPARE(int(form->coeffD[0].size()), int(d.size()));
    for (auto [k, value] : form->coeffD[0])
        QVERIFY2(std::abs(value - d[k - 1 + m]) < tolerance, qPrintable(QString::number(value)));
    QCOMPARE(int(form->coeffC.size()), int(levelSizes.size()));
    for (auto& [e, row] : form->coeffC) {
        QVERIFY(int(row.size()) == levelSizes[e - 1] && row.begin()->first == 1 - m);
        for (auto [i, c] : row)
            QVERIFY2(
                std::abs(c) < 1e-10, qPrintable(QString("c[%1][%2] = %3").arg(e).arg(i).arg(c)));
    }
    const SparseTable first = form->coeffC;
    form->forwardTransform(); // a second run gives the same tables
    QCOMPARE(form->coeffC, first);

    for (auto& value : form->funcValues)
        value[0] = std::numeric_limits<double>::quiet_NaN();
    form->inverseTransform();
    for (std::size_t p = 0; p < form->points.size(); ++p)
        QVERIFY(std::abs(form->funcValues[p][0] - (1 - 8 * form->points[p][0])) < 1e-9);
}

void TestTransform::recursionAgreesWithDirectQuadrature()
{
    QFETCH(int, m);
    chooseDegree(m);
    form->forwardTransform();
    auto direct = [&](auto function) { // the weighted sum of f times the function
        return form->weightedSum(
            form->sampled([&](double x) { return TMainForm::testFunction(x) * function(x); }));
    };
    for (int L = form->coarsestLevel; L <= form->finestLevel; ++L) {
        for (int k = 1 - m; k <= pow2(L) - 1; ++k) {
            double expected
                = direct([&](double x) { return TMainForm::bspline(0, m - 1, k, x, 1 / pow2(L)); });
            QVERIFY(std::abs(form->splineProducts[L][k] - expected) < 1e-13);
        }
        for (auto [i, product] :
            SparseRow(L > form->coarsestLevel ? form->waveletProducts[L] : SparseRow())) {
            double scale = 0;
            for (auto [n, coefficient] : form->alphaW[i])
                scale += std::abs(coefficient);
            double expected = direct([&](double x) { return form->waveletValue(x, i, L); });
            QVERIFY(std::abs(product - expected) < 1e-13 * scale);
        }
    }
}

// m = 4 on level 3: indices -3 .. 0; -2 and -1 are left-boundary values, 0 the right one.
void TestTransform::overlappingRangesKeepTheLeftValue()
{
    chooseDegree(4);
    form->forwardTransform();
    SparseRow& P = form->splineProducts[3];
    const SparseRow row = form->waveletProducts[3];
    QVERIFY(row.size() == 4 && row.begin()->first == -3);
    for (int i = -3; i <= 0; ++i) {
        double expected = 0;
        for (int n = i < 0 ? -3 : 0; n <= (i < 0 ? 2 * i + 10 : 7); ++n)
            expected += form->alphaW[i][n] * P[n];
        QCOMPARE(row.at(i), expected);
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

void TestTransform::buildCommandBothWays_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<bool>("russian");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("d");
    QTest::newRow("m=2") << 2 << false
                         << QStringList {"1.00000", "0.00000", "-1.00000", "-2.00000", "-3.00000",
                                "-4.00000", "-5.00000", "-6.00000"}
                         << QStringList {"2.00000", "-6.00000", "-14.00000"};
    QTest::newRow("m=4, Russian locale")
        << 4 << true << QStringList {"1,00000", "0,75000", "0,50000", "0,25000"}
        << QStringList {"12,00000", "4,00000", "-4,00000", "-12,00000", "-20,00000", "-28,00000",
               "-36,00000"};
}

void TestTransform::buildCommandBothWays()
{
    QFETCH(int, m);
    QFETCH(bool, russian);
    QFETCH(QStringList, values);
    QFETCH(QStringList, d);
    if (russian)
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    chooseDegree(m);
    form->btnBuild->click();
    QCOMPARE(form->windowTitle(),
        QString("Быстрое вейвлет-преобразование в пространстве "
                "сплайновых вейвлетов степени %1 на конечном отрезке [0,1]")
            .arg(m));
    const QString zero = russian ? "0,00000" : "0.00000";
    QCOMPARE(column(form->FunctionValueGR, 1, values.size()), values);
    for (int k = 0; k < d.size(); ++k)
        QCOMPARE(form->CoeffDGR->cell(k, 1), d[k]);
    for (int e = 1; e <= form->finestLevel - form->coarsestLevel; ++e) {
        const int count = int(pow2(form->coarsestLevel + e - 1));
        for (int col = 1; col <= count; ++col)
            QCOMPARE(form->CoeffCGR->cell(col, e), zero);
        QCOMPARE(form->CoeffCGR->cell(count + 1, e), QString()); // beyond the level: untouched
    }
    for (const char* way : {"прямое", "обратное"}) {
        QRegularExpression report(QString("^Выполнено %1 вейвлет-преобразование для m=%2\\. Время "
                                          "выполнения \\d+ мc$")
                                      .arg(way)
                                      .arg(m));
        QVERIFY2(report.match(form->StatusBar->currentMessage()).hasMatch(),
            qPrintable(form->StatusBar->currentMessage()));
        form->FunctionValueGR->setCell(1, 0, "");
        form->rbBack->click();
        form->btnBuild->click(); // the inverse rebuilds the same values
        QCOMPARE(column(form->FunctionValueGR, 1, values.size()), values);
    }
    QVERIFY(seam->messages.isEmpty());
}

void TestTransform::rejectedIntervalRestoresTheTitleOnly()
{
    form->btnBuild->click();
    const QString status = form->StatusBar->currentMessage();
    const SparseTable d = form->coeffD;
    {
        QSignalBlocker quiet(form->edtA);
        form->edtA->setText("1");
    }
    form->btnBuild->click();
    QCOMPARE(seam->messages, QStringList {"Начало и конец отрезка не должны совпадать!"});
    QCOMPARE(form->windowTitle(), QString(TMainForm::designTitle));
    QVERIFY(form->StatusBar->currentMessage() == status && form->coeffD == d);
    QCOMPARE(form->CoeffDGR->cell(0, 1), QString("2.00000"));
}

void TestTransform::clearThenInverseGivesZeros()
{
    chooseDegree(4);
    form->btnBuild->click();
    form->btnClear->click();
    form->rbBack->click();
    form->btnBuild->click();
    QCOMPARE(column(form->FunctionValueGR, 1, 32), QStringList(32, "0.00000"));
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

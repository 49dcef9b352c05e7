// Quadrature, B-splines, wavelets and the scalar product against the quoted values, plus the
// properties every degree must have.

#include "tests/NumericsSupport.h"
#include "tests/TestSupport.h"

#include <numeric>
#include <random>

class TestNumerics : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        form = std::make_unique<TMainForm>();
        NaN = std::numeric_limits<double>::quiet_NaN();
    }
    void cleanup() { form.reset(); }

    void sparseTablesInsertWhatTheyRead();
    void legendreValues();
    void gaussNodesAndWeights_data();
    void gaussNodesAndWeights();
    void gaussPropertiesForEveryDegree_data();
    void gaussPropertiesForEveryDegree();
    void bsplineValues_data();
    void bsplineValues();
    void bsplinesSumToTheStep_data();
    void bsplinesSumToTheStep();
    void testFunctionValues();
    void waveletSumsTheRangeOfItsClass_data();
    void waveletSumsTheRangeOfItsClass();
    void scalarProductsQuoted();
    void formulasUseTheirLevels_data();
    void formulasUseTheirLevels();
    void unknownFormulaIsReportedOnce();

private:
    std::unique_ptr<TMainForm> form;
    double NaN;
};

void TestNumerics::sparseTablesInsertWhatTheyRead()
{
    SparseTable table;
    QCOMPARE(table[0][5], 0.0);
    QCOMPARE(table.size(), 1u);
    QCOMPARE(table[0].size(), 1u);
    table[-3][0] = 1;
    QCOMPARE(table.begin()->first, -3);

    SparseRow row;
    row.insert({4, 1.0});
    row.insert({4, 2.5});
    QCOMPARE(row[4], 1.0);
    row.insert({-1, 7.0});
    QCOMPARE(row.begin()->first, -1);
    table[0] = row;
    QCOMPARE(table[0].count(5), 0u);
    QCOMPARE(table[0].size(), 2u);
}

void TestNumerics::legendreValues()
{
    QCOMPARE(TMainForm::legendreP(2, 0.5), -0.125);
    QCOMPARE(TMainForm::legendreP(0, 0.3), 1.0);
    QCOMPARE(TMainForm::legendreP(0, -7.0), 1.0);
    QCOMPARE(TMainForm::legendreP(1, 0.3), 0.3);
    QCOMPARE(TMainForm::legendreDP(3, 1.0), 6.0);
    QCOMPARE(TMainForm::legendreDP(3, -1.0), 6.0);
    // P_3 = (5x^3 - 3x)/2, P'_3 = (15x^2 - 3)/2.
    QVERIFY_RELATIVE(TMainForm::legendreP(3, 0.5), -0.4375, 1e-15);
    QVERIFY_RELATIVE(TMainForm::legendreDP(3, 0.5), 0.375, 1e-15);
}

void TestNumerics::gaussNodesAndWeights_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("node");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("m=2 node 0") << 2 << 0 << true << "0.7745966692414834";
    QTest::newRow("m=2 node 2") << 2 << 2 << true << "-0.7745966692414834";
    QTest::newRow("m=3 node 0") << 3 << 0 << true << "0.906179845938664";
    QTest::newRow("m=3 node 1") << 3 << 1 << true << "0.538469310105683";
    QTest::newRow("m=3 weight 0") << 3 << 0 << false << "0.236926885056189";
    QTest::newRow("m=3 weight 1") << 3 << 1 << false << "0.478628670499366";
    QTest::newRow("m=3 weight 2") << 3 << 2 << false << "0.568888888888889";
    QTest::newRow("m=3 weight 3") << 3 << 3 << false << "0.478628670499366";
    QTest::newRow("m=3 weight 4") << 3 << 4 << false << "0.236926885056189";
    QTest::newRow("m=4 middle weight") << 4 << 3 << false << "0.417959183673469";
}

void TestNumerics::gaussNodesAndWeights()
{
    QFETCH(int, m);
    QFETCH(int, index);
    QFETCH(bool, node);
    QFETCH(QString, quoted);
    form->m = m;
    form->computeGaussNodes();
    form->computeGaussWeights();
    double value = node ? form->gaussNodes[index] : form->gaussWeights[index];
    QVERIFY_QUOTED(value, quoted.toStdString());
}

void TestNumerics::gaussPropertiesForEveryDegree_data()
{
    QTest::addColumn<int>("m");
    for (int m = 2; m <= 4; ++m)
        QTest::addRow("m=%d", m) << m;
}

void TestNumerics::gaussPropertiesForEveryDegree()
{
    QFETCH(int, m);
    form->m = m;
    form->computeGaussNodes();
    form->computeGaussWeights();
    const int n = 2 * m - 1;
    QCOMPARE(int(form->gaussNodes.size()), n);
    QCOMPARE(int(form->gaussWeights.size()), n);
    QCOMPARE(std::abs(form->gaussNodes[m - 1]), 0.0);
    for (int i = 0; i < n; ++i) {
        double x = form->gaussNodes[i];
        // The Newton loop ended on a fixed point: one more update leaves the double unchanged.
        QCOMPARE(x - TMainForm::legendreP(n, x) / TMainForm::legendreDP(n, x), x);
        QVERIFY(form->gaussWeights[i] > 0);
        if (i > 0)
            QVERIFY(x < form->gaussNodes[i - 1]);
        // The rule is symmetric: node and weight mirror to the other end.
        QVERIFY_RELATIVE(x, -form->gaussNodes[n - 1 - i], 1e-15);
        QVERIFY_RELATIVE(form->gaussWeights[i], form->gaussWeights[n - 1 - i], 1e-14);
    }
    double sum = std::accumulate(form->gaussWeights.begin(), form->gaussWeights.end(), 0.0);
    QVERIFY_RELATIVE(sum, 2.0, 8 * std::numeric_limits<double>::epsilon());
    if (m == 2) {
        QVERIFY_RELATIVE(form->gaussWeights[0], 5.0 / 9, 1e-15);
        QVERIFY_RELATIVE(form->gaussWeights[1], 8.0 / 9, 1e-15);
        QVERIFY_RELATIVE(form->gaussWeights[2], 5.0 / 9, 1e-15);
    }
    if (m == 4) // the quoted first node is the mathematical value, a few ulp from the double
        QVERIFY_RELATIVE(form->gaussNodes[0], 0.949107912342759, 1e-15);
}

void TestNumerics::bsplineValues_data()
{
    QTest::addColumn<int>("degree");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("expected");
    QTest::newRow("hat at its peak") << 1 << 0 << 0.125 << 0.125 << 0.125;
    QTest::newRow("hat at its left end") << 1 << 0 << 0.0 << 0.125 << 0.0;
    QTest::newRow("hat at its right end") << 1 << 0 << 0.25 << 0.125 << 0.0;
    QTest::newRow("hat -1 peaks at the origin") << 1 << -1 << 0.0 << 0.125 << 0.125;
    QTest::newRow("quadratic at t1") << 2 << 0 << 0.125 << 0.125 << 0.0625;
    QTest::newRow("quadratic at t2") << 2 << 0 << 0.25 << 0.125 << 0.0625;
    QTest::newRow("quadratic at t0") << 2 << 0 << 0.0 << 0.125 << 0.0;
    QTest::newRow("quadratic at t3") << 2 << 0 << 0.375 << 0.125 << 0.0;
    QTest::newRow("quadratic at its middle") << 2 << 0 << 0.1875 << 0.125 << 0.09375;
}

void TestNumerics::bsplineValues()
{
    QFETCH(int, degree);
    QFETCH(int, index);
    QFETCH(double, x);
    QFETCH(double, h);
    QFETCH(double, expected);
    // Exact: every value here is a short binary fraction.
    QCOMPARE(TMainForm::bspline(0, degree, index, x, h), expected);

    // Cubic with h = 1 at its inner knots: 1/6, 2/3, 1/6.
    QVERIFY_RELATIVE(TMainForm::bspline(0, 3, 0, 1, 1), 1.0 / 6, 1e-15);
    QVERIFY_RELATIVE(TMainForm::bspline(0, 3, 0, 2, 1), 2.0 / 3, 1e-15);
    QVERIFY_RELATIVE(TMainForm::bspline(0, 3, 0, 3, 1), 1.0 / 6, 1e-15);
}

void TestNumerics::bsplinesSumToTheStep_data()
{
    QTest::addColumn<int>("degree");
    QTest::addColumn<double>("h");
    QTest::addColumn<double>("origin");
    QTest::newRow("degree 1, h = 1/8") << 1 << 0.125 << 0.0;
    QTest::newRow("degree 2, h = 1/16") << 2 << 0.0625 << 0.0;
    QTest::newRow("degree 3, h = 1/32") << 3 << 0.03125 << 0.0;
    QTest::newRow("degree 3, h = 0.75, origin -2") << 3 << 0.75 << -2.0;
}

// Partition of unity, scaled by h: at any x the B-splines of one degree sum to h.
void TestNumerics::bsplinesSumToTheStep()
{
    QFETCH(int, degree);
    QFETCH(double, h);
    QFETCH(double, origin);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anywhere(origin, origin + 4);
    for (int trial = 0; trial < 200; ++trial) {
        double x = anywhere(random);
        double sum = 0;
        for (int j = -degree - 1; j * h <= 5; ++j)
            sum += TMainForm::bspline(origin, degree, j, x, h);
        QVERIFY_RELATIVE(sum, h, 1e-13);
    }
}

void TestNumerics::testFunctionValues()
{
    QCOMPARE(TMainForm::testFunction(0), 1.0);
    QCOMPARE(TMainForm::testFunction(0.125), 0.0);
    QCOMPARE(TMainForm::testFunction(1), -7.0);
}

void TestNumerics::waveletSumsTheRangeOfItsClass_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("m=3 right boundary, level J") << 3 << 4 << 4 << 8 << 15;
    QTest::newRow("m=3 right boundary, level 2") << 3 << 4 << 2 << 8 << 15;
    QTest::newRow("m=3 central") << 3 << 3 << 4 << 6 << 13;
    QTest::newRow("m=3 left boundary") << 3 << -1 << 4 << -2 << 5;
    QTest::newRow("m=2 right boundary") << 2 << 2 << 3 << 4 << 7;
    QTest::newRow("m=4 beyond the right boundary") << 4 << 13 << 5 << -3 << 36;
}

// Reading alphaW inserts the keys it reads, so the row shows which B-splines were summed.
void TestNumerics::waveletSumsTheRangeOfItsClass()
{
    QFETCH(int, m);
    QFETCH(int, p);
    QFETCH(int, level);
    QFETCH(int, first);
    QFETCH(int, last);
    prepareDegree(*form, m);
    double x = 0.3;
    double value = form->waveletValue(x, p, level);
    QCOMPARE(value, 0.0);
    const SparseRow& row = form->alphaW[p];
    QCOMPARE(row.begin()->first, first);
    QCOMPARE(row.rbegin()->first, last);
    QCOMPARE(int(row.size()), last - first + 1);

    // With coefficient r + 1 on B-spline r, the value is the sum in ascending r.
    double expected = 0;
    double h = 1 / std::pow(2.0, level);
    for (int r = first; r <= last; ++r) {
        form->alphaW[p][r] = r + 1;
        expected += (r + 1) * TMainForm::bspline(0, m - 1, r, x, h);
    }
    QCOMPARE(form->waveletValue(x, p, level), expected);
}

void TestNumerics::scalarProductsQuoted()
{
    prepareDegree(*form, 2);
    QVERIFY_RELATIVE(form->getScalarProduct(2, 0, 0, 0, 0), 7.0 / 288, 1e-15);
    QVERIFY_QUOTED(form->getScalarProduct(2, 0, 0, 0, 0), "0.0243056");
    QVERIFY_QUOTED(form->getScalarProduct(2, 0, 1, 0, 0), "0.00347222");
    QVERIFY_RELATIVE(form->getScalarProduct(2, 0, 1, 0, 0), 1.0 / 288, 1e-15);
    QVERIFY(std::abs(form->getScalarProduct(3, 0, 0, 0, 0)) < 1e-16);
    QVERIFY_RELATIVE(form->getScalarProduct(3, 0, -1, 0, 0), 7.0 / 72, 1e-15);
    QVERIFY_QUOTED(form->getScalarProduct(3, 0, -1, 0, 0), "0.0972222");
}

void TestNumerics::formulasUseTheirLevels_data()
{
    gaussPropertiesForEveryDegree_data();
}

// Formulas that combine others must give the same bits as the formula they reduce to.
void TestNumerics::formulasUseTheirLevels()
{
    QFETCH(int, m);
    prepareDegree(*form, m);
    const int J = form->finestLevel;
    const int J0 = form->coarsestLevel;
    for (int k = 1 - m; k <= 3; ++k)
        for (int l = 1 - m; l <= 2; ++l)
            QCOMPARE(form->getScalarProduct(1, l, k, 0, 0), form->getScalarProduct(0, k, l, 0, 0));

    // G with the single coefficient alpha[0][0] = 1 is the fine B-spline 2p.
    form->alpha[0][0] = 1;
    for (int p = -1; p <= 1; ++p)
        for (int l = 1 - m; l <= 2; ++l)
            QCOMPARE(
                form->getScalarProduct(6, p, l, 0, 0), form->getScalarProduct(0, 2 * p, l, 0, 0));

    // A wavelet with the single coefficient alphaW[0][1] = 1 is the B-spline 1 of its level.
    form->alphaW[0][1] = 1;
    QCOMPARE(form->getScalarProduct(5, 0, 0, J, J), form->getScalarProduct(2, 1, 1, 0, 0));
    for (int k = 1 - m; k < std::pow(2.0, J0); ++k)
        QCOMPARE(form->getScalarProduct(9, 0, k, J0, 0), form->getScalarProduct(4, 1, k, 0, 0));
}

void TestNumerics::unknownFormulaIsReportedOnce()
{
    RecordingSeam seam;
    prepareDegree(*form, 3);
    QCOMPARE(form->getScalarProduct(7, 0, 0, 0, 0), 0.0);
    QCOMPARE(seam.messages, QStringList {"TMainForm::getScalarProduct: Не найдена формула 7"});
}

SPLINEWAVE_TEST_MAIN(TestNumerics)
#include "test_numerics.moc"

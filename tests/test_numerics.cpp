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
    void init() { form = std::make_unique<TMainForm>(); }

    void gaussQuotedValues_data();
    void gaussQuotedValues();
    void gaussProperties_data() { everyDegree(); }
    void gaussProperties();
    void bsplineValues();
    void bsplinesSumToTheStep();
    void waveletSumsTheRangeOfItsClass_data();
    void waveletSumsTheRangeOfItsClass();
    void scalarProductsQuoted();
    void formulasReduceToEachOther_data() { everyDegree(); }
    void formulasReduceToEachOther();
    void unknownFormulaIsReportedOnce();

private:
    std::unique_ptr<TMainForm> form;
};

void TestNumerics::gaussQuotedValues_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<bool>("node");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("m=2 node 0") << 2 << true << 0 << "0.7745966692414834";
    QTest::newRow("m=2 node 2") << 2 << true << 2 << "-0.7745966692414834";
    QTest::newRow("m=3 node 0") << 3 << true << 0 << "0.906179845938664";
    QTest::newRow("m=3 node 1") << 3 << true << 1 << "0.538469310105683";
    const char* weights[] = {"0.236926885056189", "0.478628670499366", "0.568888888888889",
        "0.478628670499366", "0.236926885056189"};
    for (int i = 0; i < 5; ++i)
        QTest::addRow("m=3 weight %d", i) << 3 << false << i << weights[i];
    QTest::newRow("m=4 middle weight") << 4 << false << 3 << "0.417959183673469";
}

void TestNumerics::gaussQuotedValues()
{
    QFETCH(int, m);
    QFETCH(bool, node);
    QFETCH(int, index);
    QFETCH(QString, quoted);
    prepareDegree(*form, m);
    QVERIFY_QUOTED(
        node ? form->gaussNodes[index] : form->gaussWeights[index], quoted.toStdString());
}

void TestNumerics::gaussProperties()
{
    QFETCH(int, m);
    prepareDegree(*form, m);
    const int n = 2 * m - 1;
    const auto& x = form->gaussNodes;
    const auto& w = form->gaussWeights;
    QCOMPARE(int(x.size()), n);
    QCOMPARE(std::abs(x[m - 1]), 0.0);
    for (int i = 0; i < n; ++i) {
        // Newton's loop ended on a fixed point: one more update leaves the double unchanged.
        QCOMPARE(x[i] - TMainForm::legendreP(n, x[i]) / TMainForm::legendreDP(n, x[i]), x[i]);
        QVERIFY(w[i] > 0 && (i == 0 || x[i] < x[i - 1]));
        QVERIFY_RELATIVE(x[i], -x[n - 1 - i], 1e-15); // the rule is symmetric
        QVERIFY_RELATIVE(w[i], w[n - 1 - i], 1e-14);
    }
    QVERIFY_RELATIVE(std::accumulate(w.begin(), w.end(), 0.0), 2.0, 1e-15);
    if (m == 2)
        for (double expected : {5.0 / 9, 8.0 / 9}) // quoted as the exact fractions
            QVERIFY_RELATIVE(w[expected < 0.6 ? 0 : 1], expected, 1e-15);
    if (m == 4) // the quoted first node is the mathematical value, a few ulp from the double
        QVERIFY_RELATIVE(x[0], 0.949107912342759, 1e-15);
    QCOMPARE(TMainForm::legendreP(2, 0.5), -0.125);
    QCOMPARE(TMainForm::legendreP(0, -7.0), 1.0);
    QCOMPARE(TMainForm::legendreDP(3, -1.0), 6.0);
}

void TestNumerics::bsplineValues()
{
    struct Case
    {
        int degree, index;
        double x, h, expected;
    };
    // Every value here is a short binary fraction: exact.
    const Case cases[] = {{1, 0, 0.125, 0.125, 0.125}, {1, 0, 0.0, 0.125, 0.0},
        {1, 0, 0.25, 0.125, 0.0}, {1, -1, 0.0, 0.125, 0.125}, {2, 0, 0.125, 0.125, 0.0625},
        {2, 0, 0.25, 0.125, 0.0625}, {2, 0, 0.0, 0.125, 0.0}, {2, 0, 0.375, 0.125, 0.0}};
    for (const Case& c : cases)
        QCOMPARE(TMainForm::bspline(0, c.degree, c.index, c.x, c.h), c.expected);
    QVERIFY_RELATIVE(TMainForm::bspline(0, 3, 0, 1, 1), 1.0 / 6, 1e-15);
    QVERIFY_RELATIVE(TMainForm::bspline(0, 3, 0, 2, 1), 2.0 / 3, 1e-15);
    QVERIFY_RELATIVE(TMainForm::bspline(0, 3, 0, 3, 1), 1.0 / 6, 1e-15);
    QCOMPARE(TMainForm::testFunction(0.125), 0.0);
    QCOMPARE(TMainForm::testFunction(1), -7.0);
}

// Partition of unity scaled by h: at any x the B-splines of one degree sum to h.
void TestNumerics::bsplinesSumToTheStep()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anywhere(-2, 2);
    for (int degree = 1; degree <= 3; ++degree) {
        const double h = 0.75 / degree;
        for (int trial = 0; trial < 100; ++trial) {
            double x = anywhere(random), sum = 0;
            for (int j = -20; j <= 20; ++j)
                sum += TMainForm::bspline(-1, degree, j, x, h);
            QVERIFY_RELATIVE(sum, h, 1e-13);
        }
    }
}

void TestNumerics::waveletSumsTheRangeOfItsClass_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("p");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::newRow("m=3 right boundary") << 3 << 4 << 4 << 8 << 15;
    QTest::newRow("m=3 right boundary, level 2") << 3 << 4 << 2 << 8 << 15;
    QTest::newRow("m=3 central") << 3 << 3 << 4 << 6 << 13;
    QTest::newRow("m=3 left boundary") << 3 << -1 << 4 << -2 << 5;
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
    const double x = 0.3;
    QCOMPARE(form->waveletValue(x, p, level), 0.0);
    QCOMPARE(form->alphaW[p].begin()->first, first);
    QCOMPARE(form->alphaW[p].rbegin()->first, last);
    QCOMPARE(int(form->alphaW[p].size()), last - first + 1);
    double expected = 0; // with coefficient r + 1 on B-spline r, summed in ascending r
    for (int r = first; r <= last; ++r) {
        form->alphaW[p][r] = r + 1;
        expected += (r + 1) * TMainForm::bspline(0, m - 1, r, x, 1 / std::pow(2.0, level));
    }
    QCOMPARE(form->waveletValue(x, p, level), expected);
}

// The weighted sum, not the integral: the integral of N_(3,0)^2 would be 1/768.
void TestNumerics::scalarProductsQuoted()
{
    prepareDegree(*form, 2);
    QVERIFY_RELATIVE(form->getScalarProduct(TMainForm::Formula(2), 0, 0, 0, 0), 7.0 / 288, 1e-15);
    QVERIFY_RELATIVE(form->getScalarProduct(TMainForm::Formula(2), 0, 1, 0, 0), 1.0 / 288, 1e-15);
    QVERIFY(std::abs(form->getScalarProduct(TMainForm::Formula(3), 0, 0, 0, 0)) < 1e-16);
    QVERIFY_RELATIVE(form->getScalarProduct(TMainForm::Formula(3), 0, -1, 0, 0), 7.0 / 72, 1e-15);
}

// Formulas that combine others must give the same bits as the formula they reduce to.
void TestNumerics::formulasReduceToEachOther()
{
    QFETCH(int, m);
    prepareDegree(*form, m);
    const int J = form->finestLevel, J0 = form->coarsestLevel;
    form->alpha[0][0] = 1; // G is then the fine B-spline 2p
    form->alphaW[0][1] = 1; // psi_0 is then the B-spline 1 of its level
    for (int k = 1 - m; k <= 3; ++k)
        for (int l = 1 - m; l <= 2; ++l) {
            QCOMPARE(form->getScalarProduct(TMainForm::Formula(1), l, k, 0, 0),
                form->getScalarProduct(TMainForm::Formula(0), k, l, 0, 0));
            if (k <= 1)
                QCOMPARE(form->getScalarProduct(TMainForm::Formula(6), k, l, 0, 0),
                    form->getScalarProduct(TMainForm::Formula(0), 2 * k, l, 0, 0));
        }
    QCOMPARE(form->getScalarProduct(TMainForm::Formula(5), 0, 0, J, J),
        form->getScalarProduct(TMainForm::Formula(2), 1, 1, 0, 0));
    for (int k = 1 - m; k < std::pow(2.0, J0); ++k)
        QCOMPARE(form->getScalarProduct(TMainForm::Formula(9), 0, k, J0, 0),
            form->getScalarProduct(TMainForm::Formula(4), 1, k, 0, 0));
}

void TestNumerics::unknownFormulaIsReportedOnce()
{
    RecordingSeam seam;
    prepareDegree(*form, 3);
    runGuarded([&] { form->getScalarProduct(TMainForm::Formula(7), 0, 0, 0, 0); });
    QCOMPARE(seam.messages, QStringList {"TMainForm::getScalarProduct: Не найдена формула 7"});
}

SPLINEWAVE_TEST_MAIN(TestNumerics)
#include "test_numerics.moc"

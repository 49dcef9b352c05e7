// The dense solver and the spline-wavelet basis: the quoted coefficients of every degree and
// the properties every degree must have.

#include "tests/NumericsSupport.h"
#include "tests/TestSupport.h"

#include <QComboBox>

#include <random>

class TestBasis : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { form = static_cast<TApplication*>(qApp)->createMainForm(); }

    void solverCases();
    void solverZeroPivotIsReportedOnce();
    void quotedCoefficients_data();
    void quotedCoefficients();
    void shapesAndSymmetries_data() { everyDegree(); }
    void shapesAndSymmetries();
    void waveletsAreOrthogonalToCoarseSplines_data() { everyDegree(); }
    void waveletsAreOrthogonalToCoarseSplines();

private:
    void chooseDegree(int m) { form->cbStepSplain->setCurrentText(QString::number(m)); }

    TMainForm* form = nullptr;
};

void TestBasis::solverCases()
{
    QCOMPARE(TMainForm::solveLinearSystem(1, {{4.0}}, {2.0}), std::vector<double> {0.5});
    // Rows (0, 1) and (1, 0) are exchanged; the caller's matrix and vector stay as they were.
    const DenseMatrix swapped = {{0, 1}, {1, 0}};
    const std::vector<double> rhs = {2, 3};
    QCOMPARE(TMainForm::solveLinearSystem(2, swapped, rhs), (std::vector<double> {3, 2}));
    QCOMPARE(swapped, (DenseMatrix {{0, 1}, {1, 0}}));
    QCOMPARE(rhs, (std::vector<double> {2, 3}));
    // Equal magnitudes in column 0: the earlier row stays the pivot.
    QCOMPARE(
        TMainForm::solveLinearSystem(2, {{1, 1}, {-1, 1}}, {3, 1}), (std::vector<double> {1, 2}));

    std::mt19937 random(11); // a well-conditioned random system, checked by its residual
    std::uniform_real_distribution<double> entry(-1, 1);
    const int n = 35;
    DenseMatrix matrix(n, std::vector<double>(n));
    std::vector<double> b(n);
    for (int i = 0; i < n; ++i) {
        for (double& value : matrix[i])
            value = entry(random);
        matrix[i][i] += n;
        b[i] = entry(random);
    }
    const std::vector<double> x = TMainForm::solveLinearSystem(n, matrix, b);
    for (int i = 0; i < n; ++i) {
        double residual = -b[i];
        for (int j = 0; j < n; ++j)
            residual += matrix[i][j] * x[j];
        QVERIFY(std::abs(residual) < 1e-13);
    }
}

void TestBasis::solverZeroPivotIsReportedOnce()
{
    RecordingSeam seam;
    runGuarded([] {
        TMainForm::solveLinearSystem(3, {{1, 2, 3}, {2, 4, 6}, {1, 1, 1}}, {1, 2, 3});
    });
    QCOMPARE(seam.messages.size(), 1);
    QVERIFY(seam.messages[0].contains("вырождена"));
}

void TestBasis::quotedCoefficients_data()
{
    QTest::addColumn<int>("m");
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("quoted");
    auto values = [](int m, const char* table, int row, int firstKey, QStringList quoted) {
        for (int i = 0; i < quoted.size(); ++i)
            QTest::addRow("m=%d %s[%d][%d]", m, table, row, firstKey + i)
                << m << QString(table) << row << firstKey + i << quoted[i];
    };
    values(2, "betta", 0, 0, {"1", "2", "1"});
    values(2, "alpha", 0, 0, {"1", "-9", "16", "-9", "1"});
    values(2, "alpha", -1, -2, {"-1"});
    values(2, "alpha", 2, 3, {"-1"});
    values(2, "alphaW", -1, -1, {"-18", "17", "-9", "1"});
    values(2, "alphaW", 1, 2, {"1", "-9", "16", "-9", "1"});
    values(2, "alphaW", 2, 4, {"1", "-9", "17", "-18"});
    values(3, "betta", 0, 0, {"0.5", "1.5", "1.5", "0.5"});
    values(3, "alpha", 0, 0,
        {"-1", "27.89791977", "-141.4895988", "291.9791977", "-291.9791977", "141.4895988",
            "-27.89791977", "1"});
    values(3, "alpha", -2, -4, {"-27.78577958", "-1.637644135"});
    values(3, "alpha", -1, -4, {"1.637644135", "0.06053018266"});
    values(3, "alpha", 4, 6, {"0.06053018266", "1.637644135"});
    values(3, "alpha", 5, 6, {"-1.637644135", "-27.78577958"});
    values(3, "alphaW", -2, -2,
        {"-1394.813069", "551.4745889", "-337.6660624", "143.127243", "-27.89791977", "1"});
    values(3, "alphaW", -1, -2,
        {"62.36041885", "17.69588437", "-139.8009327", "291.9186675", "-291.9791977", "141.4895988",
            "-27.89791977", "1"});
    values(3, "alphaW", 5, 10,
        {"-1", "27.89791977", "-143.127243", "337.6660624", "-551.4745889", "1394.813069"});
    values(4, "betta", 0, 0, {"0.25", "1", "1.5", "1", "0.25"});
    values(4, "alpha", 0, 0, {"1"});
    values(4, "alpha", 0, 5, {"-21113.07"});
    values(4, "alpha", -3, -6, {"-2745.98"});
    values(4, "alphaW", -3, -3, {"-4.950e5"});
    values(4, "alphaW", 12, 31, {"-4.950e5"});
    values(4, "alphaW", -1, 7, {"-106.2360311", "1"});
}

void TestBasis::quotedCoefficients()
{
    QFETCH(int, m);
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(int, key);
    QFETCH(QString, quoted);
    chooseDegree(m);
    double value = table == "betta" ? form->betta.at(key)
        : table == "alpha"          ? form->alpha[row][key]
                                    : form->alphaW[row][key];
    QVERIFY_QUOTED(value, quoted.toStdString());
}

void TestBasis::shapesAndSymmetries()
{
    QFETCH(int, m);
    chooseDegree(m);
    const int H = 1 << (form->finestLevel - 1), fine = 2 * H;
    const double sign = m % 2 ? -1 : 1, tolerance = m == 4 ? 1e-6 : 1e-9; // m = 4: ill-conditioned
    double binomial = 1; // betta[j] = 2^(2-m) (m choose j), whatever the quadrature
    for (int j = 0; j <= m; binomial = binomial * (m - j) / (j + 1), ++j)
        QVERIFY_RELATIVE(form->betta[j], std::pow(2.0, 2 - m) * binomial, 1e-12);
    QVERIFY(form->alpha[0][3 * m - 2] == 1.0);
    for (int k = 0; k <= 3 * m - 2; ++k)
        QVERIFY_RELATIVE(form->alpha[0][3 * m - 2 - k], sign * form->alpha[0][k], tolerance);
    for (int r = 1 - m; r <= -1; ++r) { // m - 1 keys 2-2m .. -m, mirrored on the right
        QCOMPARE(int(form->alpha[r].size()), m - 1);
        QCOMPARE(form->alpha[r].begin()->first, 2 - 2 * m);
        for (auto [c, value] : SparseRow(form->alpha[r]))
            QVERIFY_RELATIVE(form->alpha[H - 2 * m + 1 - r][H - 2 * m + 1 - c], value, tolerance);
    }
    for (int p = 1 - m; p <= H - m; ++p) {
        const SparseRow row = form->alphaW[p];
        const bool left = p<0, right = p> H - 2 * m + 1;
        QCOMPARE(row.begin()->first, left ? 1 - m : 2 * p);
        QCOMPARE(row.rbegin()->first, right ? fine - 1 : 2 * p + 3 * m - 2);
        if (!right) // no partner translate reaches these keys
            QVERIFY(row.rbegin()->second == 1.0);
        if (!left)
            QVERIFY(row.begin()->second == form->alpha[0][0]);
        if (!left && !right)
            for (int j = 0; j <= 3 * m - 2; ++j)
                QVERIFY(row.at(2 * p + j) == form->alpha[0][j]);
        double largest = 0; // alphaW[p'][2^J - m - k] = (-1)^m alphaW[p][k], p' = H - 2m + 1 - p
        for (auto [k, value] : row)
            largest = std::max(largest, std::abs(value));
        for (auto [k, value] : row)
            QVERIFY(std::abs(form->alphaW[H - 2 * m + 1 - p][fine - m - k] - sign * value)
                <= tolerance * largest);
    }
}

// <psi_p, C_l> = 0 for every wavelet p and every coarse B-spline l meeting [a, b], relative to
// the size of the terms that cancel.
void TestBasis::waveletsAreOrthogonalToCoarseSplines()
{
    QFETCH(int, m);
    chooseDegree(m);
    const int H = 1 << (form->finestLevel - 1);
    for (int p = 1 - m; p <= H - m; ++p)
        for (int l = 1 - m; l <= H - 1; ++l) {
            double product = 0, scale = 0;
            for (auto [k, coefficient] : SparseRow(form->alphaW[p])) {
                double term
                    = coefficient * form->getScalarProduct(TMainForm::Formula(0), k, l, 0, 0);
                product += term;
                scale += std::abs(term);
            }
            QVERIFY2(std::abs(product) <= 1e-9 * std::max(scale, form->step),
                qPrintable(QString("p=%1 l=%2: %3 of %4").arg(p).arg(l).arg(product).arg(scale)));
        }
}

SPLINEWAVE_TEST_MAIN(TestBasis)
#include "test_basis.moc"

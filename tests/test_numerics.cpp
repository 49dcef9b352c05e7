// Quadrature, B-splines and the basis of every degree under the default rule: the quoted
// values, and the properties every degree must have. (The whole of the basis of m = 2 is in
// test_files' report; the exact rule's basis in test_engine.)

#include "tests/TestSupport.h"

#include "engine/DenseSolve.h"

#include <QCheckBox>

#include <algorithm>
#include <numeric>

using Formula = TMainForm::Formula;

namespace {

// Within half a unit of the quoted text's last digit (a hair more for its rounding to double).
bool agrees(double value, const QString& quoted)
{
    const QString mantissa = quoted.section('e', 0, 0);
    const int decimals
        = mantissa.contains('.') ? int(mantissa.size() - mantissa.indexOf('.')) - 1 : 0;
    const double unit = std::pow(10.0, quoted.section('e', 1).toInt() - decimals);
    return std::abs(value - quoted.toDouble()) <= 0.5 * unit * (1 + 1e-9);
}

} // namespace

class TestNumerics : public WindowTest
{
    Q_OBJECT

private slots:
    // The Gauss rule of 2m - 1 points, the middle one at 0: its weights integrate 1 exactly, and
    // for m = 2 they are 5/9 and 8/9. The default rule's weighted sum, not the integral (that of
    // N_(3,0)^2 would be 1/768), to a few units in the last place of values below 1/8. (The
    // exact rule's basis in test_engine checks the nodes.)
    void quadrature_data() { everyDegree(); }
    void quadrature()
    {
        const int n = 2 * form->m - 1;
        const std::vector<double>& w = form->gaussWeights;
        QVERIFY(int(form->gaussNodes.size()) == n && form->gaussNodes[n / 2] == 0);
        QVERIFY_NEAR(std::accumulate(w.begin(), w.end(), 0.0), 2.0, 2 * n * eps);
        if (n == 3)
            QVERIFY(std::abs(w[0] - 5.0 / 9) <= 2 * eps && std::abs(w[1] - 8.0 / 9) <= 2 * eps
                && std::abs(form->getScalarProduct(Formula::FineFine, 0, 0) - 7.0 / 288) <= eps / 4
                && std::abs(form->getScalarProduct(Formula::TestFunctionFine, 0, -1) - 7.0 / 72)
                    <= eps / 4);
    }

    // The nodes of 2m - 1 points decrease from the largest root of P_(2m-1), quoted to 16
    // digits; the exact rule's weights are the Gauss weights times h/2, so that its mesh sum of 1
    // is the length of [a, b].
    void gaussNodesAndExactWeights_data() { everyDegree(); }
    void gaussNodesAndExactWeights()
    {
        const double largest[] = {0.7745966692414834, 0.9061798459386640, 0.9491079123427585};
        const std::vector<double>& x = form->gaussNodes;
        QVERIFY_NEAR(x.front(), largest[form->m - 2], 2 * eps);
        QVERIFY(std::adjacent_find(x.begin(), x.end(), std::less_equal<>()) == x.end());
        form->chExactIntegration->click();
        QVERIFY(form->exactIntegration);
        QVERIFY_NEAR(form->weightedSum(form->sampled([](double) { return 1.0; })), 1.0, 8 * eps);
    }

    // The basis takes its products summed over their supports in the one order of the scalar
    // product (per interval its points in order, then the intervals in order): each equals the
    // window's sum over the whole mesh bit for bit, and the central system built from the
    // window's sums solves to the central wavelet in force, bit for bit.
    void productsSummedInOneOrder_data() { everyDegree(); }
    void productsSummedInOneOrder()
    {
        const int m = form->m, n = 3 * m - 2;
        const double h = form->step;
        const engine::MeshQuadrature& mesh = form->fastTransform->basis().quadrature();
        DenseMatrix matrix(n, std::vector<double>(n));
        std::vector<double> rhs(n);
        for (int row = 0; row < n; ++row) {
            const int l = 1 - m + row;
            for (int k = 0; k <= n; ++k) {
                const double product = form->getScalarProduct(Formula::FineHalf, k, l);
                const double supported = mesh.sum(std::max(k, 2 * l) - 1,
                    std::min(k + m - 1, 2 * l + 2 * m - 1) + 1, [&](double x) {
                        const double left = TMainForm::bspline(0, m - 1, k, x, h);
                        return left * TMainForm::bspline(0, m - 1, l, x, 2 * h);
                    });
                QVERIFY_EXACT(supported, product);
                (k < n ? matrix[row][k] : rhs[row]) = k < n ? product : -product;
            }
        }
        const std::vector<double> central = engine::solveFixedPivots(matrix, rhs);
        for (int k = 0; k < n; ++k)
            QVERIFY_EXACT(form->alpha[0][k], central[k]);
    }

    // h = 0.125, {degree, index, x, value}: every value a short binary fraction, exact; and the
    // cubic B-spline of unit spacing at its knots.
    void bsplines()
    {
        const double cases[][4]
            = {{1, 0, 0.125, 0.125}, {1, 0, 0, 0}, {1, 0, 0.25, 0}, {1, -1, 0, 0.125},
                {2, 0, 0.125, 0.0625}, {2, 0, 0.25, 0.0625}, {2, 0, 0, 0}, {2, 0, 0.375, 0}};
        for (const auto& c : cases)
            QVERIFY_EXACT(TMainForm::bspline(0, int(c[0]), int(c[1]), c[2], 0.125), c[3]);
        for (double x : {1.0, 2.0, 3.0})
            QVERIFY_NEAR(TMainForm::bspline(0, 3, 0, x, 1), x == 2 ? 2.0 / 3 : 1.0 / 6, eps);
    }

    // The quoted values to their digits, a few for m = 3, 4.
    void quotedCoefficients()
    {
        // m, table, row, first key: the quoted values of the keys from there on
        // clang-format off
        const char* quoted[] = {"3 betta 0 0: 0.5 1.5 1.5 0.5", "3 alpha 0 0: -1 27.89791977 -141.4895988 291.9791977",
            "3 alpha -2 -4: -27.78577958 -1.637644135", "3 alpha 5 6: -1.637644135 -27.78577958",
            "3 alphaW -2 -2: -1394.813069 551.4745889", "3 alphaW 5 14: -551.4745889 1394.813069",
            "4 betta 0 0: 0.25 1 1.5 1 0.25", "4 alpha 0 5: -21113.07", "4 alpha -3 -6: -2745.98",
            "4 alphaW -3 -3: -4.950e5", "4 alphaW 12 31: -4.950e5", "4 alphaW -1 7: -106.2360311 1",
            "4 alpha 0 0: 0.999999921173"};
        // clang-format on
        for (const QString entry : quoted) {
            const QStringList head = entry.section(':', 0, 0).split(' '),
                              values = entry.section(": ", 1).split(' ');
            chooseDegree(head[0].toInt());
            for (int i = 0, row = head[2].toInt(), key = head[3].toInt(); i < values.size();
                 ++i, ++key) {
                const double value = head[1] == "betta" ? form->betta.at(key)
                    : head[1] == "alpha"                ? form->alpha[row][key]
                                                        : form->alphaW[row][key];
                QVERIFY2(agrees(value, values[i]),
                    qPrintable(QString("%1 [%2]: %3").arg(entry).arg(key).arg(value)));
            }
        }
    }

    // Every wavelet row has the keys of its class, a central row is row 0 of alpha moved, and
    // every wavelet is orthogonal to every coarse B-spline l meeting [a, b]: relative to the
    // terms that cancel, to the digits the central system's condition number leaves.
    void waveletRowsAndOrthogonality_data() { everyDegree(); }
    void waveletRowsAndOrthogonality()
    {
        const int m = form->m;
        const int H = 1 << (form->finestLevel - 1);
        QVERIFY_EXACT(form->alpha[0][3 * m - 2], 1.0);
        for (int p = 1 - m; p <= H - m; ++p) {
            const SparseRow row = form->alphaW[p];
            const bool left = (p < 0), right = (p > H - 2 * m + 1);
            QVERIFY(row.begin()->first == (left ? 1 - m : 2 * p)
                && row.rbegin()->first == (right ? 2 * H - 1 : 2 * p + 3 * m - 2));
            for (int j = 0; !left && !right && j <= 3 * m - 2; ++j)
                QVERIFY_EXACT(row.at(2 * p + j), form->alpha[0][j]);
            for (int l = 1 - m; l <= H - 1; ++l) {
                double product = 0, scale = form->step;
                for (auto [k, coefficient] : row) {
                    const double term
                        = coefficient * form->getScalarProduct(Formula::FineHalf, k, l);
                    product += term;
                    scale += std::abs(term);
                }
                QVERIFY2(std::abs(product) <= (m == 4 ? 4e6 : 4e3) * eps * scale,
                    qPrintable(QString("p=%1 l=%2").arg(p).arg(l)));
            }
        }
    }
};

SPLINEWAVE_TEST_MAIN(TestNumerics)
#include "test_numerics.moc"

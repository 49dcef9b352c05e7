// Quadrature, B-splines, the scalar product, the solver and the basis of every degree: the
// quoted values, and the properties every degree must have.

#include "tests/TestSupport.h"

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

    // The largest |cos| of the angle between a wavelet psi_(J,p) and a B-spline N_(J-1,l) of the
    // level below, over every wavelet and every l meeting [0, 1]. The integrals come from the
    // 4-point Gauss rule on each fine mesh interval, not from the scalar product under test:
    // it is exact for these piecewise polynomials of degree 6 or less.
    double largestCosine()
    {
        const double node[] = {0.8611363115940526, 0.3399810435848563};
        const double weight[] = {0.3478548451374538, 0.6521451548625461};
        const int J = form->finestLevel, m = form->m;
        const double h = form->step;
        auto integral = [&](auto f, auto g) {
            double sum = 0;
            for (int i = 0; i < 1 << J; ++i)
                for (int q = 0; q < 4; ++q) {
                    const double x = (i + 0.5 + (q < 2 ? -0.5 : 0.5) * node[q % 2]) * h;
                    sum += weight[q % 2] * f(x) * g(x);
                }
            return sum * h / 2;
        };
        double largest = 0;
        for (int p = 1 - m; p <= (1 << (J - 1)) - m; ++p)
            for (int l = 1 - m; l < 1 << (J - 1); ++l) {
                auto psi = [&](double x) { return form->waveletValue(x, p, J); };
                auto spline = [&](double x) { return TMainForm::bspline(0, m - 1, l, x, 2 * h); };
                largest = std::max(largest,
                    std::abs(integral(psi, spline))
                        / std::sqrt(integral(psi, psi) * integral(spline, spline)));
            }
        return largest;
    }

private slots:
    void gauss_data() { everyDegree(); }
    void gauss()
    {
        const int m = form->m;
        const int n = 2 * m - 1;
        const std::vector<double>& x = form->gaussNodes;
        const std::vector<double>& w = form->gaussWeights;
        QVERIFY(int(x.size()) == n && x[m - 1] == 0);
        for (int i = 0; i < n; ++i) {
            // Newton's loop ended on a fixed point: one more update leaves the double unchanged.
            QVERIFY_EXACT(
                x[i] - TMainForm::legendreP(n, x[i]) / TMainForm::legendreDP(n, x[i]), x[i]);
            QVERIFY(i == 0 || x[i] < x[i - 1]);
            QVERIFY_NEAR(x[i], -x[n - 1 - i], 2 * eps); // symmetric to rounding
            QVERIFY_NEAR(w[i], w[n - 1 - i], 16 * eps); // P' at a node loses a few bits
        }
        QVERIFY_NEAR(std::accumulate(w.begin(), w.end(), 0.0), 2.0, 2 * n * eps);
        if (m == 2) // quoted as the fractions 5/9 and 8/9
            QVERIFY(std::abs(w[0] - 5.0 / 9) <= 2 * eps && std::abs(w[1] - 8.0 / 9) <= 2 * eps);
        QVERIFY(TMainForm::legendreP(2, 0.5) == -0.125 && TMainForm::legendreP(0, -7.0) == 1
            && TMainForm::legendreDP(3, -1.0) == 6 && TMainForm::legendreDP(3, 1.0) == 6);
        form->m = 5; // P_9's iterates alternate between two doubles for ever: an error, not a hang
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, form->computeGaussNodes());
    }

    void bsplines()
    {
        // h = 0.125, {degree, index, x, value}; every value a short binary fraction: exact.
        const double cases[][4]
            = {{1, 0, 0.125, 0.125}, {1, 0, 0, 0}, {1, 0, 0.25, 0}, {1, -1, 0, 0.125},
                {2, 0, 0.125, 0.0625}, {2, 0, 0.25, 0.0625}, {2, 0, 0, 0}, {2, 0, 0.375, 0}};
        for (const auto& c : cases)
            QVERIFY_EXACT(TMainForm::bspline(0, int(c[0]), int(c[1]), c[2], 0.125), c[3]);
        for (double x : {1.0, 2.0, 3.0})
            QVERIFY_NEAR(TMainForm::bspline(0, 3, 0, x, 1), x == 2 ? 2.0 / 3 : 1.0 / 6, eps);
    }

    void scalarProducts_data() { everyDegree(); }
    void scalarProducts()
    {
        const int m = form->m;
        auto product = [&](Formula f, int p1, int p2, int p3 = 0, int p4 = 0) {
            return form->getScalarProduct(f, p1, p2, p3, p4);
        };
        // The weighted sum, not the integral (that of N_(3,0)^2 would be 1/768), to a few units
        // in the last place of values below 1/8.
        if (m == 2)
            QVERIFY(std::abs(product(Formula::FineFine, 0, 0) - 7.0 / 288) <= eps / 4
                && std::abs(product(Formula::TestFunctionFine, 0, -1) - 7.0 / 72) <= eps / 4);
        // Formulas that combine others give the same bits as the formula they reduce to.
        form->alpha[0] = {{0, 1}}; // G_p is then the fine B-spline 2p
        for (int k = 1 - m; k <= 3; ++k)
            for (int l = 1 - m; l <= 2; ++l) {
                QVERIFY_EXACT(product(Formula::HalfFine, l, k), product(Formula::FineHalf, k, l));
                QVERIFY_EXACT(
                    product(Formula::TranslateHalf, k, l), product(Formula::FineHalf, 2 * k, l));
            }
        runGuarded([&] { product(Formula(7), 0, 0); });
        QCOMPARE(seam.messages, QStringList {"TMainForm::getScalarProduct: Не найдена формула 7"});
    }

    // Rows (0, 1) and (1, 0) are exchanged, the caller's matrix and vector staying as they
    // were; on equal magnitudes the earlier row stays the pivot; a zero pivot is an error.
    void solver()
    {
        const DenseMatrix swapped = {{0, 1}, {1, 0}};
        const std::vector<double> rhs = {2, 3};
        QVERIFY(TMainForm::solveLinearSystem(2, swapped, rhs) == (std::vector<double> {3, 2}));
        QVERIFY(swapped == (DenseMatrix {{0, 1}, {1, 0}}) && rhs == (std::vector<double> {2, 3}));
        QVERIFY(TMainForm::solveLinearSystem(2, {{1, 1}, {-1, 1}}, {3, 1})
            == (std::vector<double> {1, 2}));
        runGuarded([] {
            TMainForm::solveLinearSystem(3, {{1, 2, 3}, {2, 4, 6}, {1, 1, 1}}, {1, 2, 3});
        });
        QCOMPARE(seam.messages,
            QStringList {"Система линейных уравнений вырождена: нулевой ведущий "
                         "элемент в строке 2 из 3. Решение не найдено."});
    }

    // The quoted values to their digits: every one for m = 2 (integers), a few for m = 3, 4.
    void quotedCoefficients()
    {
        // m, table, row, first key: the quoted values of the keys from there on
        // clang-format off
        const char* quoted[] = {"2 betta 0 0: 1 2 1", "2 alpha 0 0: 1 -9 16 -9 1", "2 alpha -1 -2: -1",
            "2 alpha 2 3: -1", "2 alphaW -1 -1: -18 17 -9 1", "2 alphaW 1 2: 1 -9 16 -9 1", "2 alphaW 2 4: 1 -9 17 -18",
            "3 betta 0 0: 0.5 1.5 1.5 0.5", "3 alpha 0 0: -1 27.89791977 -141.4895988 291.9791977",
            "3 alpha -2 -4: -27.78577958 -1.637644135", "3 alpha 5 6: -1.637644135 -27.78577958",
            "3 alphaW -2 -2: -1394.813069 551.4745889", "3 alphaW 5 14: -551.4745889 1394.813069",
            "4 betta 0 0: 0.25 1 1.5 1 0.25", "4 alpha 0 5: -21113.07", "4 alpha -3 -6: -2745.98",
            "4 alphaW -3 -3: -4.950e5", "4 alphaW 12 31: -4.950e5", "4 alphaW -1 7: -106.2360311 1"};
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
            const bool left = p < 0;
            const bool right = p > H - 2 * m + 1;
            QCOMPARE(row.begin()->first, left ? 1 - m : 2 * p);
            QCOMPARE(row.rbegin()->first, right ? 2 * H - 1 : 2 * p + 3 * m - 2);
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
                    qPrintable(
                        QString("p=%1 l=%2: %3 of %4").arg(p).arg(l).arg(product).arg(scale)));
            }
        }
    }

    // Under the exact rule the central wavelet is the semi-orthogonal one of minimal support and
    // every wavelet of the finest level, boundary ones included, is orthogonal to the level
    // below, which the default rule misses by a few per cent. Unchecked again, the box gives
    // back the default basis to the bit.
    void exactRuleGivesTheSemiOrthogonalWavelets_data() { everyDegree(); }
    void exactRuleGivesTheSemiOrthogonalWavelets()
    {
        QFETCH(int, m);
        chooseDegree(m);
        const std::vector<double> betta = form->betta;
        const SparseTable alpha = form->alpha, alphaW = form->alphaW;
        QVERIFY(largestCosine() > 1e-2);
        form->chExactIntegration->click();
        const std::vector<std::vector<double>> textbook
            = {{1, -6, 10, -6, 1}, {-1, 29, -147, 303, -303, 147, -29, 1},
                {1, -124, 1677, -7904, 18482, -24264, 18482, -7904, 1677, -124, 1}};
        // Relative to the largest coefficient: the central system of m = 4 loses about nine
        // digits (see basisShapesAndSymmetries), spread over all its coefficients.
        const double largest = m == 2 ? 10 : m == 3 ? 303 : 24264;
        for (int k = 0; k <= 3 * m - 2; ++k)
            QVERIFY_NEAR(form->alpha[0][k], textbook[m - 2][k], (m == 4 ? 1e-9 : 1e-12) * largest);
        QVERIFY2(largestCosine() < 1e-9, qPrintable(QString::number(largestCosine())));
        form->chExactIntegration->click();
        QVERIFY(form->betta == betta && form->alpha == alpha && form->alphaW == alphaW);
    }
};

SPLINEWAVE_TEST_MAIN(TestNumerics)
#include "test_numerics.moc"

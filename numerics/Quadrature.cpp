// Gauss–Legendre nodes and weights of order n = 2m - 1.

#include "app/Main_f.h"

#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

// P_n(x) by the three-term recursion, each lower degree evaluated afresh:
//   P_0 = 1, P_1 = x, P_n = ((2n - 1) x P_(n-1) - (n - 1) P_(n-2)) / n.
double TMainForm::legendreP(int n, double x)
{
    if (n == 0)
        return 1;
    if (n == 1)
        return x;
    return ((2 * n - 1) * x * legendreP(n - 1, x) - (n - 1) * legendreP(n - 2, x)) / n;
}

// P'_n(x) = n (x P_n(x) - P_(n-1)(x)) / (x^2 - 1); at x = +-1 the limit n(n + 1)/2, which is
// the value at both ends for the odd n used here.
double TMainForm::legendreDP(int n, double x)
{
    if (x == 1.0 || x == -1.0)
        return n * (n + 1) / 2;
    return n * (x * legendreP(n, x) - legendreP(n - 1, x)) / (x * x - 1);
}

// gaussNodes[i - 1], i = 1 .. n: Newton's iteration from cos((i - 0.25) pi / (n + 0.5)) until an
// update leaves the double unchanged. The nodes come out decreasing, the middle one zero.
// The orders of m = 2, 3, 4 settle within five updates; for higher orders the iterates can
// alternate between two doubles for ever, so a node that has not settled after a hundred
// updates is an error.
void TMainForm::computeGaussNodes()
{
    const int n = 2 * m - 1;
    const int maxUpdates = 100;
    gaussNodes.assign(n, 0.0);
    for (int i = 1; i <= n; ++i) {
        double x = std::cos((i - 0.25) * std::numbers::pi / (n + 0.5));
        double prev;
        int updates = 0;
        do {
            if (++updates > maxUpdates)
                throw std::runtime_error("Узел " + std::to_string(i) + " формулы Гаусса порядка "
                    + std::to_string(n) + " не найден: итерация Ньютона не сходится.");
            prev = x;
            x = x - legendreP(n, x) / legendreDP(n, x);
        } while (x != prev);
        gaussNodes[i - 1] = x;
    }
}

// gaussWeights[i] = 2 / ((1 - x^2) P'_n(x)^2) at x = gaussNodes[i], i = 0 .. n - 1.
void TMainForm::computeGaussWeights()
{
    const int n = 2 * m - 1;
    gaussWeights.assign(n, 0.0);
    for (int i = 0; i < n; ++i) {
        double x = gaussNodes[i];
        gaussWeights[i] = 2 / ((1 - x * x) * legendreDP(n, x) * legendreDP(n, x));
    }
}

#include "engine/Quadrature.h"

#include "engine/Errors.h"

#include <cmath>
#include <numbers>

namespace engine {

//   P_0 = 1, P_1 = x, P_n = ((2n - 1) x P_(n-1) - (n - 1) P_(n-2)) / n.
double legendreP(int n, double x)
{
    if (n == 0)
        return 1;
    if (n == 1)
        return x;
    return ((2 * n - 1) * x * legendreP(n - 1, x) - (n - 1) * legendreP(n - 2, x)) / n;
}

// P'_n(x) = n (x P_n(x) - P_(n-1)(x)) / (x^2 - 1).
double legendreDP(int n, double x)
{
    if (x == 1.0 || x == -1.0)
        return n * (n + 1) / 2;
    return n * (x * legendreP(n, x) - legendreP(n - 1, x)) / (x * x - 1);
}

// The orders 3, 5 and 7 settle within five updates; for higher orders the iterates can
// alternate between two doubles for ever, so a node that has not settled after a hundred
// updates is an error.
std::vector<double> gaussNodes(int n)
{
    const int maxUpdates = 100;
    std::vector<double> nodes(n);
    for (int i = 1; i <= n; ++i) {
        double x = std::cos((i - 0.25) * std::numbers::pi / (n + 0.5));
        double prev;
        int updates = 0;
        do {
            if (++updates > maxUpdates)
                throw NumericalError(NumericalError::Kind::GaussNode, i, n);
            prev = x;
            x = x - legendreP(n, x) / legendreDP(n, x);
        } while (x != prev);
        nodes[i - 1] = x;
    }
    return nodes;
}

std::vector<double> gaussWeights(const std::vector<double>& nodes)
{
    const int n = int(nodes.size());
    std::vector<double> weights(n);
    for (int i = 0; i < n; ++i) {
        double x = nodes[i];
        weights[i] = 2 / ((1 - x * x) * legendreDP(n, x) * legendreDP(n, x));
    }
    return weights;
}

// The weights change by one factor, the same for every product, so the coefficients of the
// basis and of the transforms do not depend on it.
MeshQuadrature::MeshQuadrature(int m, int J, double a, double b, Rule rule)
    : m(m)
    , a(a)
    , count(1 << J)
    , h((b - a) / std::pow(2.0, J))
    , rule(rule)
    , gaussNodes_(engine::gaussNodes(2 * m - 1))
    , gaussWeights_(engine::gaussWeights(gaussNodes_))
    , weights_(gaussWeights_)
{
    if (rule == Rule::Exact)
        for (double& weight : weights_)
            weight = weight * (h / 2);
}

void MeshQuadrature::points(int i, double* out) const
{
    const double xl = a + i * h;
    const double xr = a + (i + 1) * h;
    const std::size_t n = weights_.size();
    if (rule == Rule::Exact) {
        const double middle = (xl + xr) / 2;
        const double halfWidth = (xr - xl) / 2;
        for (std::size_t k = 0; k < n; ++k)
            out[k] = middle + halfWidth * gaussNodes_[k];
        return;
    }
    const double delta = (xr - xl) / (2 * m - 2);
    for (std::size_t k = 0; k < n; ++k)
        out[k] = xl + k * delta;
}

std::vector<double> MeshQuadrature::points(int i) const
{
    std::vector<double> x(weights_.size());
    points(i, x.data());
    return x;
}

std::vector<double> MeshQuadrature::allPoints() const
{
    const std::size_t n = weights_.size();
    std::vector<double> x(count * n);
    for (int i = 0; i < count; ++i)
        points(i, x.data() + i * n);
    return x;
}

} // namespace engine

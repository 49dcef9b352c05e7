#pragma once

#include <algorithm>
#include <vector>

namespace engine {

// Gauss–Legendre nodes and weights of order n, and the quadrature of the one scalar product on
// the fine mesh of [a, b].

// P_n(x) by the three-term recursion, each lower degree evaluated afresh.
double legendreP(int n, double x);
// P'_n(x); at x = +-1 the limit n(n + 1)/2 (the value at both ends for odd n).
double legendreDP(int n, double x);
// The n roots of P_n, decreasing: Newton's iteration from cos((i - 0.25) pi / (n + 0.5)),
// i = 1 .. n, until an update leaves the double unchanged.
std::vector<double> gaussNodes(int n);
// 2 / ((1 - x^2) P'_n(x)^2) at each node x.
std::vector<double> gaussWeights(const std::vector<double>& nodes);

// How the scalar product is summed on each fine interval [x_l, x_r] (2m - 1 points, point k
// taking Gauss weight k):
//   Default  the weights at equally spaced points x_l + k (x_r - x_l)/(2m - 2), both ends
//            included, with no factor for the interval length: a weighted sum, not an integral;
//   Exact    the weights times h/2 at the Gauss nodes (x_l + x_r)/2 + (x_r - x_l)/2 node_k: the
//            integral of every product of two splines of the mesh.
enum class Rule
{
    Default,
    Exact
};

// The scalar product's quadrature on the 2^J intervals i = 0 .. 2^J-1 of [a, b], spacing h.
class MeshQuadrature
{
public:
    MeshQuadrature(int m, int J, double a, double b, Rule rule);

    int intervals() const { return count; }
    double spacing() const { return h; }
    const std::vector<double>& nodes() const { return gaussNodes_; }
    const std::vector<double>& gaussWeights() const { return gaussWeights_; }
    // The weight of point k of every interval.
    const std::vector<double>& weights() const { return weights_; }
    // The points of interval i, in the order of their weights.
    void points(int i, double* out) const;
    std::vector<double> points(int i) const;
    // The points of every interval, interval by interval.
    std::vector<double> allPoints() const;

    // The scalar product of the integrand F over the intervals first .. last (clipped to the
    // mesh): per interval S = S + w_k F(x_k) for increasing k, then result = result + S for
    // increasing intervals. An interval where F vanishes at every point adds +0.0, so summing
    // over the support of F gives the same double as summing over the whole mesh.
    template <class Integrand> double sum(int first, int last, Integrand&& integrand) const
    {
        double result = 0.0;
        std::vector<double> x(weights_.size());
        for (int i = std::max(first, 0); i <= std::min(last, count - 1); ++i) {
            points(i, x.data());
            double S = 0.0;
            for (std::size_t k = 0; k < x.size(); ++k)
                S = S + weights_[k] * integrand(x[k]);
            result = result + S;
        }
        return result;
    }

private:
    int m;
    double a;
    int count;
    double h;
    Rule rule;
    std::vector<double> gaussNodes_;
    std::vector<double> gaussWeights_;
    std::vector<double> weights_;
};

} // namespace engine

#pragma once

#include "engine/Quadrature.h"

#include <functional>
#include <span>
#include <vector>

namespace engine {

// f evaluated at many points at once: fx[i] = f(x[i]). The transform calls it on the quadrature
// points of a few thousand mesh intervals at a time.
using BatchFunction = std::function<void(std::span<const double> x, std::span<double> fx)>;

// A batch function that evaluates f point by point.
BatchFunction pointwise(std::function<double(double)> f);

// Adds r_k = <f, N_(J,k)>, k = 1-m .. 2^J-1, to products[k + m - 1], by the quadrature of the
// scalar product on the mesh: per interval S = S + w_q (f(x_q) N(x_q)) for each of its m
// B-splines, added in increasing interval order. pattern[q m + j] is N_(J,i-j) at point q of
// any interval i (alike on all of them). f gets the points of a few thousand intervals at a
// time; where it is not finite, NotFiniteError names the first such point in that order. O(N m).
void addFinestProducts(const MeshQuadrature& mesh, const std::vector<double>& pattern,
    const BatchFunction& f, double* products);

} // namespace engine

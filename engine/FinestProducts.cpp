#include "engine/FinestProducts.h"

#include "engine/Errors.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace engine {

namespace {

    // For the intervals i = 0 .. count-1, whose 2M - 1 values of f start at fx[start[i]]: the sum
    // S = S + w_q (f(x_q) N(x_q)) for each of the M B-splines N = N_(J,i-j) non-zero there, added
    // to products[i - j + M - 1] in increasing i, then j. Four intervals side by side, each sum in
    // its own order, so that the sums do not wait on one another; a product's terms come in
    // increasing i for increasing j as well, since i - j is the same for all of them.
    template <int M>
    void intervalSums(const double* fx, const std::size_t* start, const double* w,
        const double* pattern, int count, double* products)
    {
        constexpr int lanes = 4, Q = 2 * M - 1;
        auto sums = [&](int i, auto width) {
            double S[M][width] = {}, f[width];
            for (int q = 0; q < Q; ++q) {
                for (int l = 0; l < width; ++l)
                    f[l] = fx[start[i + l] + q];
#pragma GCC unroll 4
                for (int j = 0; j < M; ++j)
                    for (int l = 0; l < width; ++l)
                        S[j][l] = S[j][l] + w[q] * (f[l] * pattern[q * M + j]);
            }
            for (int j = 0; j < M; ++j)
                for (int l = 0; l < width; ++l)
                    products[i + l - j + M - 1] += S[j][l];
        };
        int i = 0;
        for (; i + lanes <= count; i += lanes)
            sums(i, std::integral_constant<int, lanes>());
        for (; i < count; ++i)
            sums(i, std::integral_constant<int, 1>());
    }

    // The quadrature points of this many intervals go to f at a time.
    constexpr int intervalsPerBatch = 4096;

    // Per interval, S = S + w_q (f(x_q) N(x_q)), added to the product of each of its M B-splines
    // in increasing interval order: the scalar product's order of summation. Where an interval's
    // first point is the previous one's last to the bit (the default rule's points include both
    // ends), f is called there once and its value serves both.
    template <int M>
    void addProductsOf(
        const MeshQuadrature& mesh, const double* pattern, const BatchFunction& f, double* products)
    {
        constexpr int n = 2 * M - 1;
        const int N = mesh.intervals();
        std::vector<double> x(std::size_t(std::min(N, intervalsPerBatch)) * n), fx(x.size());
        std::vector<std::size_t> start(std::min(N, intervalsPerBatch)); // each interval's first
        for (int first = 0; first < N; first += intervalsPerBatch) {
            const int count = std::min(N - first, intervalsPerBatch);
            std::size_t size = 0;
            for (int i = 0; i < count; ++i) {
                double point[n];
                mesh.points(first + i, point);
                const bool shared = i > 0
                    && std::bit_cast<std::uint64_t>(point[0])
                        == std::bit_cast<std::uint64_t>(x[size - 1]);
                start[i] = size - shared;
                for (int k = 0; k < n; ++k)
                    x[size + k - shared] = point[k]; // a shared first point onto itself
                size += n - shared;
            }
            f(std::span(x).first(size), std::span(fx).first(size));
            for (std::size_t q = 0; q < size; ++q)
                if (!std::isfinite(fx[q]))
                    throw NotFiniteError(x[q]);
            intervalSums<M>(
                fx.data(), start.data(), mesh.weights().data(), pattern, count, products + first);
        }
    }

} // namespace

BatchFunction pointwise(std::function<double(double)> f)
{
    return [f = std::move(f)](std::span<const double> x, std::span<double> fx) {
        for (std::size_t i = 0; i < x.size(); ++i)
            fx[i] = f(x[i]);
    };
}

void addFinestProducts(const MeshQuadrature& mesh, const std::vector<double>& pattern,
    const BatchFunction& f, double* products)
{
    switch (pattern.size() / mesh.weights().size()) {
    case 2:
        return addProductsOf<2>(mesh, pattern.data(), f, products);
    case 3:
        return addProductsOf<3>(mesh, pattern.data(), f, products);
    default:
        return addProductsOf<4>(mesh, pattern.data(), f, products);
    }
}

} // namespace engine

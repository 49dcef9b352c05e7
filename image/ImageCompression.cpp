#include "image/ImageTransform.h"

#include "data/SampledData.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace image {

namespace {

    // |c| ||basis function|| of every coefficient. O(N).
    std::vector<double> contributions(
        const ImageTransform& transform, const ImageCoefficients& coefficients)
    {
        transform.requireBasis(coefficients);
        const std::vector<double>& norms = transform.norms();
        std::vector<double> result(norms.size());
        for (std::size_t i = 0; i < norms.size(); ++i)
            result[i] = std::abs(coefficients.values[i]) * norms[i];
        return result;
    }

    // The larger of the two, NaN when d is: a reconstruction gone wrong is not hidden.
    double largerOf(double largest, double d)
    {
        return d <= largest ? largest : d;
    }

} // namespace

// The K first in the order (contribution down, index up) by nth_element: a strict order, so
// that equal contributions keep the earlier ones. O(N) on average, O(N) memory.
ImageCoefficients keepLargest(
    const ImageTransform& transform, const ImageCoefficients& coefficients, std::size_t K)
{
    const std::vector<double> contribution = contributions(transform, coefficients);
    if (K >= contribution.size())
        return coefficients;
    std::vector<std::size_t> order(contribution.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::ranges::nth_element(
        order, order.begin() + std::ptrdiff_t(K), [&](std::size_t u, std::size_t v) {
            return contribution[u] > contribution[v]
                || (contribution[u] == contribution[v] && u < v);
        });
    ImageCoefficients kept = coefficients;
    std::ranges::fill(kept.values, 0.0);
    for (std::size_t i = 0; i < K; ++i)
        kept.values[order[i]] = coefficients.values[order[i]];
    return kept;
}

// O(1).
std::size_t keptForPercent(const ImageCoefficients& coefficients, double percent)
{
    if (std::isnan(percent))
        throw std::invalid_argument("percent is not a number");
    const double total = double(coefficients.values.size());
    return std::size_t(std::llround(std::clamp(percent, 0.0, 100.0) / 100 * total));
}

// O(N).
ImageCoefficients thresholded(
    const ImageTransform& transform, const ImageCoefficients& coefficients, double t)
{
    const std::vector<double> contribution = contributions(transform, coefficients);
    ImageCoefficients kept = coefficients;
    for (std::size_t i = 0; i < contribution.size(); ++i)
        if (contribution[i] < t)
            kept.values[i] = 0.0;
    return kept;
}

// O(N).
std::size_t nonZero(const ImageCoefficients& coefficients)
{
    return std::size_t(std::ranges::count_if(coefficients.values, [](double c) { return c != 0; }));
}

// The squared differences summed over all the pixels and over the edge band in one pass; an
// empty band has no error (+inf, 0). O(N).
ImageError imageError(const Pixels& original, const Pixels& reconstruction, double peak, int edge)
{
    if (original.width != reconstruction.width || original.height != reconstruction.height
        || original.values.size() != reconstruction.values.size())
        throw DataError("Изображения разного размера: " + std::to_string(original.width) + " × "
            + std::to_string(original.height) + " и " + std::to_string(reconstruction.width) + " × "
            + std::to_string(reconstruction.height) + ".");
    const int W = original.width, H = original.height;
    double sum = 0, edgeSum = 0;
    std::size_t edgeCount = 0;
    ImageError error;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double d = std::abs(original.at(x, y) - reconstruction.at(x, y));
            sum += d * d;
            error.largest = largerOf(error.largest, d);
            if (x < edge || x >= W - edge || y < edge || y >= H - edge) {
                edgeSum += d * d;
                error.edgeLargest = largerOf(error.edgeLargest, d);
                ++edgeCount;
            }
        }
    auto psnr = [peak](double squares, std::size_t count) {
        return count == 0 || squares == 0 ? std::numeric_limits<double>::infinity()
                                          : 10 * std::log10(peak * peak / (squares / count));
    };
    error.psnr = psnr(sum, original.values.size());
    error.edgePsnr = psnr(edgeSum, edgeCount);
    return error;
}

} // namespace image

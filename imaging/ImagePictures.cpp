#include "imaging/ImagePictures.h"

#include "core/ImageFile.h"

#include <algorithm>
#include <cmath>

namespace {

// The channels with every value v replaced by shade(v), then as an image (toImage).
template <class Channel, class Shade>
QImage shaded(const std::vector<Channel>& channels, int width, int height, Shade shade)
{
    std::vector<image::Pixels> shades;
    for (const Channel& channel : channels) {
        image::Pixels& pixels = shades.emplace_back(image::Pixels {width, height, {}});
        pixels.values.reserve(channel.values.size());
        for (double value : channel.values)
            pixels.values.push_back(shade(value));
    }
    return toImage(shades);
}

} // namespace

DifferencePicture differencePicture(
    const std::vector<image::Pixels>& original, const std::vector<image::Pixels>& reconstruction)
{
    std::vector<image::Pixels> difference = reconstruction;
    double scale = 0;
    for (std::size_t c = 0; c < difference.size(); ++c)
        for (std::size_t i = 0; i < difference[c].values.size(); ++i) {
            difference[c].values[i] -= original[c].values[i];
            scale = std::max(scale, std::abs(difference[c].values[i]));
        }
    const double half = 127.5; // 0 .. 255 around the middle grey
    const double factor = scale > 0 ? half / scale : 0;
    return {shaded(difference, difference[0].width, difference[0].height,
                [=](double d) { return half + factor * d; }),
        scale};
}

QImage pyramidPicture(const std::vector<image::ImageCoefficients>& coefficients)
{
    double largest = 0;
    for (const image::ImageCoefficients& channel : coefficients)
        for (double c : channel.values)
            largest = std::max(largest, std::abs(c));
    const double top = std::log10(largest); // -inf when all are 0: every pixel black
    return shaded(coefficients, coefficients[0].nx, coefficients[0].ny, [=](double c) {
        const double decades = c == 0 ? pyramidDecades : top - std::log10(std::abs(c));
        return 255 * std::max(0.0, 1 - decades / pyramidDecades);
    });
}

QList<QRect> bandOutlines(const image::ImageTransform& transform)
{
    QList<QRect> outlines;
    for (const image::BandPlace& band : transform.bands())
        outlines.append(QRect(band.column, band.row, band.columns, band.rows));
    return outlines;
}

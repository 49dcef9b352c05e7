#include "imaging/ImagePictures.h"

#include <algorithm>
#include <cmath>

namespace {

// A picture whose pixel i of channel c is shade(c, i), 0 .. 255 rounded: grey of one channel,
// RGB of three. Written straight into the image: a picture of a large image makes no array of
// doubles on the way.
template <class Shade> QImage shaded(int width, int height, std::size_t channels, Shade shade)
{
    auto byte = [&](std::size_t c, std::size_t i) {
        return int(std::clamp(shade(c, i), 0.0, 255.0) + 0.5);
    };
    QImage picture(width, height, channels == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        const std::size_t first = std::size_t(y) * width;
        for (int x = 0; x < width; ++x)
            if (channels == 1)
                row[x] = uchar(byte(0, first + x));
            else
                reinterpret_cast<QRgb*>(row)[x]
                    = qRgb(byte(0, first + x), byte(1, first + x), byte(2, first + x));
    }
    return picture;
}

} // namespace

DifferencePicture differencePicture(
    const std::vector<image::Pixels>& original, const std::vector<image::Pixels>& reconstruction)
{
    double scale = 0;
    for (std::size_t c = 0; c < original.size(); ++c)
        for (std::size_t i = 0; i < original[c].values.size(); ++i)
            scale = std::max(scale, std::abs(reconstruction[c].values[i] - original[c].values[i]));
    const double half = 127.5; // 0 .. 255 around the middle grey
    const double factor = scale > 0 ? half / scale : 0;
    return {shaded(original[0].width, original[0].height, original.size(),
                [&](std::size_t c, std::size_t i) {
                    return half + factor * (reconstruction[c].values[i] - original[c].values[i]);
                }),
        scale};
}

QImage pyramidPicture(const std::vector<image::ImageCoefficients>& coefficients)
{
    double largest = 0;
    for (const image::ImageCoefficients& channel : coefficients)
        for (double c : channel.values)
            largest = std::max(largest, std::abs(c));
    const double top = std::log10(largest); // -inf when all are 0: every pixel black
    return shaded(coefficients[0].nx, coefficients[0].ny, coefficients.size(),
        [&](std::size_t channel, std::size_t i) {
            const double c = coefficients[channel].values[i];
            const double decades = c == 0 ? pyramidDecades : top - std::log10(std::abs(c));
            return 255 * (1 - decades / pyramidDecades);
        });
}

QList<QRect> bandOutlines(const image::ImageTransform& transform)
{
    QList<QRect> outlines;
    for (const image::BandPlace& band : transform.bands())
        outlines.append(QRect(band.column, band.row, band.columns, band.rows));
    return outlines;
}

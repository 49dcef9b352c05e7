#pragma once

#include "image/ImageTransform.h"

#include <QImage>
#include <QList>
#include <QRect>

#include <vector>

// The pictures of the image page that are not the image itself, each channel in its colour
// (one channel grey). N = pixels of the picture, C = channels.

// The signed difference reconstruction - original: 0 mid-grey, +scale white, -scale black, scale
// the largest |difference| over every channel (0 when they are equal: all mid-grey).    O(C N)
struct DifferencePicture
{
    QImage image;
    double scale = 0;
};
DifferencePicture differencePicture(
    const std::vector<image::Pixels>& original, const std::vector<image::Pixels>& reconstruction);

// The coefficient array as log10 |c|: the largest |c| of all channels white, six decades below
// it and less (0 too) black, one pixel per coefficient, the coarse block at the top left. O(C n)
QImage pyramidPicture(const std::vector<image::ImageCoefficients>& coefficients);
// How many decades below the largest |c| the pyramid shows.
constexpr double pyramidDecades = 6;

// The places of the bands in the coefficient array, in its pixels.
QList<QRect> bandOutlines(const image::ImageTransform& transform);

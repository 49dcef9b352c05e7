#pragma once

#include "core/ImageFile.h"
#include "image/ImageTransform.h"

#include <memory>
#include <vector>

// How close a reconstruction of every channel is to the original: the PSNR of all their pixels
// together, and of those in the band of `edge` pixels along the four sides (image::imageError).
struct ImageQuality
{
    double psnr = 0; // +inf when equal
    double edgePsnr = 0;
};

// An image, its transform and its compression: the coefficients of each channel, those kept at a
// percentage, and the image they give back. N = the image's pixels, C = its channels (1 or 3);
// the percentages keep a share of each channel's coefficients, by contribution
// (image::keepLargest). Memory: C (4 N + 2 n) doubles, n ~ N the coefficients of a channel.
class ImageCompression
{
public:
    // The transform of the basis of order m and the rule for the image's size, the coefficients
    // of every channel and the reconstruction at the percentage.           O(C N m^2)
    // Throws what image::defaultParameters and ImageTransform::forward throw.
    ImageCompression(ImageData original, int m, engine::Rule rule, double percent);
    // Coefficients read from a file, one channel, their basis as they have it: the original is
    // the image of all of them, so that nothing is lost at 100 %.               O(N m)
    // Throws what ImageTransform throws for the basis and the size.
    ImageCompression(
        const image::ImageCoefficients& coefficients, int width, int height, double percent);

    // The coefficients kept at another percentage and the image they give. O(C N m)
    void keep(double percent);
    // The quality the percentage would give, the coefficients in force unchanged: a point of the
    // PSNR curve.                                                           O(C N m)
    ImageQuality qualityAt(double percent) const;

    const ImageData& original() const { return original_; }
    const image::ImageTransform& transform() const { return *transform_; }
    // The coefficients kept, of each channel, and the image they give.
    const std::vector<image::ImageCoefficients>& kept() const { return kept_; }
    const std::vector<image::Pixels>& reconstruction() const { return reconstruction_; }
    double percent() const { return percent_; }
    const ImageQuality& quality() const { return quality_; }
    // The coefficients kept and all of them, over every channel.
    std::size_t keptCount() const;
    std::size_t total() const;

private:
    // The coefficients of every channel kept at the percentage.            O(C N)
    std::vector<image::ImageCoefficients> keptAt(double percent) const;
    // The image of each channel's coefficients.                            O(C N m)
    std::vector<image::Pixels> inverse(const std::vector<image::ImageCoefficients>& kept) const;
    ImageQuality qualityOf(const std::vector<image::Pixels>& reconstruction) const;

    ImageData original_;
    std::shared_ptr<const image::ImageTransform> transform_;
    std::vector<image::ImageCoefficients> coefficients_; // [channel]: all of them
    std::vector<image::ImageCoefficients> kept_;
    std::vector<image::Pixels> reconstruction_;
    double percent_ = 100;
    ImageQuality quality_;
};

#include "imaging/ImageCompression.h"

#include <cmath>

namespace {

// The PSNR of channels taken together, from theirs: each channel's mean squared error is
// peak^2 10^(-PSNR/10); the channels have the same number of pixels, so the mean of all is the
// mean of their means.
double combinedPsnr(const std::vector<double>& psnrs)
{
    double sum = 0;
    for (double psnr : psnrs)
        sum += std::pow(10.0, -psnr / 10);
    return -10 * std::log10(sum / double(psnrs.size()));
}

ImageQuality combined(const std::vector<image::ImageError>& errors)
{
    std::vector<double> psnr, edge;
    for (const image::ImageError& error : errors) {
        psnr.push_back(error.psnr);
        edge.push_back(error.edgePsnr);
    }
    return {combinedPsnr(psnr), combinedPsnr(edge)};
}

} // namespace

ImageCompression::ImageCompression(ImageData original, int m, engine::Rule rule, double percent)
    : original_(std::move(original))
{
    const image::Pixels& first = original_.channels.front();
    transform_ = std::make_shared<const image::ImageTransform>(
        image::defaultParameters(first.width, first.height, m, rule), first.width, first.height);
    for (const image::Pixels& channel : original_.channels)
        coefficients_.push_back(transform_->forward(channel));
    keep(percent);
}

ImageCompression::ImageCompression(
    const image::ImageCoefficients& coefficients, int width, int height, double percent)
    : transform_(
        std::make_shared<const image::ImageTransform>(coefficients.parameters, width, height))
    , coefficients_ {coefficients}
{
    original_.channels.push_back(transform_->inverse(coefficients));
    keep(percent);
}

void ImageCompression::keep(double percent)
{
    std::vector<image::ImageCoefficients> kept = keptAt(percent);
    std::vector<image::Pixels> reconstruction = inverse(kept);
    quality_ = qualityOf(reconstruction);
    kept_ = std::move(kept);
    reconstruction_ = std::move(reconstruction);
    percent_ = percent;
}

// Channel by channel, so that one channel's kept coefficients and image are made at a time.
ImageQuality ImageCompression::qualityAt(double percent) const
{
    std::vector<image::ImageError> errors;
    for (std::size_t c = 0; c < coefficients_.size(); ++c) {
        const image::ImageCoefficients& all = coefficients_[c];
        errors.push_back(image::imageError(original_.channels[c],
            transform_->inverse(
                image::keepLargest(*transform_, all, image::keptForPercent(all, percent))),
            ImageData::peak));
    }
    return combined(errors);
}

std::vector<image::ImageCoefficients> ImageCompression::keptAt(double percent) const
{
    std::vector<image::ImageCoefficients> kept;
    for (const image::ImageCoefficients& all : coefficients_)
        kept.push_back(image::keepLargest(*transform_, all, image::keptForPercent(all, percent)));
    return kept;
}

std::vector<image::Pixels> ImageCompression::inverse(
    const std::vector<image::ImageCoefficients>& kept) const
{
    std::vector<image::Pixels> pixels;
    for (const image::ImageCoefficients& channel : kept)
        pixels.push_back(transform_->inverse(channel));
    return pixels;
}

ImageQuality ImageCompression::qualityOf(const std::vector<image::Pixels>& reconstruction) const
{
    std::vector<image::ImageError> errors;
    for (std::size_t c = 0; c < reconstruction.size(); ++c)
        errors.push_back(
            image::imageError(original_.channels[c], reconstruction[c], ImageData::peak));
    return combined(errors);
}

std::size_t ImageCompression::keptCount() const
{
    std::size_t count = 0;
    for (const image::ImageCoefficients& channel : coefficients_)
        count += image::keptForPercent(channel, percent_);
    return count;
}

std::size_t ImageCompression::total() const
{
    std::size_t count = 0;
    for (const image::ImageCoefficients& channel : coefficients_)
        count += channel.values.size();
    return count;
}

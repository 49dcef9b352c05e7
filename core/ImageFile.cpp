#include "core/ImageFile.h"

#include "data/SampledData.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>

namespace {

// One 16-bit channel of a row, at every `step`-th value from `first`, on the 8-bit scale: an
// 8-bit value v is stored as 257 v, so that it comes back whole.
void takeChannel(const quint16* row, int first, int step, int y, image::Pixels& pixels)
{
    for (int x = 0; x < pixels.width; ++x)
        pixels.at(x, y) = row[x * step + first] / 257.0;
}

image::Pixels blankPixels(const QImage& image)
{
    return {image.width(), image.height(),
        std::vector<double>(std::size_t(image.width()) * image.height())};
}

ImageData greyData(const QImage& image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale16);
    ImageData data {{blankPixels(grey)}};
    for (int y = 0; y < grey.height(); ++y)
        takeChannel(
            reinterpret_cast<const quint16*>(grey.constScanLine(y)), 0, 1, y, data.channels[0]);
    return data;
}

ImageData colourData(const QImage& image)
{
    const QImage colour = image.convertToFormat(QImage::Format_RGBX64);
    ImageData data {{blankPixels(colour), blankPixels(colour), blankPixels(colour)}};
    for (int y = 0; y < colour.height(); ++y)
        for (int c = 0; c < 3; ++c)
            takeChannel(reinterpret_cast<const quint16*>(colour.constScanLine(y)), c, 4, y,
                data.channels[c]);
    return data;
}

int byteValue(double value)
{
    return int(std::lround(std::clamp(value, 0.0, 255.0)));
}

} // namespace

ImageData readImageFile(const QString& path, ImageChannels how)
{
    const std::string name = path.toStdString();
    return imageData(readFileText(name), name, how);
}

ImageData imageData(std::string_view bytes, const std::string& name, ImageChannels how)
{
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), qsizetype(bytes.size())))
        failData(name, 0, "это не изображение PNG, JPEG, BMP или TIFF, или файл повреждён");
    if (image.width() < 2 || image.height() < 2)
        failData(name, 0,
            "в изображении " + std::to_string(image.width()) + " × "
                + std::to_string(image.height()) + " пикселей, а нужно не меньше 2 × 2");
    return how == ImageChannels::Colour && !image.isGrayscale() ? colourData(image)
                                                                : greyData(image);
}

QImage toImage(const std::vector<image::Pixels>& channels)
{
    const image::Pixels& first = channels.front();
    const bool grey = channels.size() == 1;
    QImage image(
        first.width, first.height, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    for (int y = 0; y < first.height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < first.width; ++x) {
            if (grey)
                row[x] = uchar(byteValue(first.at(x, y)));
            else
                reinterpret_cast<QRgb*>(row)[x] = qRgb(byteValue(channels[0].at(x, y)),
                    byteValue(channels[1].at(x, y)), byteValue(channels[2].at(x, y)));
        }
    }
    return image;
}

QByteArray pngBytes(const std::vector<image::Pixels>& channels)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    toImage(channels).save(&buffer, "PNG");
    return bytes;
}

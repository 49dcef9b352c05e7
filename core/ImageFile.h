#pragma once

#include "image/ImageTransform.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

// Images in files for the window and the command line: PNG, JPEG, BMP and TIFF in, PNG out.

// How a colour image is taken: as its luminance alone, or channel by channel.
enum class ImageChannels
{
    Grey,
    Colour,
};

// An image as the transform takes it: one channel (grey) or three (red, green, blue), the values
// on the 8-bit scale 0 .. 255 (a 16-bit file keeps its finer steps as fractions).
struct ImageData
{
    std::vector<image::Pixels> channels;
    static constexpr double peak = 255;
};

// Reads the file as grey, or as colour when it has colour and `how` asks for it (a grey file
// gives one channel either way). A file that is missing, unreadable, not an image of a format
// this program reads, or smaller than 2 x 2 pixels throws DataError (data/SampledData.h) naming
// it, in Russian. O(pixels).
ImageData readImageFile(const QString& path, ImageChannels how);
// The same for the bytes of a file already read (readFileText); `name` is the file as the
// messages call it.
ImageData imageData(std::string_view bytes, const std::string& name, ImageChannels how);

// The channels as an image, each value rounded and held to 0 .. 255: grey for one channel,
// RGB for three. O(pixels).
QImage toImage(const std::vector<image::Pixels>& channels);

// The PNG file of toImage(channels).
QByteArray pngBytes(const std::vector<image::Pixels>& channels);

#pragma once

#include "data/CoefficientText.h" // coefficientKind: a function's file or an image's
#include "image/ImageTransform.h"

#include <string>
#include <string_view>

namespace image {

// Which channel of the image the coefficients are of.
enum class Channel
{
    Grey,
    Red,
    Green,
    Blue,
};
// "grey", "red", "green", "blue": the channel's name in the file.
const char* channelName(Channel channel);

// The coefficient file of an image: the coefficients, the basis they belong to (in them), the
// image's size and channel and where it came from. The text (UTF-8, "." decimal point, ","
// between fields, LF line ends):
//   # splinewave coefficients
//   # m=4; Jx=9; Jy=9; J0=2; rule=default; width=512; height=512; channel=grey; f=image:NAME
//   kind,level,band,ix,iy,value
//   d,2,,-3,-3,<value>       the coarse block, level J0, no band
//   c,3,x,-3,-3,<value>      band x, y or xy of pyramid level L (ImageTransform::bands)
// ix and iy are the one-dimensional indices along x and y (k or p, from 1 - m), one row per
// coefficient, values with 17 significant digits so that a saved double reads back as the same
// bits. f, the last key, takes the rest of its line. The interval is [0, 1]: keys a=0 and b=1
// may stand before f, no other values.
struct ImageCoefficientFile
{
    ImageCoefficients coefficients;
    int width = 0, height = 0;
    Channel channel = Channel::Grey;
    std::string function; // "image:NAME"
};

// O(N), N coefficients.
std::string imageCoefficientText(const ImageCoefficientFile& file);

// Reads the text; `name` is the file as messages call it. Rows may come in any order, but each
// coefficient of the key line's basis exactly once. Anything else throws DataError naming the
// line (a one-dimensional function's file among them): a missing, repeated or out-of-band
// entry, a field that is not a finite number, an unknown, repeated or missing key, parameters
// that make no basis, an image size no spline of the levels goes through. O(size of the text).
ImageCoefficientFile parseImageCoefficientText(std::string_view text, const std::string& name);

// The same for a file on disk (readFileText).
ImageCoefficientFile readImageCoefficientFile(const std::string& path);

} // namespace image

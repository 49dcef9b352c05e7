#pragma once

#include "image/ImageCoefficientFile.h"
#include "image/ImageTransform.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <optional>
#include <string>

// The two-dimensional transform of images (image/ImageTransform.h) for the Python module: each
// function checks its arguments (ValueError, TypeError naming them) and runs the transform
// without the GIL.

namespace pyimage {

namespace py = pybind11;

// The coefficients of one image, the transform they belong to (copies share it), what was
// expanded, as the coefficient file names it (f=...), and its channel (grey unless a file says).
struct ImageExpansion
{
    std::shared_ptr<const image::ImageTransform> transform;
    image::ImageCoefficients coefficients;
    std::string label;
    image::Channel channel = image::Channel::Grey;
};

// The expansion of the grey image img, a 2-D array (height, width) of at least 2 x 2 finite
// values; the levels not given image::defaultParameters' for its size. O(N m^2), N pixels.
ImageExpansion forward(const py::object& img, int m, const std::string& rule, std::optional<int> J0,
    std::optional<int> Jx, std::optional<int> Jy);

// The image of the coefficients at the pixels of the transform's image, or at `shape` (height,
// width) pixels spread over [0, 1]^2 alike. O(N m).
py::array_t<double> inverse(const ImageExpansion& expansion, const py::object& shape);

// The coefficient array, (ny, nx), a copy.
py::array_t<double> values(const ImageExpansion& expansion);
// Every band's place in that array: its kind, level, rows, columns and first indices.
py::list bands(const ImageExpansion& expansion);

ImageExpansion keep(const ImageExpansion& expansion, long long K);
ImageExpansion keepPercent(const ImageExpansion& expansion, double percent);
ImageExpansion threshold(const ImageExpansion& expansion, double t);

// The command line's file of an image's coefficients (image/ImageCoefficientFile.h).
void save(const ImageExpansion& expansion, const py::object& path);
// That file's text read; `name` names the file in messages.
ImageExpansion parse(const std::string& text, const std::string& name);

// The module's Python names of the above and their docstrings (ImageModule.cpp).
void define(py::module_& module);

} // namespace pyimage

#include "python/Images.h"

#include "engine/Errors.h"
#include "python/Arguments.h"

#include <cmath>

namespace pyimage {

namespace {

    // What forward2 calls an image given as an array, in the file's f=.
    const std::string arrayLabel = "image:array";

    // The most pixels along an axis: those of the finest level the engine builds, 2^22 + 1.
    constexpr py::ssize_t largestSide = (py::ssize_t(1) << engine::largestFinestLevel) + 1;

    void requireLevel(const image::ImageParameters& p, int J, const char* name)
    {
        try {
            engine::checkParameters({p.m, J, p.J0, p.rule});
        } catch (const engine::ParameterError& error) {
            const bool finest = error.kind == engine::ParameterError::Kind::FinestLevel;
            const bool order = error.kind == engine::ParameterError::Kind::Order;
            throw py::value_error(std::string(finest ? name
                                          : order    ? "m"
                                                     : "J0")
                + ": " + error.what());
        }
    }

    // The spline of level J goes through at most 2^J + 1 pixels along its axis.
    void requireFit(py::ssize_t pixels, int J, const std::string& what)
    {
        const py::ssize_t most = (py::ssize_t(1) << J) + 1;
        if (pixels > most)
            throw py::value_error(what + " " + std::to_string(pixels)
                + " pixels, more than 2^J + 1 = " + std::to_string(most)
                + " for J = " + std::to_string(J));
    }

    // The levels given, the others image::defaultParameters' for width x height pixels.
    image::ImageParameters levels(py::ssize_t width, py::ssize_t height, int m,
        const std::string& rule, std::optional<int> J0, std::optional<int> Jx,
        std::optional<int> Jy)
    {
        if (width > largestSide || height > largestSide)
            throw py::value_error("img must have at most 2^22 + 1 = " + std::to_string(largestSide)
                + " pixels along each axis");
        image::ImageParameters p;
        try {
            p = image::defaultParameters(int(width), int(height), m, pyarg::rule(rule));
        } catch (const engine::ParameterError& error) {
            throw py::value_error(std::string("m: ") + error.what());
        }
        p.J0 = J0.value_or(p.J0);
        p.Jx = Jx.value_or(p.Jx);
        p.Jy = Jy.value_or(p.Jy);
        requireLevel(p, p.Jx, "Jx");
        requireLevel(p, p.Jy, "Jy");
        return p;
    }

    // The image's size and the transform's levels agree.
    void requireSize(const image::ImageParameters& p, py::ssize_t width, py::ssize_t height,
        const std::string& name)
    {
        requireFit(width, p.Jx, name + " has along x (width)");
        requireFit(height, p.Jy, name + " has along y (height)");
    }

    // One side of shape=: a whole number of at least 2 pixels.
    py::ssize_t side(const py::handle& value)
    {
        const py::object index = py::reinterpret_steal<py::object>(PyNumber_Index(value.ptr()));
        if (!index) {
            PyErr_Clear();
            throw py::type_error("shape must be (height, width), two whole numbers");
        }
        const auto pixels = index.cast<long long>();
        if (pixels < 2)
            throw py::value_error(
                "shape must be at least (2, 2), not with a side of " + std::to_string(pixels));
        return py::ssize_t(pixels);
    }

    const char* bandName(image::Band band)
    {
        switch (band) {
        case image::Band::Coarse:
            break;
        case image::Band::X:
            return "x";
        case image::Band::Y:
            return "y";
        case image::Band::XY:
            return "xy";
        }
        return "coarse";
    }

    ImageExpansion with(const ImageExpansion& expansion, image::ImageCoefficients&& coefficients)
    {
        return {expansion.transform, std::move(coefficients), expansion.label, expansion.channel};
    }

} // namespace

ImageExpansion forward(const py::object& img, int m, const std::string& rule, std::optional<int> J0,
    std::optional<int> Jx, std::optional<int> Jy)
{
    pyarg::Matrix matrix = pyarg::finiteMatrix(img, "img");
    const image::ImageParameters p = levels(matrix.columns, matrix.rows, m, rule, J0, Jx, Jy);
    requireSize(p, matrix.columns, matrix.rows, "img");
    const image::Pixels pixels {int(matrix.columns), int(matrix.rows), std::move(matrix.values)};
    py::gil_scoped_release free;
    auto transform = std::make_shared<const image::ImageTransform>(p, pixels.width, pixels.height);
    image::ImageCoefficients coefficients = transform->forward(pixels);
    return {std::move(transform), std::move(coefficients), arrayLabel};
}

py::array_t<double> inverse(const ImageExpansion& expansion, const py::object& shape)
{
    std::shared_ptr<const image::ImageTransform> transform = expansion.transform;
    if (!shape.is_none()) {
        if (!py::isinstance<py::sequence>(shape) || py::len(shape) != 2)
            throw py::type_error("shape must be (height, width), two whole numbers");
        const py::ssize_t height = side(shape[py::int_(0)]), width = side(shape[py::int_(1)]);
        requireSize(expansion.coefficients.parameters, width, height, "shape");
        if (width != transform->width() || height != transform->height()) {
            py::gil_scoped_release free;
            transform = std::make_shared<const image::ImageTransform>(
                expansion.coefficients.parameters, int(width), int(height));
        }
    }
    image::Pixels pixels;
    {
        py::gil_scoped_release free;
        pixels = transform->inverse(expansion.coefficients);
    }
    return pyarg::array(std::move(pixels.values), {pixels.height, pixels.width});
}

py::array_t<double> values(const ImageExpansion& expansion)
{
    const image::ImageCoefficients& c = expansion.coefficients;
    return pyarg::array(std::vector(c.values), {c.ny, c.nx});
}

py::list bands(const ImageExpansion& expansion)
{
    using namespace pybind11::literals;
    py::list all;
    for (const image::BandPlace& place : expansion.transform->bands())
        all.append(py::dict("band"_a = bandName(place.band), "level"_a = place.level,
            "rows"_a = py::slice(place.row, place.row + place.rows, 1),
            "columns"_a = py::slice(place.column, place.column + place.columns, 1),
            "first_x"_a = place.firstX, "first_y"_a = place.firstY));
    return all;
}

ImageExpansion keep(const ImageExpansion& expansion, long long K)
{
    if (K < 0)
        throw py::value_error("K must be >= 0, not " + std::to_string(K));
    py::gil_scoped_release free;
    return with(expansion,
        image::keepLargest(*expansion.transform, expansion.coefficients, std::size_t(K)));
}

ImageExpansion keepPercent(const ImageExpansion& expansion, double percent)
{
    if (!(percent >= 0 && percent <= 100))
        throw py::value_error("percent must be in 0 .. 100, not " + std::to_string(percent));
    py::gil_scoped_release free;
    const std::size_t K = image::keptForPercent(expansion.coefficients, percent);
    return with(expansion, image::keepLargest(*expansion.transform, expansion.coefficients, K));
}

ImageExpansion threshold(const ImageExpansion& expansion, double t)
{
    if (!std::isfinite(t) || t < 0)
        throw py::value_error("t must be a finite number >= 0, not " + std::to_string(t));
    py::gil_scoped_release free;
    return with(expansion, image::thresholded(*expansion.transform, expansion.coefficients, t));
}

void save(const ImageExpansion& expansion, const py::object& path)
{
    const py::bytes text(
        image::imageCoefficientText({expansion.coefficients, expansion.transform->width(),
            expansion.transform->height(), expansion.channel, expansion.label}));
    // Python opens the file: any path-like object, and OSError as Python words it.
    const py::object stream = py::module_::import("builtins").attr("open")(path, "wb");
    stream.attr("write")(text);
    stream.attr("close")();
}

ImageExpansion parse(const std::string& text, const std::string& name)
{
    image::ImageCoefficientFile file = image::parseImageCoefficientText(text, name);
    py::gil_scoped_release free;
    auto transform = std::make_shared<const image::ImageTransform>(
        file.coefficients.parameters, file.width, file.height);
    return {std::move(transform), std::move(file.coefficients), file.function, file.channel};
}

} // namespace pyimage

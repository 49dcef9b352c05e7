// The two-dimensional transform in the Python module splinewave: the Python names of
// python/Images.h and their docstrings.

#include "python/Arguments.h"
#include "python/Images.h"

#include <pybind11/stl.h>

namespace pyimage {

namespace {

    using namespace pybind11::literals;

    const char* const forward2Doc
        = R"doc(The coefficients of the grey image img in the tensor product of two spline-wavelet bases.

img is a two-dimensional array (height, width) of at least 2 x 2 finite real values, any dtype:
a grey image, or one channel of a colour one, on any scale (0 .. 255 for 8-bit images). Its
pixels are equally spaced over [0, 1]^2, the first and the last on the edges: column x at
x / (width - 1), row y at y / (height - 1), row 0 on top. Both axes have the order m and the
rule; Jx and Jy are the finest levels along x (the width) and y (the height), by default the
smallest with 2^Jx >= width - 1 (2^Jy >= height - 1); J0, the coarsest level of both, is the
smallest the rule allows unless given. Each row, then each column, goes through the spline of
the finest level through its pixels, so that keeping every coefficient gives the pixels back;
then the pyramid splits one level at a time. The same m, rule, levels and pixels give the same
doubles as splinewave-cli image (the file of --coefficients with every coefficient kept).
Raises ValueError for bad values (NaN, fewer than 2 x 2 pixels, a level out of range, more
pixels along an axis than 2^J + 1) and TypeError for wrong types, the message naming the
argument.)doc";

    const char* const inverse2Doc
        = R"doc(The image of the coefficients c, a 2-D array (height, width).

At the pixels of the image c was made from, unless shape = (height, width) asks for another
number of pixels over the same [0, 1]^2 (at most 2^Jx + 1 across, 2^Jy + 1 down).)doc";

    const char* const coefficientsDoc
        = R"doc(Coefficients of one image in the tensor-product spline-wavelet basis.

values is the (ny, nx) array, nx = 2^Jx + m - 1 and ny = 2^Jy + m - 1, in the layout the pyramid
leaves it: the coarse block of level J0 at the top left, each finer level's bands beside and
below it (bands() tells where). A band 'x' holds wavelets along x times B-splines along y, 'y'
the other way round, 'xy' wavelets along both. keep, keep_percent and threshold rank every
coefficient, the coarse ones too, by its contribution |c| * ||basis function||_L2, so that
levels and bands compare fairly; they make new Coefficients2 and leave these untouched.)doc";

    template <class Value> auto parameter(Value image::ImageParameters::*member)
    {
        return [member](const ImageExpansion& e) { return e.coefficients.parameters.*member; };
    }

} // namespace

void define(py::module_& module)
{
    py::class_<ImageExpansion>(module, "Coefficients2", coefficientsDoc)
        .def_property_readonly("m", parameter(&image::ImageParameters::m), "The spline order.")
        .def_property_readonly(
            "Jx", parameter(&image::ImageParameters::Jx), "The finest level along x.")
        .def_property_readonly(
            "Jy", parameter(&image::ImageParameters::Jy), "The finest level along y.")
        .def_property_readonly(
            "J0", parameter(&image::ImageParameters::J0), "The coarsest level of both axes.")
        .def_property_readonly(
            "rule",
            [](const ImageExpansion& e) { return pyarg::ruleName(e.coefficients.parameters.rule); },
            "'default' or 'exact'.")
        .def_property_readonly(
            "shape",
            [](const ImageExpansion& e) {
                return py::make_tuple(e.transform->height(), e.transform->width());
            },
            "(height, width) of the image the coefficients were made from.")
        .def_property_readonly(
            "label", [](const ImageExpansion& e) { return e.label; },
            "What was expanded, as the coefficient file names it (f=...).")
        .def_property_readonly(
            "channel", [](const ImageExpansion& e) { return image::channelName(e.channel); },
            "'grey', or the colour channel ('red', 'green', 'blue') a loaded file names.")
        .def_property_readonly("values", &values,
            "The coefficient array (ny, nx), column i and row j at [j, i] (a copy).")
        .def("bands", &bands,
            "Where each band lies in values: a list of dicts, the coarse block first, then "
            "level by level from J0 + 1 the bands 'x', 'y', 'xy' it has. band, level; rows and "
            "columns, slices of values; first_x and first_y, the 1-D indices (k or p, from 1 - m) "
            "of its first column and first row.")
        .def("keep", &keep, "K"_a,
            "New coefficients keeping the K of largest contribution, the rest set to 0 "
            "(equal ones: the earlier in values stay).")
        .def("keep_percent", &keepPercent, "percent"_a,
            "keep(K) for percent (0 .. 100) of all coefficients, K rounded to the nearest, as "
            "splinewave-cli image --percent.")
        .def("threshold", &threshold, "t"_a,
            "New coefficients with every coefficient of contribution below t set to 0.")
        .def("save", &save, "path"_a,
            "Writes the command line's file of an image's coefficients (CSV, 17 significant "
            "digits: every double reads back as the same bits).")
        .def("__repr__", [](const ImageExpansion& e) {
            const image::ImageParameters& p = e.coefficients.parameters;
            return "<splinewave.Coefficients2 m=" + std::to_string(p.m)
                + " Jx=" + std::to_string(p.Jx) + " Jy=" + std::to_string(p.Jy)
                + " J0=" + std::to_string(p.J0) + " rule='" + pyarg::ruleName(p.rule) + "' of '"
                + e.label + "' " + std::to_string(e.transform->width()) + " x "
                + std::to_string(e.transform->height()) + ">";
        });
    module.def("forward2", &forward, "img"_a, py::kw_only(), "m"_a = 4, "rule"_a = "default",
        "J0"_a = py::none(), "Jx"_a = py::none(), "Jy"_a = py::none(), forward2Doc);
    module.def("inverse2", &inverse, "c"_a, "shape"_a = py::none(), inverse2Doc);
}

} // namespace pyimage

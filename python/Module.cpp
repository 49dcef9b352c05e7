// The Python module splinewave: the engine's transforms and its model of one expansion for numpy
// users. The functions themselves are in Operations.h; here are their Python names and docstrings.

#include "python/Arguments.h"
#include "python/Images.h"
#include "python/Operations.h"

#include <pybind11/stl.h>

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

const char* const moduleDoc = R"doc(Fast spline-wavelet transform on the interval [0, 1].

Conventions
-----------
Interval   every function lives on [0, 1]; the basis has no padding or extension at the ends:
           its boundary wavelets fit the ends.
Order m    2, 3 or 4: B-splines of degree m - 1 (linear, quadratic, cubic).
Levels     level L divides [0, 1] into 2^L intervals of length h = 2^-L. The finest level J
           (N = 2^J intervals, J up to 22) holds the projection of f; the coarsest level J0 holds
           the coarse approximation. J0 is the smallest the rule allows unless given:
           default rule 1, 2, 2 and exact rule 1, 2, 3 for m = 2, 3, 4.
Indices    the coarse coefficients d_k of the B-splines N_(J0,k), k = 1-m .. 2^J0 - 1;
           the wavelet coefficients c_(L,p) of psi_(L,p), L = J0+1 .. J, p = 1-m .. 2^(L-1) - m.
           Arrays hold them in that order: d[k + m - 1], level(L)[p + m - 1].
Scaling    the B-splines are h times the normalised ones (they sum to h, not 1), so coefficients
           grow by about 2^(3/2) per finer level for the same L^2 size. Thresholds therefore
           compare the contribution |c| * ||psi||_L2 by default, not |c|.
Rule       the scalar product of the projection: 'default' sums Gauss weights at equally
           spaced points (this program's historic numbers); 'exact' integrates at Gauss nodes
           and gives semi-orthogonal wavelets, every level orthogonal to the coarser
           B-splines. Take 'exact' for many levels: the default basis grows ill-conditioned.
Images     forward2 and inverse2 take a grey image, a 2-D array, in the tensor product of
           two such bases, one along x (the width) and one along y (the height).
Threads    the transforms release the GIL; a Basis, Coefficients or Coefficients2 may be used
           from several threads at once.

Example
-------
>>> import numpy as np, splinewave as sw
>>> x = np.linspace(0, 1, 4097); y = np.sin(2*np.pi*x) * np.exp(-x)
>>> c = sw.forward(y, m=4, J=12, rule="exact")
>>> np.abs(sw.inverse(c, x) - y).max() < 1e-6
True
)doc";

const char* const forwardDoc
    = R"doc(The coefficients of f in the spline-wavelet basis of order m and finest level J.

f is either
  - a callable of a numpy array of points returning the values there (an array of the
    same length, or a scalar): it is called on whole batches, a few calls per transform; or
  - samples y on [0, 1], the ends included: 2 .. 2^J + 1 finite values, equally spaced
    unless x gives their points (strictly increasing from 0 to 1). fit chooses the route:
    'interpolate' (the default, as the command line does) takes the spline of V_J through
    the samples, so that keeping every coefficient gives the samples back; 'project'
    projects the natural cubic spline through the samples.

The same m, J, rule and input give the same doubles as splinewave-cli forward.
Raises ValueError for bad values (NaN, too few samples, J out of range, unknown rule) and
TypeError for wrong types, the message naming the argument.)doc";

const char* const inverseDoc = R"doc(The expansion c at the points x.

x may have any shape; the result has the same shape. The expansion is 0 outside [0, 1].)doc";

const char* const loadDoc = R"doc(Reads a coefficient file of the command line.

The file of splinewave-cli forward -o or Coefficients.save gives Coefficients; that of an image
(splinewave-cli image --coefficients, Coefficients2.save) gives Coefficients2. Every value reads
back as the same double. ValueError when the file is not one.)doc";

const char* const basisDoc = R"doc(A spline-wavelet basis and its fast transform.

The basis of order m (2, 3, 4) on levels J0 .. J of [0, 1], and the factors of its fast
transform, computed once in O(2^J m). Reuse one Basis for many transforms of the same size:
Basis.forward costs only the transform. See help(splinewave) for the conventions.)doc";

const char* const coefficientsDoc = R"doc(Coefficients of one expansion in a spline-wavelet basis.

d holds the coarse coefficients of level J0, c the wavelet coefficients of levels J0+1 .. J
in one array, level after level. Both are copies: thresholds and keep() make new Coefficients
and leave these untouched.)doc";

void defineBasis(py::module_& module)
{
    py::class_<pyops::PyBasis>(module, "Basis", basisDoc)
        .def(py::init(&pyops::makeBasis), "m"_a, "J"_a, "rule"_a = "default", "J0"_a = py::none())
        .def_property_readonly(
            "m", [](const pyops::PyBasis& b) { return b.transform->basis().m(); },
            "The spline order: B-splines of degree m - 1.")
        .def_property_readonly(
            "J", [](const pyops::PyBasis& b) { return b.transform->basis().finestLevel(); },
            "The finest level: 2^J intervals.")
        .def_property_readonly(
            "J0", [](const pyops::PyBasis& b) { return b.transform->basis().coarsestLevel(); },
            "The coarsest level.")
        .def_property_readonly(
            "rule",
            [](const pyops::PyBasis& b) { return pyarg::ruleName(b.transform->basis().rule()); },
            "'default' or 'exact'.")
        .def("forward", &pyops::forward, "f"_a, "x"_a = py::none(), "fit"_a = py::none(),
            "splinewave.forward in this basis.")
        .def("scaling", &pyops::scaling, "level"_a, "index"_a, "x"_a,
            "The B-spline N_(level,index) at x: "
            "level J0 .. J, index 1-m .. 2^level - 1, h = 2^-level times the normalised one.")
        .def("wavelet", &pyops::wavelet, "level"_a, "index"_a, "x"_a,
            "The wavelet psi_(level,index) at x: "
            "level J0+1 .. J, index 1-m .. 2^(level-1) - m.")
        .def("__repr__", [](const pyops::PyBasis& b) {
            const engine::BasisParameters& p = b.transform->basis().parameters();
            return "splinewave.Basis(m=" + std::to_string(p.m) + ", J=" + std::to_string(p.J)
                + ", rule='" + pyarg::ruleName(p.rule) + "', J0=" + std::to_string(p.J0) + ")";
        });
}

void defineCoefficients(py::module_& module)
{
    using engine::Expansion;
    const auto parameters = [](const Expansion& e) { return e.transform().basis().parameters(); };
    py::class_<Expansion>(module, "Coefficients", coefficientsDoc)
        .def_property_readonly(
            "m", [=](const Expansion& e) { return parameters(e).m; }, "The spline order.")
        .def_property_readonly(
            "J", [=](const Expansion& e) { return parameters(e).J; }, "The finest level.")
        .def_property_readonly(
            "J0", [=](const Expansion& e) { return parameters(e).J0; }, "The coarsest level.")
        .def_property_readonly(
            "rule", [=](const Expansion& e) { return pyarg::ruleName(parameters(e).rule); },
            "'default' or 'exact'.")
        .def_property_readonly("label", &Expansion::label,
            "What was expanded, as the coefficient file names it (f=...).")
        .def_property_readonly(
            "basis", [](const Expansion& e) { return pyops::PyBasis {e.sharedTransform()}; },
            "The Basis these coefficients belong to.")
        .def_property_readonly(
            "d", [](const Expansion& e) { return pyops::level(e, e.coefficients().J0); },
            "The coarse coefficients d_k, k = 1-m .. 2^J0 - 1, at [k + m - 1] (a copy).")
        .def_property_readonly(
            "c", [](const Expansion& e) { return pyarg::array(std::vector(e.coefficients().c)); },
            "All wavelet coefficients, levels J0+1 .. J one after the other (a copy).")
        .def("level", &pyops::level, "L"_a,
            "The coefficients of level L: d for L = J0, c_(L,p) "
            "at [p + m - 1], p = 1-m .. 2^(L-1) - m, for L = J0+1 .. J (a copy).")
        .def(
            "levels",
            [](const Expansion& e) {
                py::list all;
                for (int L = e.coefficients().J0; L <= e.coefficients().J; ++L)
                    all.append(pyops::level(e, L));
                return all;
            },
            "[d, c_(J0+1), ..., c_J]: level(L) for L = J0 .. J.")
        .def("threshold", &pyops::threshold, "t"_a, "mode"_a = "hard", "by"_a = "contribution",
            "New coefficients "
            "with every wavelet coefficient of measure below t set to 0; d stay. by: "
            "'contribution' |c| * ||psi||_L2 (as the window and the command line) or 'value' |c|.")
        .def("keep", &pyops::keep, "K"_a, "by"_a = "contribution",
            "New coefficients keeping d and the K "
            "wavelet coefficients of largest measure (equal ones: the earlier level first).")
        .def("components", &pyops::components, "x"_a,
            "Row 0: the coarse approximation sum d_k N_(J0,k) "
            "at x; row L - J0: the detail sum c_(L,p) psi_(L,p) of level L. The rows add up to "
            "inverse(c, x). Shape (J - J0 + 1,) + x.shape.")
        .def("save", &pyops::save, "path"_a,
            "Writes the command line's coefficient file (CSV, 17 significant "
            "digits: every double reads back as the same bits).")
        .def("__repr__", [=](const Expansion& e) {
            const engine::BasisParameters p = parameters(e);
            return "<splinewave.Coefficients m=" + std::to_string(p.m) + " J=" + std::to_string(p.J)
                + " J0=" + std::to_string(p.J0) + " rule='" + pyarg::ruleName(p.rule) + "' of '"
                + e.label() + "'>";
        });
}

} // namespace

PYBIND11_MODULE(splinewave, module)
{
    module.doc() = moduleDoc;
    defineBasis(module);
    defineCoefficients(module);
    pyimage::define(module);
    module.def(
        "forward",
        [](const py::object& f, int m, int J, const std::string& rule, std::optional<int> J0,
            const py::object& x, const py::object& fit) {
            return pyops::forward(pyops::makeBasis(m, J, rule, J0), f, x, fit);
        },
        "f"_a, py::kw_only(), "m"_a, "J"_a, "rule"_a = "default", "J0"_a = py::none(),
        "x"_a = py::none(), "fit"_a = py::none(), forwardDoc);
    module.def("inverse", &pyops::values, "c"_a, "x"_a, inverseDoc);
    module.def("load", &pyops::load, "path"_a, loadDoc);
}

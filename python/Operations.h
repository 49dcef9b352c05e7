#pragma once

#include "data/SampleExpansion.h"
#include "engine/Expansion.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <optional>
#include <string>

// What the Python module does, over the engine's Transform and Expansion: each function checks
// its arguments (ValueError, TypeError naming them) and runs the engine without the GIL.

namespace pyops {

namespace py = pybind11;

// One basis and the factors of its transform; copies share them.
struct PyBasis
{
    std::shared_ptr<const engine::Transform> transform;
};

// The basis of order m, finest level J, the rule; J0 the smallest the rule allows unless given.
// O(N m), N = 2^J.
PyBasis makeBasis(int m, int J, const std::string& rule, std::optional<int> J0);

// The expansion of f: a callable of numpy arrays, or samples y at x (equally spaced from a to b,
// both included, when x is None), 2 .. 2^J + 1 of them, through the route `fit`.
engine::Expansion forward(
    const PyBasis& basis, const py::object& f, const py::object& x, const py::object& fit);

// The expansion's values at the points x, of x's shape.
py::array_t<double> values(const engine::Expansion& expansion, const py::object& x);
// The coarse part and each level's detail at x: shape (J - J0 + 1,) + x's shape.
py::array_t<double> components(const engine::Expansion& expansion, const py::object& x);

// N_(L,k) or psi_(L,p) of the basis at x, of x's shape.
py::array_t<double> scaling(const PyBasis& basis, int level, int index, const py::object& x);
py::array_t<double> wavelet(const PyBasis& basis, int level, int index, const py::object& x);

// The coefficients of level L: d for L = J0, c_L above.
py::array_t<double> level(const engine::Expansion& expansion, int L);

engine::Expansion threshold(
    const engine::Expansion& expansion, double t, const std::string& mode, const std::string& by);
engine::Expansion keep(const engine::Expansion& expansion, long long K, const std::string& by);

// The command line's coefficient file (data/CoefficientFile.h), every digit.
void save(const engine::Expansion& expansion, const py::object& path);
// That file as an engine::Expansion, or the file of an image's coefficients as
// pyimage::ImageExpansion (python/Images.h).
py::object load(const py::object& path);

} // namespace pyops

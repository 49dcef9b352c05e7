#pragma once

#include "engine/Expansion.h"
#include "engine/Quadrature.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

// The module's arguments from Python objects and its results as numpy arrays. Every check
// raises ValueError or TypeError (pybind11's value_error, type_error) with an English message
// that starts with the argument's name.

namespace pyarg {

namespace py = pybind11;

// A C-contiguous array of doubles holding the values of `object`: any real dtype, a list, a
// scalar or a non-contiguous view is converted (a copy only where it must be). Anything else
// raises TypeError naming `name`.
py::array_t<double> doubles(const py::object& object, const char* name);

// The same, one-dimensional, finite everywhere, at least `least` values (ValueError).
std::vector<double> finiteVector(const py::object& object, const char* name, std::size_t least);

// The values of `array`, finite everywhere (ValueError naming the first bad index), in C order.
std::vector<double> finiteValues(const py::array_t<double>& array, const char* name);

// A two-dimensional array of at least 2 x 2 finite values: its values in C order, row after row.
struct Matrix
{
    std::vector<double> values;
    py::ssize_t rows = 0, columns = 0;
};
Matrix finiteMatrix(const py::object& object, const char* name);

// "default" or "exact".
engine::Rule rule(const std::string& text);
const char* ruleName(engine::Rule rule);
// "contribution" or "value".
engine::Measure measure(const std::string& text);

// An array that takes over the vector without a copy, of the given shape (its size).
py::array_t<double> array(std::vector<double>&& values, std::vector<py::ssize_t> shape);
py::array_t<double> array(std::vector<double>&& values);

} // namespace pyarg

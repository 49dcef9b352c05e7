#include "python/Arguments.h"

#include <cmath>
#include <memory>

namespace pyarg {

namespace {

    std::string shapeText(const py::array& array)
    {
        std::string text = "(";
        for (py::ssize_t axis = 0; axis < array.ndim(); ++axis)
            text += (axis ? ", " : "") + std::to_string(array.shape(axis));
        return text + (array.ndim() == 1 ? ",)" : ")");
    }

    // The flat index i in C order as the array's own index: "7" or "(1, 3)".
    std::string indexText(const py::array& array, std::size_t i)
    {
        if (array.ndim() <= 1)
            return std::to_string(i);
        std::string text = ")";
        for (py::ssize_t axis = array.ndim() - 1; axis >= 0; --axis) {
            const auto extent = std::size_t(array.shape(axis));
            text.insert(0, (axis ? ", " : "(") + std::to_string(i % extent));
            i /= extent;
        }
        return text;
    }

} // namespace

py::array_t<double> doubles(const py::object& object, const char* name)
{
    // Complex values would lose their imaginary part silently: refused like any non-real input.
    const py::array probe = py::array::ensure(object);
    if (probe
        && (probe.dtype().kind() == 'c' || probe.dtype().kind() == 'O'
            || probe.dtype().kind() == 'U' || probe.dtype().kind() == 'S'))
        throw py::type_error(std::string(name) + " must hold real numbers, not dtype "
            + py::str(probe.dtype()).cast<std::string>());
    auto values = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(object);
    if (!values)
        throw py::type_error(std::string(name) + " must be an array of real numbers, not "
            + py::str(py::type::of(object).attr("__name__")).cast<std::string>());
    return values;
}

std::vector<double> finiteValues(const py::array_t<double>& array, const char* name)
{
    const double* data = array.data();
    std::vector<double> values(data, data + array.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isfinite(values[i]))
            throw py::value_error(std::string(name) + " is not finite at index "
                + indexText(array, i) + " (" + (std::isnan(values[i]) ? "nan" : "inf") + ")");
    return values;
}

Matrix finiteMatrix(const py::object& object, const char* name)
{
    const py::array_t<double> values = doubles(object, name);
    if (values.ndim() != 2)
        throw py::value_error(
            std::string(name) + " must be two-dimensional, not of shape " + shapeText(values));
    if (values.shape(0) < 2 || values.shape(1) < 2)
        throw py::value_error(
            std::string(name) + " must be at least 2 x 2, not of shape " + shapeText(values));
    return {finiteValues(values, name), values.shape(0), values.shape(1)};
}

std::vector<double> finiteVector(const py::object& object, const char* name, std::size_t least)
{
    const py::array_t<double> values = doubles(object, name);
    if (values.ndim() != 1)
        throw py::value_error(
            std::string(name) + " must be one-dimensional, not of shape " + shapeText(values));
    if (std::size_t(values.size()) < least)
        throw py::value_error(std::string(name) + " needs at least " + std::to_string(least)
            + " values, not " + std::to_string(values.size()));
    return finiteValues(values, name);
}

engine::Rule rule(const std::string& text)
{
    if (text == "default")
        return engine::Rule::Default;
    if (text == "exact")
        return engine::Rule::Exact;
    throw py::value_error("rule must be 'default' or 'exact', not '" + text + "'");
}

const char* ruleName(engine::Rule rule)
{
    return rule == engine::Rule::Exact ? "exact" : "default";
}

engine::Measure measure(const std::string& text)
{
    if (text == "contribution")
        return engine::Measure::Contribution;
    if (text == "value")
        return engine::Measure::Value;
    throw py::value_error("by must be 'contribution' or 'value', not '" + text + "'");
}

py::array_t<double> array(std::vector<double>&& values, std::vector<py::ssize_t> shape)
{
    auto owner = std::make_unique<std::vector<double>>(std::move(values));
    const double* data = owner->data();
    py::capsule free(
        owner.get(), [](void* vector) { delete static_cast<std::vector<double>*>(vector); });
    owner.release();
    return py::array_t<double>(std::move(shape), data, free);
}

py::array_t<double> array(std::vector<double>&& values)
{
    const auto size = py::ssize_t(values.size());
    return array(std::move(values), {size});
}

} // namespace pyarg

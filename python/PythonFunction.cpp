#include "python/PythonFunction.h"

#include "python/Arguments.h"

#include <algorithm>
#include <memory>

namespace py = pybind11;

namespace {

// The callable, released under the GIL when the last copy of the batch function goes.
struct Callable
{
    explicit Callable(py::object f)
        : f(std::move(f))
    {
    }
    Callable(const Callable&) = delete;
    ~Callable()
    {
        py::gil_scoped_acquire gil;
        f = py::object();
    }
    py::object f;
};

} // namespace

engine::BatchFunction pythonFunction(py::object f)
{
    auto callable = std::make_shared<Callable>(std::move(f));
    return [callable](std::span<const double> x, std::span<double> fx) {
        py::gil_scoped_acquire gil;
        // A copy of the points: f may keep its argument after the transform has moved on.
        const py::array_t<double> points(py::ssize_t(x.size()), x.data());
        const py::array_t<double> values = pyarg::doubles(callable->f(points), "f's result");
        if (values.size() == 1 && values.ndim() <= 1) {
            std::fill(fx.begin(), fx.end(), *values.data());
            return;
        }
        if (values.ndim() != 1 || std::size_t(values.size()) != x.size())
            throw py::value_error("f must return one value per point: called with "
                + std::to_string(x.size()) + " points, it returned " + std::to_string(values.size())
                + " values in " + std::to_string(values.ndim()) + " dimension(s)");
        std::copy_n(values.data(), x.size(), fx.begin());
    };
}

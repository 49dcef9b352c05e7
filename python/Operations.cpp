#include "python/Operations.h"

#include "data/CoefficientFile.h"
#include "data/CoefficientText.h"
#include "engine/Errors.h"
#include "python/Arguments.h"
#include "python/Images.h"
#include "python/PythonFunction.h"

#include <cmath>

namespace pyops {

namespace {

    // What samples go through when fit is not given: the spline through them, the route of the
    // command line's forward --data.
    constexpr Fit defaultFit = Fit::Interpolate;

    Fit fitOption(const py::object& fit)
    {
        if (fit.is_none())
            return defaultFit;
        const std::string text = py::cast<std::string>(fit);
        if (text == "interpolate")
            return Fit::Interpolate;
        if (text == "project")
            return Fit::Project;
        throw py::value_error("fit must be 'interpolate' or 'project', not '" + text + "'");
    }

    // The points of x in C order and x's shape.
    struct Points
    {
        std::vector<double> x;
        std::vector<py::ssize_t> shape;
    };

    Points points(const py::object& x)
    {
        const py::array_t<double> array = pyarg::doubles(x, "x");
        return {pyarg::finiteValues(array, "x"),
            std::vector<py::ssize_t>(array.shape(), array.shape() + array.ndim())};
    }

    // x_i = a + (b - a) i / (N - 1), x_(N-1) = b: the points of a data file of one column.
    std::vector<double> equallySpaced(std::size_t N, double a, double b)
    {
        std::vector<double> x(N);
        for (std::size_t i = 0; i + 1 < N; ++i)
            x[i] = a + (b - a) * double(i) / double(N - 1);
        x.back() = b;
        return x;
    }

    // The samples' x: given, they increase strictly from a to b (within 1e-12 (b - a), as in a
    // data file).
    std::vector<double> samplePoints(const py::object& x, std::size_t N, double a, double b)
    {
        if (x.is_none())
            return equallySpaced(N, a, b);
        std::vector<double> points = pyarg::finiteVector(x, "x", 2);
        if (points.size() != N)
            throw py::value_error("x has " + std::to_string(points.size()) + " points but y has "
                + std::to_string(N) + " values");
        for (std::size_t i = 1; i < N; ++i)
            if (!(points[i] > points[i - 1]))
                throw py::value_error("x must increase strictly, but x[" + std::to_string(i)
                    + "] = " + std::to_string(points[i]) + " follows "
                    + std::to_string(points[i - 1]));
        const double tolerance = 1e-12 * (b - a);
        if (std::abs(points.front() - a) > tolerance || std::abs(points.back() - b) > tolerance)
            throw py::value_error("x must run from " + std::to_string(a) + " to "
                + std::to_string(b) + ", the ends included, not from "
                + std::to_string(points.front()) + " to " + std::to_string(points.back()));
        points.front() = a;
        points.back() = b;
        return points;
    }

    engine::Expansion forwardSamples(
        const PyBasis& basis, const py::object& y, const py::object& x, Fit fit)
    {
        const engine::BasisParameters& p = basis.transform->basis().parameters();
        SampledData samples;
        samples.y = pyarg::finiteVector(y, "y", 2);
        const std::size_t most = (std::size_t(1) << p.J) + 1;
        if (samples.y.size() > most)
            throw py::value_error("y holds " + std::to_string(samples.y.size())
                + " samples, more than 2^J + 1 = " + std::to_string(most));
        samples.x = samplePoints(x, samples.y.size(), p.a, p.b);
        py::gil_scoped_release free;
        return expandSamples(basis.transform, samples, fit, "data:array");
    }

    engine::Expansion forwardFunction(const PyBasis& basis, const py::object& f)
    {
        const py::object name
            = py::getattr(f, "__qualname__", py::type::of(f).attr("__qualname__"));
        const std::string label = "python:" + py::str(name).cast<std::string>();
        engine::BatchFunction batch = pythonFunction(f);
        py::gil_scoped_release free;
        return engine::Expansion(
            basis.transform, basis.transform->forward(batch), engine::Origin::Function, label);
    }

    template <class Value> py::array_t<double> atPoints(const py::object& x, const Value& value)
    {
        Points p = points(x);
        std::vector<double> values(p.x.size());
        {
            py::gil_scoped_release free;
            for (std::size_t i = 0; i < p.x.size(); ++i)
                values[i] = value(p.x[i]);
        }
        return pyarg::array(std::move(values), std::move(p.shape));
    }

    void requireIndex(const char* name, int value, int first, int last)
    {
        if (value < first || value > last)
            throw py::value_error(std::string(name) + " must be in " + std::to_string(first)
                + " .. " + std::to_string(last) + ", not " + std::to_string(value));
    }

    std::string argumentOf(engine::ParameterError::Kind kind)
    {
        switch (kind) {
        case engine::ParameterError::Kind::Order:
            return "m";
        case engine::ParameterError::Kind::CoarsestLevel:
            return "J0";
        case engine::ParameterError::Kind::FinestLevel:
            return "J";
        case engine::ParameterError::Kind::Interval:
            break;
        }
        return "a, b";
    }

} // namespace

PyBasis makeBasis(int m, int J, const std::string& rule, std::optional<int> J0)
{
    engine::BasisParameters p;
    p.m = m;
    p.J = J;
    p.rule = pyarg::rule(rule);
    p.J0 = J0 ? *J0 : engine::smallestCoarsestLevel(m, p.rule);
    try {
        engine::checkParameters(p);
    } catch (const engine::ParameterError& error) {
        throw py::value_error(argumentOf(error.kind) + ": " + error.what());
    }
    py::gil_scoped_release free;
    return {std::make_shared<const engine::Transform>(p)};
}

engine::Expansion forward(
    const PyBasis& basis, const py::object& f, const py::object& x, const py::object& fit)
{
    if (!PyCallable_Check(f.ptr()))
        return forwardSamples(basis, f, x, fitOption(fit));
    if (!x.is_none() || !fit.is_none())
        throw py::type_error("x and fit belong to samples, not to a function f");
    try {
        return forwardFunction(basis, f);
    } catch (const engine::NotFiniteError& error) {
        throw py::value_error(error.what()); // "f is not finite at x = ..."
    }
}

py::array_t<double> values(const engine::Expansion& expansion, const py::object& x)
{
    Points p = points(x);
    std::vector<double> values;
    {
        py::gil_scoped_release free;
        values = expansion.at(p.x);
    }
    return pyarg::array(std::move(values), std::move(p.shape));
}

py::array_t<double> components(const engine::Expansion& expansion, const py::object& x)
{
    Points p = points(x);
    const engine::Coefficients& c = expansion.coefficients();
    std::vector<double> values;
    {
        py::gil_scoped_release free;
        values.reserve(std::size_t(c.J - c.J0 + 1) * p.x.size());
        for (int L = c.J0; L <= c.J; ++L) {
            const std::vector<double> part = expansion.level(L).at(p.x);
            values.insert(values.end(), part.begin(), part.end());
        }
    }
    p.shape.insert(p.shape.begin(), c.J - c.J0 + 1);
    return pyarg::array(std::move(values), std::move(p.shape));
}

py::array_t<double> scaling(const PyBasis& basis, int level, int index, const py::object& x)
{
    const engine::Basis& b = basis.transform->basis();
    requireIndex("level", level, b.coarsestLevel(), b.finestLevel());
    requireIndex("index", index, 1 - b.m(), (1 << level) - 1);
    return atPoints(x, [&](double t) { return b.splineValue(level, index, t); });
}

py::array_t<double> wavelet(const PyBasis& basis, int level, int index, const py::object& x)
{
    const engine::Basis& b = basis.transform->basis();
    requireIndex("level", level, b.coarsestLevel() + 1, b.finestLevel());
    requireIndex("index", index, 1 - b.m(), waveletCount(level) - b.m());
    return atPoints(x, [&](double t) { return b.waveletValue(level, index, t); });
}

py::array_t<double> level(const engine::Expansion& expansion, int L)
{
    const engine::Coefficients& c = expansion.coefficients();
    requireIndex("level", L, c.J0, c.J);
    const std::span<const double> values = L == c.J0 ? std::span(c.d) : c.level(L);
    return pyarg::array(std::vector<double>(values.begin(), values.end()));
}

engine::Expansion threshold(
    const engine::Expansion& expansion, double t, const std::string& mode, const std::string& by)
{
    if (!std::isfinite(t) || t < 0)
        throw py::value_error("t must be a finite number >= 0, not " + std::to_string(t));
    if (mode != "hard")
        throw py::value_error("mode must be 'hard', not '" + mode + "'");
    const engine::Measure measure = pyarg::measure(by);
    py::gil_scoped_release free;
    return expansion.thresholded(t, measure);
}

engine::Expansion keep(const engine::Expansion& expansion, long long K, const std::string& by)
{
    if (K < 0)
        throw py::value_error("K must be >= 0, not " + std::to_string(K));
    const engine::Measure measure = pyarg::measure(by);
    py::gil_scoped_release free;
    return expansion.keepingLargest(std::size_t(K), measure);
}

void save(const engine::Expansion& expansion, const py::object& path)
{
    CoefficientFile file {
        expansion.transform().basis().parameters(), expansion.label(), expansion.coefficients()};
    const py::bytes text(coefficientText(file));
    // Python opens the file: any path-like object, and OSError as Python words it. A file
    // left open by a failed write is closed when its object goes.
    const py::object stream = py::module_::import("builtins").attr("open")(path, "wb");
    stream.attr("write")(text);
    stream.attr("close")();
}

py::object load(const py::object& path)
{
    const py::object stream = py::module_::import("builtins").attr("open")(path, "rb");
    const std::string text = py::cast<std::string>(stream.attr("read")());
    stream.attr("close")();
    const std::string name = py::str(path).cast<std::string>();
    CoefficientFile file;
    try {
        if (coefficientKind(text) == CoefficientKind::Image)
            return py::cast(pyimage::parse(text, name));
        file = parseCoefficientText(text, name);
        requireProgramInterval(file, name);
    } catch (const DataError& error) {
        // The file's messages are worded for the program's users, in Russian.
        throw py::value_error(
            "path: not a coefficient file of this program: " + std::string(error.what()));
    }
    std::shared_ptr<const engine::Transform> transform;
    {
        py::gil_scoped_release free;
        transform = std::make_shared<const engine::Transform>(file.parameters);
    }
    return py::cast(engine::Expansion(std::move(transform), std::move(file.coefficients),
        engine::Origin::Coefficients, file.function));
}

} // namespace pyops

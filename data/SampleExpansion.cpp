#include "data/SampleExpansion.h"

#include "data/SampleFit.h"

#include <charconv>

namespace {

engine::Coefficients interpolated(const engine::Transform& transform, const SampledData& samples)
{
    LevelSpline spline = interpolatingSpline(transform.basis(), samples);
    return transform.decompose(std::move(spline.coefficients), spline.level);
}

engine::Coefficients projected(
    const engine::Transform& transform, const SampledData& samples, Between between)
{
    const Interpolant f(samples, between);
    return transform.forward([&f](std::span<const double> x, std::span<double> fx) { f(x, fx); });
}

} // namespace

const char* fitName(Fit fit)
{
    return fit == Fit::Interpolate ? "interpolate" : "project";
}

std::string routeNote(Fit fit, Between between)
{
    if (fit == Fit::Interpolate)
        return "сплайн проходит через отсчёты (fit=interpolate)";
    return std::string("проекция ")
        + (between == Between::Cubic ? "естественного кубического сплайна" : "ломаной")
        + " через отсчёты (fit=project)";
}

std::string mappingNote(double x0, double x1, double a, double b)
{
    if (x0 == a && x1 == b)
        return {};
    auto text = [](double value) {
        char digits[32];
        return std::string(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
    };
    return "x от " + text(x0) + " до " + text(x1) + " отображены на отрезок [" + text(a) + ", "
        + text(b) + "]";
}

engine::Expansion expandSamples(std::shared_ptr<const engine::Transform> transform,
    const SampledData& samples, Fit fit, std::string label, Between between)
{
    const engine::BasisParameters& interval = transform->basis().parameters();
    const SampledData mapped = onInterval(samples, interval.a, interval.b);
    engine::Coefficients coefficients = fit == Fit::Interpolate
        ? interpolated(*transform, mapped)
        : projected(*transform, mapped, between);
    return engine::Expansion(
        std::move(transform), std::move(coefficients), engine::Origin::Function, std::move(label));
}

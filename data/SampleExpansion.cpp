#include "data/SampleExpansion.h"

#include "data/SampleFit.h"

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

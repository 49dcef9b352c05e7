#include "data/SampleExpansion.h"

#include "data/Interpolant.h"
#include "data/SampleFit.h"

engine::Expansion expandSamples(std::shared_ptr<const engine::Transform> transform,
    const SampledData& samples, Fit fit, std::string label)
{
    const engine::BasisParameters& interval = transform->basis().parameters();
    const SampledData mapped = onInterval(samples, interval.a, interval.b);
    engine::Coefficients coefficients;
    switch (fit) {
    case Fit::Project: {
        const Interpolant f(mapped);
        coefficients = transform->forward(
            [&f](std::span<const double> x, std::span<double> fx) { f(x, fx); });
        break;
    }
    case Fit::Interpolate: {
        LevelSpline spline = interpolatingSpline(transform->basis(), mapped);
        coefficients = transform->decompose(std::move(spline.coefficients), spline.level);
    } break;
    }
    return engine::Expansion(
        std::move(transform), std::move(coefficients), engine::Origin::Function, std::move(label));
}

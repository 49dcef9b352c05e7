#pragma once

#include "data/Interpolant.h"
#include "data/SampledData.h"
#include "engine/Expansion.h"

#include <memory>
#include <string>

// How the finest spline of V_J is made from samples.
enum class Fit
{
    // The spline of V_J through the samples, at their x, whose m-th differences of the
    // coefficients have the least sum of squares (data/SampleFit.h): all coefficients give the
    // samples back, and samples of a polynomial of degree < m give that polynomial.
    Interpolate,
    // The projection on V_J of a function through the samples, the natural cubic spline or the
    // broken line (Between), as of a function known at every point: the samples come back only
    // approximately.
    Project,
};

// The route's name in a coefficient file and on the command line: "interpolate", "project".
const char* fitName(Fit fit);

// What the route makes of the samples, in Russian, for the status line and the command line:
// "сплайн проходит через отсчёты (fit=interpolate)" or "проекция ... (fit=project)".
std::string routeNote(Fit fit, Between between);
// "x от 1700 до 2008 отображены на отрезок [0, 1]" for samples over [x0, x1]; empty when that is
// [a, b] itself.
std::string mappingNote(double x0, double x1, double a, double b);

// The expansion, in the transform's basis, of the function the samples stand for. Their x run
// over any increasing range [x_0, x_(N-1)], which is mapped affinely onto the transform's [a, b]
// (onInterval). Interpolate throws DataError for samples no spline of V_J goes through
// (data/SampleFit.h); `between` serves Project alone. The expansion's origin is Function, its
// label `label`. O(N m^2) for Interpolate (N = 2^J), the forward transform's O(N m) for Project.
engine::Expansion expandSamples(std::shared_ptr<const engine::Transform> transform,
    const SampledData& samples, Fit fit = Fit::Interpolate, std::string label = {},
    Between between = Between::Cubic);

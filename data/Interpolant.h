#pragma once

#include "data/SampledData.h"

#include <memory>
#include <span>

// What joins the samples: the natural cubic spline through them (second derivative zero at both
// ends), or straight lines between neighbours.
enum class Between
{
    Cubic,
    Linear,
};

// f between samples: GSL's natural cubic spline through them or its broken line; the straight
// line through two samples either way. Copies share the spline and keep their own
// look-up cache, so evaluating points in increasing order costs O(1) each; one object must not
// be evaluated from two threads at once.
class Interpolant
{
public:
    // The samples as parseSamples gives them: at least two, x strictly increasing.
    explicit Interpolant(SampledData samples, Between between = Between::Cubic);
    Interpolant(const Interpolant& other);
    Interpolant& operator=(const Interpolant& other);
    Interpolant(Interpolant&&) noexcept;
    Interpolant& operator=(Interpolant&&) noexcept;
    ~Interpolant();

    // f(x); x outside [x_0, x_(N-1)] is taken at the nearer end.
    double operator()(double x) const;
    // fx[i] = f(x[i]) for each i, point by point (GSL evaluates one point at a time).
    void operator()(std::span<const double> x, std::span<double> fx) const;

    const SampledData& samples() const;

private:
    struct Spline;
    struct Cache;
    std::shared_ptr<const Spline> spline;
    std::unique_ptr<Cache> cache;
};

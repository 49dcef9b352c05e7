#include "data/Interpolant.h"

#include <gsl/gsl_interp.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <stdexcept>

// The samples and GSL's spline through them, which reads x and y where they are.
struct Interpolant::Spline
{
    SampledData samples;
    gsl_interp* spline = nullptr;

    Spline(SampledData data, Between between)
        : samples(std::move(data))
    {
        const std::size_t n = samples.x.size();
        // GSL would end the program on x that do not increase.
        if (n < 2 || samples.y.size() != n
            || std::adjacent_find(samples.x.begin(), samples.x.end(), std::greater_equal<>())
                != samples.x.end())
            throw std::invalid_argument(
                "Interpolant: at least two samples, as many x as y, x strictly increasing");
        // GSL's cubic spline needs three points; through two the natural spline is the line.
        const bool linear = between == Between::Linear || n == 2;
        spline = gsl_interp_alloc(linear ? gsl_interp_linear : gsl_interp_cspline, n);
        if (!spline)
            throw std::bad_alloc();
        gsl_interp_init(spline, samples.x.data(), samples.y.data(), n);
    }
    ~Spline() { gsl_interp_free(spline); }
    Spline(const Spline&) = delete;
    Spline& operator=(const Spline&) = delete;
};

// GSL's record of the interval last found, where the search for the next point starts.
struct Interpolant::Cache
{
    gsl_interp_accel* accel = gsl_interp_accel_alloc();

    Cache()
    {
        if (!accel)
            throw std::bad_alloc();
    }
    ~Cache() { gsl_interp_accel_free(accel); }
    Cache(const Cache&) = delete;
    Cache& operator=(const Cache&) = delete;
};

Interpolant::Interpolant(SampledData samples, Between between)
    : spline(std::make_shared<const Spline>(std::move(samples), between))
    , cache(std::make_unique<Cache>())
{
}

Interpolant::Interpolant(const Interpolant& other)
    : spline(other.spline)
    , cache(std::make_unique<Cache>())
{
}

Interpolant& Interpolant::operator=(const Interpolant& other)
{
    return *this = Interpolant(other);
}

Interpolant::Interpolant(Interpolant&&) noexcept = default;
Interpolant& Interpolant::operator=(Interpolant&&) noexcept = default;
Interpolant::~Interpolant() = default;

// GSL reports a point outside the samples through its error handler, which by default ends the
// program: such points are moved to the nearer end first, and NaN is returned as it is.
double Interpolant::operator()(double x) const
{
    if (std::isnan(x))
        return x;
    const SampledData& samples = spline->samples;
    return gsl_interp_eval(spline->spline, samples.x.data(), samples.y.data(),
        std::clamp(x, samples.x.front(), samples.x.back()), cache->accel);
}

void Interpolant::operator()(std::span<const double> x, std::span<double> fx) const
{
    for (std::size_t i = 0; i < x.size(); ++i)
        fx[i] = (*this)(x[i]);
}

const SampledData& Interpolant::samples() const
{
    return spline->samples;
}

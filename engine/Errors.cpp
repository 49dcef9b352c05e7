#include "engine/Errors.h"

namespace engine {

namespace {

    std::string parameterText(
        ParameterError::Kind kind, int m, int J, int J0, int lowest, int highest)
    {
        const auto n = [](int value) { return std::to_string(value); };
        switch (kind) {
        case ParameterError::Kind::Order:
            return "the spline order m must be 2, 3 or 4, not " + n(m);
        case ParameterError::Kind::Interval:
            return "the interval [a, b] needs a < b";
        case ParameterError::Kind::CoarsestLevel:
            return "the coarsest level J0=" + n(J0) + " is below the smallest allowed, "
                + n(lowest);
        case ParameterError::Kind::FinestLevel:
            break;
        }
        return "the finest level J=" + n(J) + " is outside " + n(lowest) + " .. " + n(highest);
    }

    std::string numericalText(NumericalError::Kind kind, int index, int order)
    {
        switch (kind) {
        case NumericalError::Kind::SingularDense:
            return "singular dense system: zero pivot in row " + std::to_string(index);
        case NumericalError::Kind::SingularBand:
            return "singular band system: LAPACK info " + std::to_string(index);
        case NumericalError::Kind::GaussNode:
            break;
        }
        return "Newton's iteration for Gauss node " + std::to_string(index) + " of order "
            + std::to_string(order) + " does not converge";
    }

} // namespace

ParameterError::ParameterError(Kind kind, int m, int J, int J0, Rule rule, int lowest, int highest)
    : std::invalid_argument(parameterText(kind, m, J, J0, lowest, highest))
    , kind(kind)
    , m(m)
    , J(J)
    , J0(J0)
    , rule(rule)
    , lowest(lowest)
    , highest(highest)
{
}

NotFiniteError::NotFiniteError(double x)
    : std::domain_error("f is not finite at x = " + std::to_string(x))
    , x(x)
{
}

NumericalError::NumericalError(Kind kind, int index, int order, std::string solver)
    : std::runtime_error(numericalText(kind, index, order))
    , kind(kind)
    , index(index)
    , order(order)
    , solver(std::move(solver))
{
}

} // namespace engine

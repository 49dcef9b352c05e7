#pragma once

#include "engine/Quadrature.h"

#include <stdexcept>
#include <string>

namespace engine {

// What the engine refuses or cannot do, as data: each error carries the numbers it is about, and
// what() says it in plain English for developers. The window, the command line and the Python
// module word it for their users (data/EngineMessages.h words it in Russian).

// m, J, J0 or [a, b] that make no basis.
class ParameterError : public std::invalid_argument
{
public:
    enum class Kind
    {
        Order, // m is not 2, 3 or 4
        Interval, // not a < b
        CoarsestLevel, // J0 below the smallest the rule allows: lowest
        FinestLevel, // J outside lowest .. highest for m and J0
    };
    ParameterError(Kind kind, int m, int J, int J0, Rule rule, int lowest, int highest);

    Kind kind;
    int m, J, J0;
    Rule rule;
    int lowest, highest; // the bounds that were broken
};

// f is not finite at x, a point where the transform evaluates it.
class NotFiniteError : public std::domain_error
{
public:
    explicit NotFiniteError(double x);

    double x;
};

// A computation that cannot go on for parameters that pass the checks: a singular system (pivot,
// 1-based, of a system of order `order`) or an iteration that does not converge. It would be a
// fault of the program.
class NumericalError : public std::runtime_error
{
public:
    enum class Kind
    {
        SingularDense, // dense elimination: zero pivot in row `index` of `order`
        SingularBand, // band LU or Cholesky: LAPACK's info `index`
        GaussNode, // Newton's iteration for node `index` of order `order` does not converge
    };
    NumericalError(Kind kind, int index, int order, std::string solver = {});

    Kind kind;
    int index, order;
    std::string solver; // the band factorisation: "LU" or "Cholesky"
};

} // namespace engine

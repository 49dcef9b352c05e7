#pragma once

#include "graphs/LevelFunctions.h"

#include <memory>
#include <vector>

// The functions drawn on the graph page sampled at the abscissae of the value matrix,
// x_0 = a, x_(i+1) = x_i + h/(2m) by repeated addition (2m samples per mesh interval; b has no
// sample). A curve covers the columns first .. last: every column when its level is drawn whole,
// its support otherwise; every other sample of it is 0. Values are computed when asked for, so
// that a level of 2^16 intervals costs only the samples shown, drawn or saved.
struct GraphSamples
{
    struct Curve
    {
        int index; // p of psi_(L,p), or k of N_(J0,k)
        int first, last; // the columns it covers
    };

    GraphSamples(std::shared_ptr<const LevelFunctions> functions, const std::vector<int>& indices,
        bool whole);

    double value(int curve, int column) const;

    std::shared_ptr<const LevelFunctions> functions;
    std::vector<double> abscissae;
    std::vector<Curve> curves;
};

#pragma once

#include "data/SampleExpansion.h"
#include "data/SampledData.h"
#include "engine/Basis.h"
#include "engine/Coefficients.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// A coefficient file: the coefficients, the basis they belong to and the function they came
// from. The text (UTF-8, "." decimal point, "," between fields, LF line ends):
//   # splinewave coefficients
//   # m=3; J=10; J0=2; rule=default; a=0; b=1; f=sin(2*pi*x)
//   kind,level,index,value
//   d,2,-2,<value>          one row per scaling index k = 1-m .. 2^J0-1 of level J0
//   c,3,-2,<value>          one row per wavelet index p of every level L = J0+1 .. J
// rule is "default" or "exact"; f, the last key, takes the rest of its line (a formula may hold
// "; "), "data:NAME" for samples. Values have 17 significant digits, so a saved double reads
// back as the same bits. Between b and f, written for samples and optional in a file (files
// written before them have none):
//   fit=interpolate    the route from the samples (data/SampleExpansion.h), or fit=project
//   x0=1700; x1=2008   the range of the samples' x in their own units, mapped onto [a, b];
//                      both or neither, x0 < x1
struct CoefficientFile
{
    engine::BasisParameters parameters;
    std::string function;
    engine::Coefficients coefficients;
    std::optional<Fit> fit = {};
    std::optional<std::pair<double, double>> range = {}; // x0, x1
};

std::string coefficientText(const CoefficientFile& file);
// The same text piece by piece, in order, each about a megabyte, to out(piece): a file of
// millions of rows needs no text of its own in memory.
void writeCoefficientText(
    const CoefficientFile& file, const std::function<void(std::string_view)>& out);

// Reads the text; `name` is the file as messages call it. Rows may come in any order, but each
// coefficient of the header's basis exactly once. Anything else throws DataError naming the
// line: a missing, repeated or out-of-level entry, a field that is not a finite number, an
// unknown, repeated or missing key, parameters that make no basis. O(size of the text).
CoefficientFile parseCoefficientText(std::string_view text, const std::string& name);

// The same for a file on disk (readFileText).
CoefficientFile readCoefficientFile(const std::string& path);

// Refuses, with a DataError naming the file and the interval it holds, a file of an interval
// other than the one of this program, [0, 1] (engine::BasisParameters' own): its coefficients
// belong to another basis, and neither the window nor the command line changes the interval.
void requireProgramInterval(const CoefficientFile& file, const std::string& name);

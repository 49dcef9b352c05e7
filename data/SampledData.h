#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Samples of a function f on [a, b]: x strictly increasing, x.front() == a, x.back() == b.
struct SampledData
{
    std::vector<double> x;
    std::vector<double> y;
};

// Why a data or coefficient file cannot be used, in Russian (UTF-8): the file, the line where
// there is one, and what is wrong.
class DataError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Throws DataError "Файл «name», строка line: what." (no line when line is 0).
[[noreturn]] void failData(const std::string& name, std::size_t line, const std::string& what);

// The whole text of a file; a file that is missing, unreadable, a folder or larger than 1 GB
// throws DataError.
std::string readFileText(const std::string& path);

// Reads samples from the text of a data file; `name` is the file as the messages call it.
//
// Two layouts, told apart by the number of columns of the first row of numbers:
//   one column    y_0 .. y_(N-1) at N equally spaced points, x_0 = a, x_(N-1) = b
//   two columns   x, y; x strictly increasing, the first x = a and the last x = b within
//                 1e-12 (b - a); they are then set to a and b exactly
// Columns are separated by ";", a tab, "," or blanks: the first of these that the first row of
// numbers holds (";" before tab before ","). The decimal point is "."; with ";" or a tab between
// columns "," is one too, as spreadsheets write numbers in a Russian locale. A first line
// without any number (column names) is skipped, so are blank lines. UTF-8 with or without a
// byte-order mark; LF or CRLF line ends.
//
// Requires a < b. Anything else throws DataError: an empty file, a field that is not a number,
// nan or inf, rows of different widths, fewer than two points, x not increasing or outside
// [a, b] or not reaching one of its ends, a binary file (a NUL byte). Costs O(size of the text).
SampledData parseSamples(std::string_view text, const std::string& name, double a, double b);

// The same for a file on disk (readFileText).
SampledData readSamples(const std::string& path, double a, double b);

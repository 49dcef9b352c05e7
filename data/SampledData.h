#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Samples of a function f: x strictly increasing, from a to b or in the data's own units.
// A row of a file whose value is empty is no sample: its line is listed, and every sample keeps
// the x of its own row, so that the spline goes through the others where they were measured.
struct SampledData
{
    std::vector<double> x;
    std::vector<double> y;
    std::vector<std::size_t> missingLines = {}; // the lines of the empty values, increasing

    bool operator==(const SampledData&) const = default;
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
//   one column    y_0 .. y_(N-1) at N equally spaced points, x_0 = a, x_(N-1) = b; each line
//                 from the first after the column names to the last value is a point, so a
//                 blank line among the values is an empty value
//   two columns   x, y; x strictly increasing over any range [x_0, x_(N-1)], the data's own
//                 units (onInterval maps them onto [a, b]); ends within 1e-12 (b - a) of a and
//                 b are set to a and b exactly. A row with an x and an empty y is an empty
//                 value; blank lines are skipped
// An empty value keeps its place (missingLines); the first and the last value may not be empty.
// Columns are separated by ";" or a tab, "," being a decimal comma too, when the first row of
// numbers holds one (";" before tab). Otherwise they are separated either by "," with "." the
// decimal point, or by blanks with "." or "," the decimal point: the file is read the one way
// that makes valid samples, and where both do and differ ("0,5" is x = 0, y = 5 or the value
// 0.5) the one on [a, b] itself, else it is refused with a message on how to write it. A first line without any number
// (column names) is skipped. UTF-8 with or without a byte-order mark; LF or CRLF line ends.
//
// Requires a < b. Anything else throws DataError: an empty file, a field that is not a number,
// nan or inf, rows of different widths, fewer than two points, x not increasing, a binary file
// (a NUL byte). Costs O(size of the text).
SampledData parseSamples(std::string_view text, const std::string& name, double a, double b);

// The samples with x mapped affinely onto [a, b]: x_0 to a and x_(N-1) to b exactly, the others
// to a + (x - x_0) (b - a) / (x_(N-1) - x_0), kept strictly increasing. Samples that span [a, b]
// already come back as they are. At least two samples, x strictly increasing. O(N).
SampledData onInterval(SampledData samples, double a, double b);

// The same for a file on disk (readFileText).
SampledData readSamples(const std::string& path, double a, double b);

// "пропущено значений: 3 (строки 4, 9, 12), сплайн проходит через остальные точки": how many
// values were empty and on which lines, the first five and the last of more; empty when none.
std::string missingValuesNote(const std::vector<std::size_t>& lines);

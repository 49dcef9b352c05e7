#include "data/SampledData.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>

// "Файл «name», строка n: what." — without the line when n is 0.
[[noreturn]] void failData(const std::string& name, std::size_t line, const std::string& what)
{
    std::string message = "Файл «" + name + "»";
    if (line > 0)
        message += ", строка " + std::to_string(line);
    throw DataError(message + ": " + what + ".");
}

namespace {

// The shortest text that reads back as the same double.
std::string numberText(double value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// A field as a message quotes it: at most 40 bytes, never cut inside a UTF-8 character.
std::string quoted(std::string_view field)
{
    std::size_t length = std::min<std::size_t>(field.size(), 40);
    while (length < field.size() && length > 0 && (field[length] & 0xC0) == 0x80)
        --length;
    return "«" + std::string(field.substr(0, length)) + (length < field.size() ? "…»" : "»");
}

struct Line
{
    std::string_view text;
    std::size_t number; // counted from 1, blank lines included
};

// The lines that hold more than blanks, one after the other, without their line ends.
class NonBlankLines
{
public:
    explicit NonBlankLines(std::string_view text)
        : rest(text)
    {
    }

    std::optional<Line> next()
    {
        while (!rest.empty()) {
            const std::size_t end = std::min(rest.find('\n'), rest.size());
            std::string_view line = rest.substr(0, end);
            rest.remove_prefix(std::min(end + 1, rest.size()));
            ++number;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            if (line.find_first_not_of(" \t") != std::string_view::npos)
                return Line {line, number};
        }
        return std::nullopt;
    }

private:
    std::string_view rest;
    std::size_t number = 0;
};

// How the columns of a file are written.
struct Format
{
    char separator; // ';', '\t', ',' or ' ' for runs of blanks and tabs
    bool decimalComma; // "," is a decimal point too
};

// The format a line suggests by itself: the first of ";", tab and "," that it holds.
Format formatOf(std::string_view line)
{
    for (char separator : {';', '\t', ','})
        if (line.find(separator) != std::string_view::npos)
            return {separator, separator != ','};
    return {' ', false};
}

// The formats the rows may be written in, from the first row of numbers: ";" or a tab when it
// holds one; else "," between columns and blanks between columns with a decimal comma both
// where the rows hold a comma, the one the first row suggests first; else blanks.
std::vector<Format> candidateFormats(std::string_view firstRow, std::string_view rows)
{
    for (char separator : {';', '\t'})
        if (firstRow.find(separator) != std::string_view::npos)
            return {{separator, true}};
    const Format commas {',', false}, blanks {' ', true};
    if (firstRow.find(',') != std::string_view::npos)
        return {commas, blanks};
    if (rows.find(',') != std::string_view::npos)
        return {blanks, commas};
    return {blanks};
}

// The fields of a line, blanks around them trimmed: the first three, and how many there are.
struct Fields
{
    std::array<std::string_view, 3> field;
    std::size_t count = 0;
};

Fields split(std::string_view line, Format format)
{
    Fields fields;
    auto add = [&fields](std::string_view field) {
        const std::size_t first = field.find_first_not_of(" \t");
        field = first == std::string_view::npos
            ? std::string_view()
            : field.substr(first, field.find_last_not_of(" \t") - first + 1);
        if (fields.count < fields.field.size())
            fields.field[fields.count] = field;
        ++fields.count;
    };
    if (format.separator == ' ') {
        std::size_t start = line.find_first_not_of(" \t");
        while (start != std::string_view::npos) {
            const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
            add(line.substr(start, end - start));
            start = line.find_first_not_of(" \t", end);
        }
        return fields;
    }
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(format.separator, start);
        add(line.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return fields;
        start = end + 1;
    }
}

enum class Reading
{
    Number,
    NotANumber,
    NotFinite,
    OutOfRange
};

// A decimal number with an optional sign and exponent.
Reading readNumber(std::string_view field, Format format, double& value)
{
    if (field.size() > 1 && field[0] == '+' && field[1] != '-')
        field.remove_prefix(1);
    char copy[128];
    if (format.decimalComma && field.find(',') != std::string_view::npos) {
        if (field.size() > sizeof copy)
            return Reading::NotANumber;
        std::replace_copy(field.begin(), field.end(), copy, ',', '.');
        field = std::string_view(copy, field.size());
    }
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || stop != end || error == std::errc::invalid_argument)
        return Reading::NotANumber;
    if (error == std::errc::result_out_of_range)
        return Reading::OutOfRange;
    return std::isfinite(value) ? Reading::Number : Reading::NotFinite;
}

// Whether the line, read in its own format, holds a number: a first line without any is a header
// of column names (nan and inf count as numbers, so that they are reported, not skipped).
bool holdsNumber(std::string_view line)
{
    const Format format = formatOf(line);
    const Fields fields = split(line, format);
    const auto end = fields.field.begin() + std::min(fields.count, fields.field.size());
    double value = 0;
    return std::any_of(fields.field.begin(), end, [&](std::string_view field) {
        return readNumber(field, format, value) != Reading::NotANumber;
    });
}

// The numbers of a data row, one or two, and nothing else.
class RowReader
{
public:
    RowReader(const std::string& name, Format format)
        : name(name)
        , format(format)
    {
    }

    // The row's numbers into values[0 .. width-1]; the first row fixes the width. False when the
    // row's y is empty: only x is read then.
    bool read(const Line& line, std::array<double, 2>& values)
    {
        const Fields fields = split(line.text, format);
        if (width == 0) {
            if (fields.count > 2)
                failData(name, line.number,
                    "столбцов " + std::to_string(fields.count)
                        + ", а нужен один (значения) или два (x и y)");
            width = fields.count;
            firstRow = line.number;
        }
        if (fields.count != width)
            failData(name, line.number,
                "столбцов " + std::to_string(fields.count) + ", а в первой строке данных (строка "
                    + std::to_string(firstRow) + ") их " + std::to_string(width));
        // An empty y beside an x is an empty value; an empty x is refused as any empty field.
        const bool present = width == 1 || !fields.field[1].empty() || fields.field[0].empty();
        for (std::size_t c = 0; c < (present ? width : 1); ++c)
            check(line, c, readNumber(fields.field[c], format, values[c]));
        return present;
    }

    std::size_t columns() const { return width; }

private:
    void check(const Line& line, std::size_t column, Reading reading) const
    {
        if (reading == Reading::Number)
            return;
        const std::string_view field = split(line.text, format).field[column];
        std::string what = width > 1 ? "столбец " + std::to_string(column + 1) + ": " : "";
        if (field.empty())
            what += "пустое поле";
        else if (reading == Reading::NotANumber)
            what += quoted(field) + " не является числом";
        else if (reading == Reading::NotFinite)
            what += quoted(field) + " не является конечным числом (nan и inf недопустимы)";
        else
            what += "число " + quoted(field) + " вне диапазона чисел двойной точности";
        failData(name, line.number, what);
    }

    const std::string& name;
    Format format;
    std::size_t width = 0;
    std::size_t firstRow = 0;
};

// The x of two-column data, row by row: strictly increasing; at the end, ends within the
// tolerance of a and b set to them exactly, and x over any other range kept in their own units.
class Abscissae
{
public:
    Abscissae(const std::string& name, double a, double b)
        : name(name)
        , a(a)
        , b(b)
        , interval("[" + numberText(a) + ", " + numberText(b) + "]")
    {
    }

    // The x of a row, with or without its y.
    void check(double value, std::size_t line)
    {
        if (previous && !(value > *previous))
            failData(name, line,
                "x = " + numberText(value) + " не больше предыдущего x = " + numberText(*previous)
                    + ": значения x должны строго возрастать");
        previous = value;
    }

    // Sets ends within the tolerance to a and b exactly.
    void reachEnds(std::vector<double>& x, std::size_t firstLine, std::size_t lastLine) const
    {
        if (std::abs(x.front() - a) > tolerance || std::abs(x.back() - b) > tolerance)
            return;
        // The ends become a and b: the x next to an end must stay inside.
        if (x[1] <= a)
            failData(name, firstLine,
                "первое x = " + numberText(x.front()) + " принято за начало отрезка " + interval
                    + ", а следующее x = " + numberText(x[1])
                    + " не больше его: значения x должны строго возрастать");
        if (x[x.size() - 2] >= b)
            failData(name, lastLine,
                "последнее x = " + numberText(x.back()) + " принято за конец отрезка " + interval
                    + ", а предыдущее x = " + numberText(x[x.size() - 2])
                    + " не меньше его: значения x должны строго возрастать");
        x.front() = a;
        x.back() = b;
    }

private:
    const std::string& name;
    double a;
    double b;
    // Ends written with 12 or more significant digits, or computed in double, are accepted.
    double tolerance = 1e-12 * (b - a);
    std::string interval;
    std::optional<double> previous; // the x of the row before
};

// The rows of a file: the lines after the column names, and the line of the names (0 without).
struct Rows
{
    NonBlankLines lines;
    std::size_t header;
};

// A reading of the rows that failed or not: its samples or its message, and the line it reached
// (past every line when all rows were read).
struct Outcome
{
    SampledData samples;
    std::string error;
    std::size_t reached = 0;

    bool failed() const { return !error.empty(); }
    // Samples on [a, b] itself, as every reading of one column.
    bool spans(double a, double b) const { return samples.x.front() == a && samples.x.back() == b; }
};

// The rows of a file read in one format into samples on [a, b].
class SampleReading
{
public:
    const std::string& name;
    double a;
    double b;
    std::string_view text;

    SampledData operator()(Rows rows, Format format, std::size_t& reached) const
    {
        RowReader reader(name, format);
        Abscissae abscissae(name, a, b);
        SampledData samples;
        const auto lineCount = std::size_t(std::count(text.begin(), text.end(), '\n')) + 1;
        samples.x.reserve(lineCount);
        samples.y.reserve(lineCount);
        std::optional<Line> row = rows.lines.next();
        const std::size_t firstLine = row->number;
        std::size_t lastLine = rows.header; // the line of the row before
        std::array<double, 2> values {};
        for (; row; row = rows.lines.next()) {
            reached = row->number;
            const bool present = reader.read(*row, values);
            // In one column every line after the names is a point: blank ones are empty values.
            if (reader.columns() == 1)
                for (std::size_t line = lastLine + 1; line < row->number; ++line)
                    missing(samples, line);
            if (reader.columns() == 2)
                abscissae.check(values[0], row->number);
            if (present) {
                // One column: x is the row's index until the rows are counted.
                samples.x.push_back(
                    reader.columns() == 2 ? values[0] : double(row->number - rows.header - 1));
                samples.y.push_back(values[reader.columns() - 1]);
            } else
                missing(samples, row->number);
            lastLine = row->number;
        }
        reached = std::numeric_limits<std::size_t>::max();
        if (!samples.missingLines.empty() && samples.missingLines.back() == lastLine)
            failData(name, lastLine, endMissing("последнее", "конце"));
        if (samples.y.size() < 2)
            failData(name, firstLine, "нужно не меньше двух точек, а в файле одна");
        if (reader.columns() == 2)
            abscissae.reachEnds(samples.x, firstLine, lastLine);
        else
            spaceEqually(samples.x);
        return samples;
    }

    Outcome attempt(Rows rows, Format format) const
    {
        Outcome outcome;
        try {
            outcome.samples = (*this)(rows, format, outcome.reached);
        } catch (const DataError& error) {
            outcome.error = error.what();
        }
        return outcome;
    }

private:
    std::string endMissing(const char* which, const char* end) const
    {
        return std::string(which) + " значение пусто: f в " + end + " отрезка [" + numberText(a)
            + ", " + numberText(b) + "] должна быть задана, пропущенными могут быть только "
            + "значения между первым и последним";
    }

    // An empty value on the line.
    void missing(SampledData& samples, std::size_t line) const
    {
        if (samples.y.empty())
            failData(name, line, endMissing("первое", "начале"));
        samples.missingLines.push_back(line);
    }

    // The row indices 0 .. N-1 of one column become x_i = a + (b - a) i / (N - 1), x_(N-1) = b.
    void spaceEqually(std::vector<double>& x) const
    {
        const double last = x.back();
        for (double& point : x)
            point = point == last ? b : a + (b - a) * point / last;
    }
};

// How a row that reads both ways can be written to read one way.
std::string ambiguity(std::string_view row)
{
    std::string point(row), semicolon(row);
    std::replace(point.begin(), point.end(), ',', '.');
    std::replace(semicolon.begin(), semicolon.end(), ',', ';');
    return quoted(row)
        + " читается двояко — как x и y через запятую и как число с десятичной запятой, и файл "
          "верен при обоих прочтениях; запишите число с десятичной точкой ("
        + quoted(std::string_view(point)) + ") или x и y через точку с запятой ("
        + quoted(std::string_view(semicolon)) + ")";
}

// What a failed open or read means, in Russian.
std::string readProblem(int error)
{
    switch (error) {
    case ENOENT:
        return "файл не найден (возможно, он удалён или переименован)";
    case EACCES:
    case EPERM:
        return "нет прав на чтение файла";
    case EISDIR:
        return "это папка, а не файл";
    default:
        return "файл не удалось прочитать (код ошибки " + std::to_string(error) + ")";
    }
}

} // namespace

SampledData parseSamples(std::string_view text, const std::string& name, double a, double b)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos)
        failData(name, 0, "это не текстовый файл в кодировке UTF-8 (в нём есть нулевые байты)");
    NonBlankLines lines(text);
    Rows rows {lines, 0};
    std::optional<Line> row = lines.next();
    if (!row)
        failData(name, 0, "файл пуст");
    if (!holdsNumber(row->text)) {
        rows = {lines, row->number};
        row = lines.next();
    }
    if (!row)
        failData(name, 0, "в файле нет ни одной строки с числами");

    const std::vector<Format> formats
        = candidateFormats(row->text, text.substr(std::size_t(row->text.data() - text.data())));
    const SampleReading reading {name, a, b, text};
    if (formats.size() == 1) {
        std::size_t reached = 0;
        return reading(rows, formats[0], reached);
    }
    // A comma between columns or a decimal comma: the reading that makes valid samples; of two
    // that fail, the message of the one that read further.
    Outcome first = reading.attempt(rows, formats[0]), second = reading.attempt(rows, formats[1]);
    if (first.failed() && second.failed())
        throw DataError(second.reached > first.reached ? second.error : first.error);
    // Of two valid readings, one on [a, b] itself goes before one in other units, which would be
    // mapped onto it: a file read so before x could run over any range reads so still.
    if (!first.failed() && !second.failed() && first.samples != second.samples) {
        if (first.spans(a, b) == second.spans(a, b))
            failData(name, row->number, ambiguity(row->text));
        return std::move(first.spans(a, b) ? first.samples : second.samples);
    }
    return std::move(first.failed() ? second.samples : first.samples);
}

std::string missingValuesNote(const std::vector<std::size_t>& lines)
{
    if (lines.empty())
        return {};
    constexpr std::size_t listed = 5;
    std::string text = "пропущено значений: " + std::to_string(lines.size())
        + (lines.size() == 1 ? " (строка " : " (строки ");
    for (std::size_t i = 0; i < std::min(lines.size(), listed); ++i)
        text += (i > 0 ? ", " : "") + std::to_string(lines[i]);
    if (lines.size() > listed)
        text += (lines.size() > listed + 1 ? ", …, " : ", ") + std::to_string(lines.back());
    return text + "), сплайн проходит через остальные точки";
}

std::string readFileText(const std::string& path)
{
    // Far more than 10^7 samples of 17 digits each: a larger file is not data of this kind, and
    // reading it would only exhaust the memory.
    constexpr std::size_t largest = std::size_t(1) << 30;
    const auto tooLarge = [&path] { failData(path, 0, "файл больше 1 ГБ, это не файл данных"); };
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error == std::errc::is_a_directory)
        failData(path, 0, readProblem(EISDIR));
    if (!error && fileSize > largest)
        tooLarge();
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        failData(path, 0, readProblem(errno));
    // Room for the whole file when its size is known, doubled whenever it fills up; the bytes
    // are not set before they are read.
    std::size_t capacity = error ? std::size_t(1) << 16 : std::size_t(fileSize) + 1;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t size = 0;
    while (
        const std::size_t count = std::fread(buffer.get() + size, 1, capacity - size, file.get())) {
        size += count;
        if (size > largest)
            tooLarge();
        if (size == capacity) {
            auto larger = std::make_unique_for_overwrite<char[]>(2 * capacity);
            std::memcpy(larger.get(), buffer.get(), size);
            buffer = std::move(larger);
            capacity *= 2;
        }
    }
    if (std::ferror(file.get()))
        failData(path, 0, readProblem(errno));
    return std::string(buffer.get(), size);
}

SampledData readSamples(const std::string& path, double a, double b)
{
    return parseSamples(readFileText(path), path, a, b);
}

SampledData onInterval(SampledData samples, double a, double b)
{
    std::vector<double>& x = samples.x;
    const double x0 = x.front(), x1 = x.back();
    if (x0 == a && x1 == b)
        return samples;
    for (std::size_t i = 1; i + 1 < x.size(); ++i)
        x[i] = a + (x[i] - x0) * ((b - a) / (x1 - x0));
    x.front() = a;
    x.back() = b;
    // Rounding may bring close neighbours together: each is kept at least one step above the last.
    for (std::size_t i = 1; i < x.size(); ++i)
        x[i] = std::max(x[i], std::nextafter(x[i - 1], b));
    return samples;
}

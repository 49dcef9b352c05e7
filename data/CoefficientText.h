#pragma once

#include <charconv>
#include <cmath>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// What the coefficient files of functions (data/CoefficientFile.h) and of images
// (image/ImageCoefficientFile.h) share: the first line, numbers as text and back, the lines of
// a text, the key line and the fields of a row.

inline constexpr std::string_view coefficientTitle = "# splinewave coefficients";

// Which coefficients a text holds, from its key line (the second): a function's (key J) or an
// image's (keys Jx, Jy); Unknown when it is no coefficient file at all.
enum class CoefficientKind
{
    Function,
    Image,
    Unknown,
};
CoefficientKind coefficientKind(std::string_view text);

// An integer, or a double with `digits` significant digits (17: it reads back to the bit).
std::string numberText(int value);
std::string numberText(double value, int digits);
// Appends the same, without a string of its own.
void appendNumber(std::string& text, int value);
void appendNumber(std::string& text, double value, int digits);

// One row of a file of millions, built in place and appended to the text at once: its fields
// separated by commas, then a line break. A row longer than its buffer throws
// std::length_error.
class CsvRow
{
public:
    CsvRow& operator<<(std::string_view field);
    CsvRow& operator<<(int value);
    // value with `digits` significant digits, as numberText writes it
    CsvRow& number(double value, int digits);
    // Appends the row and starts a new one.
    void appendTo(std::string& text);

private:
    char* room(std::size_t size);

    char line[192];
    char* end = line;
};

// The whole field as a number of type T (int or double, finite), or nothing.
template <class T> std::optional<T> number(std::string_view field)
{
    T value {};
    const char* end = field.data() + field.size();
    const auto [stop, error] = std::from_chars(field.data(), end, value);
    if (field.empty() || stop != end || error != std::errc())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value))
            return std::nullopt;
    return value;
}

// Fails the reading of the file `name` at a line: DataError naming both.
struct RowFailure
{
    const std::string& name;
    std::size_t line;
    [[noreturn]] void operator()(const std::string& what) const;
};

// Splits the text into lines without their ends (LF or CRLF); a byte-order mark is skipped.
struct Lines
{
    explicit Lines(std::string_view text);

    std::string_view rest;
    std::size_t number = 0;

    std::optional<std::string_view> next();
    // The next line, which must be `wanted`: else DataError "ожидалась строка «wanted»" naming
    // the file `name` and the line (the one past the last when the text ends).
    void expect(std::string_view wanted, const std::string& name);
    // The rows that follow, each split at its commas into fields.size() fields: row(fail) for
    // each non-empty one, fail naming its line; a row of fewer fields fails with "ожидалось "
    // followed by layout.
    void eachRow(std::span<std::string_view> fields, std::string_view layout,
        const std::string& name, const std::function<void(const RowFailure& fail)>& row);
};

// Splits a row at its commas into fields.size() fields, the last taking the rest of the line;
// false when it has fewer commas.
bool splitFields(std::string_view line, std::span<std::string_view> fields);

// The key line "# key=value; key=value; ...; f=REST": f, the last key, takes the rest of its line
// (a formula may hold "; "). Every key is `required` or `optional`; anything else throws
// DataError naming the file's line: no "# " (the message shows `layout`, how the line looks),
// no "=", an unknown or repeated key, a required key missing, and a value read as a number that
// is none.
class KeyLine
{
public:
    KeyLine(std::string_view line, std::span<const std::string_view> required,
        std::span<const std::string_view> optional, std::string_view layout,
        const std::string& name, std::size_t lineNumber);

    bool has(std::string_view key) const { return values.contains(key); }
    std::string_view operator[](std::string_view key) const { return values.at(key); }
    // The key's value as a number of type T.
    template <class T> T number(std::string_view key) const
    {
        const auto value = ::number<T>(values.at(key));
        if (!value)
            fail("«" + std::string(key) + "=" + std::string(values.at(key)) + "» — не число");
        return *value;
    }
    // DataError on the key line: what, or the engine's error as data/EngineMessages.h words it.
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] void fail(const std::exception& error) const;

private:
    std::map<std::string_view, std::string_view> values;
    std::string name;
    std::size_t lineNumber;
};

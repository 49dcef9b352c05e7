#include "data/CoefficientText.h"

#include "data/EngineMessages.h"
#include "data/SampledData.h"

#include <algorithm>
#include <stdexcept>

namespace {

// The keys of the key line before f, which takes the rest of it.
std::vector<std::string_view> keysOf(std::string_view line)
{
    std::vector<std::string_view> keys;
    if (!line.starts_with("# "))
        return keys;
    line.remove_prefix(2);
    while (!line.empty() && !line.starts_with("f=")) {
        const std::size_t equals = line.find('='), end = std::min(line.find("; "), line.size());
        if (equals < end)
            keys.push_back(line.substr(0, equals));
        line.remove_prefix(std::min(end + 2, line.size()));
    }
    return keys;
}

} // namespace

CoefficientKind coefficientKind(std::string_view text)
{
    Lines lines(text);
    if (lines.next() != coefficientTitle)
        return CoefficientKind::Unknown;
    const std::vector<std::string_view> keys = keysOf(lines.next().value_or(""));
    if (std::ranges::find(keys, "Jx") != keys.end() || std::ranges::find(keys, "Jy") != keys.end())
        return CoefficientKind::Image;
    if (std::ranges::find(keys, "J") != keys.end())
        return CoefficientKind::Function;
    return CoefficientKind::Unknown;
}

std::string numberText(int value)
{
    return std::to_string(value);
}

std::string numberText(double value, int digits)
{
    std::string text;
    appendNumber(text, value, digits);
    return text;
}

void appendNumber(std::string& text, int value)
{
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void appendNumber(std::string& text, double value, int digits)
{
    char chars[40];
    text.append(chars,
        std::to_chars(chars, chars + sizeof chars, value, std::chars_format::general, digits).ptr);
}

// A comma unless the field is the first, and room for `size` more characters and the line
// break: a field too long for the row is a fault of the caller, not a cut row.
char* CsvRow::room(std::size_t size)
{
    if (end != line)
        *end++ = ',';
    if (size + 1 > std::size_t(std::end(line) - end))
        throw std::length_error("a CSV row longer than its buffer");
    return end;
}

CsvRow& CsvRow::operator<<(std::string_view field)
{
    end = std::ranges::copy(field, room(field.size())).out;
    return *this;
}

// 11 characters hold any int; 24 any double of up to 17 significant digits.
CsvRow& CsvRow::operator<<(int value)
{
    end = std::to_chars(room(11), std::end(line), value).ptr;
    return *this;
}

CsvRow& CsvRow::number(double value, int digits)
{
    end = std::to_chars(room(24), std::end(line), value, std::chars_format::general, digits).ptr;
    return *this;
}

void CsvRow::appendTo(std::string& text)
{
    *end++ = '\n';
    text.append(line, end);
    end = line;
}

Lines::Lines(std::string_view text)
    : rest(text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text)
{
}

std::optional<std::string_view> Lines::next()
{
    if (rest.empty())
        return std::nullopt;
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    ++number;
    return line;
}

void Lines::expect(std::string_view wanted, const std::string& name)
{
    const auto line = next();
    if (line != wanted)
        failData(name, number + !line, "ожидалась строка «" + std::string(wanted) + "»");
}

void RowFailure::operator()(const std::string& what) const
{
    failData(name, line, what);
}

void Lines::eachRow(std::span<std::string_view> fields, std::string_view layout,
    const std::string& name, const std::function<void(const RowFailure& fail)>& row)
{
    while (const auto line = next()) {
        if (line->empty())
            continue;
        const RowFailure fail {name, number};
        if (!splitFields(*line, fields))
            fail("ожидалось " + std::string(layout));
        row(fail);
    }
}

bool splitFields(std::string_view line, std::span<std::string_view> fields)
{
    for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            return false;
        fields[i] = line.substr(0, comma);
        line.remove_prefix(comma + 1);
    }
    fields.back() = line;
    return true;
}

KeyLine::KeyLine(std::string_view line, std::span<const std::string_view> required,
    std::span<const std::string_view> optional, std::string_view layout, const std::string& name,
    std::size_t lineNumber)
    : name(name)
    , lineNumber(lineNumber)
{
    if (!line.starts_with("# "))
        fail("нет строки параметров «" + std::string(layout) + "»");
    line.remove_prefix(2);
    while (!line.empty()) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            fail("ожидалось «ключ=значение», а записано «" + std::string(line) + "»");
        const std::string_view key = line.substr(0, equals);
        if (std::ranges::find(required, key) == required.end()
            && std::ranges::find(optional, key) == optional.end())
            fail("неизвестный ключ «" + std::string(key) + "»");
        line.remove_prefix(equals + 1);
        const std::size_t end = key == "f" ? line.size() : std::min(line.find("; "), line.size());
        if (!values.emplace(key, line.substr(0, end)).second)
            fail("ключ «" + std::string(key) + "» повторяется");
        line.remove_prefix(std::min(end + 2, line.size()));
    }
    for (std::string_view key : required)
        if (!values.contains(key))
            fail("нет ключа «" + std::string(key) + "»");
}

void KeyLine::fail(const std::string& what) const
{
    failData(name, lineNumber, what);
}

void KeyLine::fail(const std::exception& error) const
{
    std::string what = engineMessage(error);
    if (what.ends_with('.'))
        what.pop_back(); // the message gets its full stop from failData
    fail(what);
}

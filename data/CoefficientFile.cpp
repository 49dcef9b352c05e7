#include "data/CoefficientFile.h"
#include "data/EngineMessages.h"
#include "engine/Errors.h"

#include "engine/Levels.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace {

const std::string_view title = "# splinewave coefficients";
const std::string_view columns = "kind,level,index,value";
const std::string_view keys[] = {"m", "J", "J0", "rule", "a", "b", "f"};
const std::string_view optionalKeys[] = {"fit", "x0", "x1"};

template <class T> std::string numberText(T value, int digits)
{
    char text[40];
    return std::string(text,
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr);
}
std::string numberText(int value)
{
    return std::to_string(value);
}

// The whole field as a number of type T, or nothing.
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

// Splits the text into lines without their ends (LF or CRLF).
struct Lines
{
    std::string_view rest;
    std::size_t number = 0;

    std::optional<std::string_view> next()
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
};

// The header's keys, from "# m=3; J=10; ...; f=FORMULA".
CoefficientFile parseHeader(std::string_view line, const std::string& name, std::size_t lineNumber)
{
    auto fail = [&](const std::string& what) { failData(name, lineNumber, what); };
    if (!line.starts_with("# "))
        fail("нет строки параметров «# m=…; J=…; J0=…; rule=…; a=…; b=…; f=…»");
    line.remove_prefix(2);
    std::map<std::string_view, std::string_view> values;
    while (!line.empty()) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            fail("ожидалось «ключ=значение», а записано «" + std::string(line) + "»");
        const std::string_view key = line.substr(0, equals);
        if (std::ranges::find(keys, key) == std::end(keys)
            && std::ranges::find(optionalKeys, key) == std::end(optionalKeys))
            fail("неизвестный ключ «" + std::string(key) + "»");
        line.remove_prefix(equals + 1);
        const std::size_t end = key == "f" ? line.size() : std::min(line.find("; "), line.size());
        if (!values.emplace(key, line.substr(0, end)).second)
            fail("ключ «" + std::string(key) + "» повторяется");
        line.remove_prefix(std::min(end + 2, line.size()));
    }
    for (std::string_view key : keys)
        if (!values.contains(key))
            fail("нет ключа «" + std::string(key) + "»");
    CoefficientFile file;
    engine::BasisParameters& p = file.parameters;
    auto read = [&](std::string_view key, auto& target) {
        const auto value = number<std::remove_reference_t<decltype(target)>>(values[key]);
        if (!value)
            fail("«" + std::string(key) + "=" + std::string(values[key]) + "» — не число");
        target = *value;
    };
    read("m", p.m);
    read("J", p.J);
    read("J0", p.J0);
    read("a", p.a);
    read("b", p.b);
    if (values["rule"] != "default" && values["rule"] != "exact")
        fail("правило «" + std::string(values["rule"]) + "» неизвестно (default или exact)");
    p.rule = values["rule"] == "exact" ? engine::Rule::Exact : engine::Rule::Default;
    try {
        engine::checkParameters(p);
    } catch (const engine::ParameterError& error) {
        std::string what = engineMessage(error);
        if (what.ends_with('.'))
            what.pop_back(); // the message gets its full stop from failData
        fail(what);
    }
    file.function = values["f"];
    file.coefficients = engine::Coefficients(p.m, p.J0, p.J);
    if (values.contains("fit")) {
        if (values["fit"] != fitName(Fit::Interpolate) && values["fit"] != fitName(Fit::Project))
            fail(
                "способ «" + std::string(values["fit"]) + "» неизвестен (interpolate или project)");
        file.fit = values["fit"] == fitName(Fit::Interpolate) ? Fit::Interpolate : Fit::Project;
    }
    if (values.contains("x0") || values.contains("x1")) {
        for (std::string_view key : {"x0", "x1"})
            if (!values.contains(key))
                fail("нет ключа «" + std::string(key) + "»");
        std::pair<double, double> range;
        read("x0", range.first);
        read("x1", range.second);
        if (!(range.first < range.second))
            fail("x0 должно быть меньше x1");
        file.range = range;
    }
    return file;
}

} // namespace

std::string coefficientText(const CoefficientFile& file)
{
    const engine::BasisParameters& p = file.parameters;
    const engine::Coefficients& c = file.coefficients;
    std::string text = std::string(title) + "\n# m=" + numberText(p.m) + "; J=" + numberText(p.J)
        + "; J0=" + numberText(p.J0)
        + "; rule=" + (p.rule == engine::Rule::Exact ? "exact" : "default")
        + "; a=" + numberText(p.a, 17) + "; b=" + numberText(p.b, 17);
    if (file.fit)
        text += "; fit=" + std::string(fitName(*file.fit));
    if (file.range)
        text += "; x0=" + numberText(file.range->first, 17)
            + "; x1=" + numberText(file.range->second, 17);
    text += "; f=" + file.function + "\n" + std::string(columns) + "\n";
    text.reserve(text.size() + (c.d.size() + c.c.size()) * 36);
    // Appended in place: the text of J = 22 has four million rows.
    char digits[40];
    auto append = [&](auto... number) {
        text.append(digits, std::to_chars(digits, digits + sizeof digits, number...).ptr);
    };
    auto row = [&](char kind, int level, int index, double value) {
        text += kind;
        text += ',';
        append(level);
        text += ',';
        append(index);
        text += ',';
        append(value, std::chars_format::general, 17);
        text += '\n';
    };
    for (int k : scalingIndices(c.m, c.J0))
        row('d', c.J0, k, c.d[k + c.m - 1]);
    for (int L : waveletLevels(c.J0, c.J)) {
        const std::span<const double> level = c.level(L);
        for (int p : waveletIndices(c.m, L))
            row('c', L, p, level[p + c.m - 1]);
    }
    return text;
}

CoefficientFile parseCoefficientText(std::string_view text, const std::string& name)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    Lines lines {text};
    auto expect = [&](std::string_view wanted) {
        const auto line = lines.next();
        if (line != wanted)
            failData(name, lines.number + !line, "ожидалась строка «" + std::string(wanted) + "»");
    };
    expect(title);
    const auto header = lines.next();
    CoefficientFile file = parseHeader(header.value_or(""), name, 2);
    expect(columns);

    engine::Coefficients& c = file.coefficients;
    const int m = c.m;
    std::vector<bool> seen(c.d.size() + c.c.size());
    while (const auto line = lines.next()) {
        if (line->empty())
            continue;
        auto fail = [&](const std::string& what) { failData(name, lines.number, what); };
        std::string_view fields[4];
        std::string_view rest = *line;
        for (int i = 0; i < 4; ++i) {
            const std::size_t comma = i < 3 ? rest.find(',') : std::string_view::npos;
            if (i < 3 && comma == std::string_view::npos)
                fail("ожидалось четыре поля «вид,уровень,индекс,значение»");
            fields[i] = rest.substr(0, comma);
            rest.remove_prefix(i < 3 ? comma + 1 : rest.size());
        }
        const std::string_view kind = fields[0];
        const auto level = number<int>(fields[1]);
        const auto index = number<int>(fields[2]);
        const auto value = number<double>(fields[3]);
        if (kind != "d" && kind != "c")
            fail("вид «" + std::string(kind) + "» неизвестен (d или c)");
        if (!level || !index)
            fail("уровень и индекс — целые числа");
        if (!value)
            fail("«" + std::string(fields[3]) + "» — не конечное число");
        const bool scaling = kind == "d";
        const bool levelFits = scaling ? *level == c.J0 : c.J0 < *level && *level <= c.J;
        if (!levelFits)
            fail("уровня " + numberText(*level) + " у коэффициентов " + std::string(kind)
                + " нет при J0=" + numberText(c.J0) + ", J=" + numberText(c.J));
        const Indices range = scaling ? scalingIndices(m, *level) : waveletIndices(m, *level);
        if (*index < range.front() || *index > range.back())
            fail("индекс " + numberText(*index) + " вне уровня " + numberText(*level) + " ("
                + numberText(range.front()) + " … " + numberText(range.back()) + ")");
        double& target = scaling ? c.scaling(*index) : c.wavelet(*level, *index);
        const std::size_t slot = scaling ? std::size_t(&target - c.d.data())
                                         : c.d.size() + std::size_t(&target - c.c.data());
        if (seen[slot])
            fail("коэффициент " + std::string(kind) + "," + numberText(*level) + ","
                + numberText(*index) + " повторяется");
        seen[slot] = true;
        target = *value;
    }
    const auto missing = std::find(seen.begin(), seen.end(), false);
    if (missing != seen.end()) {
        const std::size_t slot = std::size_t(missing - seen.begin());
        std::string entry;
        if (slot < c.d.size())
            entry = "d," + numberText(c.J0) + "," + numberText(int(slot) - m + 1);
        else
            for (int L : waveletLevels(c.J0, c.J)) {
                const std::size_t first = c.d.size() + std::size_t(&c.level(L)[0] - c.c.data());
                if (first <= slot && slot < first + c.level(L).size())
                    entry = "c," + numberText(L) + "," + numberText(int(slot - first) - m + 1);
            }
        failData(name, lines.number + 1, "нет коэффициента " + entry); // where it would follow
    }
    return file;
}

CoefficientFile readCoefficientFile(const std::string& path)
{
    return parseCoefficientText(readFileText(path), path);
}

void requireProgramInterval(const CoefficientFile& file, const std::string& name)
{
    const engine::BasisParameters program;
    const engine::BasisParameters& p = file.parameters;
    auto interval = [](double a, double b) {
        return "[" + numberText(a, 17) + ", " + numberText(b, 17) + "]";
    };
    if (p.a != program.a || p.b != program.b)
        failData(name, 2,
            "коэффициенты записаны для отрезка " + interval(p.a, p.b)
                + ", а отрезок в этой программе постоянный: " + interval(program.a, program.b));
}

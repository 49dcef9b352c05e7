#include "data/CoefficientFile.h"
#include "data/CoefficientText.h"
#include "engine/Errors.h"

#include "engine/Levels.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const std::string_view columns = "kind,level,index,value";
const std::string_view keys[] = {"m", "J", "J0", "rule", "a", "b", "f"};
const std::string_view optionalKeys[] = {"fit", "x0", "x1"};

// The header's keys, from "# m=3; J=10; ...; f=FORMULA".
CoefficientFile parseHeader(std::string_view line, const std::string& name, std::size_t lineNumber)
{
    const KeyLine values(
        line, keys, optionalKeys, "# m=…; J=…; J0=…; rule=…; a=…; b=…; f=…", name, lineNumber);
    auto fail = [&](const std::string& what) { values.fail(what); };
    CoefficientFile file;
    engine::BasisParameters& p = file.parameters;
    auto read = [&](std::string_view key, auto& target) {
        target = values.number<std::remove_reference_t<decltype(target)>>(key);
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
        values.fail(error);
    }
    file.function = values["f"];
    file.coefficients = engine::Coefficients(p.m, p.J0, p.J);
    if (values.has("fit")) {
        if (values["fit"] != fitName(Fit::Interpolate) && values["fit"] != fitName(Fit::Project))
            fail(
                "способ «" + std::string(values["fit"]) + "» неизвестен (interpolate или project)");
        file.fit = values["fit"] == fitName(Fit::Interpolate) ? Fit::Interpolate : Fit::Project;
    }
    if (values.has("x0") || values.has("x1")) {
        for (std::string_view key : {"x0", "x1"})
            if (!values.has(key))
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

void writeCoefficientText(
    const CoefficientFile& file, const std::function<void(std::string_view)>& out)
{
    const engine::BasisParameters& p = file.parameters;
    const engine::Coefficients& c = file.coefficients;
    std::string text = std::string(coefficientTitle) + "\n# m=" + numberText(p.m)
        + "; J=" + numberText(p.J) + "; J0=" + numberText(p.J0)
        + "; rule=" + (p.rule == engine::Rule::Exact ? "exact" : "default")
        + "; a=" + numberText(p.a, 17) + "; b=" + numberText(p.b, 17);
    if (file.fit)
        text += "; fit=" + std::string(fitName(*file.fit));
    if (file.range)
        text += "; x0=" + numberText(file.range->first, 17)
            + "; x1=" + numberText(file.range->second, 17);
    text += "; f=" + file.function + "\n" + std::string(columns) + "\n";
    constexpr std::size_t piece = 1 << 20;
    text.reserve(piece + 256);
    CsvRow csv;
    auto row = [&](std::string_view kind, int level, int index, double value) {
        (csv << kind << level << index).number(value, 17).appendTo(text);
        if (text.size() >= piece) {
            out(text);
            text.clear();
        }
    };
    for (int k : scalingIndices(c.m, c.J0))
        row("d", c.J0, k, c.d[k + c.m - 1]);
    for (int L : waveletLevels(c.J0, c.J)) {
        const std::span<const double> level = c.level(L);
        for (int p : waveletIndices(c.m, L))
            row("c", L, p, level[p + c.m - 1]);
    }
    out(text);
}

std::string coefficientText(const CoefficientFile& file)
{
    std::string text;
    text.reserve((file.coefficients.d.size() + file.coefficients.c.size()) * 36 + 256);
    writeCoefficientText(file, [&](std::string_view piece) { text += piece; });
    return text;
}

CoefficientFile parseCoefficientText(std::string_view text, const std::string& name)
{
    Lines lines(text);
    lines.expect(coefficientTitle, name);
    if (coefficientKind(text) == CoefficientKind::Image)
        failData(name, 2,
            "в файле коэффициенты изображения (ключи Jx и Jy), а не функции одной переменной; "
            "откройте его как коэффициенты изображения");
    const auto header = lines.next();
    CoefficientFile file = parseHeader(header.value_or(""), name, 2);
    lines.expect(columns, name);

    engine::Coefficients& c = file.coefficients;
    const int m = c.m;
    std::vector<bool> seen(c.d.size() + c.c.size());
    std::string_view fields[4];
    lines.eachRow(
        fields, "четыре поля «вид,уровень,индекс,значение»", name, [&](const RowFailure& fail) {
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
        });
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

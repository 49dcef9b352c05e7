#include "image/ImageCoefficientFile.h"

#include "data/CoefficientText.h"
#include "data/SampledData.h"
#include "engine/Errors.h"

#include <algorithm>
#include <vector>

namespace image {

namespace {

    const std::string_view columns = "kind,level,band,ix,iy,value";
    const std::string_view keys[]
        = {"m", "Jx", "Jy", "J0", "rule", "width", "height", "channel", "f"};
    const std::string_view optionalKeys[] = {"a", "b"};
    const Channel channels[] = {Channel::Grey, Channel::Red, Channel::Green, Channel::Blue};

    // "", "x", "y", "xy": the band's name in a row.
    std::string_view bandName(Band band)
    {
        switch (band) {
        case Band::X:
            return "x";
        case Band::Y:
            return "y";
        case Band::XY:
            return "xy";
        case Band::Coarse:
            break;
        }
        return "";
    }

    // "c,3,xy,-3,-1": a coefficient as its row begins.
    std::string entryText(const BandPlace& band, int ix, int iy)
    {
        return std::string(band.band == Band::Coarse ? "d," : "c,") + numberText(band.level) + ","
            + std::string(bandName(band.band)) + "," + numberText(ix) + "," + numberText(iy);
    }

    // The key line's basis, size and channel. The parameters must make a basis along both axes
    // and the image fit it (ImageTransform's checks, without its set-up).
    ImageCoefficientFile parseKeys(std::string_view line, const std::string& name)
    {
        const KeyLine values(line, keys, optionalKeys,
            "# m=…; Jx=…; Jy=…; J0=…; rule=…; width=…; height=…; channel=…; f=…", name, 2);
        ImageCoefficientFile file;
        ImageParameters& p = file.coefficients.parameters;
        p.m = values.number<int>("m");
        p.Jx = values.number<int>("Jx");
        p.Jy = values.number<int>("Jy");
        p.J0 = values.number<int>("J0");
        file.width = values.number<int>("width");
        file.height = values.number<int>("height");
        if (values["rule"] != "default" && values["rule"] != "exact")
            values.fail(
                "правило «" + std::string(values["rule"]) + "» неизвестно (default или exact)");
        p.rule = values["rule"] == "exact" ? engine::Rule::Exact : engine::Rule::Default;
        if ((values.has("a") && values.number<double>("a") != 0)
            || (values.has("b") && values.number<double>("b") != 1))
            values.fail("коэффициенты изображения бывают только на отрезке [0, 1]");
        for (int J : {p.Jx, p.Jy})
            try {
                engine::checkParameters({p.m, J, p.J0, p.rule});
            } catch (const engine::ParameterError& error) {
                values.fail(error);
            }
        for (auto [size, J, what] :
            {std::tuple(file.width, p.Jx, "width"), std::tuple(file.height, p.Jy, "height")})
            if (size < 2 || size > (1 << J) + 1)
                values.fail(std::string(what) + "=" + numberText(size) + ": сплайн уровня "
                    + numberText(J) + " проходит через 2 … " + numberText((1 << J) + 1)
                    + " пикселей");
        const auto channel = std::ranges::find_if(
            channels, [&](Channel c) { return values["channel"] == channelName(c); });
        if (channel == std::end(channels))
            values.fail("канал «" + std::string(values["channel"])
                + "» неизвестен (grey, red, green или blue)");
        file.channel = *channel;
        file.function = values["f"];
        file.coefficients.nx = coefficientColumns(p);
        file.coefficients.ny = coefficientRows(p);
        file.coefficients.values.resize(std::size_t(file.coefficients.nx) * file.coefficients.ny);
        return file;
    }

    // The band a row names: kind d with no band at level J0, or kind c with a band of its level.
    const BandPlace* findBand(const std::vector<BandPlace>& bands, std::string_view kind,
        std::string_view band, int level)
    {
        const auto found = std::ranges::find_if(bands, [&](const BandPlace& place) {
            return (place.band == Band::Coarse) == (kind == "d") && bandName(place.band) == band
                && place.level == level;
        });
        return found == bands.end() ? nullptr : &*found;
    }

} // namespace

const char* channelName(Channel channel)
{
    switch (channel) {
    case Channel::Red:
        return "red";
    case Channel::Green:
        return "green";
    case Channel::Blue:
        return "blue";
    case Channel::Grey:
        break;
    }
    return "grey";
}

std::string imageCoefficientText(const ImageCoefficientFile& file)
{
    const ImageCoefficients& c = file.coefficients;
    const ImageParameters& p = c.parameters;
    std::string text = std::string(coefficientTitle) + "\n# m=" + numberText(p.m)
        + "; Jx=" + numberText(p.Jx) + "; Jy=" + numberText(p.Jy) + "; J0=" + numberText(p.J0)
        + "; rule=" + (p.rule == engine::Rule::Exact ? "exact" : "default")
        + "; width=" + numberText(file.width) + "; height=" + numberText(file.height) + "; channel="
        + channelName(file.channel) + "; f=" + file.function + "\n" + std::string(columns) + "\n";
    text.reserve(text.size() + c.values.size() * 40);
    CsvRow row;
    for (const BandPlace& band : bandPlaces(p))
        for (int j = 0; j < band.rows; ++j)
            for (int i = 0; i < band.columns; ++i)
                (row << (band.band == Band::Coarse ? "d" : "c") << band.level << bandName(band.band)
                     << band.firstX + i << band.firstY + j)
                    .number(c.values[std::size_t(band.row + j) * c.nx + band.column + i], 17)
                    .appendTo(text);
    return text;
}

ImageCoefficientFile parseImageCoefficientText(std::string_view text, const std::string& name)
{
    Lines lines(text);
    lines.expect(coefficientTitle, name);
    if (coefficientKind(text) == CoefficientKind::Function)
        failData(name, 2,
            "в файле коэффициенты функции одной переменной (ключ J), а не изображения; откройте "
            "его как коэффициенты функции");
    ImageCoefficientFile file = parseKeys(lines.next().value_or(""), name);
    lines.expect(columns, name);

    ImageCoefficients& c = file.coefficients;
    const std::vector<BandPlace> bands = bandPlaces(c.parameters);
    std::vector<bool> seen(c.values.size());
    std::string_view fields[6];
    lines.eachRow(fields, "шесть полей «вид,уровень,полоса,ix,iy,значение»", name,
        [&](const RowFailure& fail) {
            const std::string_view kind = fields[0], bandField = fields[2];
            const auto level = number<int>(fields[1]);
            const auto ix = number<int>(fields[3]);
            const auto iy = number<int>(fields[4]);
            const auto value = number<double>(fields[5]);
            if (kind != "d" && kind != "c")
                fail("вид «" + std::string(kind) + "» неизвестен (d или c)");
            if (!level || !ix || !iy)
                fail("уровень, ix и iy — целые числа");
            if (!value)
                fail("«" + std::string(fields[5]) + "» — не конечное число");
            const BandPlace* band = findBand(bands, kind, bandField, *level);
            if (!band)
                fail(kind == "d" ? "коэффициенты d — уровня J0=" + numberText(c.parameters.J0)
                            + " без полосы"
                                 : "полосы «" + std::string(bandField) + "» уровня "
                            + numberText(*level) + " нет (x, y или xy уровней J0+1 … max(Jx, Jy))");
            const int i = *ix - band->firstX, j = *iy - band->firstY;
            if (i < 0 || i >= band->columns || j < 0 || j >= band->rows)
                fail("индексы " + numberText(*ix) + ", " + numberText(*iy) + " вне полосы (ix "
                    + numberText(band->firstX) + " … "
                    + numberText(band->firstX + band->columns - 1) + ", iy "
                    + numberText(band->firstY) + " … " + numberText(band->firstY + band->rows - 1)
                    + ")");
            const std::size_t slot = std::size_t(band->row + j) * c.nx + band->column + i;
            if (seen[slot])
                fail("коэффициент " + entryText(*band, *ix, *iy) + " повторяется");
            seen[slot] = true;
            c.values[slot] = *value;
        });
    const auto missing = std::ranges::find(seen, false);
    if (missing != seen.end()) {
        const std::size_t slot = std::size_t(missing - seen.begin());
        const int column = int(slot % c.nx), row = int(slot / c.nx);
        for (const BandPlace& band : bands)
            if (band.column <= column && column < band.column + band.columns && band.row <= row
                && row < band.row + band.rows)
                failData(name, lines.number + 1, // where it would follow
                    "нет коэффициента "
                        + entryText(band, band.firstX + column - band.column,
                            band.firstY + row - band.row));
    }
    return file;
}

ImageCoefficientFile readImageCoefficientFile(const std::string& path)
{
    return parseImageCoefficientText(readFileText(path), path);
}

} // namespace image

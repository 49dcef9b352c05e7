#include "cli/ImageCommand.h"

#include "cli/Options.h"
#include "core/ImageFile.h"
#include "data/EngineMessages.h"
#include "data/SampledData.h"
#include "engine/Errors.h"
#include "image/ImageCoefficientFile.h"
#include "image/ImageTransform.h"

#include <QFileInfo>

#include <cmath>
#include <optional>

namespace {

// The pixels along each side over which the edge PSNR is taken.
constexpr int edgeBand = 8;

// Which coefficients stay: exactly one of --keep K, --percent P, --threshold T.
struct Selection
{
    QString option;
    double value = 0;
};

Selection selectionOptions(const QCommandLineParser& parser)
{
    QStringList set;
    for (const char* name : {"keep", "percent", "threshold"})
        if (parser.isSet(name))
            set << name;
    if (set.size() != 1)
        usageError("задайте ровно одно из --keep K, --percent P и --threshold T");
    if (set[0] == "keep") {
        const int keep = integerOption(parser, "keep");
        if (keep < 0)
            usageError("значение --keep отрицательно");
        return {"keep", double(keep)};
    }
    const double value = numberOption(parser, set[0]);
    if (set[0] == "percent" && value > 100)
        usageError("значение --percent «" + parser.value("percent") + "» больше 100");
    return {set[0], value};
}

// The levels as the options give them: m and the rule always, J0, Jx and Jy where given; -J
// sets both finest levels, --Jx and --Jy one each.
struct LevelOptions
{
    int m = 0;
    engine::Rule rule = engine::Rule::Default;
    std::optional<int> J0, Jx, Jy;
};

LevelOptions levelOptions(const QCommandLineParser& parser)
{
    LevelOptions levels;
    levels.m = orderOption(parser);
    levels.rule = parser.isSet("exact") ? engine::Rule::Exact : engine::Rule::Default;
    if (parser.isSet("J") && (parser.isSet("Jx") || parser.isSet("Jy")))
        usageError("задайте уровни одним способом: -J для обеих осей или --Jx и --Jy");
    const auto given = [&](const char* name) {
        return parser.isSet(name) ? std::optional(integerOption(parser, name)) : std::nullopt;
    };
    levels.J0 = given("J0");
    levels.Jx = parser.isSet("J") ? given("J") : given("Jx");
    levels.Jy = parser.isSet("J") ? given("J") : given("Jy");
    return levels;
}

// The levels given, the others image::defaultParameters' for the image's size; levels that make
// no basis are a usage error naming the axis.
image::ImageParameters imageLevels(const LevelOptions& levels, const image::Pixels& pixels)
{
    image::ImageParameters p
        = image::defaultParameters(pixels.width, pixels.height, levels.m, levels.rule);
    p.J0 = levels.J0.value_or(p.J0);
    p.Jx = levels.Jx.value_or(p.Jx);
    p.Jy = levels.Jy.value_or(p.Jy);
    for (const auto& [J, axis] : {std::pair(p.Jx, "x"), std::pair(p.Jy, "y")})
        try {
            engine::checkParameters({p.m, J, p.J0, p.rule});
        } catch (const engine::ParameterError& error) {
            usageError(
                QString("по оси ") + axis + ": " + QString::fromStdString(engineMessage(error)));
        }
    return p;
}

// The coefficients that the selection keeps.
image::ImageCoefficients kept(const image::ImageTransform& transform,
    const image::ImageCoefficients& all, const Selection& selection)
{
    if (selection.option == "threshold")
        return image::thresholded(transform, all, selection.value);
    const std::size_t K = selection.option == "keep" ? std::size_t(selection.value)
                                                     : image::keptForPercent(all, selection.value);
    return image::keepLargest(transform, all, K);
}

QString decibels(double psnr)
{
    return std::isinf(psnr) ? "∞" : QString::number(psnr, 'f', 2) + " дБ";
}

std::string note(const image::ImageCoefficients& kept, const image::ImageError& error)
{
    return ("сохранено " + QString::number(image::nonZero(kept)) + " из "
        + QString::number(kept.values.size()) + " коэффициентов; PSNR " + decibels(error.psnr)
        + ", в полосе " + QString::number(edgeBand) + " пикселей у краёв "
        + decibels(error.edgePsnr) + "\n")
        .toStdString();
}

// What the command works on: the transform, every coefficient and the image they are measured
// against, with the file's name for the coefficient file it writes.
struct Input
{
    image::ImageTransform transform;
    image::ImageCoefficients all;
    image::Pixels original;
    image::Channel channel;
    std::string function;
};

// An image transformed with the levels of the options.
Input imageInput(const QString& path, const LevelOptions& levels)
{
    image::Pixels pixels = readImageFile(path, ImageChannels::Grey).channels[0];
    image::ImageTransform transform(imageLevels(levels, pixels), pixels.width, pixels.height);
    image::ImageCoefficients all = transform.forward(pixels);
    return {std::move(transform), std::move(all), std::move(pixels), image::Channel::Grey,
        "image:" + QFileInfo(path).fileName().toStdString()};
}

// An image's coefficient file: its own basis and size; the image measured against is the one of
// all its coefficients. Without -m the file must be one (the image route needs m).
Input coefficientInput(const QString& path)
{
    const std::string name = path.toStdString(), text = readFileText(name);
    if (coefficientKind(text) != CoefficientKind::Image)
        usageError("не задан параметр -m (без него файл должен быть файлом коэффициентов "
                   "изображения)");
    image::ImageCoefficientFile file = image::parseImageCoefficientText(text, name);
    image::ImageTransform transform(file.coefficients.parameters, file.width, file.height);
    image::Pixels original = transform.inverse(file.coefficients);
    return {std::move(transform), std::move(file.coefficients), std::move(original), file.channel,
        std::move(file.function)};
}

} // namespace

ImageResult imageCommand(const QCommandLineParser& parser)
{
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1)
        usageError("нужен ровно один файл изображения");
    require(parser, "o");
    if (isStandardStream(parser.value("o")) && isStandardStream(parser.value("coefficients")))
        usageError("-o и --coefficients не могут оба писать в стандартный вывод");
    const Selection selection = selectionOptions(parser);
    const bool fromImage = parser.isSet("m");
    const LevelOptions levels = fromImage ? levelOptions(parser) : LevelOptions {};
    if (!fromImage)
        for (const char* name : {"J", "Jx", "Jy", "J0", "exact"})
            if (parser.isSet(name))
                usageError("у файла коэффициентов изображения m, правило и уровни свои: без -m "
                           "параметр "
                    + optionName(name) + " не задают");
    try {
        const Input input = fromImage ? imageInput(files[0], levels) : coefficientInput(files[0]);
        const image::ImageCoefficients coefficients = kept(input.transform, input.all, selection);
        const image::Pixels rebuilt = input.transform.inverse(coefficients);
        ImageResult result {pngBytes({rebuilt}).toStdString(), std::nullopt,
            note(coefficients,
                image::imageError(input.original, rebuilt, ImageData::peak, edgeBand))};
        if (parser.isSet("coefficients"))
            result.coefficients = image::imageCoefficientText({coefficients, input.original.width,
                input.original.height, input.channel, input.function});
        return result;
    } catch (const DataError& error) {
        throw Failure {BadData, QString::fromUtf8(error.what())};
    }
}

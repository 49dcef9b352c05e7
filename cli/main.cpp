// splinewave-cli: the transforms without the window. Five commands:
//   forward   f (a formula or a data file) -> the coefficient file (data/CoefficientFile.h)
//   inverse   a coefficient file -> "x,value" at the sample points or at N points of [a, b]
//   compress  a coefficient file -> the same with the small wavelet coefficients zeroed
//   basis     the report of the basis coefficients (core/BasisReport.h), in UTF-8
//   image     an image or its coefficient file -> the image rebuilt from its largest coefficients
//             (cli/ImageCommand.h)
// The result goes to stdout or, only when the command succeeds, to the -o file (core/SafeSave.h:
// a regular file is replaced atomically, a device or a pipe written directly). "-" names the
// standard output for -o and the standard input for the file read.
// Exit status: 0 success, 1 bad data (a file that cannot be read or written, f not finite),
// 2 bad usage (an unknown command or option, a missing or malformed value, a wrong formula).

#include "cli/ImageCommand.h"
#include "cli/Options.h"
#include "core/BasisReport.h"
#include "core/UserFunction.h"
#include "data/CoefficientFile.h"
#include "data/CoefficientText.h"
#include "data/EngineMessages.h"
#include "data/SampleExpansion.h"
#include "engine/Errors.h"
#include "engine/Expansion.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace {

// Significant digits of the numbers written: 17, so that every double reads back as the same bits.
constexpr int allDigits = 17;

const char* const help = R"help(Использование:
  splinewave-cli forward  -m M -J J [--J0 J0] [--exact] (-f ФОРМУЛА | --data ФАЙЛ [--fit СПОСОБ]
                          [--interpolation ВИД]) [-o ФАЙЛ]
  splinewave-cli inverse  КОЭФФИЦИЕНТЫ.csv [--points N] [-o ФАЙЛ]
  splinewave-cli compress КОЭФФИЦИЕНТЫ.csv (--threshold T | --keep K) [--by МЕРА] [-o ФАЙЛ]
  splinewave-cli basis    -m M -J J [--J0 J0] [--exact] [-o ФАЙЛ]
  splinewave-cli image    (ИЗОБРАЖЕНИЕ -m M [-J J | --Jx JX --Jy JY] [--J0 J0] [--exact]
                          | КОЭФФИЦИЕНТЫ_ИЗОБРАЖЕНИЯ.csv)
                          (--keep K | --percent P | --threshold T) -o ФАЙЛ.png
                          [--coefficients КОЭФФИЦИЕНТЫ.csv]
  splinewave-cli --version

Команды:
  forward   раскладывает f(x) на [0, 1] по сплайновым вейвлетам и пишет коэффициенты в CSV
  inverse   восстанавливает значения функции по файлу коэффициентов: строки «x,value» в 2^J
            точках преобразования или в N равноотстоящих точках отрезка вместе с концами
  compress  обнуляет вейвлет-коэффициенты c, вклад которых меньше T (или все, кроме K
            наибольших по вкладу), и сообщает в stderr, сколько сохранено, и погрешности
            восстановления; вклад — |c|·‖ψ‖, модуль коэффициента, умноженный на норму его
            вейвлета в L²
  basis     печатает отчёт о коэффициентах базиса (betta, alpha, alphaW) в UTF-8
  image     раскладывает изображение (PNG, JPEG, BMP или TIFF; цветное берётся в оттенках
            серого, 0 .. 255) по произведениям сплайновых вейвлетов по x и по y, сохраняет
            коэффициенты с наибольшим вкладом среди всех, грубых тоже (вклад — |c|, умноженный
            на норму функции базиса в L² квадрата), восстанавливает по ним изображение и пишет
            его в PNG; в stderr — сколько сохранено и PSNR восстановления до округления до
            целых, по всему изображению и в полосе 8 пикселей у краёв; вместо изображения —
            файл его коэффициентов (m, правило, уровни и размер из файла)

Параметры:
  -m M              порядок сплайна: 2, 3 или 4
  -J J              самый мелкий уровень, от J0 + 1 до 22; для image — по обеим осям (по
                    умолчанию наименьший, при котором 2^J не меньше ширины (высоты) без 1)
  --Jx JX, --Jy JY  для image: самый мелкий уровень по x (по ширине) или по y (по высоте)
  --J0 J0           самый грубый уровень, меньше J; по умолчанию наименьший допустимый
                    (1, 2, 2 для m = 2, 3, 4; при --exact 1, 2, 3)
  --exact           точное интегрирование (узлы Гаусса) вместо правила по умолчанию
  -f ФОРМУЛА        функция f(x), например "sin(2*pi*x)"
  --data ФАЙЛ       f(x) по отсчётам файла данных: один столбец — значения в равноотстоящих
                    точках [0, 1]; два — x и y, x строго возрастает от x0 до x1 и
                    отображается на [0, 1]
  --fit СПОСОБ      как получить коэффициенты из отсчётов: interpolate — сплайн уровня J,
                    проходящий через отсчёты, с наименьшими скачками (m-1)-й производной
                    (по умолчанию; восстановление по всем коэффициентам возвращает отсчёты);
                    project — проекция функции, проходящей через отсчёты
  --interpolation ВИД  функция между отсчётами для --fit project: cubic — естественный
                    кубический сплайн (по умолчанию), linear — ломаная
  --points N        число точек восстановления, не меньше 2
  --threshold T     порог: сохраняются коэффициенты c с вкладом >= T (десятичная точка или
                    запятая)
  --keep K          сохраняются K коэффициентов c с наибольшим вкладом
  --percent P       для image: сохраняются P % коэффициентов (от 0 до 100) с наибольшим вкладом
  --coefficients КОЭФФИЦИЕНТЫ.csv  для image: записать и сохранённые коэффициенты (CSV)
  --by МЕРА         что сравнивается: contribution — вклад |c|·‖ψ‖ (по умолчанию),
                    value — сам модуль |c|
  -o, --output ФАЙЛ записать результат в файл (только при успехе), иначе в stdout
  -h, --help        эта справка
  --version         версия программы

Имя файла «-» означает стандартный ввод (КОЭФФИЦИЕНТЫ.csv, --data) или стандартный вывод (-o,
--coefficients). Обычный файл -o заменяется целиком, когда результат записан; устройство или
канал (FIFO) записывается напрямую.

Коды выхода: 0 — успех, 1 — ошибка в данных или файле, 2 — неверный вызов.
)help";

// The options each command takes, by name.
const std::map<QString, std::set<QString>> commands = {
    {"forward", {"m", "J", "J0", "exact", "f", "data", "fit", "interpolation", "o"}},
    {"inverse", {"points", "o"}},
    {"compress", {"threshold", "keep", "by", "o"}},
    {"basis", {"m", "J", "J0", "exact", "o"}},
    {"image",
        {"m", "J", "Jx", "Jy", "J0", "exact", "keep", "percent", "threshold", "o", "coefficients"}},
};

// m, J, J0 and the rule from the options; J0 the smallest level that the rule allows unless given.
engine::BasisParameters basisOptions(const QCommandLineParser& parser)
{
    engine::BasisParameters p;
    p.m = orderOption(parser);
    require(parser, "J");
    p.J = integerOption(parser, "J");
    p.rule = parser.isSet("exact") ? engine::Rule::Exact : engine::Rule::Default;
    p.J0 = parser.isSet("J0") ? integerOption(parser, "J0")
                              : engine::smallestCoarsestLevel(p.m, p.rule);
    try {
        engine::checkParameters(p);
    } catch (const engine::ParameterError& error) {
        usageError(QString::fromStdString(engineMessage(error)));
    }
    return p;
}

// The whole standard input, read to its end.
std::string standardInput()
{
    std::string text;
    char block[1 << 16];
    while (const std::size_t count = std::fread(block, 1, sizeof block, stdin))
        text.append(block, count);
    if (std::ferror(stdin))
        throw Failure {BadData, "не удалось прочитать стандартный ввод"};
    return text;
}

// The text of an input file and its name in messages; "-" is the standard input.
std::pair<std::string, std::string> inputText(const QString& path)
{
    if (isStandardStream(path))
        return {standardInput(), "стандартный ввод"};
    return {readFileText(path.toStdString()), path.toStdString()};
}

// The one file argument of inverse and compress, of the interval [0, 1].
CoefficientFile coefficientFile(const QCommandLineParser& parser)
{
    const QStringList files = parser.positionalArguments().mid(1);
    if (files.size() != 1)
        usageError("нужен ровно один файл коэффициентов");
    try {
        const auto [text, name] = inputText(files[0]);
        CoefficientFile file = parseCoefficientText(text, name);
        requireProgramInterval(file, name);
        return file;
    } catch (const DataError& error) {
        throw Failure {BadData, QString::fromUtf8(error.what())};
    }
}

// The route from samples, --fit: interpolate (by default) or project.
Fit fitOption(const QCommandLineParser& parser)
{
    const QString value = parser.value("fit");
    if (!parser.isSet("fit") || value == fitName(Fit::Interpolate))
        return Fit::Interpolate;
    if (value == fitName(Fit::Project))
        return Fit::Project;
    usageError("значение --fit «" + value + "» неизвестно (interpolate или project)");
}

// What joins the samples for the projection, --interpolation: cubic (by default) or linear; it
// has no say in interpolation, and asking for it there is an error, not ignored.
Between betweenOption(const QCommandLineParser& parser, Fit fit)
{
    if (!parser.isSet("interpolation"))
        return Between::Cubic;
    if (fit != Fit::Project)
        usageError("--interpolation выбирает функцию между отсчётами для --fit project");
    const QString value = parser.value("interpolation");
    if (value != "cubic" && value != "linear")
        usageError("значение --interpolation «" + value + "» неизвестно (cubic или linear)");
    return value == "cubic" ? Between::Cubic : Between::Linear;
}

// The samples of --data by the route of --fit; the note names the file's empty values, the
// route taken and the samples' own range of x where it is mapped onto [a, b].
void forwardData(const QCommandLineParser& parser, CoefficientFile& file, std::string& note)
{
    const Fit fit = fitOption(parser);
    const Between between = betweenOption(parser, fit);
    const QString path = parser.value("data");
    const engine::BasisParameters& p = file.parameters;
    try {
        const auto [text, name] = inputText(path);
        const SampledData samples = parseSamples(text, name, p.a, p.b);
        const std::string filePrefix = "Файл «" + name + "»: ";
        if (!samples.missingLines.empty())
            note = filePrefix + missingValuesNote(samples.missingLines) + ".\n";
        const std::string mapping = mappingNote(samples.x.front(), samples.x.back(), p.a, p.b);
        note += filePrefix + routeNote(fit, between) + (mapping.empty() ? "" : "; " + mapping)
            + ".\n";
        file.function = "data:" + QFileInfo(path).fileName().toStdString();
        file.fit = fit;
        file.range = {samples.x.front(), samples.x.back()};
        file.coefficients = expandSamples(
            std::make_shared<const engine::Transform>(p), samples, fit, file.function, between)
                                .coefficients();
    } catch (const DataError& error) {
        throw Failure {BadData, QString::fromUtf8(error.what())};
    }
}

// The text of a coefficient file, made piece by piece as it is written.
Pieces coefficientPieces(CoefficientFile file)
{
    return [file = std::move(file)](const std::function<void(std::string_view)>& out) {
        writeCoefficientText(file, out);
    };
}

// A formula, or the samples of a data file (forwardData).
Pieces forward(const QCommandLineParser& parser, std::string& note)
{
    CoefficientFile file;
    file.parameters = basisOptions(parser);
    if (parser.isSet("f") == parser.isSet("data"))
        usageError("задайте функцию одним способом: -f ФОРМУЛА или --data ФАЙЛ");
    if (parser.isSet("data"))
        forwardData(parser, file, note);
    else {
        if (parser.isSet("fit") || parser.isSet("interpolation"))
            usageError("--fit и --interpolation относятся к отсчётам --data, а не к формуле");
        DecomposedFunction f;
        try {
            f = DecomposedFunction::formula(parser.value("f"));
        } catch (const UserFunctionError& error) {
            usageError(QString::fromUtf8(error.what()));
        }
        file.function = f.label().toStdString();
        engine::Transform transform(file.parameters);
        try {
            file.coefficients = transform.forward(f.batch);
        } catch (const engine::NotFiniteError& error) {
            throw Failure {BadData, QString::fromStdString(engineMessage(error))};
        }
    }
    return coefficientPieces(std::move(file));
}

std::string inverse(const QCommandLineParser& parser)
{
    const CoefficientFile file = coefficientFile(parser);
    const engine::Transform transform(file.parameters);
    std::vector<double> x, values;
    if (parser.isSet("points")) {
        const int count = integerOption(parser, "points");
        if (count < 2)
            usageError("--points должно быть не меньше 2");
        const auto [a, b] = std::pair(file.parameters.a, file.parameters.b);
        for (int i = 0; i < count; ++i)
            x.push_back(i == count - 1 ? b : a + (b - a) * i / (count - 1));
        values = transform.inverse(file.coefficients, x);
    } else {
        x = transform.samplePoints();
        values = transform.meshValues(file.coefficients, 1);
    }
    std::string text = "x,value\n";
    text.reserve(x.size() * 48);
    CsvRow row;
    for (std::size_t i = 0; i < x.size(); ++i)
        row.number(x[i], allDigits).number(values[i], allDigits).appendTo(text);
    return text;
}

// What --by names: the contribution |c| ||psi|| unless "value", |c|.
engine::Measure measureOption(const QCommandLineParser& parser)
{
    const QString by = parser.isSet("by") ? parser.value("by") : "contribution";
    if (by != "contribution" && by != "value")
        usageError("значение --by «" + by + "» неизвестно (contribution или value)");
    return by == "value" ? engine::Measure::Value : engine::Measure::Contribution;
}

// Zeroes the wavelet coefficients that measure below the threshold, or all but the K of largest
// measure (of equal measures the first in the file stay); the note compares the inverses at the
// sample points.
Pieces compress(const QCommandLineParser& parser, std::string& note)
{
    CoefficientFile file = coefficientFile(parser);
    if (parser.isSet("threshold") == parser.isSet("keep"))
        usageError("задайте ровно одно из --threshold T и --keep K");
    const engine::Measure measure = measureOption(parser);
    const engine::Expansion all(
        std::make_shared<const engine::Transform>(file.parameters), file.coefficients);
    std::optional<engine::Expansion> kept;
    std::size_t count = 0;
    if (parser.isSet("threshold")) {
        const double threshold = numberOption(parser, "threshold");
        kept = all.thresholded(threshold, measure);
        count = all.countAtLeast(threshold, measure);
    } else {
        const int keep = integerOption(parser, "keep");
        if (keep < 0)
            usageError("значение --keep отрицательно");
        kept = all.keepingLargest(std::size_t(keep), measure);
        count = std::min(std::size_t(keep), all.coefficients().c.size());
    }
    const std::vector<double> before = all.onMesh(1), after = kept->onMesh(1);
    const std::size_t points = std::size_t(1) << file.parameters.J; // b is not a sample point
    const engine::Deviation error
        = engine::deviation(std::span(before).first(points), std::span(after).first(points));
    note = "сохранено " + std::to_string(count) + " из "
        + std::to_string(all.coefficients().c.size())
        + " коэффициентов c; погрешность восстановления: наибольшая ";
    appendNumber(note, error.largest, allDigits);
    note += ", среднеквадратичная ";
    appendNumber(note, error.rms, allDigits);
    note += "\n";
    file.coefficients = kept->coefficients();
    return coefficientPieces(std::move(file));
}

int run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions({
        {{"h", "help"}, ""},
        {"m", "", "M"},
        {"J", "", "J"},
        {"J0", "", "J0"},
        {"Jx", "", "JX"},
        {"Jy", "", "JY"},
        {"version", ""},
        {"exact", ""},
        {"f", "", "ФОРМУЛА"},
        {"data", "", "ФАЙЛ"},
        {"fit", "", "СПОСОБ"},
        {"interpolation", "", "ВИД"},
        {"points", "", "N"},
        {"threshold", "", "T"},
        {"keep", "", "K"},
        {"percent", "", "P"},
        {"by", "", "МЕРА"},
        {"coefficients", "", "КОЭФФИЦИЕНТЫ.csv"},
        {{"o", "output"}, "", "ФАЙЛ"},
    });
    try {
        if (!parser.parse(arguments))
            usageError(parser.errorText());
        if (parser.isSet("help")) {
            std::fputs(help, stdout);
            return Success;
        }
        if (parser.isSet("version")) {
            std::fputs("splinewave-cli " SPLINEWAVE_VERSION "\n", stdout);
            return Success;
        }
        const QStringList positional = parser.positionalArguments();
        if (positional.isEmpty())
            usageError("не задана команда (forward, inverse, compress, basis или image)");
        const auto command = commands.find(positional[0]);
        if (command == commands.end())
            usageError("неизвестная команда «" + positional[0] + "»");
        for (const QString& name : parser.optionNames())
            if (!command->second.contains(name == "output" ? "o" : name))
                usageError(
                    "команда " + command->first + " не принимает параметр " + optionName(name));
        const std::set<QString> withFile = {"inverse", "compress", "image"};
        if (!withFile.contains(command->first) && positional.size() > 1)
            usageError("лишний аргумент «" + positional[1] + "»");
        std::string note;
        if (command->first == "forward")
            write(parser.value("o"), forward(parser, note));
        else if (command->first == "inverse")
            write(parser.value("o"), inverse(parser));
        else if (command->first == "compress")
            write(parser.value("o"), compress(parser, note));
        else if (command->first == "image") {
            const ImageResult result = imageCommand(parser);
            if (result.coefficients)
                write(parser.value("coefficients"), *result.coefficients);
            write(parser.value("o"), result.png);
            note = result.note;
        } else
            write(
                parser.value("o"), basisReport(engine::Basis(basisOptions(parser))).toStdString());
        std::fputs(note.c_str(), stderr);
        return Success;
    } catch (const Failure& failure) {
        std::fputs(("splinewave-cli: " + failure.message + "\n").toUtf8().constData(), stderr);
        if (failure.status == BadUsage)
            std::fputs("Подробнее: splinewave-cli --help\n", stderr);
        return failure.status;
    } catch (const std::exception& error) { // a fault of the program: said, never an abort
        std::fprintf(
            stderr, "splinewave-cli: внутренняя ошибка: %s\n", engineMessage(error).c_str());
        return BadData;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Russian), "qt", "_",
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&translator);
    return run(application.arguments());
}

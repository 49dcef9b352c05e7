#include "core/UserFunction.h"

#include <muParser.h>
#include <omp.h>

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {

// What a parser error code means, in Russian; the token, if any, stands at %1.
QString problem(mu::EErrorCodes code)
{
    switch (code) {
    case mu::ecEMPTY_EXPRESSION:
        return "формула пуста";
    case mu::ecUNEXPECTED_EOF:
        return "формула оборвана";
    case mu::ecUNASSIGNABLE_TOKEN:
        return "неизвестное имя «%1»";
    case mu::ecUNEXPECTED_OPERATOR:
        return "лишний знак операции «%1»";
    case mu::ecUNEXPECTED_VAL:
        return "лишнее число «%1»";
    case mu::ecUNEXPECTED_VAR:
        return "лишняя переменная «%1» (не хватает знака операции?)";
    case mu::ecUNEXPECTED_FUN:
        return "лишняя функция «%1»";
    case mu::ecUNEXPECTED_PARENS:
        return "лишняя скобка «%1»";
    case mu::ecMISSING_PARENS:
        return "не хватает закрывающей скобки";
    case mu::ecUNEXPECTED_ARG_SEP:
        return "лишняя точка с запятой";
    case mu::ecTOO_MANY_PARAMS:
        return "слишком много аргументов у функции «%1»";
    case mu::ecTOO_FEW_PARAMS:
        return "слишком мало аргументов у функции «%1»";
    case mu::ecUNEXPECTED_CONDITIONAL:
        return "лишний знак «?»";
    case mu::ecMISSING_ELSE_CLAUSE:
        return "после «?» не хватает части «: значение»";
    case mu::ecMISPLACED_COLON:
        return "лишнее двоеточие";
    case mu::ecINVALID_CHARACTERS_FOUND:
        return "недопустимые символы";
    default:
        return "формула записана неверно";
    }
}

// The message of a parser error; positions count characters from 1, not bytes from 0.
UserFunctionError userFunctionError(
    const mu::ParserError& error, const QString& text, const QByteArray& utf8)
{
    // The parser's token may run on to the end of the text; the name is its leading letters.
    QString token = QString::fromStdString(error.GetToken()).trimmed();
    if (error.GetCode() == mu::ecUNASSIGNABLE_TOKEN) {
        const auto end = std::find_if(
            token.begin(), token.end(), [](QChar c) { return !c.isLetterOrNumber() && c != '_'; });
        token.truncate(std::max<qsizetype>(1, end - token.begin()));
    }
    QString what = problem(error.GetCode());
    if (what.contains("%1"))
        what = what.arg(token);
    if (std::any_of(token.begin(), token.end(), [](QChar c) { return c.unicode() > 127; }))
        what += " (имена пишутся латинскими буквами: x, sin, pi)";
    // "," is a decimal comma here, so "min(x,0.5)" reads as min of the one number "x.0.5".
    static const QRegularExpression commaArguments(R"(\b(min|max)\s*\([^;()]*,)");
    if (commaArguments.match(text).hasMatch())
        what += " (аргументы min и max разделяются точкой с запятой: min(x;0,5))";
    const int byte = std::clamp(error.GetPos(), 0, int(utf8.size()));
    const qsizetype position = QString::fromUtf8(utf8.left(byte)).size() + 1;
    return UserFunctionError(
        ("Ошибка в формуле f(x): " + what + ", позиция " + QString::number(position))
            .toStdString());
}

} // namespace

// The parser reads x from the array beside it, so the two live together at a fixed address:
// one point at x[0], or in bulk mode point i at x[i].
struct UserFunction::Parser
{
    static constexpr std::size_t bulk = 4096;
    mu::Parser parser;
    std::array<double, bulk> x {};
};

UserFunction::UserFunction(const QString& text)
    : parser(std::make_unique<Parser>())
    , source(text)
{
    // ";" separates arguments, so "," is free to be a decimal separator like ".".
    const QByteArray utf8 = QString(text).replace(',', '.').toUtf8();
    try {
        mu::Parser& p = parser->parser;
        p.SetArgSep(';');
        p.DefineVar("x", parser->x.data());
        p.DefineConst("pi", std::numbers::pi);
        p.DefineConst("e", std::numbers::e);
        p.DefineFun("floor", static_cast<double (*)(double)>(std::floor));
        p.DefineFun("ceil", static_cast<double (*)(double)>(std::ceil));
        p.SetExpr(utf8.toStdString());
        p.Eval(); // the first evaluation parses the text into bytecode
    } catch (const mu::ParserError& error) {
        throw userFunctionError(error, text, utf8);
    }
}

UserFunction::UserFunction(UserFunction&&) noexcept = default;
UserFunction& UserFunction::operator=(UserFunction&&) noexcept = default;
UserFunction::~UserFunction() = default;

double UserFunction::operator()(double x) const
{
    parser->x[0] = x;
    try {
        return parser->parser.Eval();
    } catch (const mu::ParserError&) {
        return NAN; // bytecode does not throw; should it ever, the value is undefined there
    }
}

// The parser's bulk mode would share the points among OpenMP threads: for a few thousand points
// their start and their idle spinning cost more than they save, and on a busy machine far more
// (five times the whole transform at J = 20, measured), so it runs on the calling thread alone.
void UserFunction::operator()(std::span<const double> x, std::span<double> fx) const
{
    omp_set_num_threads(1);
    for (std::size_t first = 0; first < x.size(); first += Parser::bulk) {
        const std::size_t count = std::min(Parser::bulk, x.size() - first);
        std::copy_n(x.begin() + first, count, parser->x.begin());
        try {
            parser->parser.Eval(fx.data() + first, int(count));
        } catch (const mu::ParserError&) {
            std::fill_n(fx.begin() + first, count, NAN);
        }
    }
}

DecomposedFunction DecomposedFunction::formula(const QString& text)
{
    auto parsed = std::make_shared<const UserFunction>(text);
    return {text, [parsed](double x) { return (*parsed)(x); },
        [parsed](std::span<const double> x, std::span<double> fx) { (*parsed)(x, fx); }, nullptr,
        {}};
}

DecomposedFunction DecomposedFunction::samples(
    const QString& fileName, SampledData samples, double a, double b, Between between)
{
    const std::pair range(samples.x.front(), samples.x.back());
    auto data = std::make_shared<const Interpolant>(onInterval(std::move(samples), a, b), between);
    return {"данные: " + fileName, [data](double x) { return (*data)(x); },
        [data](std::span<const double> x, std::span<double> fx) { (*data)(x, fx); }, data, fileName,
        between, range};
}

DecomposedFunction DecomposedFunction::joined(Between by) const
{
    const SampledData& onAB = data->samples();
    DecomposedFunction other = samples(file, onAB, onAB.x.front(), onAB.x.back(), by);
    other.range = range;
    return other;
}

#include "data/EngineMessages.h"

#include "engine/Basis.h"
#include "engine/Errors.h"

namespace {

std::string n(int value)
{
    return std::to_string(value);
}

std::string parameterMessage(const engine::ParameterError& e)
{
    using Kind = engine::ParameterError::Kind;
    switch (e.kind) {
    case Kind::Order:
        return "Непредусмотренное значение m (" + n(e.m) + ")";
    case Kind::Interval:
        return "Начало отрезка должно быть меньше его конца.";
    case Kind::CoarsestLevel:
        return "Уровень J0=" + n(e.J0) + " меньше наименьшего допустимого для m=" + n(e.m)
            + (e.rule == engine::Rule::Exact ? " при точном интегрировании" : "") + ": "
            + n(e.lowest) + ".";
    case Kind::FinestLevel:
        break;
    }
    return "Уровень J=" + n(e.J) + " вне допустимых пределов для m=" + n(e.m) + " и J0=" + n(e.J0)
        + ": от " + n(e.lowest) + " до " + n(e.highest) + ".";
}

std::string numericalMessage(const engine::NumericalError& e)
{
    using Kind = engine::NumericalError::Kind;
    switch (e.kind) {
    case Kind::SingularDense:
        return "Система линейных уравнений вырождена: нулевой ведущий элемент в строке "
            + n(e.index) + " из " + n(e.order) + ". Решение не найдено.";
    case Kind::SingularBand:
        return "Ленточная система вырождена (" + (e.solver == "LU" ? e.solver : "Холецкий")
            + ", ведущий элемент " + n(e.index) + "). Решение не найдено.";
    case Kind::GaussNode:
        break;
    }
    return "Узел " + n(e.index) + " формулы Гаусса порядка " + n(e.order)
        + " не найден: итерация Ньютона не сходится.";
}

} // namespace

std::string engineMessage(const std::exception& error)
{
    if (const auto* parameters = dynamic_cast<const engine::ParameterError*>(&error))
        return parameterMessage(*parameters);
    if (const auto* notFinite = dynamic_cast<const engine::NotFiniteError*>(&error))
        return "Функция f(x) не определена или бесконечна при x = " + std::to_string(notFinite->x);
    if (const auto* numerical = dynamic_cast<const engine::NumericalError*>(&error))
        return numericalMessage(*numerical);
    return error.what();
}

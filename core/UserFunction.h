#pragma once

#include "data/Interpolant.h"
#include "engine/Transform.h"

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

// A function f(x) typed by the user, parsed once into bytecode and then evaluated point by point.
// The language: the variable x; numbers with "." or "," as the decimal separator; + - * / ^,
// parentheses, unary minus; the constants pi and e; sin cos tan asin acos atan sinh cosh tanh
// exp ln log10 sqrt abs sign floor ceil; min and max with arguments separated by ";"; the
// comparisons < <= > >= == != and the conditional "condition ? value : value".
class UserFunction
{
public:
    // Parses the text. A text that is not a formula throws UserFunctionError.
    explicit UserFunction(const QString& text);
    UserFunction(UserFunction&&) noexcept;
    UserFunction& operator=(UserFunction&&) noexcept;
    ~UserFunction();

    const QString& text() const { return source; }
    double operator()(double x) const;
    // fx[i] = f(x[i]), the same doubles as point by point, from the parser's bulk mode: the
    // bytecode runs over an array of x at once. Not from two threads at once.
    void operator()(std::span<const double> x, std::span<double> fx) const;

private:
    struct Parser;
    std::unique_ptr<Parser> parser;
    QString source;
};

// What is wrong with a formula and where, in Russian: "Ошибка в формуле f(x): <what>, позиция <n>"
// with n counted in characters from 1.
class UserFunctionError : public std::invalid_argument
{
public:
    using std::invalid_argument::invalid_argument;
};

// The function the forward transform decomposes: a formula, or the spline through the samples of
// a data file; and the name the window gives it.
struct DecomposedFunction
{
    QString name; // the formula's text, or "данные: FILE" without the folder
    std::function<double(double)> value;
    engine::BatchFunction batch; // the same values at many points at once
    std::shared_ptr<const Interpolant> data; // the samples behind f, on [a, b]; null for a formula
    QString file; // the data file's name without the folder; empty for a formula
    Between between = Between::Cubic; // what joins the samples
    std::pair<double, double> range {}; // the samples' own x0 and x1, mapped onto [a, b]

    // f as a coefficient file names it: the formula, or "data:FILE".
    QString label() const { return data ? "data:" + file : name; }

    // A formula; a text that is not one throws UserFunctionError.
    static DecomposedFunction formula(const QString& text);
    // The samples of a data file, x in their own units mapped onto [a, b] (onInterval); fileName
    // is its name without the folder.
    static DecomposedFunction samples(
        const QString& fileName, SampledData samples, double a, double b, Between between);
    // The same samples joined otherwise.
    DecomposedFunction joined(Between by) const;
};

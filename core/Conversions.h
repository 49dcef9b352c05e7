#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>

// Number <-> text conversions of the window. Texts shown to the user take the decimal separator
// of the user's locale (QLocale()); none of them depends on the C library's locale.

// The conversion error: a text that is not a number. Its message quotes the text, in Russian.
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

QString IntToStr(int value);

// Decimal integer, optional sign; anything else raises EConvertError.
int StrToInt(const QString& text);

// Decimal number with the locale's separator and an optional exponent, read in extended
// precision; anything else, and a text that does not denote a finite number, raises
// EConvertError.
long double StrToFloat(const QString& text);

// A number typed by the user: "." and "," are both taken as the decimal point, as in the
// function field; otherwise as StrToFloat, whose error quotes the text as typed.
long double typedNumber(const QString& text);

// General format: at most 15 significant digits, trailing zeros dropped; scientific notation
// ("1,5E-7", "2E20") only for very small or very large values.
QString FloatToStr(double value);

// Fixed format with `digits` decimals: the value is first rounded to `precision` significant
// digits, then to `digits` decimals with ties away from zero (0.015625 -> "0.01563"). No group
// separators, no minus sign on a value that rounds to zero. A value with more than `precision`
// digits before the separator is written in the general format instead.
QString FloatToStrF(double value, int precision = 17, int digits = 5);

// The full value of a cell, for its tooltip: 17 significant digits with the locale's separator,
// trailing zeros dropped; exponent notation when |value| < 1e-4 or |value| >= 1e6.
QString fullValueText(double value);

// Numbers in text files: the C++ stream's default formatted output (general notation, 6
// significant digits, "." as decimal point), whatever the user's locale.
std::string streamText(long double value);

// The process clock: milliseconds since the program started, as a 32-bit tick count.
std::uint32_t clockTicks();

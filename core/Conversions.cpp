#include "core/Conversions.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <locale>
#include <sstream>

namespace {

QString decimalSeparator()
{
    return QLocale().decimalPoint();
}

[[noreturn]] void conversionError(const QString& text, const char* what)
{
    throw EConvertError(QString("Текст «%1» %2").arg(text, what).toStdString());
}

// The significant digits of |value| rounded to `precision` digits, and the decimal exponent of
// the first of them: value = 0.d1d2d3... * 10^(exponent + 1).
struct Decimal
{
    std::string digits;
    int exponent = 0;
};

Decimal toDecimal(double value, int precision)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
        std::chars_format::scientific, precision - 1);
    std::string text(buffer, result.ptr);
    std::size_t e = text.find('e');
    Decimal d;
    d.exponent = std::stoi(text.substr(e + 1));
    for (char c : text.substr(0, e))
        if (c != '.')
            d.digits += c;
    return d;
}

// Adds one to a string of decimal digits.
std::string incremented(std::string digits)
{
    for (auto i = digits.rbegin(); i != digits.rend(); ++i) {
        if (*i != '9') {
            ++*i;
            return digits;
        }
        *i = '0';
    }
    return '1' + digits;
}

QString withSign(bool negative, const std::string& digits, const QString& text)
{
    bool zero = digits.find_first_not_of('0') == std::string::npos;
    return (negative && !zero ? "-" : "") + text;
}

} // namespace

QString IntToStr(int value)
{
    return QString::number(value);
}

int StrToInt(const QString& text)
{
    QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    int value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (bytes.isEmpty() || error != std::errc() || end != last)
        conversionError(text, "не является целым числом");
    return value;
}

long double StrToFloat(const QString& text)
{
    QString plain = text.trimmed();
    if (plain.contains('.') && decimalSeparator() != ".")
        conversionError(text, "не является числом");
    std::istringstream stream(plain.replace(decimalSeparator(), ".").toStdString());
    stream.imbue(std::locale::classic());
    long double value = 0;
    stream >> value;
    if (plain.isEmpty() || stream.fail() || stream.peek() != EOF || !std::isfinite(value))
        conversionError(text, "не является числом");
    return value;
}

long double typedNumber(const QString& text)
{
    QString local = text;
    local.replace(QRegularExpression("[.,]"), decimalSeparator());
    try {
        return StrToFloat(local);
    } catch (const EConvertError&) {
        conversionError(text, "не является числом");
    }
}

QString FloatToStr(double value)
{
    const int precision = 15;
    if (value == 0 || !std::isfinite(value))
        return QString::number(value);
    Decimal d = toDecimal(value, precision);
    d.digits.erase(d.digits.find_last_not_of('0') + 1);
    const int size = int(d.digits.size());
    std::string text;
    if (d.exponent < -4 || d.exponent >= precision) {
        text = d.digits.substr(0, 1) + (size > 1 ? '.' + d.digits.substr(1) : "");
        text += 'E' + std::to_string(d.exponent);
    } else if (d.exponent < 0) {
        text = "0." + std::string(-d.exponent - 1, '0') + d.digits;
    } else {
        std::string padded = d.digits + std::string(std::max(0, d.exponent + 1 - size), '0');
        text = padded.substr(0, d.exponent + 1);
        if (size > d.exponent + 1)
            text += '.' + padded.substr(d.exponent + 1);
    }
    QString shown = QString::fromStdString(text).replace(".", decimalSeparator());
    return withSign(value < 0, d.digits, shown);
}

QString FloatToStrF(double value, int precision, int digits)
{
    if (!std::isfinite(value))
        return QString::number(value);
    Decimal d = toDecimal(value, precision);
    if (d.exponent >= precision)
        return FloatToStr(value);
    // The kept digits: those before the separator and `digits` after it.
    int keep = d.exponent + 1 + digits;
    std::string scaled; // value * 10^digits, rounded, as decimal digits
    if (keep >= int(d.digits.size()))
        scaled = d.digits + std::string(keep - d.digits.size(), '0');
    else if (keep >= 0) {
        scaled = d.digits.substr(0, keep);
        if (d.digits[keep] >= '5')
            scaled = incremented(scaled);
    }
    if (scaled.size() <= std::size_t(digits))
        scaled.insert(0, digits + 1 - scaled.size(), '0');
    QString text = QString::fromStdString(scaled);
    text.insert(text.size() - digits, decimalSeparator());
    return withSign(value < 0, scaled, text);
}

QString fullValueText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (value == 0)
        value = 0; // no sign on zero
    const double size = std::fabs(value);
    if (value == 0 || !std::isfinite(value) || (size >= 1e-4 && size < 1e6))
        return locale.toString(value, 'g', 17); // 'g' turns to exponents only below 1e-4
    static const QRegularExpression trailingZeros(
        "\\D?0+(?=e)", QRegularExpression::CaseInsensitiveOption);
    return locale.toString(value, 'e', 16).remove(trailingZeros);
}

std::uint32_t clockTicks()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return std::uint32_t(clock.elapsed());
}

std::string streamText(long double value)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    return stream.str();
}

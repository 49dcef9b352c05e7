#include "cli/Options.h"

#include "core/SafeSave.h"

#include <QRegularExpression>

#include <cmath>
#include <cstdio>

void usageError(const QString& message)
{
    throw Failure {BadUsage, message};
}

QString optionName(const QString& name)
{
    return (name.size() == 1 ? "-" : "--") + name;
}

int integerOption(const QCommandLineParser& parser, const QString& name)
{
    const QString text = parser.value(name);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok)
        return value;
    static const QRegularExpression integer(R"(^[+-]?\d+$)");
    if (integer.match(text).hasMatch())
        usageError("значение " + optionName(name) + " «" + text + "» вне допустимого диапазона");
    usageError("значение " + optionName(name) + " «" + text + "» не целое число");
}

double numberOption(const QCommandLineParser& parser, const QString& name)
{
    bool ok = false;
    const double value = QString(parser.value(name)).replace(',', '.').toDouble(&ok); // 1,5e-3
    if (!ok || !std::isfinite(value) || value < 0)
        usageError("значение " + optionName(name) + " «" + parser.value(name)
            + "» не неотрицательное число");
    return value;
}

void require(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name))
        usageError("не задан параметр " + optionName(name));
}

int orderOption(const QCommandLineParser& parser)
{
    require(parser, "m");
    const int m = integerOption(parser, "m");
    if (m < 2 || m > 4)
        usageError("порядок сплайна -m должен быть 2, 3 или 4, а не " + QString::number(m));
    return m;
}

bool isStandardStream(const QString& path)
{
    return path == "-";
}

void write(const QString& path, const Pieces& contents)
{
    if (path.isEmpty() || isStandardStream(path) || path == "/dev/stdout") {
        const Failure failed {BadData, "не удалось записать результат в стандартный вывод"};
        contents([&](std::string_view piece) {
            if (std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size())
                throw failed;
        });
        if (std::fflush(stdout) != 0)
            throw failed;
        return;
    }
    if (const auto problem = saveFile(path, contents))
        throw Failure {BadData, "Файл «" + path + "»: не удалось записать: " + *problem};
}

void write(const QString& path, const std::string& text)
{
    write(path, [&](const std::function<void(std::string_view)>& piece) { piece(text); });
}
